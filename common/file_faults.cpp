#include "file_faults.h"

#include <cstdio>
#include <utility>

#include "db_record.h"
#include "record_check.h"

namespace {

struct FileWalk {
    std::vector<FileFinding> findings;
    int32_t previousLevel = 0; // of the last folder read
    int32_t firstMarker = 0;   // record of the first current-choice marker
};

void addFinding(FileWalk& walk, FileFault fault, int32_t record, std::string reason) {
    walk.findings.push_back(FileFinding{fault, record, std::move(reason)});
}

std::string lineEndReason(const uint8_t* line) {
    for (size_t i = 0; i < recordSize; ++i) {
        if (line[i] == '\n')
            return "columns 63-64 are not CR LF: a line ends at column " + std::to_string(i + 1) +
                   " (a file saved with LF line ends? every line must be 64 bytes, CR LF "
                   "included)";
    }
    return "columns 63-64 are not CR LF: the lines are not 64 bytes long from here";
}

std::string tooManyReason() {
    char text[96];
    std::snprintf(text, sizeof text,
                  "more than %d,%03d records: the settings dialog cannot open the database",
                  static_cast<int>(maxTreeRecordNumber / 1000),
                  static_cast<int>(maxTreeRecordNumber % 1000));
    return text;
}

void addColumnFaults(FileWalk& walk, const RecordBuffer& record, int32_t n) {
    const ColumnProblems problems = checkRecordColumns(record);
    for (int32_t i = 0; i < problems.count; ++i) {
        char text[160];
        describeColumnProblem(problems.items[i], record, text, sizeof text);
        addFinding(walk, FileFault::column, n, text);
    }
}

// A folder nests at most one level below the folder before it; one entry carries the marker.
void addTreeFaults(FileWalk& walk, const RecordBuffer& record, int32_t n) {
    const int32_t level = recordLevel(record);
    if (level >= 1) {
        const int32_t before = walk.previousLevel;
        if (level > before + 1)
            addFinding(walk, FileFault::levelJump, n,
                       before == 0 ? "first folder at level " + std::to_string(level) +
                                         ": the top level is 1"
                                   : "folder level jumps from " + std::to_string(before) + " to " +
                                         std::to_string(level) +
                                         ": a folder is at most one level deeper than the one "
                                         "before");
        walk.previousLevel = level;
        return;
    }
    if (!isCurrentChoice(record))
        return;
    if (walk.firstMarker != 0)
        addFinding(walk, FileFault::secondMarker, n,
                   "another current-choice marker (level " + std::to_string(currentChoiceLevel) +
                       "); the first is at record " + std::to_string(walk.firstMarker));
    else
        walk.firstMarker = n;
}

void walkRecord(FileWalk& walk, const uint8_t* line, int32_t n) {
    if (n == maxTreeRecordNumber + 1)
        addFinding(walk, FileFault::tooManyRecords, n, tooManyReason());
    if (!hasRecordLineEnd(line)) {
        addFinding(walk, FileFault::lineEnd, n, lineEndReason(line));
        return;
    }
    RecordBuffer record;
    decodeRecord(line, recordSize, record);
    if (const size_t column = firstControlColumn(line)) {
        char text[64];
        std::snprintf(text, sizeof text, "column %u holds the control byte 0x%02X, not text",
                      static_cast<unsigned>(column), static_cast<unsigned>(line[column - 1]));
        addFinding(walk, FileFault::controlByte, n, text);
    } else {
        addColumnFaults(walk, record, n);
    }
    addTreeFaults(walk, record, n);
}

} // namespace

std::vector<FileFinding> findFileFaults(const uint8_t* bytes, size_t size) {
    FileWalk walk;
    if (size == 0)
        addFinding(walk, FileFault::empty, 0, "the file is empty: no records");
    const size_t records = size / recordSize;
    for (size_t n = 0; n < records; ++n)
        walkRecord(walk, bytes + n * recordSize, static_cast<int32_t>(n + 1));
    if (size % recordSize != 0)
        addFinding(walk, FileFault::shortRecord, static_cast<int32_t>(records + 1),
                   "the last record is short: " + std::to_string(size % recordSize) +
                       " of 64 bytes, never read");
    return walk.findings;
}
