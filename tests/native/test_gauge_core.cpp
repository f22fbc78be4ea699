// The gauge's pure pieces: title, empty waypoint form, kept settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gauge/button_table.h"
#include "gauge/kept_state.h"
#include "gauge/map_geometry.h"
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

TEST(PanelButtons, EachClickLandsOnTheFaceDrawnForIt) {
    // At the design size the centre of every click rectangle lies on its own button's face, and
    // no two buttons share a box: a click never reaches a button the pilot did not see there.
    ScreenMetrics m{};
    ASSERT_TRUE(screenMetricsFor(280, 316, 280, 280 * 316, m));
    for (const PanelButton& b : panelButtons) {
        ScreenRect face = buttonRect(m, b.upperRow, b.box);
        int32_t x = b.x + b.width / 2, y = b.y + b.height / 2;
        EXPECT_TRUE(x > face.left && x < face.right && y > face.top && y < face.bottom) << b.label;
        for (const PanelButton& other : panelButtons) {
            if (&other != &b && other.upperRow == b.upperRow) {
                EXPECT_NE(other.box, b.box) << b.label << " and " << other.label;
            }
        }
    }
}

} // namespace
