// The airport exchange line on bytes, the cutting of exchange files into lines, the blank rule
// and the check that a line makes a position.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/airport_line.h"

namespace {

// ident, name, latitude (hemisphere, degrees, minutes, seconds), longitude, padding, line end
const std::string jfk = std::string("KJFK  ") + "John F Kennedy Intl       " + "N " + "40  " +
                        "38  " + "23  " + "W " + "73  " + "46  " + "44  " + "  " + "\r\n";

RecordBuffer airport(const std::string& bytes) {
    RecordBuffer record;
    clearRecordBuffer(record);
    readAirportLine(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record);
    return record;
}

std::string written(RecordBuffer record) {
    uint8_t line[airportLineSize];
    writeAirportLine(record, line);
    return std::string(reinterpret_cast<char*>(line), airportLineSize);
}

TEST(AirportLineRead, EveryBlockLandsInItsField) {
    ASSERT_EQ(jfk.size(), airportLineSize);
    RecordBuffer r = airport(jfk);
    const char* const expected[][2] = {
        {r.ident, "KJFK"},      {r.name, "John F Kennedy Intl"},
        {r.latHemisphere, "N"}, {r.latDegrees, "40"},
        {r.latMinutes, "38"},   {r.latSeconds, "23"},
        {r.lonHemisphere, "W"}, {r.lonDegrees, "73"},
        {r.lonMinutes, "46"},   {r.lonSeconds, "44"},
    };
    for (const auto& e : expected)
        EXPECT_STREQ(e[0], e[1]);
    EXPECT_EQ(checkLinePosition(r), LineProblem::none);
}

TEST(AirportLineRead, BlocksAreCutToWhatIsReadOfThem) {
    // Six characters in every block where the table reads fewer.
    std::string line = std::string("ABCDEF") + "ABCDEFGHIJKLMNOPQRSTUVWXYZ" + "SX" + "1234" +
                       "5678" + "9012" + "WX" + "1234" + "5678" + "9012" + "  \r\n";
    RecordBuffer r = airport(line);
    EXPECT_STREQ(r.ident, "ABCDE");
    EXPECT_STREQ(r.name, "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_STREQ(r.latHemisphere, "S");
    EXPECT_STREQ(r.latDegrees, "123");
    EXPECT_STREQ(r.latMinutes, "56");
    EXPECT_STREQ(r.latSeconds, "90");
    EXPECT_STREQ(r.lonHemisphere, "W");
    EXPECT_STREQ(r.lonSeconds, "90");
}

TEST(AirportLineRead, TourColumnsOfTheRecordStay) {
    RecordBuffer r;
    clearRecordBuffer(r);
    std::strcpy(r.level, "-1");
    std::strcpy(r.tourFlag, "1");
    std::strcpy(r.altitudeHoldFlag, "1");
    std::strcpy(r.altitude, "4500");
    readAirportLine(reinterpret_cast<const uint8_t*>(jfk.data()), jfk.size(), r);
    EXPECT_STREQ(r.level, "-1");
    EXPECT_STREQ(r.tourFlag, "1");
    EXPECT_STREQ(r.altitudeHoldFlag, "1");
    EXPECT_STREQ(r.altitude, "4500");
}

TEST(AirportLineRead, ShortLineReadsTheMissingBlocksAsSpaces) {
    RecordBuffer r = airport(jfk.substr(0, 39)); // ends inside the latitude minutes
    EXPECT_STREQ(r.name, "John F Kennedy Intl");
    EXPECT_STREQ(r.latDegrees, "40");
    EXPECT_STREQ(r.latMinutes, "3");
    EXPECT_STREQ(r.latSeconds, "");
    EXPECT_STREQ(r.lonHemisphere, "");
    EXPECT_EQ(checkLinePosition(r), LineProblem::longitudeHemisphere);
}

TEST(AirportLineRead, NulIsASpaceInTheTextsAndEndsANumber) {
    std::string line = jfk;
    line[1] = '\0';  // "K\0FK"
    line[8] = '\0';  // inside the name
    line[35] = '\0'; // "4\0": latitude degrees end after the 4
    RecordBuffer r = airport(line);
    EXPECT_STREQ(r.ident, "K FK");
    EXPECT_STREQ(r.name, "Jo n F Kennedy Intl");
    EXPECT_STREQ(r.latDegrees, "4");
    RecordBuffer again = airport(line);
    EXPECT_EQ(std::memcmp(&r, &again, sizeof r), 0);
}

TEST(AirportLineWrite, RoundTripGivesTheIdenticalLine) {
    EXPECT_EQ(written(airport(jfk)), jfk);
    std::string five = jfk;
    five.replace(0, 6, "EDDFX ");
    EXPECT_EQ(written(airport(five)), five);
}

TEST(AirportLineWrite, CutsAndTrimsAsTheDatabaseWriteDoes) {
    RecordBuffer r;
    std::memset(&r, 'Z', sizeof r); // no terminator anywhere
    uint8_t bytes[airportLineSize];
    writeAirportLine(r, bytes);
    std::string line(reinterpret_cast<char*>(bytes), airportLineSize);
    EXPECT_EQ(line.substr(0, 6), "ZZZZZ ");
    EXPECT_EQ(line.substr(6, 26), std::string(25, 'Z') + " ");
    EXPECT_EQ(line.substr(32, 16), "Z ZZZ ZZ  ZZ  Z ");
    EXPECT_EQ(line.substr(48, 16), "ZZZ ZZ  ZZ    \r\n");
    EXPECT_STREQ(r.ident, "ZZZZZ");
    EXPECT_EQ(std::strlen(r.name), 25u);
    EXPECT_EQ(std::string(r.level, 3), "ZZZ"); // not an airport column: untouched

    clearRecordBuffer(r);
    std::strcpy(r.name, " Lead kept, trail  ");
    std::strcpy(r.latDegrees, " 8");
    writeAirportLine(r, bytes);
    line.assign(reinterpret_cast<char*>(bytes), airportLineSize);
    EXPECT_EQ(line.substr(6, 26), " Lead kept, trail         ");
    EXPECT_EQ(line.substr(32, 6), "N  8  ");
    EXPECT_STREQ(r.name, " Lead kept, trail");
}

TEST(ExchangeBlank, OnlyIdentNameAndNumbersCount) {
    const struct {
        std::string line;
        bool blank;
    } cases[] = {
        {std::string(62, ' ') + "\r\n", true},
        {std::string(32, ' ') + "N " + std::string(12, ' ') + "E ", true},
        {"", true},
        {"X", false},
        {std::string(56, ' ') + "5", false}, // longitude seconds
        {std::string(58, ' ') + "5", true},  // beyond what is read of its block
        {std::string(35, ' ') + "0", false}, // latitude degrees "0" is a value
    };
    for (const auto& c : cases)
        EXPECT_EQ(isBlankExchangeRecord(airport(c.line)), c.blank) << '"' << c.line << '"';
}

TEST(LinePosition, ValuesThatMakeNoPositionAreNamed) {
    const struct {
        const char* latitude[4];
        const char* longitude[4];
        LineProblem problem;
    } cases[] = {
        {{"N", "40", "38", "23"}, {"W", "73", "46", "44"}, LineProblem::none},
        {{"S", " 9", "", ""}, {"E", "  8", " 5", "0"}, LineProblem::none},
        {{"N", "90", "0", "0"}, {"W", "180", "0", "0"}, LineProblem::none},
        {{"N", "0", "0", "1"}, {"E", "0", "0", "0"}, LineProblem::none},
        {{"X", "40", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeHemisphere},
        {{"", "40", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeHemisphere},
        {{"N", "4O", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeNotNumber},
        {{"N", "-4", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeNotNumber},
        {{"N", "4 0", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeNotNumber},
        {{"N", "95", "0", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeRange},
        {{"N", "90", "0", "1"}, {"E", "1", "0", "0"}, LineProblem::latitudeRange},
        {{"N", "10", "60", "0"}, {"E", "1", "0", "0"}, LineProblem::latitudeRange},
        {{"N", "10", "0", "75"}, {"E", "1", "0", "0"}, LineProblem::latitudeRange},
        {{"N", "10", "0", "0"}, {"N", "1", "0", "0"}, LineProblem::longitudeHemisphere},
        {{"N", "10", "0", "0"}, {"E", "1", "x", "0"}, LineProblem::longitudeNotNumber},
        {{"N", "10", "0", "0"}, {"E", "181", "0", "0"}, LineProblem::longitudeRange},
        {{"N", "10", "0", "0"}, {"W", "180", "1", "0"}, LineProblem::longitudeRange},
        {{"N", "10", "0", "0"}, {"E", "9", "59", "60"}, LineProblem::longitudeRange},
        {{"N", "", "", ""}, {"E", "0", "0", ""}, LineProblem::noPosition},
        // Six blank numbers: no position yet, as the tree's new entries have.
        {{"N", "", "", ""}, {"E", "", "", ""}, LineProblem::none},
        {{"", "", "", ""}, {"", "", "", ""}, LineProblem::none},
        {{"S", " ", "", ""}, {"W", "", "  ", ""}, LineProblem::none},
        {{"X", "", "", ""}, {"E", "", "", ""}, LineProblem::latitudeHemisphere},
        {{"N", "", "", ""}, {"Q", "", "", ""}, LineProblem::longitudeHemisphere},
    };
    for (const auto& c : cases) {
        RecordBuffer r;
        clearRecordBuffer(r);
        std::strcpy(r.latHemisphere, c.latitude[0]);
        std::strcpy(r.latDegrees, c.latitude[1]);
        std::strcpy(r.latMinutes, c.latitude[2]);
        std::strcpy(r.latSeconds, c.latitude[3]);
        std::strcpy(r.lonHemisphere, c.longitude[0]);
        std::strcpy(r.lonDegrees, c.longitude[1]);
        std::strcpy(r.lonMinutes, c.longitude[2]);
        std::strcpy(r.lonSeconds, c.longitude[3]);
        EXPECT_EQ(checkLinePosition(r), c.problem)
            << c.latitude[1] << ' ' << c.latitude[2] << ' ' << c.latitude[3] << " / "
            << c.longitude[1] << ' ' << c.longitude[2] << ' ' << c.longitude[3] << ": "
            << lineProblemText(checkLinePosition(r));
    }
}

struct Cut {
    int32_t number;
    std::string text; // the line's bytes before its end
    bool hasTab;
};

std::vector<Cut> lines(const std::string& file) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    ExchangeLineCursor cursor = startExchangeLines(bytes, file.size());
    std::vector<Cut> out;
    ExchangeLine line;
    while (nextExchangeLine(cursor, line))
        out.push_back({line.number, file.substr(line.offset, line.length), line.hasTab});
    return out;
}

TEST(ExchangeLines, WrittenFilesAreReadAtFixedOffsets) {
    // A name holding a line feed (a tour item's name can hold any byte) stays in its line.
    std::string odd = jfk;
    odd[10] = '\n';
    std::string file = jfk + odd + jfk;
    EXPECT_TRUE(isFixedLayout(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    std::vector<Cut> cut = lines(file);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[1].number, 2);
    EXPECT_EQ(cut[1].text, odd.substr(0, 62));
    EXPECT_EQ(airport(cut[2].text).lonSeconds, std::string("44"));
}

TEST(ExchangeLines, HandEditedFilesAreReadLineByLine) {
    const std::string shortLine = "EGLL  Heathrow                  N 51  28  39  W 0   27  41";
    const struct {
        const char* what;
        std::string file;
        std::vector<std::string> texts;
    } cases[] = {
        {"short lines", shortLine + "\r\n" + jfk, {shortLine, jfk.substr(0, 62)}},
        {"LF alone, no last line end", shortLine + "\n" + shortLine, {shortLine, shortLine}},
        {"CR alone and an empty line", shortLine + "\r\r\n" + "x", {shortLine, "", "x"}},
        {"a longer line",
         shortLine + "   trailing words here\r\n",
         {shortLine + "   trailing words here"}},
        {"nothing", "", {}},
        {"line ends only", "\r\n\n", {"", ""}},
        {"64 bytes without CR LF at the end",
         std::string(63, ' ') + "x",
         {std::string(63, ' ') + "x"}},
    };
    for (const auto& c : cases) {
        std::vector<Cut> cut = lines(c.file);
        ASSERT_EQ(cut.size(), c.texts.size()) << c.what;
        for (size_t i = 0; i < cut.size(); ++i) {
            EXPECT_EQ(cut[i].text, c.texts[i]) << c.what;
            EXPECT_EQ(cut[i].number, static_cast<int32_t>(i + 1)) << c.what;
        }
    }
    // The short line reads right and the full one after it does not shift.
    std::vector<Cut> cut = lines(shortLine + "\r\n" + jfk);
    RecordBuffer heathrow = airport(cut[0].text);
    EXPECT_STREQ(heathrow.lonSeconds, "41");
    EXPECT_EQ(checkLinePosition(heathrow), LineProblem::none);
    EXPECT_STREQ(airport(cut[1].text).ident, "KJFK");
}

TEST(ExchangeLines, ATabMakesTheLineUnreadable) {
    std::vector<Cut> cut = lines(std::string("KJFK\tJFK\tN 40 38 23 W 73 46 44\n") + jfk);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_TRUE(cut[0].hasTab);
    EXPECT_FALSE(cut[1].hasTab);
    ExchangeLine line{0, cut[0].text.size(), 1, true};
    EXPECT_EQ(checkExchangeLine(line, airport(jfk)), LineProblem::tabInLine);
    line.hasTab = false;
    EXPECT_EQ(checkExchangeLine(line, airport(jfk)), LineProblem::none);
}

} // namespace
