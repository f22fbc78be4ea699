// Raw position units: degrees, minutes and seconds to the simulator's units and back.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/position_units.h"

namespace {

TEST(LatitudeUnits, NinetyDegreesIsTheUnitScale) {
    EXPECT_DOUBLE_EQ(latitudeFromTexts("N", "90", "0", "0"), 10001748.0);
    EXPECT_DOUBLE_EQ(latitudeFromTexts("S", "45", "0", "0"), -5000874.0);
    EXPECT_EQ(latitudeFromTexts("N", "0", "0", "0"), 0.0); // on the equator: "no point"
}

TEST(LatitudeUnits, OnlyExactlySIsSouth) {
    EXPECT_GT(latitudeFromTexts("s", "10", "0", "0"), 0.0);
    EXPECT_GT(latitudeFromTexts("S ", "10", "0", "0"), 0.0);
    EXPECT_GT(latitudeFromTexts("", "10", "0", "0"), 0.0);
    EXPECT_LT(latitudeFromTexts("S", "10", "0", "0"), 0.0);
}

TEST(LatitudeUnits, MinutesAndSecondsAddUp) {
    // 41 deg 47 min 12.5 sec = 41.786805... degrees
    double expected = (41.0 + 47.0 / 60 + 12.5 / 3600) / 90.0 * 10001748.0;
    EXPECT_NEAR(latitudeFromTexts("N", "41", "47", "12.5"), expected, 1e-6);
}

TEST(LongitudeUnits, ZeroMeridianIsNeverZero) {
    EXPECT_EQ(longitudeFromTexts("E", "0", "0", "0"), 0.01);
    EXPECT_EQ(longitudeFromTexts("W", "0", "0", "0"), 0.01);
}

TEST(LongitudeUnits, AntimeridianAndWest) {
    EXPECT_EQ(longitudeFromTexts("E", "180", "0", "0"), 140737488355328.0);
    EXPECT_EQ(longitudeFromTexts("W", "180", "0", "0"), 140737488355328.0);
    EXPECT_EQ(longitudeFromTexts("W", "90", "0", "0"), 211106232532992.0);
    EXPECT_NEAR(longitudeFromTexts("E", "0", "0", "1"), 217187482.04, 0.01);
}

TEST(LongitudeUnits, WestLiesAboveHalfCircle) {
    double west = longitudeFromTexts("W", "87", "45", "8");
    EXPECT_GT(west, longitudeHalfCircle);
    EXPECT_LT(west, 2 * longitudeHalfCircle);
    double east = longitudeFromTexts("E", "87", "45", "8");
    EXPECT_NEAR(west + east, 2 * longitudeHalfCircle, 1.0); // mirror images about 0 degrees
}

TEST(UnitTexts, ReadLikeAtolAndAtof) {
    // Leading blanks, a sign, digits up to the first non-digit; empty is 0.
    EXPECT_DOUBLE_EQ(latitudeFromTexts("N", " 45xyz", "", "0"),
                     latitudeFromTexts("N", "45", "0", "0"));
    EXPECT_DOUBLE_EQ(latitudeFromTexts("N", "45", "30.9", "0"),
                     latitudeFromTexts("N", "45", "30", "0"));
    EXPECT_DOUBLE_EQ(latitudeFromTexts("N", "0", "0", "1.5e1"),
                     latitudeFromTexts("N", "0", "0", "15"));
    EXPECT_EQ(latitudeFromTexts("N", "abc", "-", "x"), 0.0);
}

TEST(CurrentRead, HandWorkedPositions) {
    DmsAngle south = latitudeToDms(-5000874.0);
    EXPECT_EQ(south.hemisphere, 'S');
    EXPECT_EQ(south.degrees, 45);
    EXPECT_EQ(south.minutes, 0);
    EXPECT_EQ(south.seconds, 0);

    DmsAngle west = longitudeToDms(211106232532992.0);
    EXPECT_EQ(west.hemisphere, 'W');
    EXPECT_EQ(west.degrees, 90);
    EXPECT_EQ(west.minutes, 0);
    EXPECT_EQ(west.seconds, 0);

    DmsAngle zero = longitudeToDms(0.01);
    EXPECT_EQ(zero.hemisphere, 'E');
    EXPECT_EQ(zero.degrees, 0);
    EXPECT_EQ(zero.minutes, 0);
    EXPECT_EQ(zero.seconds, 0);
}

TEST(CurrentRead, RoundTripsWholeSeconds) {
    // Half a second above the whole second keeps truncation away from rounding noise.
    DmsAngle lat = latitudeToDms(latitudeFromTexts("N", "41", "47", "12.5"));
    EXPECT_EQ(lat.hemisphere, 'N');
    EXPECT_EQ(lat.degrees, 41);
    EXPECT_EQ(lat.minutes, 47);
    EXPECT_EQ(lat.seconds, 12);
    DmsAngle lon = longitudeToDms(longitudeFromTexts("W", "87", "45", "8.5"));
    EXPECT_EQ(lon.hemisphere, 'W');
    EXPECT_EQ(lon.degrees, 87);
    EXPECT_EQ(lon.minutes, 45);
    EXPECT_EQ(lon.seconds, 8);
}

// Raw units worked from the format: latitude 90 degrees = 10001748; longitude 180 = 2^47,
// west counted down from 2^48.
double rawNorth(double degrees, double minutes, double seconds) {
    return (degrees + minutes / 60 + seconds / 3600) / 90 * 10001748.0;
}
double rawEast(double degrees, double minutes, double seconds) {
    return (degrees + minutes / 60 + seconds / 3600) / 180 * 140737488355328.0;
}
double rawWest(double degrees, double minutes, double seconds) {
    return 2 * 140737488355328.0 - rawEast(degrees, minutes, seconds);
}

TEST(CurrentRead, TruncatesAtEveryEdgeAndTheFieldsAgree) {
    const struct {
        double raw;
        bool latitude;
        DmsAngle shown;
    } cases[] = {
        {rawNorth(41, 59, 59.9), true, {'N', 41, 59, 59}}, // never rounded up to 42
        {rawNorth(42, 0, 0.1), true, {'N', 42, 0, 0}},
        {-rawNorth(41, 59, 59.9), true, {'S', 41, 59, 59}},
        {-rawNorth(0, 0, 0.9), true, {'S', 0, 0, 0}},
        {rawNorth(90, 0, 0), true, {'N', 90, 0, 0}},
        // Exactly a whole minute, and the last value below one: a minute apart, not two.
        {rawNorth(1, 1, 0), true, {'N', 1, 1, 0}},
        {std::nextafter(rawNorth(0, 33, 0), 0.0), true, {'N', 0, 32, 59}},
        {std::nextafter(rawNorth(1, 6, 0), 0.0), true, {'N', 1, 5, 59}},
        {rawEast(87, 45, 8.9), false, {'E', 87, 45, 8}},
        {rawEast(180, 0, 0), false, {'E', 180, 0, 0}},
        {rawWest(179, 59, 59.9), false, {'W', 179, 59, 59}},
        {rawWest(0, 0, 0.5), false, {'W', 0, 0, 0}},
        {rawWest(0, 59, 59.99), false, {'W', 0, 59, 59}},
    };
    for (const auto& c : cases) {
        DmsAngle p = c.latitude ? latitudeToDms(c.raw) : longitudeToDms(c.raw);
        EXPECT_EQ(std::string(1, p.hemisphere), std::string(1, c.shown.hemisphere)) << c.raw;
        EXPECT_EQ(p.degrees, c.shown.degrees) << c.raw;
        EXPECT_EQ(p.minutes, c.shown.minutes) << c.raw;
        EXPECT_EQ(p.seconds, c.shown.seconds) << c.raw;
    }
}

TEST(CurrentRead, NonsenseReadsAsZero) {
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY), 1e300}) {
        DmsAngle lat = latitudeToDms(bad);
        EXPECT_EQ(lat.hemisphere, 'N');
        EXPECT_EQ(lat.degrees + lat.minutes + lat.seconds, 0);
        DmsAngle lon = longitudeToDms(bad);
        EXPECT_EQ(lon.hemisphere, 'E');
        EXPECT_EQ(lon.degrees + lon.minutes + lon.seconds, 0);
    }
}

} // namespace
