#include "db_check.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "common/airport_line.h"
#include "common/file_faults.h"
#include "common/record_check.h"
#include "common/record_rules.h"
#include "finding_report.h"
#include "record_file.h"
#include "text_codec.h"

namespace {

const char* const lineByLine = "not all lines are 64 bytes ending in CR LF: the import reads the "
                               "file line by line, columns beyond a line's end as blank";
const char* const tabInLine = "a tab instead of spaces: the columns are unknown, the import "
                              "leaves the line out";

std::string quoted(const char* ansi) {
    return "'" + utf8FromAnsi(ansi) + "'";
}

struct Group {
    int32_t firstAirport = 0;
    int32_t firstTourItem = 0;
    int32_t tourItems = 0;
};

// Every column that does not hold what it is for, as a scenario's check and the imports judge it.
void checkColumns(const RecordEntry& entry, int32_t n, Findings& findings) {
    const ColumnProblems problems = checkRecordColumns(entry.record);
    for (int32_t i = 0; i < problems.count; ++i) {
        char text[160];
        describeColumnProblem(problems.items[i], entry.record, text, sizeof text);
        addProblem(findings, n, utf8FromAnsi(text));
    }
}

void checkEntry(const RecordEntry& entry, int32_t n, bool tourFile, Findings& findings) {
    const RecordBuffer& r = entry.record;
    std::vector<std::string> reasons;
    const ColumnProblems position = checkPositionColumns(r);
    if (coordinateFault(position, true) == CoordinateFault::none &&
        coordinateFault(position, false) == CoordinateFault::none) {
        // Columns that read leave only one question: whether the gauge takes it as a point.
        DmsAngle latitude{}, longitude{};
        entryPosition(r, latitude, longitude, reasons);
    }
    if (!entry.tourKind && tourFile)
        reasons.push_back("no tour flag in column 49: imported as a tour item, but shown as an "
                          "airport once the dialog saves");
    for (std::string& reason : reasons)
        addProblem(findings, n, std::move(reason));
}

std::string tourNumber(int32_t k) {
    char text[16];
    tourNumberText(k, text, sizeof text);
    return text;
}

// Tour items count from 001 in each folder, airports and sub-folders not counted, as the tree
// numbers them; one folder should hold one kind of entry.
// A tour file is one tour whose every line the import takes as a tour item.
void checkGroups(const RecordFile& file, bool tourFile, Findings& findings) {
    std::map<int32_t, Group> groups;
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        if (entry.folder || !entry.lineEndOk || (tourFile && isBlankExchangeRecord(entry.record)))
            continue;
        int32_t n = static_cast<int32_t>(i + 1);
        Group& group = groups[tourFile ? -1 : entry.parent];
        if (!entry.tourKind && !tourFile) {
            group.firstAirport = group.firstAirport != 0 ? group.firstAirport : n;
            continue;
        }
        group.firstTourItem = group.firstTourItem != 0 ? group.firstTourItem : n;
        std::string expected = tourNumber(++group.tourItems);
        if (expected != entry.record.ident)
            addProblem(findings, n,
                       "tour item number " + quoted(entry.record.ident) + ", expected '" +
                           expected + "': the items of a tour run 001, 002, ...");
    }
    for (const auto& [parent, group] : groups) {
        if (group.firstAirport == 0 || group.firstTourItem == 0)
            continue;
        std::string where = parent < 0 ? std::string("the top level")
                                       : "folder " + quoted(file.records[parent].record.name);
        addProblem(
            findings, parent < 0 ? std::min(group.firstAirport, group.firstTourItem) : parent + 1,
            where + " mixes airports (first at record " + std::to_string(group.firstAirport) +
                ") and tour items (first at record " + std::to_string(group.firstTourItem) + ")");
    }
}

// The faults of the database as a whole, as a scenario's check finds them too: what a scenario
// refuses is a problem, what it accepts a warning.
void addFileFaults(const uint8_t* data, size_t size, Findings& findings) {
    for (FileFinding& finding : findFileFaults(data, size)) {
        if (scenarioAccepts(finding.fault))
            addWarning(findings, finding.record, std::move(finding.reason));
        else
            addProblem(findings, finding.record, std::move(finding.reason));
    }
}

// The tour exchange file as the tour import takes it: every line a tour item. A file that is
// all 64-byte lines ending in CR LF is read at fixed offsets, any other line by line, so that no
// line end is ever wrong and no record short: of the database's file faults only the empty file
// is left.
void checkTourLines(const uint8_t* data, size_t size, const RecordFile& file, Findings& findings) {
    if (size == 0)
        addFileFaults(data, size, findings);
    else if (file.byLines)
        addWarning(findings, 0, lineByLine);
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        const int32_t n = static_cast<int32_t>(i + 1);
        if (isBlankExchangeRecord(entry.record))
            continue;
        if (entry.hasTab) {
            addProblem(findings, n, tabInLine);
            continue;
        }
        checkColumns(entry, n, findings);
        if (entry.folder)
            addProblem(findings, n,
                       "a folder (level " + std::to_string(entry.level) +
                           ") in a tour file: the import takes it as a tour item");
    }
}

} // namespace

