// The check a scenario's database gets before a flight: the first bad record, named with what
// is wrong with it; good files, the library's own writing included, pass. It and tarvix-db check
// walk a file over one list of faults: both give one verdict on every fault.
#include <gtest/gtest.h>

#include <string>

#include "common/db_record.h"
#include "common/file_faults.h"
#include "dbtool/db_check.h"
#include "host/scenario_database.h"

namespace {

// Columns as the record's table counts them, 1-based.
std::string line(const char* text) {
    std::string l(text);
    l.resize(62, ' ');
    return l + "\r\n";
}

const std::string folder = line("     Around the lake          N       E       1");
const std::string airport = line("KMKE Milwaukee Mitchell       N42 5650W87 5348");
// Not tourItem, which test_record_check defines: the native tests compile a few files together.
const std::string tourLine = line("001  Green Bay                N44 2905W88 0747  11 4500");
const std::string chosen = line("KORD Chicago O'Hare           N41 5843W87 5417-1");

bool check(const std::string& bytes, std::string& problem) {
    return checkDatabaseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                              problem);
}

TEST(ScenarioDatabase, WellFormedFilesPass) {
    std::string problem;
    EXPECT_TRUE(check(folder + airport + chosen + folder + tourLine, problem)) << problem;
    std::string db = folder + airport + tourLine;
    EXPECT_TRUE(
        checkDestinationRecord(reinterpret_cast<const uint8_t*>(db.data()), db.size(), 3, problem))
        << problem;
}

struct Damage {
    std::string bytes;
    const char* problem;
};

TEST(ScenarioDatabase, TheFirstBadRecordIsNamed) {
    auto with = [](std::string l, size_t column, char c) {
        l[column - 1] = c;
        return l;
    };
    const Damage cases[] = {
        {"", "the file is empty"},
        {airport + airport.substr(0, 40), "record 2: the last record is short: 40 of 64 bytes"},
        {airport.substr(0, 62) + "\n" + airport,
         "record 1: columns 63-64 are not CR LF: a line ends at column 63"},
        {airport + with(airport, 10, '\0'), "record 2: column 10 holds the control byte 0x00"},
        {with(airport, 31, 'X'), "column 31 (latitude hemisphere) 'X' is not N or S"},
        {with(airport, 39, 'N'), "column 39 (longitude hemisphere) 'N' is not E or W"},
        {with(airport, 33, 'x'),
         "columns 32-34 (latitude degrees) '4x ' is not a whole number from 0 to 90"},
        {with(with(airport, 32, '9'), 33, '1'), "'91 ' is not a whole number from 0 to 90"},
        {with(airport, 35, '6'), "columns 35-36 (latitude minutes) '66'"},
        {with(airport, 42, '8'), "columns 40-42 (longitude degrees) '878'"},
        {with(airport, 47, 'x'), "columns 47-48 (level) 'x '"},
        {with(airport, 49, '2'), "column 49 (tour flag) '2' is neither blank nor 1"},
        {with(tourLine, 50, 'y'), "column 50 (altitude hold flag) 'y'"},
        {with(tourLine, 55, 'k'), "columns 51-55 (altitude) ' 450k'"},
        {with(tourLine, 53, ' '), "columns 51-55 (altitude) ' 4 00'"},
    };
    for (const Damage& d : cases) {
        std::string problem;
        EXPECT_FALSE(check(d.bytes, problem)) << d.problem;
        EXPECT_NE(problem.find(d.problem), std::string::npos) << problem;
    }
}

TEST(ScenarioDatabase, AFolderCarriesNoPositionToCheck) {
    std::string problem;
    std::string odd = folder;
    odd[31] = 'x';
    EXPECT_TRUE(check(odd, problem)) << problem;
}

