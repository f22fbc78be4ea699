#include "route_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flight_model.h"

namespace {

constexpr double pi = 3.141592653589793;

struct Vector {
    double x, y, z;
};

Vector unitVector(const PlotPoint& p) {
    double latitude = p.latitude * pi / 180, longitude = p.longitude * pi / 180;
    return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
            std::sin(latitude)};
}

PlotPoint pointOf(const Vector& v) {
    return {std::atan2(v.z, std::hypot(v.x, v.y)) * 180 / pi, std::atan2(v.y, v.x) * 180 / pi};
}

Vector cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector scaled(const Vector& v, double by) {
    return {v.x * by, v.y * by, v.z * by};
}

Vector sum(const Vector& a, const Vector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// The angle between two unit vectors, exact for small angles as well as large.
double angleBetween(const Vector& a, const Vector& b) {
    Vector c = cross(a, b);
    return std::atan2(std::sqrt(dot(c, c)), dot(a, b));
}

// The pixel of a point east of the picture's centre by a number of degrees (negative: west).
PlotPixel pixelEast(const PlotFrame& frame, double east, double latitude) {
    return {frame.size / 2.0 + east * frame.pixelsPerLongitude,
            frame.size / 2.0 + (frame.centreLatitude - latitude) * frame.pixelsPerLatitude};
}

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

// Degrees of arc from the pole, east and down the picture, in the view round a pole.
PlotPixel roundPole(int32_t pole, double centreLongitude, const PlotPoint& p) {
    double fromPole = 90 - pole * p.latitude;
    double angle = longitudeStep(centreLongitude, p.longitude) * pi / 180;
    return {fromPole * std::sin(angle), pole * fromPole * std::cos(angle)};
}

PlotFrame polarFrame(const std::vector<PlotPoint>& points, int32_t pole, double centreLongitude,
                     int32_t size, int32_t margin) {
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const PlotPoint& p : points) {
        PlotPixel at = roundPole(pole, centreLongitude, p);
        left = std::min(left, at.x), right = std::max(right, at.x);
        top = std::min(top, at.y), bottom = std::max(bottom, at.y);
    }
    double perDegree = (size - 2 * margin) / (std::max({right - left, bottom - top, 0.01}) * 1.08);
    return {pole * 90.0,
            centreLongitude,
            perDegree,
            0,
            size,
            margin,
            pole,
            size / 2.0 - (left + right) / 2 * perDegree,
            size / 2.0 - (top + bottom) / 2 * perDegree};
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

double distanceFromLeg(const PlotPoint& point, const PlotPoint& a, const PlotPoint& b) {
    Vector p = unitVector(point), u = unitVector(a), v = unitVector(b);
    double ends = std::fmin(angleBetween(p, u), angleBetween(p, v));
    Vector normal = cross(u, v);
    double length = std::sqrt(dot(normal, normal));
    if (length < 1e-12)
        return ends * earthRadiusNm;
    normal = scaled(normal, 1 / length);
    double off = dot(p, normal); // the sine of the angle from the circle
    Vector foot = sum(p, scaled(normal, -off));
    // Abeam when the foot of the perpendicular lies on the leg, not on the rest of its circle.
    bool abeam = dot(cross(u, foot), normal) >= 0 && dot(cross(foot, v), normal) >= 0;
    double across = std::asin(std::fmin(1.0, std::fabs(off)));
    return (abeam ? std::fmin(across, ends) : ends) * earthRadiusNm;
}

double largestOffRoute(const std::vector<PlotWaypoint>& route,
                       const std::vector<PlotPoint>& track) {
    double largest = 0;
    for (const PlotPoint& p : track) {
        double nearest =
            route.empty() ? 0 : distanceFromLeg(p, route[0].position, route[0].position);
        for (size_t i = 1; i < route.size(); ++i)
            nearest =
                std::fmin(nearest, distanceFromLeg(p, route[i - 1].position, route[i].position));
        largest = std::fmax(largest, nearest);
    }
    return largest;
}

std::vector<PlotPoint> greatCircleLine(const std::vector<PlotWaypoint>& route, double stepNm) {
    std::vector<PlotPoint> line;
    for (size_t i = 0; i < route.size(); ++i) {
        if (i > 0 && stepNm > 0) {
            Vector u = unitVector(route[i - 1].position), v = unitVector(route[i].position);
            double angle = angleBetween(u, v), sine = std::sin(angle);
            int32_t pieces = int32_t(std::ceil(angle * earthRadiusNm / stepNm));
            // Between antipodes every great circle is as short: such a leg is drawn straight.
            for (int32_t k = 1; sine > 1e-9 && k < pieces; ++k) {
                double t = double(k) / pieces;
                line.push_back(pointOf(sum(scaled(u, std::sin((1 - t) * angle) / sine),
                                           scaled(v, std::sin(t * angle) / sine))));
            }
        }
        line.push_back(route[i].position);
    }
    return line;
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
    double middle = (north + south) / 2,
           centreLongitude = longitudeStep(0, band.west + band.width / 2);
    double drawable = size - 2 * margin;
    int32_t pole = north >= polarLatitude ? 1 : south <= -polarLatitude ? -1 : 0;
    if (pole != 0)
        return polarFrame(points, pole, centreLongitude, size, margin);
    // Equal nautical miles in both directions: a degree of longitude is cos(latitude) wide.
    double shrink = std::max(std::cos(middle * pi / 180), 0.01);
    double span = std::max({band.width * shrink, north - south, 0.01}) * 1.08;
    double perLatitude = drawable / span;
    return {middle, centreLongitude, perLatitude, perLatitude * shrink, size, margin, 0, 0, 0};
}

PlotPixel pixelOf(const PlotFrame& frame, const PlotPoint& point) {
    if (frame.pole != 0) {
        PlotPixel at = roundPole(frame.pole, frame.centreLongitude, point);
        return {frame.poleX + at.x * frame.pixelsPerLatitude,
                frame.poleY + at.y * frame.pixelsPerLatitude};
    }
    return pixelEast(frame, longitudeStep(frame.centreLongitude, point.longitude), point.latitude);
}

std::vector<std::vector<PlotPixel>> pixelRuns(const PlotFrame& frame,
                                              const std::vector<PlotPoint>& points) {
    std::vector<std::vector<PlotPixel>> runs;
    for (size_t i = 0; i < points.size(); ++i) {
        const PlotPoint& p = points[i];
        if (i == 0) {
            runs.push_back({pixelOf(frame, p)});
            continue;
        }
        const PlotPoint& before = points[i - 1];
        double from = longitudeStep(frame.centreLongitude, before.longitude);
        double to = from + longitudeStep(before.longitude, p.longitude);
        if (frame.pole == 0 && (to >= 180 || to < -180)) {
            double seam = to >= 180 ? 180 : -180, t = (seam - from) / (to - from);
            double latitude = before.latitude + (p.latitude - before.latitude) * t;
            runs.back().push_back(pixelEast(frame, seam, latitude));
            runs.push_back({pixelEast(frame, -seam, latitude)});
        }
        runs.back().push_back(pixelOf(frame, p));
    }
    return runs;
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
