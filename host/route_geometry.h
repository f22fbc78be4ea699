// The geometry of a flight's pictures and figures: how far the flown track strayed from the
// planned route, and the area a picture of both must show. Legs are great circles on the flight
// model's sphere, as the gauge flies them; longitudes wrap at 180 degrees, so that a route across
// the date line is measured and drawn as the short route it is.
#pragma once
#include <cstdint>
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

// Distance (nm) from a point to the great-circle leg from a to b: to the circle where the point
// lies abeam the leg, else to the nearer end. A leg of no length (or from a point to its
// antipode, which has no one circle) is measured from its ends.
double distanceFromLeg(const PlotPoint& point, const PlotPoint& a, const PlotPoint& b);

// Largest distance (nm) from any track point to the nearest leg of the route (to the one point
// of a route of one).
double largestOffRoute(const std::vector<PlotWaypoint>& route, const std::vector<PlotPoint>& track);

// The route as the gauge flies it: every waypoint, with points along each great-circle leg at
// most stepNm apart, so that a picture can draw it as short straight pieces.
std::vector<PlotPoint> greatCircleLine(const std::vector<PlotWaypoint>& route, double stepNm);

// The narrowest band of longitude that holds every point: from west, width degrees east (the
// band may pass 180). Width 0 for one point or none.
struct LongitudeBand {
    double west;
    double width;
};
LongitudeBand longitudeBand(const std::vector<double>& longitudes);

// A square picture of the points: its centre, pixels per degree of latitude and of longitude
// (equal nautical miles both ways), and the picture's size and margin. Points within
// polarLatitude of a pole are shown round that pole instead (pole 1 north, -1 south): distance
// from the pole true to scale, the centre meridian straight down from the north pole (up from
// the south pole), and every great circle through the pole a straight line.
struct PlotFrame {
    double centreLatitude, centreLongitude;
    double pixelsPerLatitude, pixelsPerLongitude;
    int32_t size, margin;
    int32_t pole;        // 0: latitude and longitude straight across the picture
    double poleX, poleY; // the pole's pixel, in a view round a pole
};
constexpr double polarLatitude = 80; // degrees
PlotFrame plotFrameFor(const std::vector<PlotPoint>& points, int32_t size, int32_t margin);

struct PlotPixel {
    double x, y;
};
PlotPixel pixelOf(const PlotFrame& frame, const PlotPoint& point);

// A line through the points in pixels, cut where it crosses the meridian opposite the picture's
// centre (a line round the world) into runs that end at the picture's two sides of that meridian;
// a view round a pole has no such cut.
std::vector<std::vector<PlotPixel>> pixelRuns(const PlotFrame& frame,
                                              const std::vector<PlotPoint>& points);

// A round step (1, 2 or 5 times a power of ten) that cuts span into four to eight parts.
double roundStep(double span);

// The largest 1, 2 or 5 times a power of ten that is not above value (positive).
double roundBelow(double value);

// Longitude as the grid labels it: "179°E", "180°", "2.5°W", "0°".
std::string longitudeLabel(double longitude);
std::string latitudeLabel(double latitude);
