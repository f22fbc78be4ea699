// Choosing the places of a region from a big table: by country, region, kind of place, a box of
// latitude and longitude, and a distance from a position or an identifier of the table.
#pragma once
#include <string>

#include "waypoints.h"

struct PointFilters {
    std::string countries; // comma-separated codes or names, any case; empty: every country
    std::string regions;   // comma-separated regions ("US-IL"), any case
    std::string types;     // comma-separated kinds ("large_airport,medium_airport"), any case
    std::string box;       // "south,west,north,east" in degrees; west above east crosses 180°
    double withinNm = 0;   // 0: no distance limit
    std::string of;        // the centre: an identifier of the input, or "latitude,longitude"
};

bool filtersGiven(const PointFilters& filters);

// Keeps the points that pass every filter given, in their order. False, with the reason, for a
// box or centre that cannot be read, or an identifier the input lacks. told says what was kept.
bool filterPoints(WaypointSet& set, const PointFilters& filters, std::string& told,
                  std::string& reason);
