// Expected navigation figures reckoned independently of the gauge's own functions: the course by
// the atan2 form of spherical trigonometry and the distance by the haversine (the gauge uses the
// cosine rule for both), then the instrument's calibration as its pilots know it. Positions in
// signed degrees, north and east positive.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

// Nautical miles on the instrument's 6371 km sphere.
double referenceDistance(double lat1, double lon1, double lat2, double lon2);

// The bearing the instrument shows: the true course, 0.6 short when going west, lowered by 0.5
// when under 90, then magnetic (true - variation), north as 360. Not for routes across the zero
// meridian, where the instrument folds the course differently.
double referenceBearing(double lat1, double lon1, double lat2, double lon2, double variation);

// The heading that holds the course against the wind by the wind triangle. Not for headings that
// would come out past 359.8, where the instrument's wrap differs.
double referenceWindHeading(double course, double windSpeed, double windFrom, double speed);

// The autopilot's whole-degree heading for a figure: the next whole degree at or above it.
// Figures within 1e-4 of a whole degree accept either neighbour, as the two reckonings may
// fall on either side.
::testing::AssertionResult headingSentFor(int32_t sent, double heading);
