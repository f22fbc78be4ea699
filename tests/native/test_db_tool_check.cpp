// tarvix-db check on databases and tour files made to carry one fault each, and the tree that
// show draws of a database.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/airport_line.h"
#include "common/db_record.h"
#include "dbtool/db_check.h"
#include "dbtool/record_file.h"
#include "dbtool/db_show.h"

namespace {

// One record from its columns; fields not given stay blank.
struct Columns {
    const char* ident = "";
    const char* name = "";
    const char* lat[4] = {"N", "41", "47", "10"};
    const char* lon[4] = {"W", "87", "45", "8"};
    const char* level = "";
    const char* tour = "";
    const char* hold = "";
    const char* altitude = "";
};

std::string line(const Columns& c) {
    RecordBuffer r;
    std::memset(&r, 0, sizeof r);
    auto put = [](char* field, size_t size, const char* text) {
        std::strncpy(field, text, size - 1);
    };
    put(r.ident, sizeof r.ident, c.ident);
    put(r.name, sizeof r.name, c.name);
    put(r.latHemisphere, sizeof r.latHemisphere, c.lat[0]);
    put(r.latDegrees, sizeof r.latDegrees, c.lat[1]);
    put(r.latMinutes, sizeof r.latMinutes, c.lat[2]);
    put(r.latSeconds, sizeof r.latSeconds, c.lat[3]);
    put(r.lonHemisphere, sizeof r.lonHemisphere, c.lon[0]);
    put(r.lonDegrees, sizeof r.lonDegrees, c.lon[1]);
    put(r.lonMinutes, sizeof r.lonMinutes, c.lon[2]);
    put(r.lonSeconds, sizeof r.lonSeconds, c.lon[3]);
    put(r.level, sizeof r.level, c.level);
    put(r.tourFlag, sizeof r.tourFlag, c.tour);
    put(r.altitudeHoldFlag, sizeof r.altitudeHoldFlag, c.hold);
    put(r.altitude, sizeof r.altitude, c.altitude);
    uint8_t bytes[recordSize];
    encodeRecord(r, bytes);
    return std::string(reinterpret_cast<char*>(bytes), recordSize);
}

Columns folder(const char* name, const char* level, bool tour = false) {
    Columns c;
    c.name = name;
    c.level = level;
    c.tour = tour ? "1" : "";
    return c;
}

Columns airport(const char* ident, const char* name) {
    Columns c;
    c.ident = ident;
    c.name = name;
    return c;
}

Columns tourItem(const char* number, const char* altitude = "4500") {
    Columns c = airport(number, "Milwaukee");
    c.tour = "1";
    c.altitude = altitude;
    return c;
}

// A database as the dialog writes it: an airport folder, a sub-folder, a tour of three.
std::vector<Columns> cleanDatabase() {
    Columns marked = tourItem("002");
    marked.level = "-1";
    return {folder("Chicago", "1"),
            airport("KMDW", "Chicago Midway"),
            folder("Suburbs", "2"),
            airport("KDPA", "DuPage"),
            folder("Circuit", "1", true),
            tourItem("001"),
            marked,
            tourItem("003")};
}

std::string bytesOf(const std::vector<Columns>& records) {
    std::string bytes;
    for (const Columns& c : records)
        bytes += line(c);
    return bytes;
}

Findings checked(const std::string& bytes, bool tourFile = false) {
    int32_t count = 0;
    return checkRecordFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), tourFile,
                           count);
}

std::string listed(const Findings& findings) {
    std::string text;
    for (const Finding& f : findings)
        text += std::to_string(f.line) + ": " + f.reason + "\n";
    return text;
}

TEST(DbCheck, TheDialogsOwnDatabaseIsClean) {
    EXPECT_EQ(listed(checked(bytesOf(cleanDatabase()))), "");
}

struct Fault {
    const char* what;
    void (*make)(std::vector<Columns>&);
    int32_t record;
    const char* reason; // a part of the reason
};

