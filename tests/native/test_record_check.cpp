// The strict check of a record's columns that the imports, tarvix-db check and a scenario's
// database share: what each column accepts, what a folder skips, and the worst fault of a
// coordinate as the imports name it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/record_check.h"

namespace {

RecordBuffer tourItem() {
    RecordBuffer r;
    clearRecordBuffer(r);
    std::strcpy(r.ident, "001");
    std::strcpy(r.latDegrees, "41");
    std::strcpy(r.latMinutes, "47");
    std::strcpy(r.lonHemisphere, "W");
    std::strcpy(r.lonDegrees, "87");
    std::strcpy(r.tourFlag, "1");
    std::strcpy(r.altitude, "4500");
    return r;
}

std::string problemsOf(const RecordBuffer& r) {
    const ColumnProblems problems = checkRecordColumns(r);
    std::string text;
    for (int32_t i = 0; i < problems.count; ++i) {
        char line[160];
        describeColumnProblem(problems.items[i], r, line, sizeof line);
        text += std::string(line) + "\n";
    }
    return text;
}

TEST(RecordCheck, EachColumnAcceptsWhatItIsFor) {
    const struct {
        size_t field; // offset in RecordBuffer
        const char* text;
        bool accepted;
    } cases[] = {
        {offsetof(RecordBuffer, level), "", true},
        {offsetof(RecordBuffer, level), "-1", true},
        {offsetof(RecordBuffer, level), " 1", true},
        {offsetof(RecordBuffer, level), "99", true},
        {offsetof(RecordBuffer, level), "0", false},
        {offsetof(RecordBuffer, level), "-2", false},
        {offsetof(RecordBuffer, level), "+1", false},
        {offsetof(RecordBuffer, level), "-", false},
        {offsetof(RecordBuffer, tourFlag), "2", false},
        {offsetof(RecordBuffer, altitudeHoldFlag), "1", true},
        {offsetof(RecordBuffer, altitudeHoldFlag), "0", false},
        {offsetof(RecordBuffer, latHemisphere), "S", true},
        {offsetof(RecordBuffer, latHemisphere), "n", false},
        {offsetof(RecordBuffer, latHemisphere), "", false},
        {offsetof(RecordBuffer, lonHemisphere), "N", false},
        {offsetof(RecordBuffer, latDegrees), "", true},
        {offsetof(RecordBuffer, latDegrees), "  9", true},
        {offsetof(RecordBuffer, latDegrees), "91", false},
        {offsetof(RecordBuffer, latDegrees), "4 1", false},
        {offsetof(RecordBuffer, latDegrees), "-4", false},
        {offsetof(RecordBuffer, lonDegrees), "180", true},
        {offsetof(RecordBuffer, lonSeconds), "60", false},
        {offsetof(RecordBuffer, altitude), "99996", true},
        {offsetof(RecordBuffer, altitude), "99997", false},
        {offsetof(RecordBuffer, altitude), "-10", false},
        {offsetof(RecordBuffer, altitude), "45OO", false},
    };
    for (const auto& c : cases) {
        RecordBuffer r = tourItem();
        std::strcpy(reinterpret_cast<char*>(&r) + c.field, c.text);
        EXPECT_EQ(checkRecordColumns(r).count == 0, c.accepted)
            << "'" << c.text << "' at " << c.field << ":\n"
            << problemsOf(r);
    }
}

TEST(RecordCheck, NamesEveryFaultByItsColumnsLevelAndFlagFirst) {
    RecordBuffer r = tourItem();
    std::strcpy(r.latDegrees, "90");
    std::strcpy(r.latMinutes, "30");
    std::strcpy(r.lonHemisphere, "X");
    std::strcpy(r.altitude, " 4 00");
    std::strcpy(r.tourFlag, "1");
    std::strcpy(r.level, "x");
    EXPECT_EQ(problemsOf(r),
              "columns 47-48 (level) 'x ' is neither blank, a folder depth 1-99 nor -1\n"
              "columns 35-36 (latitude minutes) '30' is not 0, as the latitude is 90 degrees\n"
              "column 39 (longitude hemisphere) 'X' is not E or W\n"
              "columns 51-55 (altitude) ' 4 00' is not a whole number of feet from 0 to 99996\n");
}

TEST(RecordCheck, FolderAndAirportSkipWhatTheyDoNotUse) {
    RecordBuffer folder = tourItem();
    std::strcpy(folder.level, "3");
    std::strcpy(folder.latHemisphere, "?");
    std::strcpy(folder.altitude, "lots");
    EXPECT_EQ(problemsOf(folder), "");
    RecordBuffer airport = tourItem();
    airport.tourFlag[0] = '\0';
    std::strcpy(airport.altitudeHoldFlag, "y");
    std::strcpy(airport.altitude, "lots");
    EXPECT_EQ(problemsOf(airport), "");
}

TEST(RecordCheck, TheWorstFaultOfACoordinateAsTheImportsNameIt) {
    const struct {
        const char* latitude[4];
        CoordinateFault fault;
    } cases[] = {
        {{"N", "41", "47", "10"}, CoordinateFault::none},
        {{"X", "4x", "99", "0"}, CoordinateFault::hemisphere},
        {{"N", "95", "4x", "0"}, CoordinateFault::notNumber},
        {{"N", "95", "0", "0"}, CoordinateFault::range},
        {{"N", "90", "0", "1"}, CoordinateFault::range},
    };
    for (const auto& c : cases) {
        RecordBuffer r = tourItem();
        std::strcpy(r.latHemisphere, c.latitude[0]);
        std::strcpy(r.latDegrees, c.latitude[1]);
        std::strcpy(r.latMinutes, c.latitude[2]);
        std::strcpy(r.latSeconds, c.latitude[3]);
        const ColumnProblems problems = checkPositionColumns(r);
        EXPECT_EQ(coordinateFault(problems, true), c.fault) << c.latitude[1];
        EXPECT_EQ(coordinateFault(problems, false), CoordinateFault::none) << c.latitude[1];
    }
}

TEST(RecordCheck, LineEndAndControlBytesOfAStoredLine) {
    uint8_t line[recordSize];
    RecordBuffer r = tourItem();
    encodeRecord(r, line);
    EXPECT_TRUE(hasRecordLineEnd(line));
    EXPECT_EQ(firstControlColumn(line), 0u);
    line[61] = '\t';
    line[9] = 127;
    EXPECT_EQ(firstControlColumn(line), 10u);
    line[63] = ' ';
    EXPECT_FALSE(hasRecordLineEnd(line));
}

} // namespace
