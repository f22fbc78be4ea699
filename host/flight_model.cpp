#include "flight_model.h"

#include <cmath>

#include "common/sim_ids.h"

namespace {

constexpr double pi = 3.141592653589793;

double radians(double degrees) {
    return degrees * pi / 180.0;
}
double degrees(double radians) {
    return radians * 180.0 / pi;
}

double normalised(double angle) {
    double a = std::fmod(angle, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// Signed smallest turn from one heading to another, -180 to 180.
double turnBetween(double from, double to) {
    double d = normalised(to - from);
    return d > 180.0 ? d - 360.0 : d;
}

} // namespace

void applyKeyEvent(Aircraft& aircraft, int32_t event, int32_t value) {
    Autopilot& ap = aircraft.autopilot;
    switch (event) {
    case keyAutopilotOn:
        ap.master = true;
        break;
    case keyAutopilotOff:
        ap.master = false;
        break;
    case keyHeadingHoldOn:
        ap.headingHold = true;
        break;
    case keyHeadingHoldOff:
        ap.headingHold = false;
        break;
    case keyAltitudeHoldOn:
        ap.altitudeHold = true;
        break;
    case keyAltitudeHoldOff:
        ap.altitudeHold = false;
        break;
    case keyHeading:
        ap.selectedHeading = normalised(value);
        break;
    case keyAltitude:
        ap.selectedAltitude = value;
        break;
    case keyVerticalSpeed:
        ap.verticalSpeed = value;
        break;
    default:
        break;
    }
}

GroundVector groundVector(const Aircraft& aircraft) {
    // East and north components in knots, in the magnetic frame.
    double h = radians(aircraft.heading);
    double east = aircraft.airspeed * std::sin(h);
    double north = aircraft.airspeed * std::cos(h);
    double toward = radians(aircraft.windDirection + 180.0); // wind blows away from its direction
    east += aircraft.windSpeed * std::sin(toward);
    north += aircraft.windSpeed * std::cos(toward);
    double speed = std::hypot(east, north);
    double track = speed > 0 ? normalised(degrees(std::atan2(east, north))) : aircraft.heading;
    return {track, speed};
}

double travel(double& latitude, double& longitude, double courseTrue, double distanceNm) {
    double phi1 = radians(latitude), lambda1 = radians(longitude);
    double delta = distanceNm / earthRadiusNm, theta = radians(courseTrue);
    double phi2 = std::asin(std::sin(phi1) * std::cos(delta) +
                            std::cos(phi1) * std::sin(delta) * std::cos(theta));
    double lambda2 = lambda1 + std::atan2(std::sin(theta) * std::sin(delta) * std::cos(phi1),
                                          std::cos(delta) - std::sin(phi1) * std::sin(phi2));
    latitude = degrees(phi2);
    longitude = normalised(degrees(lambda2) + 180.0) - 180.0;
    return normalised(degrees(std::atan2(std::sin(theta) * std::cos(phi1),
                                         std::cos(delta) * std::cos(theta) * std::cos(phi1) -
                                             std::sin(phi1) * std::sin(delta))));
}

void advanceAircraft(Aircraft& aircraft, double seconds) {
    const Autopilot& ap = aircraft.autopilot;
    if (ap.master && ap.headingHold) {
        double turn = turnBetween(aircraft.heading, ap.selectedHeading);
        double most = standardTurnRate * seconds;
        aircraft.heading = normalised(aircraft.heading + std::fmax(-most, std::fmin(most, turn)));
    }
    if (ap.master && ap.altitudeHold) {
        double gap = ap.selectedAltitude - aircraft.altitude;
        double most = std::fabs(ap.verticalSpeed) * seconds / 60.0;
        aircraft.altitude += std::fmax(-most, std::fmin(most, gap));
    }
    // An aircraft flies straight along its great circle: the heading turns with the meridians it
    // crosses, so that a flight over a pole comes out heading south, not back into the pole.
    GroundVector ground = groundVector(aircraft);
    double leaving = normalised(ground.track + aircraft.variation);
    double arriving =
        travel(aircraft.latitude, aircraft.longitude, leaving, ground.speed * seconds / 3600.0);
    if (ground.speed > 0)
        aircraft.heading = normalised(aircraft.heading + turnBetween(leaving, arriving));
}
