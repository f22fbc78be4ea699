#include "waypoints.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/limits.h"
#include "common/position_units.h"
#include "text_codec.h"

namespace {

bool isIdentWord(const std::string& word) {
    if (word.size() < 2 || word.size() > 7 || word.front() == '-' || word.back() == '-')
        return false;
    bool capital = false;
    for (char c : word) {
        capital = capital || (c >= 'A' && c <= 'Z');
        if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9') && c != '-')
            return false;
    }
    return capital;
}

} // namespace

std::string tourItemName(const Waypoint& point) {
    std::string ident = trimmed(point.ident);
    std::string known, rest;
    if (!isIdentWord(ident) || point.name.empty() || point.name == ident ||
        (identInName(point.name, known, rest) && known == ident))
        return point.name.empty() ? ident : point.name;
    return ident + " " + point.name;
}

bool identInName(const std::string& name, std::string& ident, std::string& rest) {
    size_t space = name.find(' ');
    if (space == std::string::npos || !isIdentWord(name.substr(0, space)))
        return false;
    std::string after = trimmed(name.substr(space));
    if (after.empty())
        return false;
    ident = name.substr(0, space);
    rest = after;
    return true;
}

void groundFindings(const WaypointGroup& route, Findings& findings) {
    for (const Waypoint& point : route.points)
        if (point.hasAltitude && point.hasGround && point.altitude < point.groundFeet)
            addWarning(findings, point.line,
                       "'" + point.name + "' is flown at " + std::to_string(point.altitude) +
                           " ft, below the ground the file gives for it (" +
                           std::to_string(point.groundFeet) + " ft)",
                       "altitudes below the ground");
}

std::string noPointReason(const DmsAngle& latitude, const DmsAngle& longitude) {
    if (!isNoPointLatitude(latitude.degrees, latitude.minutes, latitude.seconds))
        return "";
    if (longitude.degrees == 0 && longitude.minutes == 0 && longitude.seconds == 0)
        return "latitude and longitude 0: no position (the gauge takes it as no point)";
    return "latitude 0\u00B000'00\" (on the equator): the gauge takes it as no point";
}

bool altitudeInRange(int64_t feet, std::string& reason) {
    if (altitudeInRange(feet))
        return true;
    reason = "altitude " + std::to_string(feet) + " ft is outside 0-" +
             std::to_string(highestAltitudeFeet);
    return false;
}

bool feetFromMetres(double metres, int32_t& feet, std::string& reason) {
    if (!std::isfinite(metres) || std::fabs(metres / 0.3048) > largestFeet) {
        reason = "elevation is not a usable number";
        return false;
    }
    feet = static_cast<int32_t>(std::llround(metres / 0.3048));
    return true;
}

bool feetFromText(const std::string& text, int32_t& feet, std::string& reason) {
    double value = 0;
    if (!realNumber(text, value) || !std::isfinite(value) || std::fabs(value) > largestFeet) {
        reason = "altitude '" + text + "' is not a number";
        return false;
    }
    feet = static_cast<int32_t>(std::llround(value));
    return true;
}