Findings checkRecordFile(const uint8_t* data, size_t size, bool tourFile, int32_t& records) {
    Findings findings;
    RecordFile file;
    readRecordFile(data, size, tourFile, file);
    records = static_cast<int32_t>(file.records.size());
    if (tourFile)
        checkTourLines(data, size, file, findings);
    else
        addFileFaults(data, size, findings);
    for (size_t i = 0; i < file.records.size(); ++i) {
        const RecordEntry& entry = file.records[i];
        if (!entry.folder && entry.lineEndOk && !entry.hasTab &&
            !(tourFile && isBlankExchangeRecord(entry.record)))
            checkEntry(entry, static_cast<int32_t>(i + 1), tourFile, findings);
    }
    checkGroups(file, tourFile, findings);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings;
}

namespace {

// The blocks of an airport line, to tell what the import does not read of a block.
struct AirportBlock {
    size_t lineOffset;
    size_t width;
    size_t bufferOffset;
    const char* what;
    bool text; // an identifier or a name: a cut is a warning; in a number it changes the value
};

#define BLOCK(field, what, text)                                                                   \
    {                                                                                              \
        offsetof(AirportLine, field), sizeof(AirportLine::field), offsetof(RecordBuffer, field),   \
            what, text                                                                             \
    }

const AirportBlock airportBlocks[] = {
    BLOCK(ident, "identifier", true),
    BLOCK(name, "name", true),
    BLOCK(latHemisphere, "latitude hemisphere", false),
    BLOCK(latDegrees, "latitude degrees", false),
    BLOCK(latMinutes, "latitude minutes", false),
    BLOCK(latSeconds, "latitude seconds", false),
    BLOCK(lonHemisphere, "longitude hemisphere", false),
    BLOCK(lonDegrees, "longitude degrees", false),
    BLOCK(lonMinutes, "longitude minutes", false),
    BLOCK(lonSeconds, "longitude seconds", false),
};

#undef BLOCK

// Text in a block beyond what the import reads of it, and text past the last block.
void checkBlocks(const uint8_t* bytes, size_t length, const RecordBuffer& record, int32_t n,
                 Findings& findings) {
    for (const AirportBlock& block : airportBlocks) {
        std::string raw;
        for (size_t i = 0; i < block.width && block.lineOffset + i < length; ++i)
            raw += static_cast<char>(bytes[block.lineOffset + i]);
        raw.erase(raw.find_last_not_of(' ') + 1);
        const char* read = reinterpret_cast<const char*>(&record) + block.bufferOffset;
        if (raw.find('\0') != std::string::npos || raw == read)
            continue;
        std::string reason = std::string(block.what) + " block holds '" + utf8FromAnsi(raw) +
                             "': the import reads '" + utf8FromAnsi(read) + "'";
        if (block.text)
            addWarning(findings, n, reason);
        else
            addProblem(findings, n, reason);
    }
    for (size_t at = offsetof(AirportLine, padding); at < length; ++at) {
        if (bytes[at] != ' ') {
            addProblem(findings, n, "text after column 60 is not read");
            break;
        }
    }
}

} // namespace

Findings checkAirportFile(const uint8_t* data, size_t size, int32_t& lines) {
    Findings findings;
    lines = 0;
    if (size == 0)
        addProblem(findings, 0, "the file is empty: no lines");
    ExchangeLineCursor cursor = startExchangeLines(data, size);
    if (!cursor.fixedLayout && size != 0)
        addWarning(findings, 0, lineByLine);
    ExchangeLine line;
    int32_t airports = 0;
    while (nextExchangeLine(cursor, line)) {
        lines = line.number;
        RecordBuffer record;
        clearRecordBuffer(record);
        readAirportLine(data + line.offset, line.length, record);
        if (isBlankExchangeRecord(record))
            continue;
        if (line.hasTab) {
            addProblem(findings, line.number, tabInLine);
            continue;
        }
        if (++airports == maxTreeRecordNumber + 1)
            addProblem(findings, line.number,
                       "more than " + withThousands(static_cast<size_t>(maxTreeRecordNumber)) +
                           " airports: no database can take them all");
        checkBlocks(data + line.offset, line.length, record, line.number, findings);
        std::vector<std::string> reasons;
        DmsAngle latitude{}, longitude{};
        entryPosition(record, latitude, longitude, reasons);
        for (std::string& reason : reasons)
            addProblem(findings, line.number, std::move(reason));
    }
    return findings;
}
