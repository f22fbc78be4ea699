// Flying by hand from the live window's keys: what each key changes, where it stops, and that
// the autopilot keeps what it holds.
#include <gtest/gtest.h>

#include "host/hand_flying.h"

namespace {

Aircraft cruising(bool master, bool headingHold, bool altitudeHold) {
    Aircraft a{};
    a.heading = 90;
    a.altitude = 5000;
    a.airspeed = 120;
    a.autopilot = {master, headingHold, altitudeHold, 90, 5000, 0};
    return a;
}

struct KeyCase {
    const char* what;
    Aircraft start;
    PilotKey key;
    bool changed;
    double heading, altitude, airspeed; // afterwards
};

TEST(HandFlying, KeysFlyWhatTheAutopilotDoesNotHold) {
    Aircraft north = cruising(false, false, false);
    north.heading = 2;
    Aircraft high = cruising(false, false, false);
    high.altitude = 99950;
    Aircraft slow = cruising(false, false, false);
    slow.airspeed = 4;
    const KeyCase cases[] = {
        {"right", cruising(false, false, false), PilotKey::headingRight, true, 95, 5000, 120},
        {"left over north", north, PilotKey::headingLeft, true, 357, 5000, 120},
        {"climb", cruising(false, false, false), PilotKey::climb, true, 90, 5100, 120},
        {"descend", cruising(false, false, false), PilotKey::descend, true, 90, 4900, 120},
        {"climb at the ceiling", high, PilotKey::climb, true, 90, 99996, 120},
        {"faster", cruising(false, false, false), PilotKey::faster, true, 90, 5000, 130},
        {"slower to a stop", slow, PilotKey::slower, true, 90, 5000, 0},
        {"heading held", cruising(true, true, false), PilotKey::headingLeft, false, 90, 5000, 120},
        {"altitude held", cruising(true, true, true), PilotKey::climb, false, 90, 5000, 120},
        {"altitude free while only the heading is held", cruising(true, true, false),
         PilotKey::descend, true, 90, 4900, 120},
        {"holds set but the master off", cruising(false, true, true), PilotKey::headingRight, true,
         95, 5000, 120},
        {"speed is never the autopilot's", cruising(true, true, true), PilotKey::faster, true, 90,
         5000, 130},
    };
    for (const KeyCase& c : cases) {
        Aircraft a = c.start;
        SimClock clock{false, 1};
        EXPECT_EQ(pilotKey(c.key, a, clock), c.changed) << c.what;
        EXPECT_DOUBLE_EQ(a.heading, c.heading) << c.what;
        EXPECT_DOUBLE_EQ(a.altitude, c.altitude) << c.what;
        EXPECT_DOUBLE_EQ(a.airspeed, c.airspeed) << c.what;
    }
}

TEST(HandFlying, ClockKeysPauseAndSetTheRate) {
    Aircraft a = cruising(false, false, false);
    SimClock clock{false, 1};
    EXPECT_TRUE(pilotKey(PilotKey::pause, a, clock));
    EXPECT_TRUE(clock.paused);
    EXPECT_TRUE(pilotKey(PilotKey::rate16, a, clock));
    EXPECT_FALSE(clock.paused) << "choosing a rate runs the clock again";
    EXPECT_EQ(clock.rate, 16);
    EXPECT_FALSE(pilotKey(PilotKey::rate16, a, clock)) << "already so";
    EXPECT_TRUE(pilotKey(PilotKey::rate4, a, clock));
    EXPECT_EQ(clock.rate, 4);
    EXPECT_TRUE(pilotKey(PilotKey::pause, a, clock));
    EXPECT_TRUE(pilotKey(PilotKey::pause, a, clock));
    EXPECT_FALSE(clock.paused);
    EXPECT_EQ(clock.rate, 4) << "a pause keeps the rate";
}

} // namespace
