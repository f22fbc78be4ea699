#include "airport_line.h"

#include <cstring>

#include "record_check.h"
#include "text_fields.h"

namespace {

struct AirportColumn {
    size_t lineOffset;   // in AirportLine
    size_t readWidth;    // characters of the block that are read
    size_t bufferOffset; // in RecordBuffer
    size_t capacity;     // of the field in RecordBuffer
    size_t writeWidth;   // characters kept on writing, as the database record keeps them
    bool nulAsSpace;     // a NUL reads as a space; otherwise the value ends at it
};

#define COLUMN(field, readWidth, writeWidth, nulAsSpace)                                           \
    {                                                                                              \
        offsetof(AirportLine, field), readWidth, offsetof(RecordBuffer, field),                    \
            sizeof(RecordBuffer::field), writeWidth, nulAsSpace                                    \
    }

// The blocks in column order. Each is wider than what is read of it: the rest is the space that
// keeps a written file readable as columns.
const AirportColumn airportColumns[] = {
    COLUMN(ident, 5, 5, true),          COLUMN(name, 24, 25, true),
    COLUMN(latHemisphere, 1, 1, false), COLUMN(latDegrees, 3, 3, false),
    COLUMN(latMinutes, 2, 2, false),    COLUMN(latSeconds, 2, 2, false),
    COLUMN(lonHemisphere, 1, 1, false), COLUMN(lonDegrees, 3, 3, false),
    COLUMN(lonMinutes, 2, 2, false),    COLUMN(lonSeconds, 2, 2, false),
};

#undef COLUMN

char* fieldOf(RecordBuffer& record, const AirportColumn& column) {
    return reinterpret_cast<char*>(&record) + column.bufferOffset;
}

} // namespace

void readAirportLine(const uint8_t* bytes, size_t length, RecordBuffer& record) {
    for (const AirportColumn& column : airportColumns) {
        char* field = fieldOf(record, column);
        size_t kept = 0;
        for (; kept < column.readWidth; ++kept) {
            size_t at = column.lineOffset + kept;
            char c = at < length ? static_cast<char>(bytes[at]) : ' ';
            if (c == '\0' && !column.nulAsSpace)
                break;
            field[kept] = c == '\0' ? ' ' : c;
        }
        field[kept] = '\0';
        trimRight(field);
        // Nothing left behind the value: reading the same line twice gives the same bytes.
        kept = std::strlen(field);
        std::memset(field + kept, 0, column.capacity - kept);
    }
}

void writeAirportLine(RecordBuffer& record, uint8_t* line) {
    std::memset(line, ' ', airportLineSize);
    for (const AirportColumn& column : airportColumns) {
        char* field = fieldOf(record, column);
        field[boundedTextLength(field, column.writeWidth)] = '\0';
        trimRight(field);
        // name may keep its 25th character in the record; its block takes 26.
        std::memcpy(line + column.lineOffset, field, std::strlen(field));
    }
    line[offsetof(AirportLine, lineEnd)] = '\r';
    line[offsetof(AirportLine, lineEnd) + 1] = '\n';
}

bool isBlankExchangeRecord(const RecordBuffer& r) {
    const char* const counted[] = {r.ident,      r.name,       r.latDegrees, r.latMinutes,
                                   r.latSeconds, r.lonDegrees, r.lonMinutes, r.lonSeconds};
    for (const char* text : counted) {
        if (hasVisibleText(text))
            return false;
    }
    return true;
}

namespace {

// An entry the tree makes ("New Airport", "New Tour") has no position yet: its six numbers are
// blank. Exported as it is, it must come back the same.
bool hasNoPositionYet(const RecordBuffer& r) {
    const char* const numbers[] = {r.latDegrees, r.latMinutes, r.latSeconds,
                                   r.lonDegrees, r.lonMinutes, r.lonSeconds};
    for (const char* text : numbers) {
        if (hasVisibleText(text))
            return false;
    }
    return true;
}

bool isHemisphereOrBlank(const char* hemisphere, char positive, char negative) {
    return !hasVisibleText(hemisphere) ||
           (std::strlen(hemisphere) == 1 &&
            (hemisphere[0] == positive || hemisphere[0] == negative));
}

} // namespace

