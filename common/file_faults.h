// The faults of a whole database file, found by the one walk that tarvix-db check and a
// scenario's database check both make, so that the two cannot disagree about one file; each
// record's columns are judged by the strict check (record_check.h). Kept apart from that check
// because the modules, which read every file leniently, have no use for it. Pure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The faults of a whole database file, in the order a record is looked at.
enum class FileFault : uint8_t {
    empty,          // the file holds no byte
    tooManyRecords, // a record past maxTreeRecordNumber, which the settings dialog's tree numbers
    lineEnd,        // columns 63-64 are not CR LF: every record after it is shifted
    controlByte,    // a byte below 32, or 127, in columns 1-62 (its columns are not read)
    column,         // a column fails checkRecordColumns
    levelJump,      // a folder more than one level deeper than the folder before (the first: 1)
    secondMarker,   // a current-choice marker after the first
    shortRecord,    // the last record holds fewer than 64 bytes
};

// Whether a scenario may fly from a database with the fault. tarvix-db check reports what a
// scenario refuses as a problem and what it accepts as a warning. A database too large for the
// tree is sound: the exported calls step through tours anywhere in it, only the settings dialog
// refuses to open it (and says so).
constexpr bool scenarioAccepts(FileFault fault) {
    return fault == FileFault::tooManyRecords;
}

struct FileFinding {
    FileFault fault;
    int32_t record;     // from 1; 0 for the file as a whole
    std::string reason; // "columns 63-64 are not CR LF ...", the words both tools print
};

// Every fault of a database read at fixed offsets, as the library reads it, in record order.
// A record whose line end is wrong is not looked at further; one with a control byte has its
// columns left unread, while its level still counts for the folders after it.
std::vector<FileFinding> findFileFaults(const uint8_t* bytes, size_t size);
