// The gauge's pure pieces: title, empty waypoint form, kept settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gauge/kept_state.h"
#include "gauge/screen_area.h"
#include "gauge/title_text.h"
#include "gauge/waypoint_record.h"

namespace {

TEST(Title, StoredScrambledAndShownPlain) {
    char title[17];
    unscrambleTitle(storedTitle, title, sizeof title);
    EXPECT_STREQ(title, "Tarvix GPS v4.2");
    EXPECT_EQ(std::strlen(title), 15u);
    EXPECT_EQ(std::strstr(storedTitle, "Tarvix"), nullptr); // not readable in the module file
}

TEST(Title, WalkStopsAtTheBufferWithoutZ) {
    char title[6];
    std::memset(title, 0, sizeof title);
    unscrambleTitle("bcdefghij", title, sizeof title);
    EXPECT_STREQ(title, "abcde");
}

TEST(Waypoint, EmptyFormIsSpacesAndZeros) {
    ExchangeRecord r;
    std::memset(&r, 0x77, sizeof r);
    clearWaypoint(r);
    EXPECT_EQ(std::memcmp(r.ident, "     \0", 6), 0);
    EXPECT_EQ(std::string(r.name), std::string(24, ' '));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&r);
    for (size_t i = 32; i < sizeof r; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

KeptSettings initialSettings() {
    return {0.0, 0.0, 5.0, 0};
}

KeptStateBlock blockWith(double lat, double lon, double scale, int32_t flag) {
    KeptStateBlock block{};
    writeKeptState(block, {lat, lon, scale, flag});
    return block;
}

TEST(KeptState, RoundTrip) {
    KeptStateBlock block = blockWith(123.5, 456.25, 0.4, 1);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&block);
    double scale;
    std::memcpy(&scale, bytes + 16, 8);
    EXPECT_EQ(scale, 0.4);
    KeptSettings settings = initialSettings();
    readKeptState(block, settings);
    EXPECT_EQ(settings.routeOriginLatitude, 123.5);
    EXPECT_EQ(settings.routeOriginLongitude, 456.25);
    EXPECT_EQ(settings.mapScale, 0.4);
    EXPECT_EQ(settings.spareFlag, 1);
}

TEST(KeptState, HostileScalesAreClampedOrIgnored) {
    struct Case {
        double stored, expected;
    } cases[] = {{0.0, 0.2}, {-3, 0.2},  {0.1, 0.2},      {1e9, 20},       {20.0, 20},
                 {0.2, 0.2}, {NAN, 5.0}, {INFINITY, 5.0}, {-INFINITY, 5.0}};
    for (const Case& c : cases) {
        KeptSettings settings = initialSettings();
        readKeptState(blockWith(0, 0, c.stored, 0), settings);
        EXPECT_EQ(settings.mapScale, c.expected) << "stored " << c.stored;
    }
}

TEST(KeptState, OriginThatIsNotFiniteIsNoOrigin) {
    KeptSettings settings = {7, 8, 5.0, 0};
    readKeptState(blockWith(NAN, 100.0, 5.0, 0), settings);
    EXPECT_EQ(settings.routeOriginLatitude, 0.0);
    EXPECT_EQ(settings.routeOriginLongitude, 0.0);
}

TEST(ScreenArea, CornersAreCutAndTheBorderIsOutside) {
    EXPECT_FALSE(screenAreaContains(0, 0));
    EXPECT_FALSE(screenAreaContains(screenAreaLeft, screenAreaTop));
    EXPECT_FALSE(screenAreaContains(screenAreaRight, 150));
    EXPECT_TRUE(screenAreaContains(140, 150));
    EXPECT_TRUE(screenAreaContains(screenAreaLeft + screenAreaCorner, screenAreaTop));
    // Everything the screen draws lies inside: the title line and both button rows.
    EXPECT_TRUE(screenAreaContains(19, 9));
    EXPECT_TRUE(screenAreaContains(28, 300));
    EXPECT_TRUE(screenAreaContains(248, 300));
}

} // namespace
