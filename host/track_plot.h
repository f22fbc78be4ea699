// The picture of a flight: the planned route with its numbered waypoints, the flown track, and
// where each waypoint was sequenced, on an equirectangular view of the area.
#pragma once
#include <string>
#include <vector>

struct PlotPoint {
    double latitude;
    double longitude;
};

struct PlotWaypoint {
    PlotPoint position;
    std::string label;
};

struct TrackPlot {
    std::string title;
    std::vector<PlotWaypoint> route;  // in order; drawn as a polyline
    std::vector<PlotPoint> track;     // the flown positions
    std::vector<PlotWaypoint> events; // where the active waypoint changed, with a label
};

bool writeTrackPlot(const std::string& path, const TrackPlot& plot, std::string& error);