const Fault faults[] = {
    {"letters in a number", [](auto& db) { db[1].lat[1] = "4x"; }, 2,
     "columns 32-34 (latitude degrees) '4x ' is not a whole number from 0 to 90"},
    {"latitude beyond 90", [](auto& db) { db[1].lat[1] = "91"; }, 2,
     "'91 ' is not a whole number from 0 to 90"},
    {"90 degrees and a minute",
     [](auto& db) { db[1].lat[1] = "90", db[1].lat[2] = "1", db[1].lat[3] = "0"; }, 2,
     "(latitude minutes) '1 ' is not 0, as the latitude is 90 degrees"},
    {"longitude beyond 180", [](auto& db) { db[3].lon[1] = "181"; }, 4,
     "'181' is not a whole number from 0 to 180"},
    {"minutes above 59", [](auto& db) { db[3].lon[2] = "60"; }, 4,
     "(longitude minutes) '60' is not a whole number from 0 to 59"},
    {"hemisphere letter", [](auto& db) { db[1].lat[0] = "X"; }, 2,
     "column 31 (latitude hemisphere) 'X' is not N or S"},
    {"no position",
     [](auto& db) {
         db[1].lat[1] = db[1].lat[2] = db[1].lat[3] = "",
         db[1].lon[1] = db[1].lon[2] = db[1].lon[3] = "";
     },
     2, "latitude and longitude 0"},
    {"on the equator", [](auto& db) { db[1].lat[1] = db[1].lat[2] = db[1].lat[3] = "0"; }, 2,
     "the gauge takes it as no point"},
    {"first folder too deep", [](auto& db) { db[0].level = "2"; }, 1, "first folder at level 2"},
    {"level jumps", [](auto& db) { db[2].level = "3"; }, 3, "jumps from 1 to 3"},
    {"letters in the level", [](auto& db) { db[2].level = "x2"; }, 3,
     "columns 47-48 (level) 'x2' is neither blank, a folder depth 1-99 nor -1"},
    {"level 0", [](auto& db) { db[1].level = "0"; }, 2, "(level) '0 ' is neither"},
    {"second marker", [](auto& db) { db[1].level = "-1"; }, 7,
     "another current-choice marker (level -1); the first is at record 2"},
    {"other negative level", [](auto& db) { db[6].level = "-3"; }, 7, "(level) '-3' is neither"},
    {"tour flag other than 1", [](auto& db) { db[5].tour = "2"; }, 6,
     "column 49 (tour flag) '2' is neither blank nor 1"},
    {"altitude hold flag", [](auto& db) { db[5].hold = "y"; }, 6,
     "column 50 (altitude hold flag) 'y' is neither blank nor 1"},
    {"numbers skip", [](auto& db) { db[7].ident = "004"; }, 8, "'004', expected '003'"},
    {"numbers without zeros", [](auto& db) { db[5].ident = "1"; }, 6, "'1', expected '001'"},
    {"mixed folder", [](auto& db) { db.insert(db.begin() + 6, airport("KMKE", "Mitchell")); }, 5,
     "folder 'Circuit' mixes airports (first at record 7) and tour items (first at record 6)"},
    {"altitude out of range", [](auto& db) { db[5].altitude = "99999"; }, 6,
     "columns 51-55 (altitude) '99999' is not a whole number of feet from 0 to 99996"},
    {"letters in the altitude", [](auto& db) { db[5].altitude = "45OO"; }, 6,
     "(altitude) '45OO ' is not a whole number of feet"},
};

TEST(DbCheck, EachFaultIsFoundAtItsRecord) {
    for (const Fault& fault : faults) {
        std::vector<Columns> db = cleanDatabase();
        fault.make(db);
        Findings findings = checked(bytesOf(db));
        bool found = false;
        for (const Finding& f : findings)
            found = found ||
                    (f.line == fault.record && f.reason.find(fault.reason) != std::string::npos);
        EXPECT_TRUE(found) << fault.what << ", found:\n" << listed(findings);
        EXPECT_EQ(problemCount(findings), 1) << fault.what << ":\n" << listed(findings);
    }
}

TEST(DbCheck, FaultsOfTheFileItself) {
    std::string db = bytesOf(cleanDatabase());
    EXPECT_EQ(listed(checked(db + "KORD O'Hare")),
              "9: the last record is short: 11 of 64 bytes, never read\n");
    EXPECT_EQ(listed(checked("")), "0: the file is empty: no records\n");
    // Saved with LF alone: every line is one byte short, and no field check is made of them.
    std::string unix = db;
    for (size_t at = unix.find("\r\n"); at != std::string::npos; at = unix.find("\r\n", at))
        unix.erase(at, 1);
    Findings shifted = checked(unix);
    ASSERT_FALSE(shifted.empty());
    EXPECT_NE(shifted[0].reason.find("columns 63-64 are not CR LF"), std::string::npos);
}

TEST(DbCheck, MoreRecordsThanTheDialogCanNumber) {
    std::string db = line(folder("All", "1"));
    std::string entry = line(airport("KMDW", "Chicago Midway"));
    while (db.size() < 65536 * recordSize)
        db += entry;
    EXPECT_EQ(listed(checked(db)),
              "65536: more than 65,535 records: the settings dialog cannot open the database\n");
}

TEST(DbCheck, TourFileRules) {
    std::string tour =
        line(tourItem("001")) + std::string(62, ' ') + "\r\n" + line(tourItem("002"));
    EXPECT_EQ(listed(checked(tour, true)), "") << "a blank line is skipped, as the import skips it";
    Columns noFlag = tourItem("003");
    noFlag.tour = "";
    EXPECT_EQ(listed(checked(tour + line(noFlag) + line(folder("Sub", "1")), true)),
              "4: no tour flag in column 49: imported as a tour item, but shown as an airport "
              "once the dialog saves\n"
              "5: a folder (level 1) in a tour file: the import takes it as a tour item\n");
}

