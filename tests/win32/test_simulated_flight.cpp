// Whole flights in the stand-in simulator: the gauge steers the modelled aircraft through its
// key events, with the real dialog library holding the destination.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "host/panel_host.h"
#include "host/simulation.h"
#include "testkit/gauge_fixture.h"
#include "testkit/test_support.h"

namespace {

const double midway[2] = {41.7868, -87.7522};
const double milwaukee[2] = {42.9472, -87.8966};

struct SimulatedFlight : GaugeBesideLibrary {
    void SetUp() override {
        enterFreshFolder();
        ASSERT_TRUE(putDialogLibraryHere());
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
    }

    void chooseMilwaukee(int32_t coupled) {
        ExchangeRecord r{};
        std::strcpy(r.ident, "KMKE");
        std::strcpy(r.name, "Milwaukee Mitchell");
        r.latitude = latitudeFromDegrees(milwaukee[0]);
        r.longitude = longitudeFromDegrees(milwaukee[1]);
        r.airportAutopilot = coupled;
        r.airportAltitudeHold = coupled;
        r.airportAltitude = 4500;
        ASSERT_EQ(setData(&r), 1);
    }

    static Simulation takeOff(double heading, double windSpeed, double windFrom) {
        Aircraft a{};
        a.latitude = midway[0];
        a.longitude = midway[1];
        a.heading = heading;
        a.airspeed = 140;
        a.altitude = 620;
        a.windSpeed = windSpeed;
        a.windDirection = windFrom;
        a.variation = -2.0;
        Simulation simulation = makeSimulation(a, 18.0, 0.0);
        serveVariables(simulation);
        hostInstall();
        hostInitialize();
        obeyKeyEvents(simulation);
        return simulation;
    }

    static double distanceToMilwaukee(const Simulation& s) {
        return sphereDistance(s.aircraft.latitude, s.aircraft.longitude, milwaukee[0],
                              milwaukee[1]);
    }
};

TEST_F(SimulatedFlight, CoupledFlightReachesTheAirportAgainstACrosswind) {
    chooseMilwaukee(1);
    Simulation s = takeOff(180, 25, 270); // pointing away, 25 kn from the west
    double start = distanceToMilwaukee(s);
    double closest = start;
    double offTrack = 0;
    while (s.seconds < 3600 && closest > 0.2) {
        simulationFrame(s);
        closest = std::fmin(closest, distanceToMilwaukee(s));
        // Once turned, the track stays near the straight line Midway - Milwaukee (about
        // 087.8 W to 087.9 W): a drifting aircraft would end far east of it.
        if (s.seconds > 120)
            offTrack = std::fmax(offTrack, std::fabs(s.aircraft.longitude - (-87.82)));
    }
    EXPECT_LT(closest, 0.2) << "closest approach, nm, after " << s.seconds << " s";
    EXPECT_LT(s.seconds, 40 * 60) << "about 70 nm at 140 kn with a turn";
    EXPECT_LT(offTrack, 0.15) << "degrees of longitude off the line";
    EXPECT_NEAR(s.aircraft.altitude, 4500, 1);
    EXPECT_TRUE(s.aircraft.autopilot.master);
}

TEST_F(SimulatedFlight, UncoupledAircraftFliesStraightOn) {
    chooseMilwaukee(0);
    Simulation s = takeOff(180, 0, 0);
    for (int frame = 0; frame < 18 * 60; ++frame)
        simulationFrame(s);
    EXPECT_NEAR(s.aircraft.heading, 180, 0.01); // only the meridians it crosses turn it
    EXPECT_FALSE(s.aircraft.autopilot.master);
}

TEST_F(SimulatedFlight, AutopilotButtonOffMidFlightStopsTheTurn) {
    chooseMilwaukee(1);
    Simulation s = takeOff(180, 0, 0);
    for (int frame = 0; frame < 18 * 20; ++frame) // 20 s: turning, 60 degrees of 180
        simulationFrame(s);
    double turning = s.aircraft.heading;
    EXPECT_GT(std::fabs(turning - 180), 30);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(buttonCentre(4, x, y)); // "AP"
    clickGauge(x, y, nullptr);
    for (int frame = 0; frame < 18 * 30; ++frame)
        simulationFrame(s);
    EXPECT_FALSE(s.aircraft.autopilot.master);
    EXPECT_NEAR(s.aircraft.heading, turning, 3.0 / 18 + 1e-9) << "at most the frame in flight";
}

} // namespace
