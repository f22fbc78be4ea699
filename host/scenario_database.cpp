#include "host/scenario_database.h"

#include <cstdio>

#include "common/db_record.h"
#include "common/record_check.h"

namespace {

std::string recordProblem(const uint8_t* line, bool& isFolder) {
    if (!hasRecordLineEnd(line)) {
        for (size_t i = 0; i < recordSize; ++i)
            if (line[i] == '\n')
                return "columns 63-64 are not CR LF: a line ends at column " +
                       std::to_string(i + 1) +
                       " (a file saved with LF line ends? every line must be 64 bytes, CR LF "
                       "included)";
        return "columns 63-64 are not CR LF";
    }
    if (size_t column = firstControlColumn(line)) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", line[column - 1]);
        return "column " + std::to_string(column) + " holds the control byte " + code +
               ", not text";
    }
    RecordBuffer record;
    decodeRecord(line, recordSize, record);
    isFolder = isFolderRecord(record);
    const ColumnProblems problems = checkRecordColumns(record);
    if (problems.count == 0)
        return "";
    char text[160];
    describeColumnProblem(problems.items[0], record, text, sizeof text);
    return text;
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