Findings checkedAirports(const std::string& bytes) {
    int32_t lines = 0;
    return checkAirportFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), lines);
}

// An airport line from its blocks, as the export writes it.
std::string airportLine(const char* ident, const char* name, const char* latitude,
                        const char* longitude) {
    char text[80];
    std::snprintf(text, sizeof text, "%-6s%-26s%s%s  \r\n", ident, name, latitude, longitude);
    return text;
}

TEST(DbCheck, AirportFileAsTheImportReadsIt) {
    std::string good = airportLine("KMDW", "Chicago Midway", "N 41  47  10  ", "W 87  45  8   ");
    ASSERT_EQ(good.size(), 64u);
    EXPECT_EQ(listed(checkedAirports(good + good)), "");
    const struct {
        std::string line;
        const char* expected;
    } cases[] = {
        {airportLine("KMDWXY", "Chicago Midway", "N 41  47  10  ", "W 87  45  8   "),
         "1: identifier block holds 'KMDWXY': the import reads 'KMDWX'\n"},
        {airportLine("KMDW", "Chicago Midway", "N 41  47  1055", "W 87  45  8   "),
         "1: latitude seconds block holds '1055': the import reads '10'\n"},
        {airportLine("KMDW", "Chicago Midway", "N 95  47  10  ", "W 87  45  8   "),
         "1: latitude degrees '95' is not a whole number from 0 to 90\n"},
        {airportLine("KMDW", "Chicago Midway", "N 0   0   0   ", "E 0   0   0   "),
         "1: latitude and longitude 0: no position (the gauge takes it as no point)\n"},
        {"KMDW  Chicago\tMidway\r\n", "0: not all lines are 64 bytes ending in CR LF: the import "
                                      "reads the file line by line, columns beyond a line's end as "
                                      "blank\n1: a tab instead of spaces: the columns are unknown, "
                                      "the import leaves the line out\n"},
        {"", "0: the file is empty: no lines\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(checkedAirports(c.line)), c.expected) << c.line;
}

// What the dialog's import refuses as no position, the tool refuses too (it also names the
// equator, which the gauge cannot fly to).
TEST(DbCheck, RefusesEverythingTheImportRefuses) {
    const char* values[][4] = {
        {"N", "41", "47", "10"}, {"S", "90", "0", "0"},  {"N", "90", "0", "1"},
        {"X", "41", "47", "10"}, {"N", "4 1", "0", "0"}, {"N", "-4", "0", "0"},
        {"N", "", "", ""},       {"N", "0", "0", "0"},   {"N", "1", "60", "0"},
        {"N", "1", "0", "99"},   {"", "1", "0", "0"},    {"n", "1", "0", "0"},
    };
    for (const auto& latitude : values) {
        for (const auto& longitude : values) {
            RecordBuffer r;
            clearRecordBuffer(r);
            std::strcpy(r.latHemisphere, latitude[0]);
            std::strcpy(r.latDegrees, latitude[1]);
            std::strcpy(r.latMinutes, latitude[2]);
            std::strcpy(r.latSeconds, latitude[3]);
            // The same values east and west.
            const char* hemisphere = longitude[0];
            if (std::strcmp(hemisphere, "N") == 0 || std::strcmp(hemisphere, "S") == 0)
                hemisphere = hemisphere[0] == 'N' ? "E" : "W";
            std::strcpy(r.lonHemisphere, hemisphere);
            std::strcpy(r.lonDegrees, longitude[1]);
            std::strcpy(r.lonMinutes, longitude[2]);
            std::strcpy(r.lonSeconds, longitude[3]);
            std::vector<std::string> reasons;
            DmsAngle a{}, b{};
            bool ours = entryPosition(r, a, b, reasons);
            if (checkLinePosition(r) != LineProblem::none) {
                EXPECT_FALSE(ours) << latitude[1] << " " << longitude[1];
            }
            EXPECT_EQ(ours, reasons.empty());
        }
    }
}

TEST(DbShow, TreeWithPositionsAltitudesAndTheCurrentChoice) {
    std::vector<Columns> db = cleanDatabase();
    db[7].hold = "1";
    std::string bytes = bytesOf(db);
    std::string tree =
        showRecordFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), false);
    EXPECT_EQ(tree,
              "records 8: folders 3, airports 2, tour items 3\n"
              "     1  [folder] Chicago\n"
              "     2    KMDW  Chicago Midway           N 41°47'10\"  W  87°45'08\"\n"
              "     3    [folder] Suburbs\n"
              "     4      KDPA  DuPage                   N 41°47'10\"  W  87°45'08\"\n"
              "     5  [tour] Circuit\n"
              "     6    001   Milwaukee                N 41°47'10\"  W  87°45'08\"  4500 ft\n"
              "     7    002   Milwaukee                N 41°47'10\"  W  87°45'08\"  4500 ft   <- "
              "current choice\n"
              "     8    003   Milwaukee                N 41°47'10\"  W  87°45'08\"  4500 ft, "
              "altitude hold\n");
}

} // namespace
