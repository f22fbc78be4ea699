// The instrument's navigation arithmetic on the simulator's raw units, as functions of their
// inputs (the gauge looks the simulator variables up and passes them in). The odd constants
// (57.29578, two values of pi, 359.4, the 0.5 below 90, 6.28) are the instrument's own
// calibration and are kept exactly: pilots' figures and stored tours were made with them.
#pragma once
#include <cstdint>

#include "common/exchange_record.h"
#include "common/limits.h"

struct DistanceBearing {
    double distance; // nautical miles
    double bearing;  // degrees magnetic, north as 360
};

// From point 1 to point 2 (raw latitude, raw longitude each) with magnetic variation v.
// Point 2 with a coordinate of exactly 0 is no point: 0 and 0. Coinciding points, and positions
// that are not finite numbers, give distance 0 and a finite bearing, never NaN. A variation that
// is not a finite number counts as 0: it changes the bearing only.
DistanceBearing greatCircle(double latitude1, double longitude1, double latitude2,
                            double longitude2, double variation);

// The larger of the indicated speed (knots) and the Mach-based speed value converted to knots;
// when that one is not a finite number, the other one if it is, else 0.
double currentSpeed(double indicatedKnots, double machValue);

// Nautical miles: 0.25 x (speed / 100)^2.5; 0 for a speed of 0 or less.
double turnRadius(double speed);

// The distance before the active waypoint at which the tour turns onto its next leg, from the
// bearing of the next leg, the (uncorrected) bearing of the current one and the speed.
// 0.1 at 40 knots or less, when the anticipation is under 0.1, or when it is not finite
// (a leg that turns straight back).
double switchDistanceFor(double nextLegBearing, double steerHeading, double speed);

// The heading that holds the bearing against the wind. Left unchanged when the speed is 0 or
// the wind is stronger than the speed figure allows (|y| > 1), or when the inputs are not finite.
double windCorrect(double steerHeading, double windSpeed, double windDirection, double speed);

// A target altitude the autopilot can be sent: a number from 0 to highestAltitudeFeet. Anything
// else (a damaged mapping, a hand-edited altitude text) is no altitude at all.
bool flyableAltitude(double feet);

// Climb (+) or descent (-) rate toward the target altitude that exchange selects for its mode,
// 1800 ft/min when the selector is exactly fastClimbSelector (common/sim_ids.h), else 700; 0 within
// 1 foot, and 0 when the selected altitude is not flyable.
int32_t verticalSpeedCommand(double altitudeMetres, const ExchangeRecord& exchange,
                             double selector);

// Whole numbers handed to the autopilot: heading as its ceiling, altitude truncated; a value
// that is not finite or does not fit becomes 0 or the nearest int32.
int32_t headingCommand(double steerHeading);
int32_t wholeFeet(double altitude);
