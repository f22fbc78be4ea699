// The geometry of a flight's pictures and figures: how far the flown track strayed from the
// planned route, and the area a picture of both must show. Longitudes wrap at 180 degrees, so
// that a route across the date line is measured and drawn as the short route it is.
#pragma once
#include <string>
#include <vector>

struct PlotPoint {
    double latitude;  // degrees, north positive
    double longitude; // degrees, east positive
};

struct PlotWaypoint {
    PlotPoint position;
    std::string label;
};

// The step from one longitude to another the short way round: -180 to below 180 degrees.
double longitudeStep(double from, double to);

// Largest distance (nm) from any track point to the nearest leg of the route.
double largestOffRoute(const std::vector<PlotWaypoint>& route, const std::vector<PlotPoint>& track);

// The narrowest band of longitude that holds every point: from west, width degrees east (the
// band may pass 180). Width 0 for one point or none.
struct LongitudeBand {
    double west;
    double width;
};
LongitudeBand longitudeBand(const std::vector<double>& longitudes);

// A square picture of the points: its centre, pixels per degree of latitude and of longitude
// (equal nautical miles both ways), and the picture's size and margin.
struct PlotFrame {
    double centreLatitude, centreLongitude;
    double pixelsPerLatitude, pixelsPerLongitude;
    int32_t size, margin;
};
PlotFrame plotFrameFor(const std::vector<PlotPoint>& points, int32_t size, int32_t margin);

struct PlotPixel {
    double x, y;
};
PlotPixel pixelOf(const PlotFrame& frame, const PlotPoint& point);

// A round step (1, 2 or 5 times a power of ten) that cuts span into four to eight parts.
double roundStep(double span);

// The largest 1, 2 or 5 times a power of ten that is not above value (positive).
double roundBelow(double value);

// Longitude as the grid labels it: "179°E", "180°", "2.5°W", "0°".
std::string longitudeLabel(double longitude);
std::string latitudeLabel(double latitude);
