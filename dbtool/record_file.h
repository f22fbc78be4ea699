// Files in the 64-byte record layout ("TarvixDb.dat", "TarvixTr.dat") read whole into memory,
// with the folder tree the settings dialog would build from them, and an entry's position and
// altitude as the strict check reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/db_record.h"
#include "waypoints.h"

struct RecordEntry {
    RecordBuffer record;
    bool lineEndOk; // CR LF at columns 63-64 (always, for a file read line by line)
    bool hasTab;    // a line read line by line that holds a tab: its columns are unknown
    int32_t parent; // index of the folder record that holds it; -1 at the top level
    int32_t depth;  // depth in the tree: 1 at the top level
    int32_t level;  // the level column, read leniently (a folder's is 1 or more)
    bool folder;
    bool tourKind;
};

struct RecordFile {
    std::vector<RecordEntry> records; // record n is records[n - 1]
    size_t shortBytes;                // bytes of a last record that is not 64 long
    bool byLines;                     // read line by line, as the tour import reads such a file
};

// Every whole record, and the tree built by the dialog's load rule (placeRecord, record_rules.h):
// entries in the last folder read; a folder at level 1 at the top, a deeper one inside the last
// folder read, any other beside that folder's ancestor of its own level, never above the top.
// The database is read at fixed offsets, as the library reads it; a tour file (exchangeFile) the
// way the import cuts it into lines: at fixed offsets when it is all 64-byte lines, else line by
// line.
void readRecordFile(const uint8_t* data, size_t size, bool exchangeFile, RecordFile& file);

// The entry's position as the strict check reads it (readPositionColumns, common/record_check.h),
// and whether the gauge can fly to it. Appends one reason per fault in the check's words;
// true when there is none.
bool entryPosition(const RecordBuffer& record, DmsAngle& latitude, DmsAngle& longitude,
                   std::vector<std::string>& reasons);

// The altitude of a tour item as the strict check reads it (blank is no altitude).
bool entryAltitude(const RecordBuffer& record, bool& hasAltitude, int32_t& feet,
                   std::vector<std::string>& reasons);
