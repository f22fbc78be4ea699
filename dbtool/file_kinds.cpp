#include "file_kinds.h"

#include <cstring>
#include <filesystem>
#include <vector>

#include "format_table.h"
#include "text_codec.h"
#include "waypoints.h"

namespace {

// The formats of GPSBabel's that a file is known as without an option.
const GpsbabelFormat gpsbabelFormats[] = {
    {"kml", "KML file", "<kml", ".kml", false},
    {"ozi", "OziExplorer waypoint file", "OziExplorer Waypoint File", "", true},
    {"cup", "glider waypoint file (.cup)", "name,code,country,lat,lon", ".cup", true},
    {"cup", "glider waypoint file (.cup)", "title,code,country,latitude,longitude", ".cup", true},
    {"gdb", "MapSource database", "MsRcf", ".gdb", false},
    {"geo", "geocaching .loc file", "<loc", ".loc", true},
};

// How much of a file tells its kind: enough lines for a few records past a header.
constexpr size_t lookedAt = 8192;

std::string topElement(const char* text, size_t size) {
    for (size_t at = 0; at + 1 < size; ++at) {
        if (text[at] != '<' || text[at + 1] == '?' || text[at + 1] == '!')
            continue;
        size_t end = at + 1;
        while (end < size && text[end] != ' ' && text[end] != '>' && text[end] != '/' &&
               text[end] != '\r' && text[end] != '\n' && text[end] != '\t')
            ++end;
        std::string name(text + at + 1, end - at - 1);
        size_t colon = name.rfind(':');
        return colon == std::string::npos ? name : name.substr(colon + 1);
    }
    return "";
}

bool oneOf(char c, const char* letters) {
    return c != '\0' && std::strchr(letters, c) != nullptr;
}

// 64-byte lines: the record layout has its hemisphere letters at columns 31 and 39, the airport
// line at 33 and 47. A record with a level of 1 or more is a folder, which only a database has.
FileFormat formatOfLines(const char* text, size_t size) {
    int32_t records = 0, airports = 0, folders = 0, tourItems = 0, lines = 0;
    for (size_t at = 0; at < size && lines < 200;) {
        const char* end = static_cast<const char*>(std::memchr(text + at, '\n', size - at));
        size_t length = end != nullptr ? static_cast<size_t>(end - (text + at)) : size - at;
        std::string line(text + at, length);
        at += length + 1;
        if (trimmed(line).empty())
            continue;
        ++lines;
        line.resize(64, ' ');
        if (oneOf(line[30], "NS") && oneOf(line[38], "EW")) {
            ++records;
            folders += line[47] >= '1' && line[47] <= '9' ? 1 : 0;
            tourItems += line[48] == '1' ? 1 : 0;
        } else if (oneOf(line[32], "NS") && oneOf(line[46], "EW")) {
            ++airports;
        }
    }
    if (lines == 0 || (records == 0 && airports == 0))
        return FileFormat::unknown;
    if (airports > records)
        return FileFormat::airports;
    return folders == 0 && tourItems == records ? FileFormat::tour : FileFormat::database;
}

// Separators of a table's line outside quoted fields.
int32_t separatorsOf(const std::string& line, char separator) {
    int32_t count = 0;
    bool quoted = false;
    for (char c : line) {
        quoted = c == '"' ? !quoted : quoted;
        count += !quoted && c == separator ? 1 : 0;
    }
    return count;
}

// A table of three columns or more, with or without a header row: every one of the first lines
// holds the same number of one separator outside quotes. The last line looked at may be cut short
// and is not counted.
bool isTable(const char* text, size_t size, bool cut) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < size && lines.size() < 20;) {
        const char* end = static_cast<const char*>(std::memchr(text + at, '\n', size - at));
        if (end == nullptr && cut)
            break;
        size_t length = end != nullptr ? static_cast<size_t>(end - (text + at)) : size - at;
        std::string line(text + at, length);
        at += length + 1;
        if (!trimmed(line).empty())
            lines.push_back(line);
    }
    if (lines.empty())
        return false;
    for (char separator : {',', ';', '\t'}) {
        const int32_t columns = separatorsOf(lines[0], separator);
        bool same = columns >= 2;
        for (size_t i = 1; same && i < lines.size(); ++i)
            same = separatorsOf(lines[i], separator) == columns;
        if (same)
            return true;
    }
    return false;
}

} // namespace

FileFormat formatFromOption(const std::string& name) {
    const std::string given = asciiLowered(name);
    for (const FormatRow& f : formatTable())
        if (given == f.option)
            return f.format;
    return given == "database" ? FileFormat::database : FileFormat::unknown;
}

