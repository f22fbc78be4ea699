#include "record_check.h"

#include <cstdio>
#include <cstring>

#include "limits.h"

namespace {

struct ColumnInfo {
    size_t lineOffset;   // in RecordLine
    size_t width;        // columns
    size_t bufferOffset; // in RecordBuffer
    const char* name;
    int32_t largest; // of a number
};

#define COLUMN(field, name, largest)                                                               \
    {                                                                                              \
        offsetof(RecordLine, field), sizeof(RecordLine::field), offsetof(RecordBuffer, field),     \
            name, largest                                                                          \
    }

// In RecordColumnId order.
const ColumnInfo columnInfo[] = {
    COLUMN(latHemisphere, "latitude hemisphere", 0),
    COLUMN(latDegrees, "latitude degrees", 90),
    COLUMN(latMinutes, "latitude minutes", 59),
    COLUMN(latSeconds, "latitude seconds", 59),
    COLUMN(lonHemisphere, "longitude hemisphere", 0),
    COLUMN(lonDegrees, "longitude degrees", 180),
    COLUMN(lonMinutes, "longitude minutes", 59),
    COLUMN(lonSeconds, "longitude seconds", 59),
    COLUMN(level, "level", deepestFolderLevel),
    COLUMN(tourFlag, "tour flag", 1),
    COLUMN(altitudeHoldFlag, "altitude hold flag", 1),
    COLUMN(altitude, "altitude", highestAltitudeFeet),
};

#undef COLUMN

static_assert(sizeof columnInfo / sizeof columnInfo[0] ==
                  static_cast<size_t>(RecordColumnId::altitude) + 1,
              "one entry for every column");

const ColumnInfo& infoOf(RecordColumnId column) {
    return columnInfo[static_cast<size_t>(column)];
}

RecordColumnId columnAfter(RecordColumnId column, int steps) {
    return static_cast<RecordColumnId>(static_cast<int>(column) + steps);
}

const char* textOf(const RecordBuffer& record, RecordColumnId column) {
    return reinterpret_cast<const char*>(&record) + infoOf(column).bufferOffset;
}

enum class NumberRead { read, notNumber, tooLarge };

// Digits after optional leading blanks, a minus sign first when allowed; blank reads 0.
NumberRead readStrictNumber(const char* text, bool allowMinus, int32_t largest, int32_t& value) {
    size_t at = 0;
    while (text[at] == ' ')
        ++at;
    const bool negative = allowMinus && text[at] == '-';
    if (negative && text[++at] == '\0')
        return NumberRead::notNumber;
    value = 0;
    bool tooLarge = false;
    for (; text[at] != '\0'; ++at) {
        if (text[at] < '0' || text[at] > '9')
            return NumberRead::notNumber;
        tooLarge = tooLarge || value > largest; // checked before it could overflow
        if (!tooLarge)
            value = value * 10 + (text[at] - '0');
    }
    if (tooLarge || value > largest)
        return NumberRead::tooLarge;
    value = negative ? -value : value;
    return NumberRead::read;
}

bool isBlankOrOne(const char* text) {
    return text[0] == '\0' || std::strcmp(text, "1") == 0;
}

void add(ColumnProblems& problems, RecordColumnId column, ColumnFault fault) {
    problems.items[problems.count++] = {column, fault};
}

void addNumberFault(ColumnProblems& problems, RecordColumnId column, NumberRead read) {
    if (read == NumberRead::notNumber)
        add(problems, column, ColumnFault::notWholeNumber);
    else if (read == NumberRead::tooLarge)
        add(problems, column, ColumnFault::aboveLargest);
}

// One coordinate: its hemisphere column, then its three numbers; at the pole or the date line a
// minute or a second more is past it.
void checkCoordinate(const RecordBuffer& record, RecordColumnId hemisphere, const char* letters,
                     DmsAngle& angle, ColumnProblems& problems) {
    const char* h = textOf(record, hemisphere);
    if (std::strlen(h) != 1 || (h[0] != letters[0] && h[0] != letters[1]))
        add(problems, hemisphere, ColumnFault::notHemisphere);
    angle.hemisphere = h[0];
    int32_t* values[3] = {&angle.degrees, &angle.minutes, &angle.seconds};
    bool read[3] = {};
    for (int i = 0; i < 3; ++i) {
        const RecordColumnId column = columnAfter(hemisphere, 1 + i);
        *values[i] = 0;
        const NumberRead result =
            readStrictNumber(textOf(record, column), false, infoOf(column).largest, *values[i]);
        read[i] = result == NumberRead::read;
        addNumberFault(problems, column, result);
    }
    if (!read[0] || angle.degrees != infoOf(columnAfter(hemisphere, 1)).largest)
        return;
    for (int i = 1; i < 3; ++i) {
        if (read[i] && *values[i] > 0)
            add(problems, columnAfter(hemisphere, 1 + i), ColumnFault::pastLimit);
    }
}

void addPosition(const RecordBuffer& record, DmsAngle& latitude, DmsAngle& longitude,
                 ColumnProblems& problems) {
    checkCoordinate(record, RecordColumnId::latHemisphere, "NS", latitude, problems);
    checkCoordinate(record, RecordColumnId::lonHemisphere, "EW", longitude, problems);
}

void addAltitude(const RecordBuffer& record, int32_t& feet, ColumnProblems& problems) {
    feet = 0;
    addNumberFault(problems, RecordColumnId::altitude,
                   readStrictNumber(record.altitude, false, highestAltitudeFeet, feet));
}

} // namespace

