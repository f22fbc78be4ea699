#include "csv_format.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include <csv.h>

namespace {

// Where each column of interest sits in a row; -1 when the header lacks it.
struct Columns {
    int ident = -1, name = -1, latitude = -1, longitude = -1, altitude = -1, hold = -1, folder = -1,
        kind = -1;
};

struct Reader {
    std::vector<std::string> fields;
    int32_t rowLine = 0;
    bool haveHeader = false;
    bool headerOk = false;
    Columns columns;
    WaypointSet* set = nullptr;
    Findings* findings = nullptr;
    std::map<std::pair<std::string, bool>, size_t> groupOf;
};

void takeHeader(Reader& reader) {
    struct Known {
        const char* name;
        int Columns::*column;
    };
    // The first name of a column wins when a file carries two of its names.
    const Known known[] = {
        {"ident", &Columns::ident},         {"name", &Columns::name},
        {"latitude", &Columns::latitude},   {"latitude_deg", &Columns::latitude},
        {"longitude", &Columns::longitude}, {"longitude_deg", &Columns::longitude},
        {"altitude", &Columns::altitude},   {"elevation_ft", &Columns::altitude},
        {"altitude_hold", &Columns::hold},  {"folder", &Columns::folder},
        {"kind", &Columns::kind},
    };
    reader.haveHeader = true;
    for (size_t i = 0; i < reader.fields.size(); ++i) {
        std::string name = asciiLowered(reader.fields[i]);
        for (const Known& k : known)
            if (name == k.name && reader.columns.*k.column < 0)
                reader.columns.*k.column = static_cast<int>(i);
    }
    reader.headerOk = reader.columns.latitude >= 0 && reader.columns.longitude >= 0;
    if (!reader.headerOk)
        addProblem(*reader.findings, reader.rowLine,
                   "the header names no latitude (or latitude_deg) and longitude (or "
                   "longitude_deg) column");
}

std::string field(const Reader& reader, int column) {
    if (column < 0 || static_cast<size_t>(column) >= reader.fields.size())
        return "";
    return reader.fields[static_cast<size_t>(column)];
}

bool realNumber(const std::string& text, double& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0';
}

bool readAngle(const Reader& reader, int column, const char* what,
               bool (*convert)(double, DmsAngle&, std::string&), DmsAngle& angle,
               std::string& reason) {
    std::string text = field(reader, column);
    double degrees = 0;
    if (text.empty()) {
        reason = std::string("no ") + what;
        return false;
    }
    if (!realNumber(text, degrees)) {
        reason = std::string(what) + " '" + text + "' is not a number";
        return false;
    }
    return convert(degrees, angle, reason);
}

bool readRow(const Reader& reader, Waypoint& point, std::string& reason) {
    point = Waypoint{};
    point.line = reader.rowLine;
    point.ident = utf8Repaired(field(reader, reader.columns.ident));
    point.name = utf8Repaired(field(reader, reader.columns.name));
    if (!readAngle(reader, reader.columns.latitude, "latitude", latitudeFromDecimal, point.latitude,
                   reason) ||
        !readAngle(reader, reader.columns.longitude, "longitude", longitudeFromDecimal,
                   point.longitude, reason))
        return false;
    reason = noPointReason(point.latitude, point.longitude);
    if (!reason.empty())
        return false;
    std::string altitude = field(reader, reader.columns.altitude);
    if (!altitude.empty()) {
        double feet = 0;
        if (!realNumber(altitude, feet) || !std::isfinite(feet)) {
            reason = "altitude '" + altitude + "' is not a number";
            return false;
        }
        if (!altitudeInRange(std::llround(std::max(-1e9, std::min(1e9, feet))), reason))
            return false;
        point.hasAltitude = true;
        point.altitude = static_cast<int32_t>(std::llround(feet));
    }
    point.altitudeHold = field(reader, reader.columns.hold) == "1";
    return true;
}

void takeRow(Reader& reader) {
    bool empty = std::all_of(reader.fields.begin(), reader.fields.end(),
                             [](const std::string& f) { return f.empty(); });
    if (empty)
        return;
    if (!reader.haveHeader) {
        takeHeader(reader);
        return;
    }
    if (!reader.headerOk)
        return;
    Waypoint point;
    std::string reason;
    if (!readRow(reader, point, reason)) {
        addProblem(*reader.findings, reader.rowLine, reason + ": left out");
        return;
    }
    std::string folder = utf8Repaired(field(reader, reader.columns.folder));
    bool route = asciiLowered(field(reader, reader.columns.kind)) == "tour";
    auto key = std::make_pair(folder, route);
    auto found = reader.groupOf.find(key);
    if (found == reader.groupOf.end()) {
        found = reader.groupOf.emplace(key, reader.set->groups.size()).first;
        reader.set->groups.push_back(
            WaypointGroup{folder.empty() ? (route ? "Tour" : "Waypoints") : folder, route, {}});
    }
    reader.set->groups[found->second].points.push_back(point);
}

void onField(void* text, size_t length, void* context) {
    Reader& reader = *static_cast<Reader*>(context);
    reader.fields.emplace_back(static_cast<const char*>(text), length);
}

void onRowEnd(int, void* context) {
    Reader& reader = *static_cast<Reader*>(context);
    takeRow(reader);
    reader.fields.clear();
}

// Quotes a text field when a reader would otherwise split or trim it.
std::string csvText(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos &&
        (text.empty() || (text.front() != ' ' && text.back() != ' ')))
        return text;
    std::string quoted(text.size() * 2 + 2, '\0');
    quoted.resize(csv_write(&quoted[0], quoted.size(), text.data(), text.size()));
    return quoted;
}