TEST(ScenarioDatabase, DestinationMustBeAnAirportOrATourItem) {
    std::string db = folder + airport;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(db.data());
    std::string problem;
    EXPECT_FALSE(checkDestinationRecord(bytes, db.size(), 1, problem));
    EXPECT_EQ(problem, "destination.record: record 1 is a folder, not an airport or a tour item");
    EXPECT_FALSE(checkDestinationRecord(bytes, db.size(), 3, problem));
    EXPECT_EQ(problem, "destination.record: 3 is beyond the 2 records of the database");
}

std::string withByte(std::string bytes, size_t at, char c) {
    bytes[at] = c;
    return bytes;
}

// Two folders and the airports in them, one of them the current choice.
std::string twoFolders() {
    return folder + airport + line("     Harbours                 N       E       2") + chosen;
}

std::string moreThanTheTreeNumbers() {
    std::string bytes = twoFolders();
    while (bytes.size() <= static_cast<size_t>(maxTreeRecordNumber) * recordSize)
        bytes += airport;
    return bytes;
}

struct FileCase {
    const char* what;
    std::string bytes;
    FileFault fault;
    int32_t record; // where the fault is named; -1: none
};

// Each fault as the common walk names it, as tarvix-db check lists it (a problem exactly when a
// scenario refuses it) and as a scenario refuses it: the same record in the same words.
TEST(DatabaseFaults, BothWalksGiveOneVerdict) {
    const FileCase cases[] = {
        {"the dialog's own file", twoFolders(), FileFault::empty, -1},
        {"empty", "", FileFault::empty, 0},
        {"short last record", twoFolders() + airport.substr(0, 40), FileFault::shortRecord, 5},
        {"no CR LF", withByte(twoFolders(), recordSize + 62, ' '), FileFault::lineEnd, 2},
        {"LF alone", airport.substr(0, 62) + "\n" + airport, FileFault::lineEnd, 1},
        {"NUL in a name", withByte(twoFolders(), recordSize + 9, '\0'), FileFault::controlByte, 2},
        {"tab in an ident", withByte(twoFolders(), 3 * recordSize + 1, '\t'),
         FileFault::controlByte, 4},
        {"letters in degrees", withByte(twoFolders(), recordSize + 32, 'x'), FileFault::column, 2},
        {"first folder at level 2", withByte(twoFolders(), 46, '2'), FileFault::levelJump, 1},
        {"level jumps from 1 to 3", withByte(twoFolders(), 2 * recordSize + 46, '3'),
         FileFault::levelJump, 3},
        {"a second marker", twoFolders() + chosen, FileFault::secondMarker, 5},
        {"more records than the tree numbers", moreThanTheTreeNumbers(), FileFault::tooManyRecords,
         maxTreeRecordNumber + 1},
    };
    for (const FileCase& c : cases) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(c.bytes.data());
        const std::vector<FileFinding> faults = findFileFaults(bytes, c.bytes.size());
        int32_t records = 0;
        const Findings listed = checkRecordFile(bytes, c.bytes.size(), false, records);
        std::string refusal;
        const bool flies = checkDatabaseBytes(bytes, c.bytes.size(), refusal);
        if (c.record < 0) {
            EXPECT_TRUE(faults.empty() && listed.empty() && flies) << c.what << ": " << refusal;
            continue;
        }
        ASSERT_FALSE(faults.empty()) << c.what;
        ASSERT_FALSE(listed.empty()) << c.what;
        const FileFinding& first = faults.front();
        EXPECT_EQ(first.fault, c.fault) << c.what << ": " << first.reason;
        EXPECT_EQ(first.record, c.record) << c.what;
        EXPECT_EQ(listed.front().line, c.record) << c.what;
        EXPECT_EQ(listed.front().reason, first.reason) << c.what;
        EXPECT_EQ(listed.front().warning, scenarioAccepts(c.fault)) << c.what;
        EXPECT_EQ(flies, problemCount(listed) == 0) << c.what << ": " << refusal;
        const std::string named = c.record == 0
                                      ? first.reason
                                      : "record " + std::to_string(c.record) + ": " + first.reason;
        EXPECT_EQ(refusal, flies ? "" : named) << c.what;
    }
}

} // namespace
