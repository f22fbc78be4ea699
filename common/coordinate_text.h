// Coordinates as people type them and read them, for the scenarios, the command lines and the
// waypoint files the tools read and write. Pure.
#pragma once
#include <string>

#include "position_units.h"

// The largest a latitude (90) or a longitude (180) may be either side of 0, degrees.
constexpr double coordinateLimit(bool latitude) {
    return latitude ? 90.0 : 180.0;
}

// A coordinate as people write it: signed decimal degrees ("-87.7522"), or a hemisphere letter
// before or after degrees, minutes and seconds separated by spaces or marked with the degree,
// minute and second signs ("N41 47 10.5", "41°47'10\"N", "W087° 45′ 08″"), or a sign before
// them ("-1°14.04′"), or joined by hyphens before the letter ("02-03-43S"). Only the last part
// given may have a fraction; minutes and seconds stay below 60. Returns false for anything else.
// The range of the result is not checked: readCoordinate checks it.
bool parseCoordinate(const std::string& text, bool latitude, double& degrees);

// parseCoordinate, and the result within +-coordinateLimit.
enum class CoordinateRead { read, notCoordinate, outOfRange };
CoordinateRead readCoordinate(const std::string& text, bool latitude, double& degrees);

// Decimal degrees (north and east positive) rounded to the nearest whole second. False, and the
// reason ("latitude 91.000000 is outside -90 to 90"), for a value that is not finite or lies
// beyond coordinateLimit.
bool latitudeFromDecimal(double degrees, DmsAngle& angle, std::string& reason);
bool longitudeFromDecimal(double degrees, DmsAngle& angle, std::string& reason);

// An angle as text: for messages, listings and the tree "N 41°47'10\"" (the default), for the
// live window "N41°47'10\"", as a scenario holds it "N41 47 10".
enum class DmsForm { listing, window, scenario };
std::string formatDms(const DmsAngle& angle, DmsForm form = DmsForm::listing);
