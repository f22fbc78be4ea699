#include "nav_math.h"

#include <cmath>
#include <cstring>

#include "common/great_circle.h"
#include "common/position_units.h"
#include "common/sim_ids.h"

namespace {

constexpr double degreesPerRadian = 57.29578;
constexpr double piShort = 3.1415927;
constexpr double pi = 3.141592653589793;

// Longitudes in 0 to 360, as the bearing formula compares them.
double longitudeFullCircle(double raw) {
    double degrees = longitudeDegrees(raw);
    return degrees < 0 ? degrees + 360.0 : degrees;
}

double clampUnit(double x) {
    return x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x);
}

bool finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

} // namespace

DistanceBearing greatCircle(double latitude1, double longitude1, double latitude2,
                            double longitude2, double variation) {
    if (isNoPoint(latitude2, longitude2))
        return {0.0, 0.0};
    if (!finite(latitude1, longitude1, latitude2, longitude2))
        return {0.0, 0.0};
    // Only the bearing depends on the variation: without one it stays true, and the distance
    // is what the positions give.
    if (!std::isfinite(variation))
        variation = 0.0;
    double lat1 = latitudeDegrees(latitude1), lon1 = longitudeFullCircle(longitude1);
    double lat2 = latitudeDegrees(latitude2), lon2 = longitudeFullCircle(longitude2);
    double c1 = (90.0 - lat1) / degreesPerRadian;
    double c2 = (90.0 - lat2) / degreesPerRadian;
    double d = std::fabs(lon2 - lon1) / degreesPerRadian;
    // Rounding can carry the cosine of a tiny angle just past 1, where acos has no value.
    double g = std::acos(
        clampUnit(std::cos(c1) * std::cos(c2) + std::sin(c1) * std::sin(c2) * std::cos(d)));
    double distance = g * earthRadiusKm / kilometresPerNm;
    double sinG = std::sin(g);
    double b = 0.0; // coinciding points have no direction; 0 keeps the figures finite
    if (sinG != 0.0) {
        double x = (std::sin(c1) * std::cos(c2) - std::cos(c1) * std::sin(c2) * std::cos(d)) / sinG;
        b = std::acos(clampUnit(x)) * 180.0 / piShort;
    }
    if (lon1 > lon2)
        b = 359.4 - b;
    if (std::fabs(lon2 - lon1) > 180.0)
        b = 360.0 - b;
    if (b < 90.0)
        b = b - 0.5;
    b = 360.0 - variation + b;
    if (b > 3600.0 || b < 0.0) // a wild variation must not make the loop below a long one
        b = std::fmod(b, 360.0) + 360.0;
    while (b > 360.0)
        b -= 360.0;
    if (b < 1.0)
        b = 360.0 - b;
    return {distance, b};
}

double currentSpeed(double indicatedKnots, double machValue) {
    double b = machValue / machSpeedScale / 3.2 * 1224.0 / 0.1852;
    double speed = b > indicatedKnots ? b : indicatedKnots;
    if (std::isfinite(speed))
        return speed;
    // One figure the simulator garbled: the other one still tells the speed.
    if (std::isfinite(indicatedKnots))
        return indicatedKnots;
    return std::isfinite(b) ? b : 0.0;
}

double turnRadius(double speed) {
    if (!(speed > 0.0))
        return 0.0;
    return std::pow(speed / 100.0, 2.5) * 0.25;
}

double switchDistanceFor(double nextLegBearing, double steerHeading, double speed) {
    double a = nextLegBearing - (steerHeading - 180.0);
    if (a < -180.0)
        a += 360.0;
    if (a > 180.0)
        a -= 360.0;
    double h = std::fabs(a) / 2.0;
    double d = std::fabs(turnRadius(speed) / std::tan(h * piShort / 180.0));
    if (speed <= 40.0 || !(d >= 0.1) || !std::isfinite(d))
        return 0.1;
    return d;
}

double windCorrect(double steerHeading, double windSpeed, double windDirection, double speed) {
    if (!(speed != 0.0) || !finite(steerHeading, windSpeed, windDirection, speed))
        return steerHeading;
    double y = std::sin((windDirection - steerHeading) / 180.0 * pi) * (windSpeed / speed);
    if (y > 1.0 || y < -1.0 || !std::isfinite(y))
        return steerHeading;
    double r = std::asin(y) + steerHeading / 180.0 * pi;
    if (r < 0)
        r += 6.28;
    if (r > 6.28)
        r -= 6.28;
    return r * 180.0 / pi;
}

bool flyableAltitude(double feet) {
    return feet >= 0.0 && feet <= highestAltitudeFeet; // false for NaN too
}

int32_t verticalSpeedCommand(double altitudeMetres, const ExchangeRecord& exchange,
                             double selector) {
    double current = altitudeMetres * 3.281;
    ModeAutopilot options = modeAutopilot(exchange);
    double target = options.couples && options.holdsAltitude ? options.altitude : 0.0;
    if (!flyableAltitude(target))
        return 0;
    int32_t rate =
        std::memcmp(&selector, &fastClimbSelector, sizeof fastClimbSelector) == 0 ? 1800 : 700;
    double diff = target - current;
    if (diff > 1.0)
        return rate;
    if (diff < -1.0)
        return -rate;
    return 0;
}

static int32_t toWhole(double value) {
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t headingCommand(double steerHeading) {
    return toWhole(std::ceil(steerHeading));
}
int32_t wholeFeet(double altitude) {
    return toWhole(altitude);
}
