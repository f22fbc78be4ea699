#include "dat_files.h"

#include <cstdio>
#include <map>

#include "common/great_circle.h"
#include "common/airport_line.h"
#include "common/limits.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "finding_report.h"
#include "record_file.h"
#include "text_codec.h"

namespace {

// The entry as a waypoint, or false with its problems recorded.
bool waypointOf(const RecordEntry& entry, int32_t n, Waypoint& point, Findings& findings) {
    if (!entry.lineEndOk) {
        addProblem(findings, n, "no CR LF at columns 63-64: left out");
        return false;
    }
    const RecordBuffer& r = entry.record;
    std::vector<std::string> reasons;
    point.ident = utf8FromAnsi(r.ident);
    point.name = utf8FromAnsi(r.name);
    point.line = n;
    point.altitudeHold = false;
    point.hasAltitude = false;
    point.altitude = 0;
    bool ok = entryPosition(r, point.latitude, point.longitude, reasons);
    if (entry.tourKind) {
        ok = entryAltitude(r, point.hasAltitude, point.altitude, reasons) && ok;
        point.altitudeHold = r.altitudeHoldFlag[0] == '1';
    }
    if (!ok) {
        std::string all = reasons[0];
        for (size_t i = 1; i < reasons.size(); ++i)
            all += "; " + reasons[i];
        addProblem(findings, n, all + ": left out");
    }
    return ok;
}

std::string folderPath(const RecordFile& file, int32_t folder) {
    if (folder < 0)
        return "";
    std::string parent = folderPath(file, file.records[folder].parent);
    std::string name = utf8FromAnsi(file.records[folder].record.name);
    return parent.empty() ? name : parent + " / " + name;
}

void putField(char* field, size_t capacity, const std::string& text) {
    copyBoundedText(field, text.c_str(), capacity);
}

// A cleared record with the point's identifier (as given), name and position.
RecordBuffer recordOfPoint(const Waypoint& point, const std::string& ident, Findings& findings) {
    RecordBuffer record;
    clearRecordBuffer(record);
    putField(record.ident, sizeof record.ident, ident);
    putField(record.name, sizeof record.name,
             fittedAnsi(point.name, 24, "name", point.line, findings));
    putDms(point.latitude, record.latHemisphere, record.latDegrees, record.latMinutes,
           record.latSeconds);
    putDms(point.longitude, record.lonHemisphere, record.lonDegrees, record.lonMinutes,
           record.lonSeconds);
    return record;
}

// One identifier for two places: a pilot who looks it up may be sent to the wrong one. Places
// within a mile of each other are one place given twice (a runway's ends, a duplicate row).
void warnSameIdentApart(std::map<std::string, const Waypoint*>& firstOf, const Waypoint& point,
                        Findings& findings) {
    if (point.ident.empty())
        return;
    auto [first, fresh] = firstOf.emplace(point.ident, &point);
    if (fresh)
        return;
    const Waypoint& other = *first->second;
    double apart = sphereDistance(decimalFromDms(other.latitude), decimalFromDms(other.longitude),
                                  decimalFromDms(point.latitude), decimalFromDms(point.longitude));
    if (apart <= 1.0)
        return;
    char miles[32];
    std::snprintf(miles, sizeof miles, "%.1f", apart);
    addWarning(findings, point.line,
               "identifier '" + point.ident + "' is also that of line " +
                   std::to_string(other.line) + ", " + miles + " nm away",
               "identifiers that name two places more than 1 nm apart");
}

} // namespace

void readDatabaseFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings) {
    RecordFile file;
    readRecordFile(data, size, false, file);
    // One group a folder and kind, in the order the folders' first entries come.
    std::map<std::pair<int32_t, bool>, size_t> groupOf;
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        Waypoint point;
        if (entry.folder || !waypointOf(entry, static_cast<int32_t>(i + 1), point, findings))
            continue;
        auto key = std::make_pair(entry.parent, entry.tourKind);
        auto found = groupOf.find(key);
        if (found == groupOf.end()) {
            std::string path = folderPath(file, entry.parent);
            if (path.empty())
                path = entry.tourKind ? "Tour" : "Top level";
            found = groupOf.emplace(key, set.groups.size()).first;
            set.groups.push_back(WaypointGroup{path, entry.tourKind, {}});
        }
        set.groups[found->second].points.push_back(point);
    }
    if (file.shortBytes != 0)
        addWarning(findings, static_cast<int32_t>(file.records.size() + 1),
                   "the last record is short and was not read");
}

void readTourFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings) {
    RecordFile file;
    readRecordFile(data, size, true, file);
    WaypointGroup route{"Tour", true, {}};
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        int32_t n = static_cast<int32_t>(i + 1);
        if (entry.lineEndOk && isBlankExchangeRecord(entry.record))
            continue;
        if (entry.hasTab) {
            addProblem(findings, n, "a tab instead of spaces: the columns are unknown; left out");
            continue;
        }
        if (entry.folder) {
            addProblem(findings, n, "a folder in a tour file: left out");
            continue;
        }
        RecordEntry item = entry;
        item.tourKind = true; // the import takes every line as a tour item
        Waypoint point;
        if (waypointOf(item, n, point, findings))
            route.points.push_back(point);
    }
    if (file.shortBytes != 0)
        addWarning(findings, static_cast<int32_t>(file.records.size() + 1),
                   "the last record is short and was not read");
    set.groups.push_back(route);
}

std::string writeTourFile(const WaypointGroup& route, bool holdAltitude, Findings& findings) {
    std::string bytes;
    bytes.reserve(route.points.size() * recordSize);
    int32_t number = 0;
    for (const Waypoint& point : route.points) {
        char ident[16];
        tourNumberText(++number, ident, sizeof ident);
        Waypoint named = point;
        named.name = tourItemName(point);
        RecordBuffer record = recordOfPoint(named, ident, findings);
        putField(record.tourFlag, sizeof record.tourFlag, "1");
        int32_t feet = point.altitude;
        std::string reason;
        if (point.hasAltitude && feet < 0) {
            // An airport below sea level: the autopilot cannot hold a negative altitude.
            addWarning(findings, point.line,
                       "altitude " + std::to_string(feet) + " ft is below sea level: written as 0",
                       "altitudes below sea level written as 0");
            feet = 0;
        } else if (point.hasAltitude && !altitudeInRange(feet, reason)) {
            addWarning(findings, point.line, reason + ": written without an altitude",
                       "altitudes above " + withThousands(highestAltitudeFeet) + " ft left off");
        }
        if (point.hasAltitude && altitudeInRange(feet, reason)) {
            putField(record.altitude, sizeof record.altitude, std::to_string(feet));
            if (point.altitudeHold || holdAltitude)
                putField(record.altitudeHoldFlag, sizeof record.altitudeHoldFlag, "1");
        }
        uint8_t line[recordSize];
        encodeRecord(record, line);
        bytes.append(reinterpret_cast<const char*>(line), recordSize);
    }
    return bytes;
}

void readAirportFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings) {
    WaypointGroup places{"Airports", false, {}};
    ExchangeLineCursor cursor = startExchangeLines(data, size);
    ExchangeLine line;
    while (nextExchangeLine(cursor, line)) {
        RecordEntry entry{};
        clearRecordBuffer(entry.record);
        readAirportLine(data + line.offset, line.length, entry.record);
        if (isBlankExchangeRecord(entry.record))
            continue;
        if (line.hasTab) {
            addProblem(findings, line.number,
                       "a tab instead of spaces: the columns are unknown; left out");
            continue;
        }
        entry.lineEndOk = true;
        Waypoint point;
        if (waypointOf(entry, line.number, point, findings))
            places.points.push_back(point);
    }
    set.groups.push_back(places);
}

std::string writeAirportFile(const WaypointGroup& places, Findings& findings) {
    std::string bytes;
    bytes.reserve(places.points.size() * airportLineSize);
    // The first point of each identifier after the cut, to name the ones that lose theirs.
    std::map<std::string, const Waypoint*> firstOf, placeOf;
    for (const Waypoint& point : places.points) {
        warnSameIdentApart(placeOf, point, findings);
        std::string ident = fittedAnsi(point.ident, 5, "identifier", point.line, findings);
        auto [first, fresh] = firstOf.emplace(ident, &point);
        if (!fresh && !ident.empty() && first->second->ident != point.ident)
            addWarning(findings, point.line,
                       "identifier '" + point.ident + "' is cut to '" + utf8FromAnsi(ident) +
                           "', the same as '" + first->second->ident + "' of line " +
                           std::to_string(first->second->line),
                       "identifiers the same as another's after the cut to 5 characters");
        RecordBuffer record = recordOfPoint(point, ident, findings);
        uint8_t line[airportLineSize];
        writeAirportLine(record, line);
        bytes.append(reinterpret_cast<const char*>(line), airportLineSize);
    }
    return bytes;
}
