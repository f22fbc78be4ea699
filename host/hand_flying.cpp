#include "hand_flying.h"

#include <cmath>

#include "common/limits.h"

namespace {

constexpr double headingStep = 5;    // degrees
constexpr double altitudeStep = 100; // feet
constexpr double speedStep = 10;     // knots

// The ranges a scenario may start in.
constexpr double lowestAltitude = -1500;
constexpr double fastest = 2000;

bool change(double& value, double to) {
    bool changed = to != value;
    value = to;
    return changed;
}

bool turn(Aircraft& a, double by) {
    if (a.autopilot.master && a.autopilot.headingHold)
        return false;
    double heading = std::fmod(a.heading + by, 360.0);
    return change(a.heading, heading < 0 ? heading + 360.0 : heading);
}

bool climb(Aircraft& a, double by) {
    if (a.autopilot.master && a.autopilot.altitudeHold)
        return false;
    return change(a.altitude, std::fmin(double(highestAltitudeFeet),
                                        std::fmax(lowestAltitude, a.altitude + by)));
}

bool setRate(SimClock& clock, int rate) {
    bool changed = clock.rate != rate || clock.paused;
    clock = {false, rate};
    return changed;
}

} // namespace

bool pilotKey(PilotKey key, Aircraft& aircraft, SimClock& clock) {
    switch (key) {
    case PilotKey::headingLeft:
        return turn(aircraft, -headingStep);
    case PilotKey::headingRight:
        return turn(aircraft, headingStep);
    case PilotKey::climb:
        return climb(aircraft, altitudeStep);
    case PilotKey::descend:
        return climb(aircraft, -altitudeStep);
    case PilotKey::faster:
        return change(aircraft.airspeed, std::fmin(fastest, aircraft.airspeed + speedStep));
    case PilotKey::slower:
        return change(aircraft.airspeed, std::fmax(0.0, aircraft.airspeed - speedStep));
    case PilotKey::pause:
        clock.paused = !clock.paused;
        return true;
    case PilotKey::rate1:
        return setRate(clock, 1);
    case PilotKey::rate4:
        return setRate(clock, 4);
    case PilotKey::rate16:
        return setRate(clock, 16);
    }
    return false;
}
