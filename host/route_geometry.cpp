#include "host/route_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double pi = 3.141592653589793;
constexpr double nmPerDegree = 60.0405; // of latitude, on the flight model's sphere

std::string degreesLabel(double value, char positive, char negative) {
    char text[32];
    double magnitude = std::fabs(value);
    bool whole = std::fabs(magnitude - std::round(magnitude)) < 1e-9;
    std::snprintf(text, sizeof text, whole ? "%.0f\xB0%c" : "%.4g\xB0%c", magnitude,
                  value > 0 ? positive : negative);
    std::string label = text;
    if (magnitude < 1e-9 || (positive == 'E' && std::fabs(magnitude - 180) < 1e-9))
        label.pop_back(); // the equator, the prime meridian and the date line have no side
    return label;
}

} // namespace

double longitudeStep(double from, double to) {
    double step = std::fmod(to - from, 360.0);
    if (step < -180)
        step += 360;
    else if (step >= 180)
        step -= 360;
    return step;
}

double largestOffRoute(const std::vector<PlotWaypoint>& route,
                       const std::vector<PlotPoint>& track) {
    double largest = 0;
    for (const PlotPoint& p : track) {
        double nearest = route.empty() ? 0 : 1e18;
        double k = std::cos(p.latitude * pi / 180) * nmPerDegree;
        for (size_t i = 0; i < route.size(); ++i) {
            // Locally flat, in nm around the track point: fine for legs of some hundred miles.
            const PlotPoint& a = route[i].position;
            const PlotPoint& b = route[i + 1 < route.size() ? i + 1 : i].position;
            double ax = longitudeStep(p.longitude, a.longitude) * k;
            double ay = (a.latitude - p.latitude) * nmPerDegree;
            double bx = longitudeStep(p.longitude, b.longitude) * k;
            double by = (b.latitude - p.latitude) * nmPerDegree;
            double dx = bx - ax, dy = by - ay, length = dx * dx + dy * dy;
            double t = length > 0 ? std::fmax(0, std::fmin(1, -(ax * dx + ay * dy) / length)) : 0;
            nearest = std::fmin(nearest, std::hypot(ax + t * dx, ay + t * dy));
        }
        largest = std::fmax(largest, nearest);
    }
    return largest;
}

LongitudeBand longitudeBand(const std::vector<double>& longitudes) {
    std::vector<double> sorted;
    for (double longitude : longitudes)
        sorted.push_back(longitudeStep(0, longitude));
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty())
        return {0, 0};
    // The band is the circle less its widest gap between neighbours, that round 180 included.
    size_t after = 0;
    double widest = sorted.front() + 360 - sorted.back();
    for (size_t i = 1; i < sorted.size(); ++i)
        if (sorted[i] - sorted[i - 1] > widest) {
            widest = sorted[i] - sorted[i - 1];
            after = i;
        }
    return {sorted[after], std::max(0.0, 360 - widest)};
}

PlotFrame plotFrameFor(const std::vector<PlotPoint>& points, int32_t size, int32_t margin) {
    double north = -90, south = 90;
    std::vector<double> longitudes;
    for (const PlotPoint& p : points) {
        north = std::max(north, p.latitude);
        south = std::min(south, p.latitude);
        longitudes.push_back(p.longitude);
    }
    if (points.empty())
        north = south = 0;
    LongitudeBand band = longitudeBand(longitudes);
    double middle = (north + south) / 2;
    // Equal nautical miles in both directions: a degree of longitude is cos(latitude) wide.
    double shrink = std::max(std::cos(middle * pi / 180), 0.01);
    double span = std::max({band.width * shrink, north - south, 0.01}) * 1.08;
    double drawable = size - 2 * margin;
    double perLatitude = drawable / span;
    return {middle,      longitudeStep(0, band.west + band.width / 2),
            perLatitude, perLatitude * shrink,
            size,        margin};
}

PlotPixel pixelOf(const PlotFrame& frame, const PlotPoint& point) {
    return {frame.size / 2.0 +
                longitudeStep(frame.centreLongitude, point.longitude) * frame.pixelsPerLongitude,
            frame.size / 2.0 + (frame.centreLatitude - point.latitude) * frame.pixelsPerLatitude};
}

double roundStep(double span) {
    double power = std::pow(10.0, std::floor(std::log10(span / 8)));
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (span / (factor * power) <= 8)
            return factor * power;
    return 10 * power;
}

double roundBelow(double value) {
    double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double factor : {5.0, 2.0})
        if (factor * power <= value)
            return factor * power;
    return power;
}

std::string longitudeLabel(double longitude) {
    return degreesLabel(longitudeStep(0, longitude) == -180 ? 180 : longitudeStep(0, longitude),
                        'E', 'W');
}

std::string latitudeLabel(double latitude) {
    return degreesLabel(latitude, 'N', 'S');
}
