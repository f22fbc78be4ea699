// The screen's geometry, scale ticks and printed figures, and the two colour tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "common/screen_colours.h"
#include "gauge/map_geometry.h"

namespace {

// The colours as the instrument's documentation lists them, 16 a row.
const char* const documentedColours[16] = {
    "000000 800000 008000 808000 000080 800080 008080 C0C0C0 C0E0C0 A8C8F0 000000 000000 181818 "
    "202020 303030 383838",
    "484848 505050 606060 686868 707070 808080 888888 989898 A0A0A0 B0B0B0 B8B8B8 C8C8C8 D0D0D0 "
    "E0E0E0 E8E8E8 F0F0F0",
    "000000 180000 300000 501010 681818 802020 902020 A82828 C03030 D03030 F03838 001800 003000 "
    "105010 186818 208020",
    "209020 28A828 30C030 30D030 38F038 000018 001030 002850 004068 004878 005890 006098 0070B0 "
    "0080C8 0090E0 181000",
    "482000 703800 884800 A85000 C06000 E07000 F88000 181800 484800 707000 888800 A8A800 C0C000 "
    "E0E000 F8F800 181810",
    "403028 605040 806850 988060 B09070 C8A880 E0C090 180000 481810 702818 883820 A84028 C05030 "
    "E05838 F86040 101800",
    "283818 405820 587030 688038 789840 88B048 98C850 003868 005870 287080 FF0000 40FF40 0000C0 "
    "006868 FF8000 FFFF00",
    "505050 787878 909090 A8A8A8 C0C0C0 E0E0E0 504050 A898B0 484058 181828 404050 383840 9090A8 "
    "888898 9898B0 B0B0C0",
    "787880 A8A8B0 283040 485060 B8C0D0 606878 A8B0C0 C8D0E0 586070 C0C8D8 505860 202830 404850 "
    "687078 384048 C0C8D0",
    "001010 404848 583030 484040 484848 404040 C0C0FF C8C8FF D0D0FF D8D8FF E0E0FF E8E8FF F0F0FF "
    "F8F8FF 000000 000000",
    "000000 000000 000000 000000 000000 000000 104810 205020 305830 406040 506850 607060 707870 "
    "787878 808080 808080",
    "808080 808080 808080 808080 808080 808080 2088C0 3880A8 C04040 984040 804848 205068 D85850 "
    "C05850 A85850 783830",
    "603830 684840 785850 B85840 483028 C07058 885830 203048 B87030 604020 A87040 302820 A88870 "
    "C0A888 386078 B86818",
    "D07820 986020 906830 685030 202038 2070A8 D8D820 B0B020 C8C828 888820 707020 C0C038 989830 "
    "B0B038 787830 787840",
    "484830 787858 282820 586038 687048 789050 88B060 809860 304028 60A858 48D848 388838 48B848 "
    "58C858 387838 306030",
    "58A858 509050 486048 387080 206078 487080 FFF8F0 A0A0A8 808080 FF0000 00FF00 FFFF00 0000FF "
    "FF00FF 00FFFF FFFFFF",
};

uint32_t documentedColour(int32_t index) {
    return uint32_t(
        std::stoul(std::string(documentedColours[index / 16] + 7 * (index % 16), 6), nullptr, 16));
}

TEST(ColourTables, ColourTableAndPaletteHoldTheDocumentedColours) {
    for (int32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(canvasColourTable[i], documentedColour(i)) << "colour " << i;
        bool white = i == 32 || (i >= 158 && i <= 165);
        uint32_t expected = white ? 0xFFFFFFu : documentedColour(i);
        const PaletteColour& p = canvasPaletteTable[i];
        EXPECT_EQ(uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue, expected)
            << "palette " << i;
        EXPECT_EQ(p.flags, 1) << "palette " << i << " is reserved";
    }
    EXPECT_EQ(canvasPaletteVersion, 0x300);
}

ScreenMetrics metrics(int32_t width, uint32_t bytes) {
    ScreenMetrics m{};
    EXPECT_TRUE(screenMetricsFor(280, 316, width, bytes, m));
    return m;
}

void expectRect(const ScreenRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST(ScreenGeometry, DesignSize) {
    ScreenMetrics m = metrics(280, 280 * 316);
    EXPECT_EQ(m.canvasHeight, 316);
    EXPECT_EQ(m.scaleX, 1.0);
    EXPECT_EQ(m.scaleY, 1.0);
    EXPECT_EQ(m.fontHeight, 16);
    expectRect(titleRect(m), 19, 9, 168, 22);
    expectRect(etaRect(m), 168, 9, 260, 22);
    expectRect(destinationRect(m), 14, 22, 266, 35);
    const int32_t lefts[] = {28, 73, 118, 163, 208};
    for (int32_t i = 0; i < 5; ++i) {
        if (i < 2)
            expectRect(buttonRect(m, true, i), lefts[i], 263, lefts[i] + 40, 279);
        expectRect(buttonRect(m, false, i), lefts[i], 284, lefts[i] + 40, 300);
    }
    MapGeometry map = mapGeometryFor(m);
    expectRect(map.rect, 28, 37, 252, 252);
    EXPECT_EQ(map.centreX, 140.0);
    EXPECT_DOUBLE_EQ(map.centreY, 209.0);
    expectRect(map.topLine, 28, 37, 252, 49);
    expectRect(map.altitudeLine, 28, 37, 341, 49);
    expectRect(map.distanceLine, 162, 37, 252, 49);
}

TEST(ScreenGeometry, HalfSizeAndPartialRows) {
    ScreenMetrics m = metrics(140, 140 * 158);
    EXPECT_EQ(m.scaleX, 0.5);
    EXPECT_EQ(m.scaleY, 0.5);
    EXPECT_EQ(m.fontHeight, 8);
    MapGeometry map = mapGeometryFor(m);
    expectRect(map.rect, 14, 18, 126, 126);
    EXPECT_EQ(map.centreX, 70.0);
    // A byte size that is not whole rows rounds the height down.
    EXPECT_EQ(metrics(280, 280 * 316 + 279).canvasHeight, 316);
}

TEST(ScreenGeometry, NoLayoutWithoutWidthOrDesignSize) {
    ScreenMetrics m{};
    m.fontHeight = 77;
    EXPECT_FALSE(screenMetricsFor(280, 316, 0, 88480, m));
    EXPECT_FALSE(screenMetricsFor(0, 316, 280, 88480, m));
    EXPECT_FALSE(screenMetricsFor(280, 0, 280, 88480, m));
    EXPECT_FALSE(screenMetricsFor(280, 316, -4, 88480, m));
    EXPECT_EQ(m.fontHeight, 77) << "a refusal leaves the metrics alone";
}

TEST(ScaleTicks, EveryScaleOfTheRangeButtons) {
    const struct {
        double scale;
        int32_t spacing, step;
    } table[] = {{0.2, 40, 200}, {0.4, 40, 100}, {0.6, 30, 50}, {0.8, 40, 50},
                 {1, 50, 50},    {2, 40, 20},    {3, 30, 10},   {4, 40, 10},
                 {5, 25, 5},     {10, 40, 4},    {15, 30, 2},   {20, 40, 2}};
    for (const auto& row : table) {
        ScaleTicks t = scaleTicksFor(row.scale);
        EXPECT_EQ(t.spacing, row.spacing) << row.scale;
        EXPECT_EQ(t.step, row.step) << row.scale;
    }
    // The scales the buttons reach by adding and subtracting 0.2 carry rounding errors.
    EXPECT_EQ(scaleTicksFor(0.2 + 0.2 + 0.2).spacing, 30);
    EXPECT_EQ(scaleTicksFor(1.0 - 0.2 - 0.2 - 0.2 - 0.2).step, 200);
}

TEST(ScaleTicks, ScalesOutsideTheRangeStillGiveAdvancingTicks) {
    for (double scale : {0.0, 0.05, -3.0, double(NAN), double(INFINITY), 1e300, 0.1, 1000.0}) {
        ScaleTicks t = scaleTicksFor(scale);
        EXPECT_GT(t.spacing, 0) << scale;
        EXPECT_GT(t.step, 0) << scale;
    }
    EXPECT_EQ(scaleTicksFor(0.01).step, scaleTicksFor(0.1).step);
}

TEST(MapProjection, PointsAroundTheAircraft) {
    MapGeometry map = mapGeometryFor(metrics(280, 280 * 316));
    MapPoint ahead = mapPointFor(map, mapOffsetFor(10, 90, 90), 5);
    EXPECT_NEAR(ahead.x, 140, 1e-6);
    EXPECT_NEAR(ahead.y, 209 - 50, 1e-6);
    MapPoint behind = mapPointFor(map, mapOffsetFor(10, 270, 90), 5);
    EXPECT_NEAR(behind.y, 209 + 50, 1e-3);
    EXPECT_LT(mapOffsetFor(10, 350, 10).right, 0) << "rel -20 lies left";
    EXPECT_GT(mapOffsetFor(10, 10, 350).right, 0) << "rel 20 lies right";
    EXPECT_NEAR(mapOffsetFor(10, 10, 350).right, 10 * std::sin(20 * 3.1415927 / 180), 1e-9);
}

TEST(MapProjection, NotANumberLandsOnTheAircraft) {
    for (MapOffset o : {mapOffsetFor(NAN, 10, 0), mapOffsetFor(5, NAN, 0), mapOffsetFor(5, 10, NAN),
                        mapOffsetFor(INFINITY, 10, 0), mapOffsetFor(0, 0, 0)}) {
        EXPECT_EQ(o.forward, 0.0);
        EXPECT_EQ(o.right, 0.0);
    }
}

std::string eta(double distance, double speed) {
    char text[64];
    formatEta(text, sizeof text, distance, speed);
    return text;
}

std::string distanceToGo(double distance) {
    char text[64];
    formatDistanceToGo(text, sizeof text, distance);
    return text;
}

TEST(ScreenFigures, Eta) {
    EXPECT_EQ(eta(100, 40), "ETA:None ");
    EXPECT_EQ(eta(100, 0), "ETA:None ");
    EXPECT_EQ(eta(12.5, 120), "ETA:000:06 ");
    EXPECT_EQ(eta(40.1 * 2.5, 40.1), "ETA:002:30 ");
    EXPECT_EQ(eta(1234.0 * 50, 50), "ETA:1234:00 ");
    EXPECT_EQ(eta(1e7 * 50, 50), "ETA:10000000:00 ") << "whole, never wrapped";
    EXPECT_EQ(eta(1e12 * 50, 50), "ETA:1000000000000:00 ") << "past what an int holds";
    EXPECT_EQ(eta(NAN, 120), "ETA:None ");
    char small[8];
    formatEta(small, sizeof small, 12.5, 120);
    EXPECT_STREQ(small, "ETA:000");
}

TEST(ScreenFigures, DistanceToGoAndItsBands) {
    EXPECT_EQ(distanceToGo(9.97), " WT:9.9nm ");
    EXPECT_EQ(distanceToGo(0), " WT:0.0nm ");
    EXPECT_EQ(distanceToGo(123.45), " WT:123.4nm ");
    EXPECT_EQ(distanceBandFor(10.01), DistanceBand::distant);
    EXPECT_EQ(distanceBandFor(10), DistanceBand::middle);
    EXPECT_EQ(distanceBandFor(5.01), DistanceBand::middle);
    EXPECT_EQ(distanceBandFor(5), DistanceBand::close);
}

TEST(ScreenFigures, ActiveTourEntryOnlyForItemsOfTheTour) {
    EXPECT_EQ(activeTourEntry(1, 3), 0);
    EXPECT_EQ(activeTourEntry(3, 3), 2);
    EXPECT_EQ(activeTourEntry(0, 3), -1);
    EXPECT_EQ(activeTourEntry(4, 3), -1);
    EXPECT_EQ(activeTourEntry(-1, 3), -1);
    EXPECT_EQ(activeTourEntry(1, 0), -1);
}

} // namespace