LineProblem checkLinePosition(const RecordBuffer& r) {
    if (hasNoPositionYet(r)) {
        if (!isHemisphereOrBlank(r.latHemisphere, 'N', 'S'))
            return LineProblem::latitudeHemisphere;
        return isHemisphereOrBlank(r.lonHemisphere, 'E', 'W') ? LineProblem::none
                                                              : LineProblem::longitudeHemisphere;
    }
    const ColumnProblems problems = checkPositionColumns(r);
    switch (coordinateFault(problems, true)) {
    case CoordinateFault::hemisphere:
        return LineProblem::latitudeHemisphere;
    case CoordinateFault::notNumber:
        return LineProblem::latitudeNotNumber;
    case CoordinateFault::range:
        return LineProblem::latitudeRange;
    case CoordinateFault::none:
        break;
    }
    switch (coordinateFault(problems, false)) {
    case CoordinateFault::hemisphere:
        return LineProblem::longitudeHemisphere;
    case CoordinateFault::notNumber:
        return LineProblem::longitudeNotNumber;
    case CoordinateFault::range:
        return LineProblem::longitudeRange;
    case CoordinateFault::none:
        break;
    }
    // Whole numbers by now, so the lenient reading gives their values. Narrower than the gauge's
    // no point (isNoPointLatitude): a line on the equator comes in, as it always has, and
    // tarvix-db check warns of it.
    const char* const numbers[] = {r.latDegrees, r.latMinutes, r.latSeconds,
                                   r.lonDegrees, r.lonMinutes, r.lonSeconds};
    for (const char* text : numbers) {
        if (readWholeNumber(text) != 0)
            return LineProblem::none;
    }
    return LineProblem::noPosition;
}

const char* lineProblemText(LineProblem problem) {
    switch (problem) {
    case LineProblem::none:
        return "fine";
    case LineProblem::tabInLine:
        return "a tab instead of spaces";
    case LineProblem::latitudeHemisphere:
        return "latitude not N or S";
    case LineProblem::latitudeNotNumber:
        return "latitude not a number";
    case LineProblem::latitudeRange:
        return "latitude out of range";
    case LineProblem::longitudeHemisphere:
        return "longitude not E or W";
    case LineProblem::longitudeNotNumber:
        return "longitude not a number";
    case LineProblem::longitudeRange:
        return "longitude out of range";
    case LineProblem::noPosition:
        return "no position (0 0 0, 0 0 0)";
    }
    return "unknown";
}

bool isFixedLayout(const uint8_t* bytes, size_t size) {
    if (size == 0 || size % airportLineSize != 0)
        return false;
    for (size_t end = airportLineSize; end <= size; end += airportLineSize) {
        if (bytes[end - 2] != '\r' || bytes[end - 1] != '\n')
            return false;
    }
    return true;
}

ExchangeLineCursor startExchangeLines(const uint8_t* bytes, size_t size) {
    return {bytes, size, 0, 0, isFixedLayout(bytes, size)};
}

bool nextExchangeLine(ExchangeLineCursor& cursor, ExchangeLine& line) {
    if (cursor.at >= cursor.size)
        return false;
    line.offset = cursor.at;
    line.number = ++cursor.number;
    line.hasTab = false;
    if (cursor.fixedLayout) {
        line.length = airportLineSize - 2;
        cursor.at += airportLineSize;
        return true;
    }
    size_t end = cursor.at;
    while (end < cursor.size && cursor.bytes[end] != '\r' && cursor.bytes[end] != '\n') {
        line.hasTab = line.hasTab || cursor.bytes[end] == '\t';
        ++end;
    }
    line.length = end - cursor.at;
    if (end < cursor.size && cursor.bytes[end] == '\r')
        ++end;
    if (end < cursor.size && cursor.bytes[end] == '\n')
        ++end;
    cursor.at = end;
    return true;
}

LineProblem checkExchangeLine(const ExchangeLine& line, const RecordBuffer& record) {
    return line.hasTab ? LineProblem::tabInLine : checkLinePosition(record);
}
