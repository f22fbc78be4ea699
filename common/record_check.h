// The strict check of a database record: whether each column holds what it is for, each fault
// named by its columns as the record's table counts them (from 1). The imports' lines, tarvix-db
// check and a scenario's database all judge records with it, so that they cannot disagree.
// The dialog itself reads stored records leniently, as it always has, and its OK check works on
// what the pilot typed into the editor, where a sign or a fraction of a second has a meaning of
// its own: those stay apart. Pure.
#pragma once
#include <cstddef>
#include <cstdint>

#include "db_record.h"
#include "position_units.h"

enum class RecordColumnId : uint8_t {
    latHemisphere,
    latDegrees,
    latMinutes,
    latSeconds,
    lonHemisphere,
    lonDegrees,
    lonMinutes,
    lonSeconds,
    level,
    tourFlag,
    altitudeHoldFlag,
    altitude,
};

enum class ColumnFault : uint8_t {
    notHemisphere,  // the latitude's is not N or S, the longitude's not E or W
    notWholeNumber, // letters, a sign or blanks between digits
    aboveLargest,   // degrees above 90 or 180, minutes or seconds above 59, altitude too high
    pastLimit,      // minutes or seconds at 90 degrees latitude or 180 degrees longitude
    notLevel,       // neither blank, a folder depth 1-99 nor -1
    notFlag,        // neither blank nor 1
};

struct ColumnProblem {
    RecordColumnId column;
    ColumnFault fault;
};

// At most one problem a column, in column order.
struct ColumnProblems {
    ColumnProblem items[12];
    int32_t count;
};

// The same position columns with what they hold: latitude and longitude are valid when no
// problem is returned.
ColumnProblems readPositionColumns(const RecordBuffer& record, DmsAngle& latitude,
                                   DmsAngle& longitude);

// A tour item's altitude column: blank is no altitude (hasAltitude false, feet 0); feet is valid
// when no problem is returned.
ColumnProblems readAltitudeColumn(const RecordBuffer& record, bool& hasAltitude, int32_t& feet);

// Level and tour flag for every record; a folder's other columns carry no meaning. An entry's
// position: the hemisphere letters, then whole numbers (leading blanks allowed, blank reads 0)
// up to 90 or 180 degrees and 59 minutes and seconds, nothing beyond 90 or 180 degrees. A tour
// item's altitude hold flag and altitude (0 to highestAltitudeFeet) too.
ColumnProblems checkRecordColumns(const RecordBuffer& record);

// The position columns alone, whatever the record's kind: an import takes every line of its file
// as an entry.
ColumnProblems checkPositionColumns(const RecordBuffer& record);

// The worst fault of one coordinate's four columns, as the imports name a refused line: the
// hemisphere first, then letters in any of its numbers, then a value out of range.
enum class CoordinateFault { none, hemisphere, notNumber, range };
CoordinateFault coordinateFault(const ColumnProblems& problems, bool latitude);

// "columns 32-34 (latitude degrees) '4x ' is not a whole number from 0 to 90": the problem with
// the column's text as the record holds it, padded to the column's width.
void describeColumnProblem(const ColumnProblem& problem, const RecordBuffer& record, char* text,
                           size_t size);

// The same problem without the column numbers, for a line whose columns lie elsewhere (an airport
// line of "Tarvix.dat"): "latitude degrees '95' is not a whole number from 0 to 90".
void describeValueProblem(const ColumnProblem& problem, const RecordBuffer& record, char* text,
                          size_t size);

// Columns 63-64 of a stored line are CR LF.
bool hasRecordLineEnd(const uint8_t* line);

// The first column (from 1) of columns 1-62 that holds a control byte (below 32, or 127), or 0.
size_t firstControlColumn(const uint8_t* line);
