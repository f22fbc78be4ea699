#include "db_show.h"

#include <cstdio>

#include "record_file.h"
#include "text_codec.h"

namespace {

// The name column: UTF-8 text padded to width characters (not bytes).
std::string padded(const std::string& utf8, size_t width) {
    size_t characters = 0;
    for (char c : utf8)
        characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80 ? 1 : 0;
    return characters >= width ? utf8 : utf8 + std::string(width - characters, ' ');
}

std::string numberColumn(int32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%6d  ", static_cast<int>(n));
    return text;
}

std::string pointText(const std::string& ident, const std::string& name, const DmsAngle& latitude,
                      const DmsAngle& longitude) {
    return padded(ident, 6) + padded(name, 25) + formatDms(latitude) + "  " + formatDms(longitude);
}

std::string entryLine(const RecordEntry& entry) {
    const RecordBuffer& r = entry.record;
    std::vector<std::string> reasons;
    DmsAngle latitude{}, longitude{};
    std::string text;
    if (entryPosition(r, latitude, longitude, reasons))
        text = pointText(utf8FromAnsi(r.ident), utf8FromAnsi(r.name), latitude, longitude);
    else
        text = padded(utf8FromAnsi(r.ident), 6) + padded(utf8FromAnsi(r.name), 25) +
               "(no position: " + reasons.front() + ")";
    if (entry.tourKind) {
        bool hasAltitude = false;
        int32_t feet = 0;
        if (entryAltitude(r, hasAltitude, feet, reasons) && hasAltitude)
            text += "  " + std::to_string(feet) + " ft";
        if (r.altitudeHoldFlag[0] == '1')
            text += ", altitude hold";
    }
    if (isCurrentChoice(entry.record))
        text += "   <- current choice";
    return text;
}

} // namespace

std::string showRecordFile(const uint8_t* data, size_t size, bool exchangeFile) {
    RecordFile file;
    readRecordFile(data, size, exchangeFile, file);
    int32_t folders = 0, airports = 0, tourItems = 0;
    std::string tree;
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        tree += numberColumn(static_cast<int32_t>(i + 1));
        tree += std::string(2 * static_cast<size_t>(entry.depth - 1), ' ');
        if (entry.folder) {
            ++folders;
            tree += (entry.tourKind ? "[tour] " : "[folder] ") + utf8FromAnsi(entry.record.name);
        } else {
            ++(entry.tourKind ? tourItems : airports);
            tree += entryLine(entry);
        }
        tree += "\n";
    }
    std::string head = "records " + std::to_string(file.records.size()) + ": folders " +
                       std::to_string(folders) + ", airports " + std::to_string(airports) +
                       ", tour items " + std::to_string(tourItems);
    if (file.shortBytes != 0)
        head += "; " + std::to_string(file.shortBytes) + " bytes of a short last record not read";
    return head + "\n" + tree;
}

std::string showWaypoints(const WaypointSet& set) {
    std::string text;
    for (const WaypointGroup& group : set.groups)
        for (const Waypoint& point : group.points)
            text += numberColumn(point.line) +
                    pointText(point.ident, point.name, point.latitude, point.longitude) + "\n";
    return text;
}