FileFormat formatFromPath(const std::string& path) {
    std::filesystem::path p(path);
    const std::string name = asciiLowered(p.filename().string());
    const std::string extension = asciiLowered(p.extension().string());
    for (const FormatRow& f : formatTable()) {
        for (const char* file : f.files)
            if (file != nullptr && name == file)
                return f.format;
        if (*f.extension != '\0' && extension == f.extension)
            return f.format;
    }
    return FileFormat::unknown;
}

FileFormat formatFromContent(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    size_t length = size < lookedAt ? size : lookedAt;
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        length -= 3;
    }
    std::string start = trimmed(std::string(text, length < 64 ? length : 64));
    const std::string top = !start.empty() && start[0] == '<' ? topElement(text, length) : "";
    for (const FormatRow& f : formatTable()) {
        if (f.mark == nullptr)
            continue;
        if (f.mark[0] == '<' ? top == f.mark + 1 : asciiLowered(start).rfind(f.mark, 0) == 0)
            return f.format;
    }
    if (!start.empty() && start[0] == '<')
        return FileFormat::unknown;
    if ((start.compare(0, 2, "I\n") == 0 || start.compare(0, 3, "I\r\n") == 0 ||
         start.compare(0, 2, "A\n") == 0 || start.compare(0, 3, "A\r\n") == 0) &&
        asciiLowered(start).find("version") != std::string::npos)
        return FileFormat::fixPlan;
    FileFormat lines = formatOfLines(text, length);
    if (lines == FileFormat::unknown && isTable(text, length, length < size))
        return FileFormat::csv;
    return lines;
}

namespace {

// A .pln that is not XML (no '<' first, no UTF-16) is the older text plan.
FileFormat planOf(const uint8_t* data, size_t size) {
    size_t at = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    while (at < size && std::strchr(" \t\r\n", data[at]) != nullptr && data[at] != 0)
        ++at;
    bool wide = size >= 2 && (data[0] == 0xFF || data[0] == 0xFE || data[0] == 0 || data[1] == 0);
    return at < size && data[at] != '<' && !wide ? FileFormat::textPlan : FileFormat::xmlPlan;
}

} // namespace

FileFormat resolvedFormat(FileFormat given, const std::string& path, const uint8_t* data,
                          size_t size) {
    FileFormat named = given != FileFormat::unknown ? given : formatFromPath(path);
    if (named == FileFormat::xmlPlan)
        return planOf(data, size);
    return named != FileFormat::unknown ? named : formatFromContent(data, size);
}

const GpsbabelFormat* gpsbabelFormatOf(const std::string& path, const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    size_t length = size < lookedAt ? size : lookedAt;
    if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        length -= 3;
    }
    const std::string start = trimmed(std::string(text, length < 64 ? length : 64));
    const std::string top = start.empty() || start[0] != '<' ? "" : topElement(text, length);
    std::string first;
    for (size_t at = 0; at < length && text[at] != '\r' && text[at] != '\n'; ++at)
        if (text[at] != '"')
            first += text[at];
    first = asciiLowered(first);
    for (const GpsbabelFormat& f : gpsbabelFormats) {
        const std::string mark = asciiLowered(f.mark);
        if (mark[0] == '<' ? asciiLowered(top) == mark.substr(1) : first.rfind(mark, 0) == 0)
            return &f;
    }
    const std::string extension = asciiLowered(std::filesystem::path(path).extension().string());
    const FileFormat contents = formatFromContent(data, size);
    for (const GpsbabelFormat& f : gpsbabelFormats)
        if (*f.extension != '\0' && extension == f.extension &&
            (contents == FileFormat::unknown || contents == FileFormat::csv))
            return &f;
    return nullptr;
}

const char* formatName(FileFormat format) {
    return formatRow(format).shown;
}

bool isGpsbabelExtension(const std::string& extension) {
    for (const GpsbabelFormat& f : gpsbabelFormats)
        if (*f.extension != '\0' && asciiLowered(extension) == f.extension)
            return true;
    return false;
}

const char* formatOptions() {
    return "db, tour, airports, gpx, csv, pln (XML or older text flight plan), "
           "fms (flight plan of fixes) or fpl (GPS route)";
}

int32_t firstBinaryLine(const uint8_t* data, size_t size) {
    // Text in UTF-16 is told by its own reader.
    if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF)))
        return 0;
    int32_t line = 1;
    for (size_t i = 0; i < size && i < lookedAt; ++i) {
        uint8_t c = data[i];
        line += c == '\n' ? 1 : 0;
        // A DOS end-of-file mark may close a text file.
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n' && !(c == 0x1A && i + 1 == size)) ||
            c == 0x7F)
            return line;
    }
    return 0;
}