ColumnProblems readPositionColumns(const RecordBuffer& record, DmsAngle& latitude,
                                   DmsAngle& longitude) {
    ColumnProblems problems{};
    addPosition(record, latitude, longitude, problems);
    return problems;
}

ColumnProblems checkPositionColumns(const RecordBuffer& record) {
    DmsAngle latitude{}, longitude{};
    return readPositionColumns(record, latitude, longitude);
}

ColumnProblems readAltitudeColumn(const RecordBuffer& record, bool& hasAltitude, int32_t& feet) {
    ColumnProblems problems{};
    hasAltitude = record.altitude[0] != '\0';
    addAltitude(record, feet, problems);
    return problems;
}

ColumnProblems checkRecordColumns(const RecordBuffer& record) {
    ColumnProblems problems{};
    // Level and tour flag first: they say what the record is.
    int32_t level = 0;
    if (record.level[0] != '\0' &&
        !(readStrictNumber(record.level, true, deepestFolderLevel, level) == NumberRead::read &&
          (level == currentChoiceLevel || level >= 1)))
        add(problems, RecordColumnId::level, ColumnFault::notLevel);
    if (!isBlankOrOne(record.tourFlag))
        add(problems, RecordColumnId::tourFlag, ColumnFault::notFlag);
    if (isFolderRecord(record))
        return problems; // a folder's other columns carry no meaning
    DmsAngle latitude{}, longitude{};
    addPosition(record, latitude, longitude, problems);
    if (!isTourRecord(record))
        return problems;
    if (!isBlankOrOne(record.altitudeHoldFlag))
        add(problems, RecordColumnId::altitudeHoldFlag, ColumnFault::notFlag);
    int32_t feet = 0;
    addAltitude(record, feet, problems);
    return problems;
}

CoordinateFault coordinateFault(const ColumnProblems& problems, bool latitude) {
    const int first =
        static_cast<int>(latitude ? RecordColumnId::latHemisphere : RecordColumnId::lonHemisphere);
    CoordinateFault worst = CoordinateFault::none;
    for (int32_t i = 0; i < problems.count; ++i) {
        const ColumnProblem& p = problems.items[i];
        const int column = static_cast<int>(p.column);
        if (column < first || column > first + 3)
            continue;
        const CoordinateFault fault =
            p.fault == ColumnFault::notHemisphere    ? CoordinateFault::hemisphere
            : p.fault == ColumnFault::notWholeNumber ? CoordinateFault::notNumber
                                                     : CoordinateFault::range;
        if (worst == CoordinateFault::none || fault < worst)
            worst = fault;
    }
    return worst;
}

namespace {

// What is wrong with the column's text: "is not a whole number from 0 to 90".
void describeFault(const ColumnProblem& problem, char* what, size_t size) {
    const ColumnInfo& info = infoOf(problem.column);
    const bool latitude = problem.column < RecordColumnId::lonHemisphere;
    const char* feet = problem.column == RecordColumnId::altitude ? " of feet" : "";
    switch (problem.fault) {
    case ColumnFault::notHemisphere:
        std::snprintf(what, size, "is not %s", latitude ? "N or S" : "E or W");
        break;
    case ColumnFault::notWholeNumber:
    case ColumnFault::aboveLargest:
        std::snprintf(what, size, "is not a whole number%s from 0 to %ld", feet,
                      static_cast<long>(info.largest));
        break;
    case ColumnFault::pastLimit:
        std::snprintf(what, size, "is not 0, as the %s is %ld degrees",
                      latitude ? "latitude" : "longitude",
                      static_cast<long>(
                          infoOf(latitude ? RecordColumnId::latDegrees : RecordColumnId::lonDegrees)
                              .largest));
        break;
    case ColumnFault::notLevel:
        std::snprintf(what, size, "is neither blank, a folder depth 1-%ld nor %ld",
                      static_cast<long>(deepestFolderLevel), static_cast<long>(currentChoiceLevel));
        break;
    case ColumnFault::notFlag:
        std::snprintf(what, size, "is neither blank nor 1");
        break;
    }
}

} // namespace

void describeColumnProblem(const ColumnProblem& problem, const RecordBuffer& record, char* text,
                           size_t size) {
    const ColumnInfo& info = infoOf(problem.column);
    const size_t first = info.lineOffset + 1;
    char columns[24];
    if (info.width == 1)
        std::snprintf(columns, sizeof columns, "column %u", static_cast<unsigned>(first));
    else
        std::snprintf(columns, sizeof columns, "columns %u-%u", static_cast<unsigned>(first),
                      static_cast<unsigned>(first + info.width - 1));
    char what[64];
    describeFault(problem, what, sizeof what);
    std::snprintf(text, size, "%s (%s) '%-*.*s' %s", columns, info.name,
                  static_cast<int>(info.width), static_cast<int>(info.width),
                  textOf(record, problem.column), what);
}

void describeValueProblem(const ColumnProblem& problem, const RecordBuffer& record, char* text,
                          size_t size) {
    char what[64];
    describeFault(problem, what, sizeof what);
    std::snprintf(text, size, "%s '%s' %s", infoOf(problem.column).name,
                  textOf(record, problem.column), what);
}

bool hasRecordLineEnd(const uint8_t* line) {
    return line[offsetof(RecordLine, lineEnd)] == '\r' &&
           line[offsetof(RecordLine, lineEnd) + 1] == '\n';
}

size_t firstControlColumn(const uint8_t* line) {
    for (size_t i = 0; i < offsetof(RecordLine, lineEnd); ++i) {
        if (line[i] < 32 || line[i] == 127)
            return i + 1;
    }
    return 0;
}
