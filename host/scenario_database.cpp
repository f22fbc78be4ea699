#include "host/scenario_database.h"

#include <cstdio>

#include "common/db_record.h"

namespace {

struct Column {
    size_t first; // 1-based, as the record's table counts them
    size_t width;
    const char* name;
};

std::string columnsOf(const Column& c) {
    return c.width == 1
               ? "column " + std::to_string(c.first)
               : "columns " + std::to_string(c.first) + "-" + std::to_string(c.first + c.width - 1);
}

// The field without its blanks; false when blanks sit between its characters.
bool fieldText(const uint8_t* line, const Column& c, std::string& text) {
    std::string raw(reinterpret_cast<const char*>(line) + c.first - 1, c.width);
    size_t begin = raw.find_first_not_of(' ');
    if (begin == std::string::npos) {
        text.clear();
        return true;
    }
    text = raw.substr(begin, raw.find_last_not_of(' ') - begin + 1);
    return text.find(' ') == std::string::npos;
}

// A blank field reads as 0, as the library reads it.
bool wholeField(const uint8_t* line, const Column& c, long low, long high, bool allowSign,
                long& value) {
    std::string text;
    if (!fieldText(line, c, text))
        return false;
    size_t digits = allowSign && !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits && digits > 0)
        return false;
    for (size_t i = digits; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    value = text.size() > digits ? std::stol(text) : 0;
    return value >= low && value <= high;
}

const Column latHemisphere{31, 1, "latitude hemisphere"},
    lonHemisphere{39, 1, "longitude hemisphere"};
const Column level{47, 2, "level"}, tourFlag{49, 1, "tour flag"};
const Column holdFlag{50, 1, "altitude hold flag"}, altitude{51, 5, "altitude"};

struct Ranged {
    Column column;
    long high;
};
const Ranged positionFields[] = {
    {{32, 3, "latitude degrees"}, 90},  {{35, 2, "latitude minutes"}, 59},
    {{37, 2, "latitude seconds"}, 59},  {{40, 3, "longitude degrees"}, 180},
    {{43, 2, "longitude minutes"}, 59}, {{45, 2, "longitude seconds"}, 59}};

std::string quoted(const uint8_t* line, const Column& c) {
    return "'" + std::string(reinterpret_cast<const char*>(line) + c.first - 1, c.width) + "'";
}

bool oneOf(const uint8_t* line, const Column& c, const char* allowed) {
    for (const char* a = allowed; *a; ++a)
        if (line[c.first - 1] == static_cast<uint8_t>(*a))
            return true;
    return false;
}

std::string recordProblem(const uint8_t* line, bool& isFolder) {
    if (line[62] != '\r' || line[63] != '\n') {
        for (size_t i = 0; i < recordSize; ++i)
            if (line[i] == '\n')
                return "columns 63-64 are not CR LF: a line ends at column " +
                       std::to_string(i + 1) +
                       " (a file saved with LF line ends? every line must be 64 bytes, CR LF "
                       "included)";
        return "columns 63-64 are not CR LF";
    }
    for (size_t i = 0; i < recordSize - 2; ++i) {
        if (line[i] < 32 || line[i] == 127) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", line[i]);
            return "column " + std::to_string(i + 1) + " holds the control byte " + code +
                   ", not text";
        }
    }
    long depth = 0;
    if (!wholeField(line, level, -99, 99, true, depth))
        return columnsOf(level) + " (level) " + quoted(line, level) +
               " is neither blank, a folder depth 1-99 nor -1";
    if (!oneOf(line, tourFlag, " 1"))
        return columnsOf(tourFlag) + " (tour flag) " + quoted(line, tourFlag) +
               " is neither blank nor 1";
    isFolder = depth >= 1;
    if (isFolder)
        return ""; // a folder's other columns carry no meaning
    if (!oneOf(line, latHemisphere, "NS"))
        return columnsOf(latHemisphere) + " (latitude hemisphere) " + quoted(line, latHemisphere) +
               " is not N or S";
    if (!oneOf(line, lonHemisphere, "EW"))
        return columnsOf(lonHemisphere) + " (longitude hemisphere) " + quoted(line, lonHemisphere) +
               " is not E or W";
    for (const Ranged& f : positionFields) {
        long value = 0;
        if (!wholeField(line, f.column, 0, f.high, false, value))
            return columnsOf(f.column) + " (" + f.column.name + ") " + quoted(line, f.column) +
                   " is not a whole number from 0 to " + std::to_string(f.high);
    }
    if (line[tourFlag.first - 1] == ' ')
        return "";
    long feet = 0;
    if (!oneOf(line, holdFlag, " 1"))
        return columnsOf(holdFlag) + " (altitude hold flag) " + quoted(line, holdFlag) +
               " is neither blank nor 1";
    if (!wholeField(line, altitude, 0, 99996, false, feet))
        return columnsOf(altitude) + " (altitude) " + quoted(line, altitude) +
               " is not a whole number of feet from 0 to 99996";
    return "";
}

} // namespace

bool checkDatabaseBytes(const uint8_t* bytes, size_t size, std::string& problem) {
    if (size == 0) {
        problem = "the file is empty";
        return false;
    }
    size_t records = size / recordSize;
    for (size_t n = 0; n < records; ++n) {
        bool folder = false;
        std::string wrong = recordProblem(bytes + n * recordSize, folder);
        if (!wrong.empty()) {
            problem = "record " + std::to_string(n + 1) + ": " + wrong;
            return false;
        }
    }
    if (size % recordSize != 0) {
        problem = "record " + std::to_string(records + 1) + " has only " +
                  std::to_string(size % recordSize) + " of its 64 bytes";
        return false;
    }
    return true;
}

bool checkDestinationRecord(const uint8_t* bytes, size_t size, int32_t destination,
                            std::string& problem) {
    size_t records = size / recordSize;
    if (destination < 1 || size_t(destination) > records) {
        problem = "destination.record: " + std::to_string(destination) + " is beyond the " +
                  std::to_string(records) + " records of the database";
        return false;
    }
    bool folder = false;
    recordProblem(bytes + size_t(destination - 1) * recordSize, folder);
    if (folder) {
        problem = "destination.record: record " + std::to_string(destination) +
                  " is a folder, not an airport or a tour item";
        return false;
    }
    return true;
}
