// Navigation math against figures worked out by hand from the instrument's formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "common/position_units.h"
#include "gauge/nav_math.h"

namespace {

double lat(double degrees) {
    return latitudeFromDegrees(degrees);
}
double lon(double degrees) {
    return longitudeFromDegrees(degrees);
}

DistanceBearing fly(double lat1, double lon1, double lat2, double lon2, double variation = 0) {
    return greatCircle(lat(lat1), lon(lon1), lat(lat2), lon(lon2), variation);
}

TEST(GreatCircle, SecondPointAtZeroIsNoPoint) {
    DistanceBearing a = greatCircle(lat(41), lon(-87), 0.0, lon(-88), 3);
    DistanceBearing b = greatCircle(lat(41), lon(-87), lat(42), 0.0, 3);
    EXPECT_EQ(a.distance, 0.0);
    EXPECT_EQ(a.bearing, 0.0);
    EXPECT_EQ(b.distance, 0.0);
    EXPECT_EQ(b.bearing, 0.0);
}

TEST(GreatCircle, OneDegreeOfLatitudeIsAboutSixtyMiles) {
    // g = 1 degree = 1/57.29578 rad; x 6371 / 1.852
    EXPECT_NEAR(fly(10, 20, 11, 20).distance, 60.0405, 1e-3);
    EXPECT_NEAR(fly(-30, 100, -31, 100).distance, 60.0405, 1e-3);
}

TEST(GreatCircle, DistanceIsTheSameBothWays) {
    EXPECT_NEAR(fly(41.98, -87.90, 44.88, -93.22).distance,
                fly(44.88, -93.22, 41.98, -87.90).distance, 1e-9);
    // Chicago O'Hare to Minneapolis: about 290 nm on this sphere.
    EXPECT_NEAR(fly(41.98, -87.90, 44.88, -93.22).distance, 290, 5);
}

// acos near +-1 turns the last bits of its argument into about 5e-5 degrees.
constexpr double acosNoise = 1e-4;

TEST(GreatCircle, CardinalBearingsCarryTheCalibration) {
    // North: angle 0, lowered by 0.5 below 90, 360 - 0 + (-0.5).
    EXPECT_NEAR(fly(10, 20, 11, 20).bearing, 359.5, acosNoise);
    // South: angle 180 (by the short pi, a hair under).
    EXPECT_NEAR(fly(11, 20, 10, 20).bearing, 180.0, acosNoise);
    // East along the equator: 90 by the short pi is just under 90, so it too loses 0.5.
    EXPECT_NEAR(fly(0.0003, 10, 0.0003, 11).bearing, 89.5, 1e-3);
    // West: 359.4 minus the angle.
    EXPECT_NEAR(fly(0.0003, 11, 0.0003, 10).bearing, 269.4, 1e-3);
}

TEST(GreatCircle, AcrossTheZeroMeridianWestward) {
    // From 1 E to 1 W the longitudes are 1 and 359: not lon1 > lon2, but more than 180 apart.
    EXPECT_NEAR(fly(0.0003, 1, 0.0003, -1).bearing, 270.0, 1e-3);
    EXPECT_NEAR(fly(0.0003, 1, 0.0003, -1).distance, 2 * 60.0405, 1e-2);
}

TEST(GreatCircle, VariationAndTheWrapAtNorth) {
    // Due north is -0.5 before the variation v: 360 - v - 0.5.
    EXPECT_NEAR(fly(10, 20, 11, 20, 4).bearing, 355.5, acosNoise);
    EXPECT_NEAR(fly(10, 20, 11, 20, -0.8).bearing, 359.7, acosNoise); // 360.3 -> 0.3 -> 359.7
    EXPECT_NEAR(fly(10, 20, 11, 20, -1.5).bearing, 1.0, acosNoise);   // 361 -> 1
}

TEST(GreatCircle, CoincidingPointsAreFinite) {
    DistanceBearing same = greatCircle(lat(41.5), lon(-87.5), lat(41.5), lon(-87.5), 2);
    EXPECT_EQ(same.distance, 0.0);
    EXPECT_TRUE(std::isfinite(same.bearing));
    DistanceBearing near = greatCircle(lat(41.5), lon(-87.5), lat(41.5) + 1e-7, lon(-87.5), 2);
    EXPECT_TRUE(std::isfinite(near.distance));
    EXPECT_TRUE(std::isfinite(near.bearing));
    EXPECT_LT(near.distance, 1e-3);
}

TEST(GreatCircle, PositionThatIsNotANumberGivesZeroOut) {
    for (double bad : {double(NAN), double(INFINITY)}) {
        DistanceBearing r = greatCircle(bad, lon(-87), lat(42), lon(-88), 0);
        EXPECT_EQ(r.distance, 0.0);
        EXPECT_EQ(r.bearing, 0.0);
    }
}

TEST(GreatCircle, VariationThatIsNotANumberLeavesTheDistance) {
    // Due north one degree: 60.0405 nm, and 359.5 true as there is no variation to apply.
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY)}) {
        DistanceBearing r = fly(10, 20, 11, 20, bad);
        EXPECT_NEAR(r.distance, 60.0405, 1e-3);
        EXPECT_NEAR(r.bearing, 359.5, acosNoise);
    }
    for (double wild : {-1e300, 1e300, 725.0}) {
        DistanceBearing r = fly(10, 20, 11, 20, wild);
        EXPECT_NEAR(r.distance, 60.0405, 1e-3);
        EXPECT_GT(r.bearing, 0.0);
        EXPECT_LE(r.bearing, 360.0);
    }
}

