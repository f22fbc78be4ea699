// The earth as the instrument measures it, and the one distance the stand-in simulator and the
// database tool measure on it. The gauge keeps its own formula (gauge/nav_math), on this radius.
// Pure.
#pragma once
#include <cmath>

// The instrument's sphere, 6371 km, in nautical miles (3,440.1).
constexpr double earthRadiusKm = 6371.0;
constexpr double kilometresPerNm = 1.852;
constexpr double earthRadiusNm = earthRadiusKm / kilometresPerNm;

// Great-circle distance in nautical miles between two points of signed decimal degrees (north
// and east positive), by the haversine, which stays exact for the short legs that matter most.
inline double sphereDistance(double latitude1, double longitude1, double latitude2,
                             double longitude2) {
    auto radians = [](double degrees) { return degrees * 3.141592653589793 / 180.0; };
    double phi1 = radians(latitude1), phi2 = radians(latitude2);
    double dphi = phi2 - phi1, dlambda = radians(longitude2 - longitude1);
    double a = std::sin(dphi / 2) * std::sin(dphi / 2) +
               std::cos(phi1) * std::cos(phi2) * std::sin(dlambda / 2) * std::sin(dlambda / 2);
    return 2 * earthRadiusNm * std::asin(std::sqrt(std::fmin(1.0, a)));
}
