#include "waypoints.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <queue>

#include "common/great_circle.h"
#include "common/limits.h"
#include "common/position_units.h"

namespace {

// Code page 1252 at 0x80-0x9F; 0 where the code page leaves a byte undefined. The other bytes
// above 0x7F are the Latin-1 characters of the same number.
const uint16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

uint32_t unicodeOfAnsi(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return cp1252High[byte - 0x80] != 0 ? cp1252High[byte - 0x80] : 0xFFFD;
    return byte;
}

// One UTF-8 sequence at text[at]: its code and length, or length 0 when it is not valid.
size_t decodeUtf8(const std::string& text, size_t at, uint32_t& code) {
    uint8_t first = static_cast<uint8_t>(text[at]);
    size_t length = first < 0x80    ? 1
                    : first >= 0xF0 ? 4
                    : first >= 0xE0 ? 3
                    : first >= 0xC2 ? 2
                                    : 0;
    if (length == 0 || first > 0xF4 || at + length > text.size())
        return 0;
    code = length == 1 ? first : first & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        uint8_t next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return 0;
    return length;
}

// Walks the text: character(code, offset, length) for each valid UTF-8 sequence, stray(byte)
// for each byte that is none.
template <typename Character, typename Stray>
void forEachCharacter(const std::string& text, Character character, Stray stray) {
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        size_t length = decodeUtf8(text, at, code);
        if (length == 0) {
            stray(text[at++]);
            continue;
        }
        character(code, at, length);
        at += length;
    }
}

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

void addProblem(Findings& findings, int32_t line, std::string reason, std::string topic) {
    findings.push_back(Finding{line, false, std::move(reason), std::move(topic)});
}

void addWarning(Findings& findings, int32_t line, std::string reason, std::string topic) {
    findings.push_back(Finding{line, true, std::move(reason), std::move(topic)});
}

int32_t problemCount(const Findings& findings) {
    int32_t count = 0;
    for (const Finding& finding : findings)
        count += finding.warning ? 0 : 1;
    return count;
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

bool realNumber(const std::string& text, double& value, bool decimalComma) {
    std::string t = trimmed(text);
    if (decimalComma && t.find('.') == std::string::npos) {
        size_t comma = t.find(',');
        if (comma != std::string::npos)
            t[comma] = '.';
    }
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return end != nullptr && *end == '\0';
}

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string ansiFromUtf8(const std::string& text, bool& changed) {
    std::string out;
    out.reserve(text.size());
    forEachCharacter(
        text,
        [&](uint32_t code, size_t, size_t) {
            if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
                out += static_cast<char>(code);
                return;
            }
            char found = '?';
            for (int i = 0; i < 32; ++i)
                if (cp1252High[i] == code)
                    found = static_cast<char>(0x80 + i);
            changed = changed || found == '?';
            out += found;
        },
        // Not UTF-8 after all: the byte is already code page 1252.
        [&](char byte) { out += byte; });
    return out;
}

std::string utf8FromAnsi(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        appendUtf8(out, unicodeOfAnsi(static_cast<uint8_t>(c)));
    return out;
}

std::string utf8Repaired(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    forEachCharacter(
        text, [&](uint32_t, size_t at, size_t length) { out.append(text, at, length); },
        [&](char byte) { appendUtf8(out, unicodeOfAnsi(static_cast<uint8_t>(byte))); });
    return out;
}

std::string asciiLowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string fittedAnsi(const std::string& utf8, size_t width, const char* what, int32_t line,
                       Findings& findings) {
    bool changed = false;
    std::string ansi = ansiFromUtf8(utf8, changed);
    // A tab or a line break inside a fixed-width column would split the line for every editor.
    for (char& c : ansi)
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F)
            c = ' ';
    if (changed)
        addWarning(findings, line,
                   std::string(what) + " '" + utf8 +
                       "' has characters the database cannot hold: " + "written as '?'",
                   std::string(what) + "s with characters the database cannot hold");
    if (ansi.size() > width) {
        ansi.resize(width);
        addWarning(findings, line,
                   std::string(what) + " '" + utf8 + "' is longer than " + std::to_string(width) +
                       " characters: cut to '" + utf8FromAnsi(ansi) + "'",
                   std::string(what) + "s cut to " + std::to_string(width) + " characters");
    }
    return ansi;
}
