#include "csv_format.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include <csv.h>

#include "common/coordinate_text.h"
#include "text_codec.h"

namespace {

// Where each column of interest sits in a row; -1 when the header lacks it. The identifier has
// several, tried in order.
struct Columns {
    int name = -1, latitude = -1, longitude = -1, altitude = -1, hold = -1, folder = -1, kind = -1,
        country = -1, region = -1, type = -1;
    std::vector<int> idents;
    bool metres = false;    // the altitude column's name says metres
    bool unitGiven = false; // ... or says feet
};

struct Known {
    const char* name;
    int Columns::*column;
};

// When a file carries two names of one column, the leftmost of the two is taken.
const Known knownColumns[] = {
    {"name", &Columns::name},
    {"latitude", &Columns::latitude},
    {"latitude_deg", &Columns::latitude},
    {"lat", &Columns::latitude},
    {"longitude", &Columns::longitude},
    {"longitude_deg", &Columns::longitude},
    {"lon", &Columns::longitude},
    {"long", &Columns::longitude},
    {"lng", &Columns::longitude},
    {"altitude_hold", &Columns::hold},
    {"folder", &Columns::folder},
    {"kind", &Columns::kind},
    {"iso_country", &Columns::country},
    {"country", &Columns::country},
    {"iso_region", &Columns::region},
    {"region", &Columns::region},
    {"type", &Columns::type},
};

// Where the identifier comes from, best first: an airport table often has several codes, some
// empty on a row.
const char* const identColumns[] = {"ident", "icao", "icao_code", "gps_code",
                                    "code",  "iata", "iata_code"};

// A table without a name column often describes each place in a text column instead.
const char* const textColumns[] = {"desc", "description", "comment", "cmt"};

// Altitude columns: a name, then a unit where the header gives one ("alt_m", "Altitude (m)").
const char* const altitudeColumns[] = {"altitude", "elevation", "alt", "elev"};

struct Unit {
    const char* suffix;
    bool metres;
};
const Unit altitudeUnits[] = {{"", false},  {"_ft", false},    {"_feet", false},
                              {"_m", true}, {"_metres", true}, {"_meters", true}};

struct Reader {
    std::vector<std::string> fields;
    std::vector<std::string> header;
    int32_t rowLine = 0;
    bool haveHeader = false;
    bool headerOk = false;
    bool columnsGiven = false; // the header came from --columns
    bool firstRowSeen = false;
    Columns columns;
    WaypointSet* set = nullptr;
    Findings* findings = nullptr;
    std::map<std::pair<std::string, bool>, size_t> groupOf;
};

// "  Elevation (ft)" and "Elevation_ft" are one name.
std::string columnName(const std::string& text) {
    std::string name = asciiLowered(trimmed(text));
    std::string out;
    for (char c : name) {
        if (c == '(' || c == ')')
            continue;
        out += c == ' ' || c == '-' ? '_' : c;
    }
    return out;
}

std::string usedColumns(const Reader& reader) {
    auto named = [&](int column) { return "'" + trimmed(reader.header[column]) + "'"; };
    std::string text = "columns used:";
    if (!reader.columns.idents.empty()) {
        text += " identifier " + named(reader.columns.idents[0]);
        for (size_t i = 1; i < reader.columns.idents.size(); ++i)
            text += (i == 1 ? " (then " : ", ") + named(reader.columns.idents[i]) +
                    (i + 1 == reader.columns.idents.size() ? ")" : "");
        text += ",";
    }
    const struct {
        const char* what;
        int column;
    } shown[] = {{"name", reader.columns.name},
                 {"latitude", reader.columns.latitude},
                 {"longitude", reader.columns.longitude},
                 {"altitude", reader.columns.altitude},
                 {"country", reader.columns.country},
                 {"region", reader.columns.region},
                 {"type", reader.columns.type}};
    for (const auto& s : shown) {
        if (s.column < 0)
            continue;
        text += std::string(" ") + s.what + " " + named(s.column);
        if (s.column == reader.columns.altitude)
            text += reader.columns.metres      ? " (metres)"
                    : reader.columns.unitGiven ? " (feet)"
                                               : " (read as feet; a header such as alt_m "
                                                 "gives metres)";
        text += ",";
    }
    text.pop_back();
    return text;
}

// The leftmost altitude column and the unit its name gives.
void findAltitude(Columns& columns, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size() && columns.altitude < 0; ++i) {
        std::string name = columnName(names[i]);
        for (const char* base : altitudeColumns)
            for (const Unit& unit : altitudeUnits)
                if (columns.altitude < 0 && name == std::string(base) + unit.suffix) {
                    columns.altitude = static_cast<int>(i);
                    columns.metres = unit.metres;
                    columns.unitGiven = unit.suffix[0] != '\0';
                }
    }
}

