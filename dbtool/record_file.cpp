#include "record_file.h"

#include <vector>

#include "common/airport_line.h"
#include "common/record_check.h"
#include "common/record_rules.h"

namespace {

void readLines(const uint8_t* data, size_t size, bool exchangeFile, RecordFile& file) {
    file.records.clear();
    file.byLines = exchangeFile && !isFixedLayout(data, size);
    if (!file.byLines) {
        file.shortBytes = size % recordSize;
        file.records.assign(size / recordSize, RecordEntry{});
        for (size_t n = 0; n < file.records.size(); ++n) {
            const uint8_t* line = data + n * recordSize;
            RecordEntry& entry = file.records[n];
            decodeRecord(line, recordSize, entry.record);
            entry.lineEndOk = hasRecordLineEnd(line);
        }
        return;
    }
    file.shortBytes = 0;
    ExchangeLineCursor cursor = startExchangeLines(data, size);
    ExchangeLine line;
    while (nextExchangeLine(cursor, line)) {
        RecordEntry entry{};
        decodeRecord(data + line.offset, line.length, entry.record);
        entry.lineEndOk = true;
        entry.hasTab = line.hasTab;
        file.records.push_back(entry);
    }
}

} // namespace

void readRecordFile(const uint8_t* data, size_t size, bool exchangeFile, RecordFile& file) {
    readLines(data, size, exchangeFile, file);
    std::vector<int32_t> parents(file.records.size());
    LoadPlace cursor;
    for (size_t n = 0; n < file.records.size(); ++n) {
        RecordEntry& entry = file.records[n];
        entry.level = recordLevel(entry.record);
        entry.folder = entry.level >= 1;
        entry.tourKind = isTourRecord(entry.record);
        const int32_t parent =
            placeRecord(cursor, parents.data(), static_cast<int32_t>(n), entry.level);
        parents[n] = parent;
        entry.parent = parent;
        entry.depth = parent == noParent ? 1 : file.records[static_cast<size_t>(parent)].depth + 1;
    }
}

namespace {

// One reason a problem, in the words of the strict check, without the record's column numbers:
// the same reading serves lines of "Tarvix.dat", whose columns lie elsewhere.
bool addReasons(const ColumnProblems& problems, const RecordBuffer& record,
                std::vector<std::string>& reasons) {
    for (int32_t i = 0; i < problems.count; ++i) {
        char text[160];
        describeValueProblem(problems.items[i], record, text, sizeof text);
        reasons.push_back(text);
    }
    return problems.count == 0;
}

} // namespace

bool entryPosition(const RecordBuffer& record, DmsAngle& latitude, DmsAngle& longitude,
                   std::vector<std::string>& reasons) {
    if (!addReasons(readPositionColumns(record, latitude, longitude), record, reasons))
        return false;
    std::string noPoint = noPointReason(latitude, longitude);
    if (noPoint.empty())
        return true;
    reasons.push_back(noPoint);
    return false;
}

bool entryAltitude(const RecordBuffer& record, bool& hasAltitude, int32_t& feet,
                   std::vector<std::string>& reasons) {
    return addReasons(readAltitudeColumn(record, hasAltitude, feet), record, reasons);
}
