#include "record_file.h"

#include <cstring>
#include <vector>

#include "common/airport_line.h"
#include "common/record_rules.h"

namespace {

void readLines(const uint8_t* data, size_t size, bool exchangeFile, RecordFile& file) {
    file.records.clear();
    file.byLines = exchangeFile && !isFixedLayout(data, size);
    if (!file.byLines) {
        file.shortBytes = size % recordSize;
        file.records.assign(size / recordSize, RecordEntry{});
        for (size_t n = 0; n < file.records.size(); ++n) {
            const uint8_t* line = data + n * recordSize;
            RecordEntry& entry = file.records[n];
            decodeRecord(line, recordSize, entry.record);
            entry.lineEndOk = line[62] == '\r' && line[63] == '\n';
        }
        return;
    }
    file.shortBytes = 0;
    ExchangeLineCursor cursor = startExchangeLines(data, size);
    ExchangeLine line;
    while (nextExchangeLine(cursor, line)) {
        RecordEntry entry{};
        decodeRecord(data + line.offset, line.length, entry.record);
        entry.lineEndOk = true;
        entry.hasTab = line.hasTab;
        file.records.push_back(entry);
    }
}

} // namespace

void readRecordFile(const uint8_t* data, size_t size, bool exchangeFile, RecordFile& file) {
    readLines(data, size, exchangeFile, file);
    std::vector<int32_t> parents(file.records.size());
    LoadPlace cursor;
    for (size_t n = 0; n < file.records.size(); ++n) {
        RecordEntry& entry = file.records[n];
        entry.level = recordLevel(entry.record);
        entry.folder = entry.level >= 1;
        entry.tourKind = isTourRecord(entry.record);
        const int32_t parent =
            placeRecord(cursor, parents.data(), static_cast<int32_t>(n), entry.level);
        parents[n] = parent;
        entry.parent = parent;
        entry.depth = parent == noParent ? 1 : file.records[static_cast<size_t>(parent)].depth + 1;
    }
}

bool strictNumber(const char* text, bool signedValue, int64_t& value) {
    size_t at = 0;
    while (text[at] == ' ')
        ++at;
    bool negative = false;
    if (signedValue && (text[at] == '-' || text[at] == '+')) {
        negative = text[at] == '-';
        ++at;
        if (text[at] == '\0')
            return false;
    }
    value = 0;
    for (; text[at] != '\0'; ++at) {
        if (text[at] < '0' || text[at] > '9')
            return false;
        value = value * 10 + (text[at] - '0');
    }
    value = negative ? -value : value;
    return true;
}

namespace {

struct AngleFields {
    const char* hemisphere;
    const char* degrees;
    const char* minutes;
    const char* seconds;
};

bool readAngle(const AngleFields& fields, const char* what, char positive, char negative,
               int64_t limit, DmsAngle& angle, std::vector<std::string>& reasons) {
    size_t before = reasons.size();
    const std::string name = what;
    if (std::strlen(fields.hemisphere) != 1 ||
        (fields.hemisphere[0] != positive && fields.hemisphere[0] != negative))
        reasons.push_back(name + " hemisphere '" + fields.hemisphere + "' is not " + positive +
                          " or " + negative);
    const char* parts[3] = {fields.degrees, fields.minutes, fields.seconds};
    const char* partNames[3] = {" degrees", " minutes", " seconds"};
    int64_t values[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (!strictNumber(parts[i], false, values[i]))
            reasons.push_back("letters in " + name + partNames[i] + ": '" + parts[i] + "'");
        else if (i > 0 && values[i] > 59)
            reasons.push_back(name + partNames[i] + " " + std::to_string(values[i]) + " above 59");
    }
    if (values[0] > limit || (values[0] == limit && (values[1] > 0 || values[2] > 0)))
        reasons.push_back(name + " " + std::to_string(values[0]) + "\u00B0" +
                          std::to_string(values[1]) + "'" + std::to_string(values[2]) +
                          "\" beyond " + std::to_string(limit) + "\u00B0");
    angle.hemisphere = fields.hemisphere[0];
    angle.degrees = static_cast<int32_t>(values[0]);
    angle.minutes = static_cast<int32_t>(values[1]);
    angle.seconds = static_cast<int32_t>(values[2]);
    return reasons.size() == before;
}

} // namespace

bool entryPosition(const RecordBuffer& record, DmsAngle& latitude, DmsAngle& longitude,
                   std::vector<std::string>& reasons) {
    bool latitudeOk =
        readAngle({record.latHemisphere, record.latDegrees, record.latMinutes, record.latSeconds},
                  "latitude", 'N', 'S', 90, latitude, reasons);
    bool longitudeOk =
        readAngle({record.lonHemisphere, record.lonDegrees, record.lonMinutes, record.lonSeconds},
                  "longitude", 'E', 'W', 180, longitude, reasons);
    if (!latitudeOk || !longitudeOk)
        return false;
    std::string noPoint = noPointReason(latitude, longitude);
    if (noPoint.empty())
        return true;
    reasons.push_back(noPoint);
    return false;
}

bool entryAltitude(const RecordBuffer& record, bool& hasAltitude, int32_t& feet,
                   std::vector<std::string>& reasons) {
    int64_t value = 0;
    hasAltitude = record.altitude[0] != '\0';
    feet = 0;
    if (!strictNumber(record.altitude, true, value)) {
        reasons.push_back(std::string("letters in altitude: '") + record.altitude + "'");
        return false;
    }
    std::string reason;
    if (!altitudeInRange(value, reason)) {
        reasons.push_back(reason);
        return false;
    }
    feet = static_cast<int32_t>(value);
    return true;
}
