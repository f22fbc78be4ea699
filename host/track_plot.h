// The picture of a flight: the planned route as the great circles the gauge flies, with its
// waypoints named, the flown track, and where each waypoint was sequenced, on an equirectangular
// view of the area with its grid of latitude and longitude, north and a scale in nautical miles.
#pragma once
#include <string>
#include <vector>

#include "route_geometry.h"

struct TrackPlot {
    std::string title; // the flight's name: wrapped, or cut short, to fit the picture
    std::string note;  // said whole after the title, such as where the flight was interrupted
    std::vector<PlotWaypoint> route;  // in order; drawn along great circles
    std::vector<PlotPoint> track;     // the flown positions
    std::vector<PlotWaypoint> events; // where the active waypoint changed, with a label
};

bool writeTrackPlot(const std::string& path, const TrackPlot& plot, std::string& error);