TEST(Speed, LargerOfIndicatedAndMachFigure) {
    EXPECT_EQ(currentSpeed(120, 0), 120);
    // 65535 / 65535 / 3.2 x 1224 / 0.1852
    EXPECT_NEAR(currentSpeed(120, 65535), 2065.3348, 1e-3);
}

TEST(Speed, AFigureThatIsNotANumberGivesWayToTheOther) {
    const double nan = NAN, inf = INFINITY;
    // 6553.5 / 65535 / 3.2 x 1224 / 0.1852 = 206.53348 kn
    const struct {
        double indicated, mach, knots;
    } cases[] = {{nan, 6553.5, 206.53348},
                 {inf, 6553.5, 206.53348},
                 {120, nan, 120},
                 {120, inf, 120},
                 {-inf, 6553.5, 206.53348},
                 {nan, nan, 0},
                 {inf, -inf, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(currentSpeed(c.indicated, c.mach), c.knots, 1e-4)
            << c.indicated << " kn, " << c.mach;
}

TEST(Speed, TurnRadius) {
    EXPECT_DOUBLE_EQ(turnRadius(100), 0.25);
    EXPECT_NEAR(turnRadius(200), 1.41421, 1e-5);
    EXPECT_NEAR(turnRadius(300), 3.89711, 1e-5);
    EXPECT_EQ(turnRadius(0), 0.0);
    EXPECT_EQ(turnRadius(-50), 0.0);
}

TEST(SwitchDistance, RightAngleTurnAtTwoHundredKnots) {
    // a = 180 - (90 - 180) = 270 -> 90; h = 45; D = 1.41421 / tan(45 x 3.1415927 / 180)
    EXPECT_NEAR(switchDistanceFor(180, 90, 200), 1.4142135, 1e-6);
    EXPECT_NEAR(switchDistanceFor(0, 90, 200), 1.4142135, 1e-6); // the other way round
}

TEST(SwitchDistance, FortyKnotsIsStillSlow) {
    // A leg that turns back by 160 degrees: a = 20, h = 10; D = 0.25 x 0.4^2.5 / tan(10 deg)
    // = 0.14347 at 40 knots if the floor did not apply.
    EXPECT_EQ(switchDistanceFor(110, 270, 40), 0.1);
    EXPECT_NEAR(switchDistanceFor(110, 270, 40.0001), 0.143474, 1e-5);
    EXPECT_EQ(switchDistanceFor(110, 270, 39.9999), 0.1);
}

TEST(SwitchDistance, FloorsAtOneTenth) {
    EXPECT_EQ(switchDistanceFor(180, 90, 40), 0.1);  // 40 knots or less
    EXPECT_EQ(switchDistanceFor(180, 90, 41), 0.1);  // D = 0.027, under 0.1
    EXPECT_EQ(switchDistanceFor(90, 90, 300), 0.1);  // straight on: a = 180, D about 0
    EXPECT_EQ(switchDistanceFor(270, 90, 300), 0.1); // straight back: D would be infinite
}

TEST(WindCorrect, NoWindKeepsHeadingsUpToTheWrap) {
    EXPECT_NEAR(windCorrect(90, 0, 0, 120), 90, 1e-9);
    EXPECT_NEAR(windCorrect(359.8, 0, 0, 120), 359.8, 1e-9);
    EXPECT_NEAR(windCorrect(360, 0, 0, 120), 0.1825, 1e-4); // 2 pi - 6.28 rad
    EXPECT_NEAR(windCorrect(359.9, 0, 0, 120), 0.0825, 1e-4);
}

TEST(WindCorrect, CrosswindTurnsIntoTheWind) {
    // East at 100 kn, wind from the north at 20 kn: y = sin(270 deg) x 0.2 = -0.2
    EXPECT_NEAR(windCorrect(90, 20, 360, 100), 78.4630, 1e-4);
    // Wind from the south: the other side.
    EXPECT_NEAR(windCorrect(90, 20, 180, 100), 101.5370, 1e-4);
}

TEST(WindCorrect, ImpossibleCorrectionsLeaveTheHeading) {
    EXPECT_EQ(windCorrect(90, 20, 360, 0), 90);    // no speed
    EXPECT_EQ(windCorrect(90, 200, 180, 100), 90); // y > 1
    EXPECT_EQ(windCorrect(90, 200, 360, 100), 90); // y < -1
    EXPECT_EQ(windCorrect(90, double(NAN), 360, 100), 90);
}

ExchangeRecord airportWithAltitude(double feet) {
    ExchangeRecord r{};
    r.mode = 0;
    r.airportAutopilot = 1;
    r.airportAltitudeHold = 1;
    r.airportAltitude = feet;
    return r;
}

TEST(VerticalSpeed, ClimbDescendOrHold) {
    ExchangeRecord r = airportWithAltitude(5000);
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, r, 0), 700);
    EXPECT_EQ(verticalSpeedCommand(6000 / 3.281, r, 0), -700);
    EXPECT_EQ(verticalSpeedCommand(4999.5 / 3.281, r, 0), 0); // within a foot
    EXPECT_EQ(verticalSpeedCommand(5000.9 / 3.281, r, 0), 0);
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, r, 65535.0), 1800);
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, r, 65535.00001), 700);
    EXPECT_EQ(verticalSpeedCommand(double(NAN), r, 0), 0);
}

