#include "scenario_database.h"

#include "common/db_record.h"
#include "common/file_faults.h"

bool checkDatabaseBytes(const uint8_t* bytes, size_t size, std::string& problem) {
    for (const FileFinding& finding : findFileFaults(bytes, size)) {
        if (scenarioAccepts(finding.fault))
            continue;
        problem = finding.record == 0
                      ? finding.reason
                      : "record " + std::to_string(finding.record) + ": " + finding.reason;
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
    RecordBuffer record;
    decodeRecord(bytes + size_t(destination - 1) * recordSize, recordSize, record);
    if (isFolderRecord(record)) {
        problem = "destination.record: record " + std::to_string(destination) +
                  " is a folder, not an airport or a tour item";
        return false;
    }
    return true;
}
