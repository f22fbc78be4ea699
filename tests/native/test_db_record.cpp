// The 64-byte database record on bytes: reading columns into the buffer, writing it back, the
// kinds read from lenient texts, and the tree item data word.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/db_record.h"

namespace {

// ident, name, latitude (hemisphere, degrees, minutes, seconds), longitude, level, tourFlag,
// altitudeHoldFlag, altitude, padding, line end
const std::string sampleLine = std::string("LSZH ") + "Zurich Kloten            " + "N" + " 47" +
                               "27" + "30" + "E" + "  8" + "33" + " 5" + "  " + "1" + "1" +
                               "12000" + "       " + "\r\n";

RecordBuffer decoded(const std::string& bytes) {
    RecordBuffer record;
    std::memset(&record, 'x', sizeof record);
    decodeRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), record);
    return record;
}

std::string encoded(RecordBuffer record) {
    uint8_t line[recordSize];
    encodeRecord(record, line);
    return std::string(reinterpret_cast<char*>(line), recordSize);
}

TEST(RecordDecode, EveryColumnLandsInItsField) {
    ASSERT_EQ(sampleLine.size(), recordSize);
    RecordBuffer r = decoded(sampleLine);
    EXPECT_STREQ(r.ident, "LSZH");
    EXPECT_STREQ(r.name, "Zurich Kloten");
    EXPECT_STREQ(r.latHemisphere, "N");
    EXPECT_STREQ(r.latDegrees, " 47");
    EXPECT_STREQ(r.latMinutes, "27");
    EXPECT_STREQ(r.latSeconds, "30");
    EXPECT_STREQ(r.lonHemisphere, "E");
    EXPECT_STREQ(r.lonDegrees, "  8");
    EXPECT_STREQ(r.lonMinutes, "33");
    EXPECT_STREQ(r.lonSeconds, " 5");
    EXPECT_STREQ(r.level, "");
    EXPECT_STREQ(r.tourFlag, "1");
    EXPECT_STREQ(r.altitudeHoldFlag, "1");
    EXPECT_STREQ(r.altitude, "12000");
}

