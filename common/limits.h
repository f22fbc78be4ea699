// The limits more than one part of the system must agree on, each defined once with its unit.
// A message that quotes one builds its text from the constant here. Pure.
#pragma once
#include <cstdint>

// The highest altitude a pilot can choose or a record can hold, feet (the edits take five digits
// and the autopilot's altitude register stops here).
constexpr int32_t highestAltitudeFeet = 99996;

constexpr bool altitudeInRange(int64_t feet) {
    return feet >= 0 && feet <= highestAltitudeFeet;
}

// The longest flight the stand-in simulator runs, seconds (two days).
constexpr int32_t longestFlightHours = 48;
constexpr int32_t longestFlightSeconds = longestFlightHours * 3600;
