// What a record means outside its columns: its tree label in both forms, a tour number's text,
// what a pasted entry becomes among the other kind, where a folder lands by its level, and the
// destination the gauge receives.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/position_units.h"
#include "common/record_rules.h"

namespace {

RecordBuffer entry(const char* ident, const char* name, const char* tourFlag) {
    RecordBuffer r;
    clearRecordBuffer(r);
    std::strcpy(r.ident, ident);
    std::strcpy(r.name, name);
    std::strcpy(r.tourFlag, tourFlag);
    return r;
}

TEST(RecordLabel, EachKindHasItsForm) {
    // The kind decides, not the record's own columns: an import labels every line of a tour file
    // as a tour item, whatever its tour flag says.
    const RecordBuffer r = entry("7", "Lake Geneva", "");
    const struct {
        uint32_t kind;
        const char* stored;
        const char* numbered; // as item 12
    } cases[] = {
        {airportKind, "Lake Geneva", "Lake Geneva"},
        {airportFolderKind, " Lake Geneva", " Lake Geneva"},
        {airportFolderKind + 98, " Lake Geneva", " Lake Geneva"},
        {tourItemKind, "7 - Lake Geneva", "012 - Lake Geneva"},
        {tourFolderKind + 4, " Lake Geneva", " Lake Geneva"},
    };
    for (const auto& c : cases) {
        char label[48];
        storedLabel(c.kind, r, label, sizeof label);
        EXPECT_STREQ(label, c.stored) << c.kind;
        numberedLabel(c.kind, r, 12, label, sizeof label);
        EXPECT_STREQ(label, c.numbered) << c.kind;
    }
}

TEST(RecordLabel, StaysInsideItsBufferAndShowsLargeNumbersWhole) {
    const RecordBuffer r = entry("12345", "ABCDEFGHIJKLMNOPQRSTUVWXY", "1");
    char label[16];
    std::memset(label, 'x', sizeof label);
    storedLabel(tourItemKind, r, label, sizeof label);
    EXPECT_EQ(std::string(label), "12345 - ABCDEFG");
    char wide[48];
    numberedLabel(tourItemKind, r, 1000, wide, sizeof wide);
    EXPECT_EQ(std::string(wide), "1000 - ABCDEFGHIJKLMNOPQRSTUVWXY");
}

TEST(RecordLabel, TourNumberIsThreeDigitsThenWhole) {
    const struct {
        int32_t number;
        const char* text;
    } cases[] = {{1, "001"}, {42, "042"}, {999, "999"}, {1000, "1000"}, {65535, "65535"}};
    for (const auto& c : cases) {
        char text[6];
        tourNumberText(c.number, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    char column[6]; // an ident column: a number past five digits is cut, not run over
    tourNumberText(123456, column, sizeof column);
    EXPECT_STREQ(column, "12345");
}

TEST(PastedEntry, TakesTheKindOfThePlaceItLandsIn) {
    const struct {
        const char* what;
        const char* tourFlag; // of the record pasted
        bool intoTour;
        const char* ident; // the fitted record's
        const char* fittedFlag;
        const char* hold;
        const char* altitude;
    } cases[] = {
        {"an airport among tours loses its ID until numbered", "", true, "", "1", "1", "3500"},
        {"a tour item among airports loses its number and tour fields", "1", false, "", "", "", ""},
        {"a flag above 1 is a tour item too", "7", false, "", "", "", ""},
        {"a tour item among tours is left whole", "1", true, "004", "1", "1", "3500"},
        {"an airport among airports is left whole", "", false, "004", "", "1", "3500"},
    };
    for (const auto& c : cases) {
        RecordBuffer r = entry("004", "Lake Geneva", c.tourFlag);
        std::strcpy(r.latDegrees, "46");
        std::strcpy(r.altitudeHoldFlag, "1");
        std::strcpy(r.altitude, "3500");
        fitToKind(r, c.intoTour);
        EXPECT_STREQ(r.ident, c.ident) << c.what;
        EXPECT_STREQ(r.tourFlag, c.fittedFlag) << c.what;
        EXPECT_STREQ(r.altitudeHoldFlag, c.hold) << c.what;
        EXPECT_STREQ(r.altitude, c.altitude) << c.what;
        EXPECT_STREQ(r.name, "Lake Geneva") << c.what;
        EXPECT_STREQ(r.latDegrees, "46") << c.what;
    }
}

TEST(FolderClimb, DeeperGoesInsideOtherwiseBesideItsOwnLevel) {
    const struct {
        int32_t containerLevel;
        int32_t level;
        int32_t climb;
    } cases[] = {
        {1, 3, 0},   // a level 3 after a level 1 goes inside it
        {1, 2, 0},   //
        {3, 3, 1},   // the same level: beside it
        {3, 2, 2},   // shallower: beside the level 3's parent
        {1, 1, 1},   // two top-level folders in a row
        {99, 1, 99}, // back to the top from the deepest
        {0, 1, 0},   // nothing read yet
    };
    for (const auto& c : cases)
        EXPECT_EQ(folderClimb(c.containerLevel, c.level), c.climb)
            << c.containerLevel << " then " << c.level;
}

TEST(RecordAsDestination, TakesTheRecordAndLeavesThePilotsOptions) {
    RecordBuffer r = entry("003", "Racine", "1");
    std::strcpy(r.latDegrees, "42");
    std::strcpy(r.latMinutes, "45");
    std::strcpy(r.lonHemisphere, "W");
    std::strcpy(r.lonDegrees, "87");
    std::strcpy(r.lonSeconds, "30");
    std::strcpy(r.altitude, "2500");
    ExchangeRecord e{};
    e.tourAutopilot = 1;
    e.airportAltitude = 4500;
    takeRecordAsDestination(r, 17, e);
    EXPECT_STREQ(e.ident, "003");
    EXPECT_STREQ(e.name, "Racine");
    EXPECT_DOUBLE_EQ(e.latitude, latitudeFromDms(false, 42, 45, 0));
    EXPECT_DOUBLE_EQ(e.longitude, longitudeFromDms(true, 87, 0, 30));
    EXPECT_EQ(e.tourAltitude, 2500);
    EXPECT_EQ(e.mode, tourMode);
    EXPECT_EQ(e.recordNumber, 17);
    EXPECT_EQ(e.tourAutopilot, 1);
    EXPECT_EQ(e.airportAltitude, 4500);

    const RecordBuffer airport = entry("KMKE", "Milwaukee", "");
    takeRecordAsDestination(airport, 2, e);
    EXPECT_EQ(e.mode, airportMode);
    EXPECT_EQ(e.tourAltitude, 0);
}

} // namespace
