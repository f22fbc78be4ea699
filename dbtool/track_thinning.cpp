#include "track_thinning.h"

#include <algorithm>
#include <cmath>
#include <queue>

#include "common/great_circle.h"
#include "common/position_units.h"

namespace {

struct Vector3 {
    double x, y, z;
};

Vector3 unitVector(const Waypoint& point) {
    const double radians = 3.14159265358979323846 / 180.0;
    double latitude = decimalFromDms(point.latitude) * radians;
    double longitude = decimalFromDms(point.longitude) * radians;
    return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude),
            std::sin(latitude)};
}

double dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double angleBetween(const Vector3& a, const Vector3& b) {
    Vector3 c = cross(a, b);
    return std::atan2(std::sqrt(dot(c, c)), dot(a, b));
}

// The angle from p to the nearest point of the shorter great-circle arc from a to b.
double arcDistance(const Vector3& p, const Vector3& a, const Vector3& b) {
    Vector3 n = cross(a, b);
    double length = std::sqrt(dot(n, n));
    if (length < 1e-12)
        return angleBetween(p, a);
    n = {n.x / length, n.y / length, n.z / length};
    // Beside the arc, not beyond one of its ends: then the nearest point is on the arc.
    if (dot(cross(a, p), n) > 0 && dot(cross(p, b), n) > 0)
        return std::fabs(std::asin(std::max(-1.0, std::min(1.0, dot(p, n)))));
    return std::min(angleBetween(p, a), angleBetween(p, b));
}

// A stretch of the track between two kept points, and its point farthest from their arc.
struct Stretch {
    size_t first, last, farthest;
    double distance;
    bool operator<(const Stretch& other) const { return distance < other.distance; }
};

Stretch stretchOf(const std::vector<Vector3>& track, size_t first, size_t last) {
    Stretch stretch{first, last, first, -1};
    for (size_t i = first + 1; i < last; ++i) {
        double d = arcDistance(track[i], track[first], track[last]);
        if (d > stretch.distance)
            stretch = {first, last, i, d};
    }
    return stretch;
}

} // namespace

std::vector<size_t> thinnedTrack(const std::vector<Waypoint>& points, size_t most,
                                 double& deviationNm) {
    deviationNm = 0;
    std::vector<size_t> kept;
    if (points.size() <= most || most < 2) {
        for (size_t i = 0; i < points.size(); ++i)
            kept.push_back(i);
        return kept;
    }
    std::vector<Vector3> track;
    track.reserve(points.size());
    for (const Waypoint& point : points)
        track.push_back(unitVector(point));
    kept = {0, points.size() - 1};
    std::priority_queue<Stretch> open;
    open.push(stretchOf(track, 0, points.size() - 1));
    while (kept.size() < most && open.top().distance >= 0) {
        Stretch widest = open.top();
        open.pop();
        kept.push_back(widest.farthest);
        open.push(stretchOf(track, widest.first, widest.farthest));
        open.push(stretchOf(track, widest.farthest, widest.last));
    }
    // One minute of arc of a great circle is a nautical mile.
    deviationNm = std::max(0.0, open.top().distance) * earthRadiusNm;
    std::sort(kept.begin(), kept.end());
    return kept;
}