TEST(VerticalSpeed, TargetFollowsModeAndBothFlags) {
    ExchangeRecord r = airportWithAltitude(5000);
    r.airportAltitudeHold = 0;
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, r, 0), -700); // target 0
    ExchangeRecord tour{};
    tour.mode = 1;
    tour.tourAutopilot = 1;
    tour.tourAltitudeHold = 1;
    tour.tourAltitude = 3000;
    tour.airportAltitude = 100;
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, tour, 0), 700);
    tour.tourAutopilot = 0;
    EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, tour, 0), -700);
}

TEST(VerticalSpeed, NoRateTowardAnAltitudeNobodyCanFly) {
    const struct {
        double feet;
        int32_t rate; // from 1000 ft
    } cases[] = {{99996, 700}, {0, -700},  {99996.01, 0}, {-0.5, 0},
                 {1e30, 0},    {-1e30, 0}, {NAN, 0},      {INFINITY, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(verticalSpeedCommand(1000 / 3.281, airportWithAltitude(c.feet), 0), c.rate)
            << c.feet;
}

TEST(AutopilotValues, WholeNumbers) {
    EXPECT_EQ(headingCommand(359.2), 360);
    EXPECT_EQ(headingCommand(90.0), 90);
    EXPECT_EQ(headingCommand(0.08), 1);
    EXPECT_EQ(headingCommand(double(NAN)), 0);
    EXPECT_EQ(wholeFeet(4500.9), 4500);
    EXPECT_EQ(wholeFeet(-3.9), -3);
    EXPECT_EQ(wholeFeet(1e12), INT32_MAX);
    EXPECT_EQ(wholeFeet(double(INFINITY)), 0);
}

} // namespace