std::string decimalText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

bool readCsv(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    if (size >= 2 &&
        ((data[0] == '\xFF' && data[1] == '\xFE') || (data[0] == '\xFE' && data[1] == '\xFF'))) {
        addProblem(findings, 1, "UTF-16 text: save the file as UTF-8");
        return false;
    }
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        data += 3;
        size -= 3;
    }
    struct csv_parser parser;
    if (csv_init(&parser, CSV_APPEND_NULL) != 0) {
        addProblem(findings, 0, "out of memory");
        return false;
    }
    const char* firstEnd = static_cast<const char*>(std::memchr(data, '\n', size));
    std::string firstLine(data, firstEnd != nullptr ? static_cast<size_t>(firstEnd - data) : size);
    if (firstLine.find(',') == std::string::npos && firstLine.find(';') != std::string::npos)
        csv_set_delim(&parser, ';');
    Reader reader;
    reader.set = &set;
    reader.findings = &findings;
    // Fed one line at a time, so that each row knows the line it starts on, also when a quoted
    // field runs over several lines.
    int32_t line = 0;
    size_t at = 0;
    bool failed = false;
    while (at < size && !failed) {
        const char* end = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        size_t length = end != nullptr ? static_cast<size_t>(end - (data + at)) + 1 : size - at;
        ++line;
        if (parser.pstate == 0) // no row begun yet: the next row starts on this line
            reader.rowLine = line;
        failed = csv_parse(&parser, data + at, length, onField, onRowEnd, &reader) != length;
        at += length;
    }
    // A quote that is never closed swallows the rest of the file into one field: that row is
    // no waypoint and is dropped with the reason.
    const int fieldBegun = 2;
    if (failed || (parser.pstate == fieldBegun && parser.quoted)) {
        addProblem(findings, reader.rowLine,
                   "a quoted field is never closed: the rest of the file was read as one row");
        csv_fini(&parser, nullptr, nullptr, nullptr);
    } else {
        csv_fini(&parser, onField, onRowEnd, &reader);
    }
    csv_free(&parser);
    if (!reader.haveHeader) {
        addProblem(findings, 0, "no header row: the file is empty");
        return false;
    }
    return reader.headerOk;
}

std::string writeCsv(const WaypointSet& set) {
    std::string out = "ident,name,latitude,longitude,altitude,altitude_hold,folder,kind\r\n";
    for (const WaypointGroup& group : set.groups) {
        for (const Waypoint& point : group.points) {
            out += csvText(point.ident) + "," + csvText(point.name) + "," +
                   decimalText(decimalFromDms(point.latitude)) + "," +
                   decimalText(decimalFromDms(point.longitude)) + "," +
                   (point.hasAltitude ? std::to_string(point.altitude) : "") + "," +
                   (point.altitudeHold ? "1" : "") + "," + csvText(group.name) + "," +
                   (group.isRoute ? "tour" : "airport") + "\r\n";
        }
    }
    return out;
}