TEST(RecordDecode, NameKeepsTwentyFourCharacters) {
    std::string line = sampleLine;
    line.replace(5, 25, "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_STREQ(decoded(line).name, "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST(RecordDecode, NulBytesReadAsSpacesInTheTextsAndHighBytesStay) {
    std::string line = sampleLine;
    line[7] = '\0';                    // inside the name: "Zu\0ich"
    line[1] = '\0';                    // inside the identifier: "L\0ZH"
    line[0] = static_cast<char>(0xC4); // an ANSI letter in the identifier
    RecordBuffer r = decoded(line);
    EXPECT_STREQ(r.name, "Zu ich Kloten");
    EXPECT_STREQ(r.ident, "\xC4 ZH");
}

// Elsewhere a NUL ends the text: what follows it must not change a number's or a flag's meaning
// (a NUL then "1" in the level would make an airport a folder).
TEST(RecordDecode, NulEndsEveryOtherField) {
    using Field = const char* (*)(const RecordBuffer&);
    const struct {
        size_t at;
        std::string bytes;
        Field field;
        const char* expected;
    } cases[] = {
        {46,
         std::string("\0"
                     "1",
                     2),
         [](const RecordBuffer& r) -> const char* { return r.level; }, ""},
        {46, std::string("-\0", 2), [](const RecordBuffer& r) -> const char* { return r.level; },
         "-"},
        {48, std::string("\0", 1), [](const RecordBuffer& r) -> const char* { return r.tourFlag; },
         ""},
        {31,
         std::string("4\0"
                     "7",
                     3),
         [](const RecordBuffer& r) -> const char* { return r.latDegrees; }, "4"},
        {42,
         std::string("\0"
                     "3",
                     2),
         [](const RecordBuffer& r) -> const char* { return r.lonMinutes; }, ""},
        {50,
         std::string("12\0"
                     "00",
                     5),
         [](const RecordBuffer& r) -> const char* { return r.altitude; }, "12"},
        {30, std::string("\0", 1),
         [](const RecordBuffer& r) -> const char* { return r.latHemisphere; }, ""},
    };
    for (const auto& c : cases) {
        std::string line = sampleLine;
        line.replace(c.at, c.bytes.size(), c.bytes);
        RecordBuffer r = decoded(line);
        EXPECT_STREQ(c.field(r), c.expected) << "bytes at column " << c.at + 1;
        RecordBuffer again = decoded(line);
        EXPECT_EQ(std::memcmp(&r, &again, sizeof r), 0) << "two reads differ behind the NUL";
    }
    std::string airport = sampleLine;
    airport.replace(46, 3,
                    std::string("\0"
                                "1 ",
                                3)); // level NUL "1", no tour flag
    EXPECT_FALSE(isFolderRecord(decoded(airport)));
    EXPECT_EQ(recordKind(decoded(airport)), 0u);
}

TEST(RecordDecode, ShortLineLeavesMissingColumnsBlank) {
    RecordBuffer r = decoded(sampleLine.substr(0, 20));
    EXPECT_STREQ(r.ident, "LSZH");
    EXPECT_STREQ(r.name, "Zurich Kloten");
    EXPECT_STREQ(r.latHemisphere, "");
    EXPECT_STREQ(r.altitude, "");
    EXPECT_STREQ(decoded(std::string()).ident, "");
}

TEST(RecordEncode, RoundTripIsByteIdentical) {
    EXPECT_EQ(encoded(decoded(sampleLine)), sampleLine);
}

TEST(RecordEncode, CutsAndTrimsInTheBufferItself) {
    RecordBuffer r;
    clearRecordBuffer(r);
    std::strcpy(r.ident, "ABCDE");
    std::strcpy(r.name, "  Leading kept, trailing "); // 25 characters
    std::strcpy(r.level, "-1");
    std::strcpy(r.altitude, "99996");
    std::string line = encoded(r);
    EXPECT_EQ(line.substr(0, 30), "ABCDE  Leading kept, trailing ");
    EXPECT_EQ(line.substr(30, 1), "N");
    EXPECT_EQ(line.substr(38, 1), "E");
    EXPECT_EQ(line.substr(46, 2), "-1");
    EXPECT_EQ(line.substr(50, 12), "99996       ");
    EXPECT_EQ(line.substr(62), "\r\n");

    uint8_t bytes[recordSize];
    encodeRecord(r, bytes);
    EXPECT_STREQ(r.name, "  Leading kept, trailing");
}

TEST(RecordEncode, FieldsWithoutTerminatorStayInTheirColumns) {
    RecordBuffer r;
    std::memset(&r, 'Z', sizeof r);
    std::string line = encoded(r);
    EXPECT_EQ(line.substr(0, 55), std::string(55, 'Z'));
    EXPECT_EQ(line.substr(55), "       \r\n");
}

TEST(RecordKind, LenientTextsGiveTheFourKinds) {
    RecordBuffer r;
    clearRecordBuffer(r);
    EXPECT_EQ(recordKind(r), 0u); // airport
    std::strcpy(r.level, "3");
    EXPECT_EQ(recordKind(r), 3u); // airport folder
    std::strcpy(r.tourFlag, "1");
    EXPECT_EQ(recordKind(r), 103u); // tour folder
    std::strcpy(r.level, "-5");
    EXPECT_EQ(recordKind(r), 100u); // tour item: any negative level is an entry
    EXPECT_TRUE(isTourItemRecord(r));
    std::strcpy(r.level, "ab");
    std::strcpy(r.tourFlag, "x");
    EXPECT_EQ(recordKind(r), 0u); // letters read as 0
    // A tour flag of 9 is still one tour kind, never a kind byte that wraps to an airport.
    std::strcpy(r.tourFlag, "9");
    std::strcpy(r.level, "56");
    EXPECT_EQ(recordKind(r), 156u);
    EXPECT_TRUE(isFolderKind(recordKind(r)));
    EXPECT_TRUE(isTourKind(recordKind(r)));
}

TEST(ItemWord, RecordNumberAndKindHaveTheirBits) {
    uint32_t word = itemWord(65535, 199);
    EXPECT_EQ(word, 0x00C7FFFFu);
    EXPECT_EQ(itemRecordNumber(word), 65535);
    EXPECT_EQ(itemKind(word), 199u);
    EXPECT_FALSE(isFolderKind(itemKind(itemWord(7, 100))));
    EXPECT_TRUE(isTourKind(itemKind(itemWord(7, 100))));
    EXPECT_EQ(itemRecordNumber(itemWord(7, 1) | (1u << 24)), 7); // a bit above the kind is no number
}

TEST(TrimRight, OnlySpacesGo) {
    char text[] = " a\tb  ";
    trimRight(text);
    EXPECT_STREQ(text, " a\tb");
    char blank[] = "   ";
    trimRight(blank);
    EXPECT_STREQ(blank, "");
}

} // namespace
