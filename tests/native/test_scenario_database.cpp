// The check a scenario's database gets before a flight: the first bad record, named with what
// is wrong with it; good files, the library's own writing included, pass.
#include <gtest/gtest.h>

#include <string>

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
const std::string tourItem = line("001  Green Bay                N44 2905W88 0747  11 4500");
const std::string chosen = line("KORD Chicago O'Hare           N41 5843W87 5417-1");

bool check(const std::string& bytes, std::string& problem) {
    return checkDatabaseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                              problem);
}

TEST(ScenarioDatabase, WellFormedFilesPass) {
    std::string problem;
    EXPECT_TRUE(check(folder + airport + chosen + folder + tourItem, problem)) << problem;
    std::string db = folder + airport + tourItem;
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
        {airport + airport.substr(0, 40), "record 2 has only 40 of its 64 bytes"},
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
        {with(tourItem, 50, 'y'), "column 50 (altitude hold flag) 'y'"},
        {with(tourItem, 55, 'k'), "columns 51-55 (altitude) ' 450k'"},
        {with(tourItem, 53, ' '), "columns 51-55 (altitude) ' 4 00'"},
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

} // namespace
