#include "nav_reference.h"

#include <cmath>

namespace {

constexpr double radiansPerDegree = 3.141592653589793 / 180;
constexpr double earthNm = 6371.0 / 1.852;

} // namespace

double referenceDistance(double lat1, double lon1, double lat2, double lon2) {
    double p1 = lat1 * radiansPerDegree, p2 = lat2 * radiansPerDegree;
    double dl = (lon2 - lon1) * radiansPerDegree;
    double s = std::sin((p2 - p1) / 2), t = std::sin(dl / 2);
    double a = s * s + std::cos(p1) * std::cos(p2) * t * t;
    return 2 * std::asin(std::sqrt(a)) * earthNm;
}

double referenceBearing(double lat1, double lon1, double lat2, double lon2, double variation) {
    double p1 = lat1 * radiansPerDegree, p2 = lat2 * radiansPerDegree;
    double dl = (lon2 - lon1) * radiansPerDegree;
    double course =
        std::atan2(std::sin(dl) * std::cos(p2),
                   std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl)) /
        radiansPerDegree;
    if (course < 0)
        course += 360;
    double b = lon2 < lon1 ? course - 0.6 : course;
    if (b < 90)
        b -= 0.5;
    b -= variation;
    while (b > 360)
        b -= 360;
    while (b <= 0)
        b += 360;
    return b < 1 ? 360 - b : b;
}

double referenceWindHeading(double course, double windSpeed, double windFrom, double speed) {
    double angle = std::asin(windSpeed / speed * std::sin((windFrom - course) * radiansPerDegree));
    return course + angle / radiansPerDegree;
}

::testing::AssertionResult headingSentFor(int32_t sent, double heading) {
    const double margin = 1e-4;
    if (sent >= heading - margin && sent < heading + 1 + margin)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "sent " << sent << " for a heading of " << heading;
}