// The identifier columns, best first, and a description as the name when there is no name.
void findNames(Columns& columns, const std::vector<std::string>& names) {
    for (const char* ident : identColumns)
        for (size_t i = 0; i < names.size(); ++i)
            if (columnName(names[i]) == ident)
                columns.idents.push_back(static_cast<int>(i));
    for (const char* text : textColumns)
        for (size_t i = 0; i < names.size() && columns.name < 0; ++i)
            if (columnName(names[i]) == text)
                columns.name = static_cast<int>(i);
}

bool looksLikeData(const std::vector<std::string>& fields) {
    double value = 0;
    return std::any_of(fields.begin(), fields.end(),
                       [&](const std::string& f) { return realNumber(f, value); });
}

void takeHeader(Reader& reader, const std::vector<std::string>& names) {
    reader.haveHeader = true;
    reader.header = names;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string name = columnName(names[i]);
        for (const Known& k : knownColumns)
            if (name == k.name && reader.columns.*k.column < 0)
                reader.columns.*k.column = static_cast<int>(i);
    }
    findNames(reader.columns, names);
    findAltitude(reader.columns, names);
    reader.headerOk = reader.columns.latitude >= 0 && reader.columns.longitude >= 0;
    if (reader.headerOk) {
        reader.set->notes.push_back(usedColumns(reader));
        if (reader.columns.name < 0 && reader.columns.idents.empty())
            addWarning(*reader.findings, reader.rowLine,
                       "no name or identifier column (name, desc, ident, icao, ...): the points "
                       "have neither; name the columns with --columns");
        return;
    }
    std::string reason =
        "the header names no latitude (latitude, latitude_deg or lat) and "
        "longitude (longitude, longitude_deg, lon, long or lng) column: name the " +
        std::to_string(names.size()) +
        " columns with --columns, which then takes the header row's place "
        "(for example --columns ident,name,lat,lon)";
    if (looksLikeData(names))
        reason = "the first row holds numbers, not column names: name the " +
                 std::to_string(names.size()) + " columns with --columns" +
                 (names.size() >= 8 ? " (an airport table of id, name, city, country, IATA, "
                                      "ICAO, latitude, longitude, altitude: --columns "
                                      "id,name,city,country,iata,icao,lat,lon,altitude)"
                                    : " (for example --columns ident,name,lat,lon)");
    addProblem(*reader.findings, reader.rowLine, reason);
}

std::string field(const Reader& reader, int column) {
    if (column < 0 || static_cast<size_t>(column) >= reader.fields.size())
        return "";
    std::string text = trimmed(reader.fields[static_cast<size_t>(column)]);
    // The missing value of database dumps.
    return text == "\\N" ? "" : text;
}

bool readAngle(const Reader& reader, int column, bool latitude, DmsAngle& angle,
               std::string& reason) {
    const char* what = latitude ? "latitude" : "longitude";
    std::string text = field(reader, column);
    double degrees = 0;
    if (text.empty()) {
        reason = std::string("no ") + what;
        return false;
    }
    if (!realNumber(text, degrees, true) && !parseCoordinate(text, latitude, degrees)) {
        bool digits = text.find_first_of("0123456789") != std::string::npos;
        reason = std::string(what) + " '" + text + "'" +
                 (digits ? " is a position in a form not read (decimal degrees, or degrees, "
                           "minutes and seconds after a sign or with a hemisphere letter)"
                         : " is not a number");
        return false;
    }
    return latitude ? latitudeFromDecimal(degrees, angle, reason)
                    : longitudeFromDecimal(degrees, angle, reason);
}

