// The stand-in simulator's aircraft: motion over the sphere, wind drift, the autopilot's turns
// and climbs.
#include <gtest/gtest.h>

#include <cmath>

#include "common/sim_ids.h"
#include "host/flight_model.h"

namespace {

Aircraft cruising(double heading, double speed) {
    Aircraft a{};
    a.latitude = 42.0;
    a.longitude = -87.0;
    a.heading = heading;
    a.airspeed = speed;
    a.altitude = 3000;
    return a;
}

void fly(Aircraft& a, double seconds, double frameRate = 18) {
    int frames = static_cast<int>(std::lround(seconds * frameRate));
    for (int i = 0; i < frames; ++i)
        advanceAircraft(a, 1.0 / frameRate);
}

TEST(FlightModel, SixtyKnotsNorthForAnHourIsAboutOneDegree) {
    Aircraft a = cruising(0, 60);
    fly(a, 3600, 2);
    // One degree of latitude on a 6371 km sphere is 60.04 nm.
    EXPECT_NEAR(a.latitude, 42.0 + 60.0 / 60.0405, 1e-6);
    EXPECT_NEAR(a.longitude, -87.0, 1e-9);
}

TEST(FlightModel, DistanceFlownMatchesTheSphere) {
    Aircraft a = cruising(180, 240);
    fly(a, 900);
    EXPECT_NEAR(sphereDistance(42.0, -87.0, a.latitude, a.longitude), 60.0, 1e-6);
    // Holding east follows the parallel, a little longer than the great circle between its ends.
    Aircraft east = cruising(90, 240);
    fly(east, 900);
    double chord = sphereDistance(42.0, -87.0, east.latitude, east.longitude);
    EXPECT_LT(chord, 60.0);
    EXPECT_GT(chord, 59.99);
}

TEST(FlightModel, HeadingIsMagneticAndVariationRotatesTheTrack) {
    Aircraft a = cruising(0, 60);
    a.variation = 90; // magnetic north points true east
    fly(a, 600);
    EXPECT_NEAR(a.latitude, 42.0, 1e-3);
    EXPECT_GT(a.longitude, -87.0);
}

TEST(FlightModel, CrosswindMakesItDrift) {
    Aircraft a = cruising(0, 100);
    a.windSpeed = 20;
    a.windDirection = 270; // from the west: drift to the east
    GroundVector g = groundVector(a);
    EXPECT_NEAR(g.track, std::atan2(20.0, 100.0) * 180 / M_PI, 1e-9);
    EXPECT_NEAR(g.speed, std::hypot(20.0, 100.0), 1e-9);
    fly(a, 1800);
    EXPECT_GT(a.longitude, -87.0 + 0.1);
}

TEST(FlightModel, TurnsAtStandardRateTheShortWayRound) {
    Aircraft a = cruising(350, 120);
    applyKeyEvent(a, keyAutopilotOn, 0);
    applyKeyEvent(a, keyHeadingHoldOn, 0);
    applyKeyEvent(a, keyHeading, 80);
    // The meridians the aircraft crosses turn it by thousandths of a degree meanwhile.
    fly(a, 10);
    EXPECT_NEAR(a.heading, 20.0, 0.01); // right through north, 3 degrees a second
    fly(a, 30);
    EXPECT_NEAR(a.heading, 80.0, 1e-4); // and stops on the heading
    applyKeyEvent(a, keyHeading, 360);
    fly(a, 5);
    EXPECT_NEAR(a.heading, 65.0, 0.01);
}

TEST(FlightModel, OffMeansOff) {
    Aircraft a = cruising(90, 120);
    applyKeyEvent(a, keyAutopilotOn, 0);
    applyKeyEvent(a, keyHeadingHoldOn, 0);
    applyKeyEvent(a, keyAltitudeHoldOn, 0);
    applyKeyEvent(a, keyHeading, 180);
    applyKeyEvent(a, keyAltitude, 5000);
    applyKeyEvent(a, keyVerticalSpeed, 700);
    applyKeyEvent(a, keyAutopilotOff, 0);
    fly(a, 60);
    EXPECT_NEAR(a.heading, 90, 0.1); // only the meridians turn it
    EXPECT_EQ(a.altitude, 3000);
    applyKeyEvent(a, keyAutopilotOn, 0);
    applyKeyEvent(a, keyHeadingHoldOff, 0);
    fly(a, 10);
    EXPECT_NEAR(a.heading, 90, 0.1) << "heading hold off";
    EXPECT_GT(a.altitude, 3000) << "altitude hold still on";
}

// Left alone, the aircraft flies straight: along the great circle it set out on, over a pole and
// out heading south, never caught circling the pole as a fixed heading would keep it.
TEST(FlightModel, WithoutTheAutopilotItFliesItsGreatCircleOverThePole) {
    const struct {
        double latitude, heading, hours;
        double toLatitude, toLongitude, toHeading;
    } cases[] = {
        {0.0, 45.0, 10.0, 13.99, 14.42, 46.78},   // 1,200 nm: the great circle, not the rhumb line
        {89.0, 0.0, 1.0, 89.0, 180.0, 180.0},     // 120 nm straight over the pole
        {88.0, 30.0, 2.0, 87.52, 126.21, 156.17}, // past it, abeam
    };
    for (const auto& c : cases) {
        Aircraft a = cruising(c.heading, 120);
        a.latitude = c.latitude;
        a.longitude = 0;
        fly(a, c.hours * 3600);
        EXPECT_NEAR(a.latitude, c.toLatitude, 0.01) << c.latitude << " " << c.heading;
        EXPECT_NEAR(std::remainder(a.longitude - c.toLongitude, 360.0), 0, 0.05) << c.latitude;
        EXPECT_NEAR(a.heading, c.toHeading, 0.05) << c.latitude << " " << c.heading;
    }
}

TEST(FlightModel, ClimbsAtTheSelectedRateAndLevelsAtTheTarget) {
    Aircraft a = cruising(90, 120);
    applyKeyEvent(a, keyAutopilotOn, 0);
    applyKeyEvent(a, keyAltitudeHoldOn, 0);
    applyKeyEvent(a, keyAltitude, 4000);
    applyKeyEvent(a, keyVerticalSpeed, 700);
    fly(a, 60);
    EXPECT_NEAR(a.altitude, 3700, 1e-6);
    fly(a, 60);
    EXPECT_NEAR(a.altitude, 4000, 1e-9);
    applyKeyEvent(a, keyAltitude, 2000);
    applyKeyEvent(a, keyVerticalSpeed, -1800);
    fly(a, 30);
    EXPECT_NEAR(a.altitude, 3100, 1e-6);
}

} // namespace
