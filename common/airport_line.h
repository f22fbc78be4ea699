// The airport exchange line of "Tarvix.dat", the lines of the two exchange files as a pilot's
// editor leaves them, and the check that a line's values make a position. Pure: the library's
// import and export, the native tools and the fuzzer all call it on bytes.
//
// An airport line is 64 bytes, every value left-aligned in a block one column or more wider
// than the value, so that a written file reads as space-separated columns:
//
//   columns  1-6   ident           first 5 characters read
//            7-32  name            first 24 read
//           33-34  latHemisphere   "N" or "S", first character read
//           35-38  latDegrees      first 3 read
//           39-42  latMinutes      first 2 read
//           43-46  latSeconds      first 2 read
//           47-48  lonHemisphere   "E" or "W", first character read
//           49-52  lonDegrees      first 3 read
//           53-56  lonMinutes      first 2 read
//           57-60  lonSeconds      first 2 read
//           61-62  spaces
//           63-64  carriage return, line feed
//
// The tour exchange file "TarvixTr.dat" holds database records (db_record.h) instead; both files
// are cut into lines by the same reader (startExchangeLines below).
#pragma once
#include <cstddef>
#include <cstdint>

#include "db_record.h"

struct AirportLine {
    char ident[6];         //  0, 6
    char name[26];         //  6, 26
    char latHemisphere[2]; // 32, 2
    char latDegrees[4];    // 34, 4
    char latMinutes[4];    // 38, 4
    char latSeconds[4];    // 42, 4
    char lonHemisphere[2]; // 46, 2
    char lonDegrees[4];    // 48, 4
    char lonMinutes[4];    // 52, 4
    char lonSeconds[4];    // 56, 4
    char padding[2];       // 60, 2  spaces
    char lineEnd[2];       // 62, 2  carriage return, line feed
};

constexpr size_t airportLineSize = 64;
static_assert(sizeof(AirportLine) == airportLineSize, "an airport line is 64 bytes");
static_assert(offsetof(AirportLine, ident) == 0, "ident");
static_assert(offsetof(AirportLine, name) == 6, "name");
static_assert(offsetof(AirportLine, latHemisphere) == 32, "latHemisphere");
static_assert(offsetof(AirportLine, latDegrees) == 34, "latDegrees");
static_assert(offsetof(AirportLine, latMinutes) == 38, "latMinutes");
static_assert(offsetof(AirportLine, latSeconds) == 42, "latSeconds");
static_assert(offsetof(AirportLine, lonHemisphere) == 46, "lonHemisphere");
static_assert(offsetof(AirportLine, lonDegrees) == 48, "lonDegrees");
static_assert(offsetof(AirportLine, lonMinutes) == 52, "lonMinutes");
static_assert(offsetof(AirportLine, lonSeconds) == 56, "lonSeconds");
static_assert(offsetof(AirportLine, padding) == 60, "padding");
static_assert(offsetof(AirportLine, lineEnd) == 62, "lineEnd");

// Reads the ten airport values of one line into their record fields: each block cut to the
// characters it is read for, then trailing spaces removed. length is the line's byte count
// without its line end (at most 64 bytes are looked at); blocks the line does not reach read as
// spaces, so a short line never borrows from the next. A NUL byte in ident or name reads as a
// space, elsewhere it ends the value (as in the database record). level, tourFlag,
// altitudeHoldFlag and altitude are not touched: they keep what the record held.
void readAirportLine(const uint8_t* bytes, size_t length, RecordBuffer& record);

// Cuts and trims the record's ten airport fields in place exactly as a database write does
// (ident 5, name 25, hemispheres 1, degrees 3, minutes and seconds 2) and lays them out as one
// 64-byte line of "Tarvix.dat" ending in CR LF. The other fields are neither read nor changed.
void writeAirportLine(RecordBuffer& record, uint8_t* line);

// The blank rule of both imports: a line is skipped when none of ident, name and the six
// numeric position fields shows a character other than a space. Hemisphere letters and the tour
// columns do not count.
bool isBlankExchangeRecord(const RecordBuffer& record);

// Whether a line's values make a position a pilot could fly to. Leading spaces are allowed in
// the numeric fields, an empty field reads as 0; anything but digits is refused. A line whose six
// numbers are all blank gives no position yet, as an entry the tree made: it passes when its
// hemisphere letters are blank or right.
enum class LineProblem {
    none,
    tabInLine,           // the columns of a line with a tab cannot be known
    latitudeHemisphere,  // not "N" or "S"
    latitudeNotNumber,   // letters or signs in a latitude field
    latitudeRange,       // degrees above 90, minutes or seconds above 59, past the pole
    longitudeHemisphere, // not "E" or "W"
    longitudeNotNumber,
    longitudeRange, // degrees above 180, minutes or seconds above 59, past the date line
    noPosition,     // 0 0 0 and 0 0 0: the instrument takes it for no point at all
};
LineProblem checkLinePosition(const RecordBuffer& record);

// A few words for the pilot, as in "line 12: latitude out of range".
const char* lineProblemText(LineProblem problem);

// The lines of an exchange file held in memory. A file written by the library (its size a
// whole number of 64-byte lines, each ending in CR LF at columns 63-64) is read at fixed
// offsets, so whatever bytes its fields hold, each line is exactly its 64 bytes. Any other file
// (edited by hand: short lines, a missing last line end, LF alone) is read line by line: CR LF,
// LF or CR ends a line, so no line ever shifts into the next. Lines are numbered from 1 as an
// editor numbers them; nothing after the last line end is no line.
struct ExchangeLine {
    size_t offset;  // of the line's first byte in the file
    size_t length;  // bytes before the line end (columns beyond read as spaces)
    int32_t number; // from 1
    bool hasTab;    // a line read line by line that holds a tab: its columns are unknown
};

struct ExchangeLineCursor {
    const uint8_t* bytes;
    size_t size;
    size_t at;
    int32_t number;
    bool fixedLayout;
};

bool isFixedLayout(const uint8_t* bytes, size_t size);
ExchangeLineCursor startExchangeLines(const uint8_t* bytes, size_t size);
// The next line, or false at the end of the file.
bool nextExchangeLine(ExchangeLineCursor& cursor, ExchangeLine& line);

// A decoded line's problem: a tab first, then the position.
LineProblem checkExchangeLine(const ExchangeLine& line, const RecordBuffer& record);
