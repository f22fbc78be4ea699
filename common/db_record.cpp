#include "db_record.h"

#include <cstdio>
#include <cstring>

#include "text_fields.h"

namespace {

struct RecordColumn {
    size_t lineOffset;   // in RecordLine
    size_t width;        // columns in the line
    size_t readWidth;    // characters kept on reading
    size_t bufferOffset; // in RecordBuffer
    bool cutOnWrite;     // cut to width and trimmed before writing
    bool nulAsSpace;     // a NUL reads as a space; otherwise the text ends at it
};

#define COLUMN(field, readWidth, cut, nulAsSpace)                                                  \
    {                                                                                              \
        offsetof(RecordLine, field), sizeof(RecordLine::field), readWidth,                         \
            offsetof(RecordBuffer, field), cut, nulAsSpace                                         \
    }

// Column order of the line. Only 24 characters of name are kept: its 25th column is blank by
// rule and ignored on reading. A NUL inside the two texts the pilot reads is a stray byte in the
// middle of words; inside a number or a flag it must end the text, or "\0" then "1" in the level
// would turn an airport into a folder.
const RecordColumn recordColumns[] = {
    COLUMN(ident, 5, true, true),
    COLUMN(name, 24, true, true),
    COLUMN(latHemisphere, 1, true, false),
    COLUMN(latDegrees, 3, true, false),
    COLUMN(latMinutes, 2, true, false),
    COLUMN(latSeconds, 2, true, false),
    COLUMN(lonHemisphere, 1, true, false),
    COLUMN(lonDegrees, 3, true, false),
    COLUMN(lonMinutes, 2, true, false),
    COLUMN(lonSeconds, 2, true, false),
    COLUMN(level, 2, true, false),
    COLUMN(tourFlag, 1, false, false),
    COLUMN(altitudeHoldFlag, 1, false, false),
    COLUMN(altitude, 5, false, false),
};

#undef COLUMN

char* fieldOf(RecordBuffer& record, const RecordColumn& column) {
    return reinterpret_cast<char*>(&record) + column.bufferOffset;
}

} // namespace

void trimRight(char* text) {
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ')
        --length;
    text[length] = '\0';
}

void clearRecordBuffer(RecordBuffer& record) {
    std::memset(&record, 0, sizeof record);
    record.latHemisphere[0] = 'N';
    record.lonHemisphere[0] = 'E';
}

void decodeRecord(const uint8_t* bytes, size_t length, RecordBuffer& record) {
    // Every byte defined, also those behind a field's NUL (name reads 24 of its 26), so that two
    // reads of the same line give the same buffer byte for byte.
    std::memset(&record, 0, sizeof record);
    for (const RecordColumn& column : recordColumns) {
        char* field = fieldOf(record, column);
        for (size_t i = 0; i < column.readWidth; ++i) {
            size_t at = column.lineOffset + i;
            char c = at < length ? static_cast<char>(bytes[at]) : ' ';
            if (c == '\0' && !column.nulAsSpace)
                break;
            field[i] = c == '\0' ? ' ' : c;
        }
        trimRight(field);
        // Nothing behind the text either: a line and its rewrite decode to the same bytes.
        size_t kept = std::strlen(field);
        std::memset(field + kept, 0, column.readWidth + 1 - kept);
    }
}

void encodeRecord(RecordBuffer& record, uint8_t* line) {
    std::memset(line, ' ', recordSize);
    for (const RecordColumn& column : recordColumns) {
        char* field = fieldOf(record, column);
        if (column.cutOnWrite) {
            field[boundedTextLength(field, column.width)] = '\0';
            trimRight(field);
        }
        std::memcpy(line + column.lineOffset, field, boundedTextLength(field, column.width));
    }
    line[offsetof(RecordLine, lineEnd)] = '\r';
    line[offsetof(RecordLine, lineEnd) + 1] = '\n';
}

int32_t recordLevel(const RecordBuffer& record) {
    return readWholeNumber(record.level, sizeof record.level);
}

bool isCurrentChoice(const RecordBuffer& record) {
    return recordLevel(record) < 0;
}

void markCurrentChoice(RecordBuffer& record, bool chosen) {
    record.level[0] = '\0';
    if (chosen)
        std::snprintf(record.level, sizeof record.level, "%d", currentChoiceLevel);
}

bool isFolderRecord(const RecordBuffer& record) {
    return recordLevel(record) >= 1;
}

bool isTourRecord(const RecordBuffer& record) {
    return readWholeNumber(record.tourFlag, sizeof record.tourFlag) > 0;
}

bool isTourItemRecord(const RecordBuffer& record) {
    return isTourRecord(record) && !isFolderRecord(record);
}

// Any tour flag above 0 counts as 1 and the two-column level is at most 99, so the kind byte
// stays within 0-199 and its two tests agree with the record's own kind.
uint32_t recordKind(const RecordBuffer& record) {
    int32_t level = recordLevel(record);
    uint32_t folderLevel = level < 1 ? 0 : static_cast<uint32_t>(level);
    return (isTourRecord(record) ? tourItemKind : airportKind) + folderLevel;
}

uint32_t itemWord(int32_t recordNumber, uint32_t kind) {
    return (static_cast<uint32_t>(recordNumber) & itemRecordMask) |
           ((kind & 0xFF) << itemKindShift);
}