bool readRow(const Reader& reader, Waypoint& point, std::string& reason) {
    point = Waypoint{};
    point.line = reader.rowLine;
    for (int column : reader.columns.idents) {
        point.ident = utf8Repaired(field(reader, column));
        if (!point.ident.empty())
            break;
    }
    point.name = utf8Repaired(field(reader, reader.columns.name));
    if (point.name.empty())
        point.name = point.ident;
    if (!readAngle(reader, reader.columns.latitude, true, point.latitude, reason) ||
        !readAngle(reader, reader.columns.longitude, false, point.longitude, reason))
        return false;
    reason = noPointReason(point.latitude, point.longitude);
    if (!reason.empty())
        return false;
    std::string altitude = field(reader, reader.columns.altitude);
    if (!altitude.empty()) {
        std::replace(altitude.begin(), altitude.end(), ',', '.');
        double metres = 0;
        bool read = reader.columns.metres ? realNumber(altitude, metres) &&
                                                feetFromMetres(metres, point.altitude, reason)
                                          : feetFromText(altitude, point.altitude, reason);
        if (!read) {
            reason = "altitude '" + altitude + "' is not a number";
            return false;
        }
        point.hasAltitude = true;
    }
    point.altitudeHold = field(reader, reader.columns.hold) == "1";
    point.country = utf8Repaired(field(reader, reader.columns.country));
    point.region = utf8Repaired(field(reader, reader.columns.region));
    point.type = utf8Repaired(field(reader, reader.columns.type));
    return true;
}

// A first row whose latitude and longitude fields are both texts and no position: the names of
// the columns that --columns now gives.
bool isReplacedHeader(const Reader& reader) {
    DmsAngle angle{};
    std::string reason;
    return !field(reader, reader.columns.latitude).empty() &&
           !field(reader, reader.columns.longitude).empty() &&
           !readAngle(reader, reader.columns.latitude, true, angle, reason) &&
           !readAngle(reader, reader.columns.longitude, false, angle, reason);
}

void takeRow(Reader& reader) {
    bool empty = std::all_of(reader.fields.begin(), reader.fields.end(),
                             [](const std::string& f) { return trimmed(f).empty(); });
    if (empty)
        return;
    if (!reader.haveHeader) {
        takeHeader(reader, reader.fields);
        return;
    }
    if (!reader.headerOk)
        return;
    if (reader.columnsGiven && !reader.firstRowSeen) {
        reader.firstRowSeen = true;
        if (isReplacedHeader(reader)) {
            reader.set->notes.push_back("line " + std::to_string(reader.rowLine) +
                                        " is the file's own header row: passed over, as "
                                        "--columns names the columns");
            return;
        }
    }
    Waypoint point;
    std::string reason;
    if (!readRow(reader, point, reason)) {
        addProblem(*reader.findings, reader.rowLine, reason + ": left out",
                   "rows left out without a position");
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

// The separator the first line holds most of, outside quotes: a spreadsheet in a country of
// decimal commas separates with semicolons, and its numbers then hold commas too.
char separatorOf(const char* data, size_t size) {
    size_t counts[3] = {0, 0, 0};
    const char separators[3] = {',', ';', '\t'};
    bool quoted = false;
    for (size_t i = 0; i < size && data[i] != '\n'; ++i) {
        quoted = data[i] == '"' ? !quoted : quoted;
        for (int s = 0; s < 3 && !quoted; ++s)
            counts[s] += data[i] == separators[s] ? 1 : 0;
    }
    int best = 0;
    for (int s = 1; s < 3; ++s)
        best = counts[s] > counts[best] ? s : best;
    return separators[best];
}

std::vector<std::string> namesOf(const std::string& columns) {
    std::vector<std::string> names;
    size_t at = 0;
    for (;;) {
        size_t comma = columns.find(',', at);
        names.push_back(columns.substr(at, comma == std::string::npos ? comma : comma - at));
        if (comma == std::string::npos)
            return names;
        at = comma + 1;
    }
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

bool readCsv(const char* data, size_t size, const std::string& columns, WaypointSet& set,
             Findings& findings) {
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
    csv_set_delim(&parser, static_cast<unsigned char>(separatorOf(data, size)));
    Reader reader;
    reader.set = &set;
    reader.findings = &findings;
    if (!columns.empty()) {
        takeHeader(reader, namesOf(columns));
        reader.columnsGiven = true;
    }
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
