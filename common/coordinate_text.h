// Coordinates as people type them, for the scenarios and the waypoint files the tools read.
#pragma once
#include <string>

// A coordinate as people write it: signed decimal degrees ("-87.7522"), or a hemisphere letter
// before or after degrees, minutes and seconds separated by spaces or marked with the degree,
// minute and second signs ("N41 47 10.5", "41°47'10\"N", "W087° 45′ 08″"), or a sign before
// them ("-1°14.04′"), or joined by hyphens before the letter ("02-03-43S"). Only the last part
// given may have a fraction; minutes and seconds stay below 60. Returns false for anything else.
// The range of the result is the caller's to check.
bool parseCoordinate(const std::string& text, bool latitude, double& degrees);
