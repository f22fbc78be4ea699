// The picture of a flight: the planned route with its waypoints named, the flown track, and
// where each waypoint was sequenced, on an equirectangular view of the area with its grid of
// latitude and longitude, north and a scale in nautical miles.
#pragma once
#include <string>
#include <vector>

#include "host/route_geometry.h"

struct TrackPlot {
    std::string title;
    std::vector<PlotWaypoint> route;  // in order; drawn as a polyline
    std::vector<PlotPoint> track;     // the flown positions
    std::vector<PlotWaypoint> events; // where the active waypoint changed, with a label
};

bool writeTrackPlot(const std::string& path, const TrackPlot& plot, std::string& error);
