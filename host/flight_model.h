// The stand-in simulator's aircraft: a point over a spherical earth, flown by its airspeed,
// heading and the wind, with an autopilot that obeys the gauge's key events. Plain computation,
// so it is also built natively and tested there.
#pragma once
#include <cstdint>

#include "common/great_circle.h"
#include "common/standard_turn.h"

struct Autopilot {
    bool master;
    bool headingHold;
    bool altitudeHold;
    double selectedHeading;  // degrees magnetic
    double selectedAltitude; // feet
    double verticalSpeed;    // ft/min, the rate it climbs or descends toward selectedAltitude
};

struct Aircraft {
    double latitude;      // degrees, north positive
    double longitude;     // degrees, east positive, -180 to 180
    double heading;       // degrees magnetic, 0 to 360
    double airspeed;      // knots, through the air
    double altitude;      // feet
    double windSpeed;     // knots
    double windDirection; // degrees magnetic the wind blows from
    double variation;     // degrees, east positive: magnetic = true - variation
    Autopilot autopilot;
};

// Applies one key event as the autopilot understands it; unknown events are ignored.
void applyKeyEvent(Aircraft& aircraft, int32_t event, int32_t value);

// Advances the aircraft by seconds: the autopilot turns (the short way round, at the standard
// rate) and climbs or descends, then the aircraft moves along its track over the ground.
void advanceAircraft(Aircraft& aircraft, double seconds);

// Track and speed over the ground from heading, airspeed and wind.
struct GroundVector {
    double track; // degrees magnetic
    double speed; // knots
};
GroundVector groundVector(const Aircraft& aircraft);

// Where a point travelling from (latitude, longitude) along a true course for a distance arrives,
// on the great circle; returns the true course it arrives on, which differs from the one it left
// on as the meridians draw together (over a pole by half a turn).
double travel(double& latitude, double& longitude, double courseTrue, double distanceNm);
