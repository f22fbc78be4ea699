#include "gpx_format.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "finding_report.h"
#include "text_codec.h"
#include "track_thinning.h"
#include "xml_text.h"

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An ISO 8601 duration ("PT6S", "P1DT2H", "[PT6S]"): route planners put the time of a leg into
// a point's comment or description.
bool isDuration(const std::string& text) {
    size_t at = 0, end = text.size();
    if (end >= 2 && text[0] == '[' && text[end - 1] == ']')
        ++at, --end;
    if (at == end || text[at] != 'P' || ++at == end)
        return false;
    bool time = false;
    while (at < end) {
        if (text[at] == 'T' && !time) {
            time = true;
            ++at;
            continue;
        }
        size_t digits = at;
        while (at < end && (isDigit(text[at]) || text[at] == '.'))
            ++at;
        if (at == digits || at == end || std::strchr(time ? "HMS" : "YMWD", text[at]) == nullptr)
            return false;
        ++at;
    }
    return true;
}

// A date or a time stamp ("2024-05-01", "2024-05-01T10:00:00Z").
bool isDate(const std::string& text) {
    return text.size() >= 10 && isDigit(text[0]) && isDigit(text[3]) && text[4] == '-' &&
           isDigit(text[5]) && text[7] == '-' && isDigit(text[8]);
}

// The time stamp a GPS unit writes into a point's comment: "02-OCT-10 16:01:13", the day,
// the month's name and the year (2 or 4 digits), the time after them optional.
bool isUnitTimeStamp(const std::string& text) {
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() < 9 || !isDigit(text[0]) || !isDigit(text[1]) || text[2] != '-' ||
        text[6] != '-')
        return false;
    std::string month = asciiLowered(text.substr(3, 3));
    bool known = false;
    for (const char* m : months)
        known = known || month == m;
    size_t at = 7;
    while (at < text.size() && isDigit(text[at]))
        ++at;
    if (!known || (at != 9 && at != 11))
        return false;
    std::string time = trimmed(text.substr(at));
    return time.empty() ||
           (at < text.size() && text[at] == ' ' && time.size() == 8 && isDigit(time[0]) &&
            isDigit(time[1]) && time[2] == ':' && isDigit(time[3]) && isDigit(time[4]) &&
            time[5] == ':' && isDigit(time[6]) && isDigit(time[7]));
}

bool isNumberOnly(const std::string& text) {
    double value = 0;
    return realNumber(text, value);
}

// A text that can name a place: not empty, not a duration or a date.
bool canName(const std::string& text) {
    return !text.empty() && !isDuration(text) && !isDate(text) && !isUnitTimeStamp(text);
}

// The first of the texts that names the place; a bare number only when nothing else does.
std::string firstName(std::initializer_list<const std::string*> texts) {
    for (const std::string* text : texts)
        if (canName(*text) && !isNumberOnly(*text))
            return *text;
    for (const std::string* text : texts)
        if (canName(*text))
            return *text;
    return "";
}

bool readPosition(const pugi::xml_node& node, Waypoint& point, std::string& reason) {
    double latitude = 0, longitude = 0;
    if (!realNumber(node.attribute("lat").value(), latitude)) {
        reason = std::string("lat '") + node.attribute("lat").value() + "' is not a number";
        return false;
    }
    if (!realNumber(node.attribute("lon").value(), longitude)) {
        reason = std::string("lon '") + node.attribute("lon").value() + "' is not a number";
        return false;
    }
    if (!latitudeFromDecimal(latitude, point.latitude, reason) ||
        !longitudeFromDecimal(longitude, point.longitude, reason))
        return false;
    reason = noPointReason(point.latitude, point.longitude);
    return reason.empty();
}

bool readPoint(const pugi::xml_node& node, bool routePoint, int32_t line, Waypoint& point,
               std::string& reason, Findings& findings) {
    point = Waypoint{};
    point.line = line;
    if (!readPosition(node, point, reason))
        return false;
    std::string name = childText(node, "name");
    std::string comment = childText(node, "cmt");
    std::string description = childText(node, "desc");
    // A waypoint's name is mostly its code, its description the place's name; a route point's
    // name is what the planner shows for it.
    point.ident = routePoint ? "" : name;
    point.name = routePoint ? firstName({&name, &comment, &description})
                            : firstName({&description, &comment, &name});
    std::string elevation = childText(node, "ele");
    double metres = 0;
    std::string unusable;
    if (!elevation.empty() &&
        (!realNumber(elevation, metres) || !feetFromMetres(metres, point.altitude, unusable)))
        addWarning(findings, line, "ele '" + elevation + "' is not a number: read without it",
                   "elevations that are no number");
    else
        point.hasAltitude = !elevation.empty();
    pugi::xml_node hold = childNamed(childNamed(node, "extensions"), "altitudeHold");
    point.altitudeHold = trimmed(hold.text().get()) == "1";
    return true;
}

void readPoints(const pugi::xml_node& parent, const char* element, bool routePoints,
                const LineIndex& lines, WaypointGroup& group, Findings& findings) {
    for (pugi::xml_node node : parent.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, element))
            continue;
        int32_t line = lineOf(lines, node);
        Waypoint point;
        std::string reason;
        if (readPoint(node, routePoints, line, point, reason, findings))
            group.points.push_back(point);
        else
            addProblem(findings, line, std::string(element) + ": " + reason + ": left out",
                       "points left out without a position");
    }
}

std::string decimalText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// Feet as metres: a foot is exactly 0.3048 m, so four decimals give the feet back exactly.
std::string metresText(int32_t feet) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", feet * 0.3048);
    std::string t = text;
    t.erase(t.find_last_not_of('0') + 1);
    if (t.back() == '.')
        t.pop_back();
    return t;
}

void writePoint(pugi::xml_node node, const Waypoint& point, bool routePoint) {
    node.append_attribute("lat") = decimalText(decimalFromDms(point.latitude)).c_str();
    node.append_attribute("lon") = decimalText(decimalFromDms(point.longitude)).c_str();
    if (point.hasAltitude)
        node.append_child("ele").text() = metresText(point.altitude).c_str();
    if (routePoint) {
        node.append_child("name").text() = point.name.c_str();
    } else {
        node.append_child("name").text() = point.ident.c_str();
        node.append_child("desc").text() = point.name.c_str();
    }
    if (routePoint && point.altitudeHold)
        node.append_child("extensions").append_child("tarvix:altitudeHold").text() = "1";
}

// A track's points with a name each: their own, else their number in the track, so that a pilot
// finds each item in the track again.
void nameTrackPoints(WaypointGroup& track) {
    for (size_t i = 0; i < track.points.size(); ++i)
        if (track.points[i].name.empty())
            track.points[i].name = "Track point " + std::to_string(i + 1);
}

// Each track as a route: its segments' points in order, thinned to at most most points.
int32_t readTracks(const pugi::xml_node& gpx, size_t most, const LineIndex& lines, WaypointSet& set,
                   Findings& findings) {
    int32_t tracks = 0;
    for (pugi::xml_node node : gpx.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, "trk"))
            continue;
        std::string name = childText(node, "name");
        ++tracks;
        WaypointGroup track{name.empty() ? "Track " + std::to_string(tracks) : name, true, {}};
        for (pugi::xml_node segment : node.children())
            if (segment.type() == pugi::node_element && isNamed(segment, "trkseg"))
                readPoints(segment, "trkpt", true, lines, track, findings);
        nameTrackPoints(track);
        double deviation = 0;
        std::vector<size_t> kept = thinnedTrack(track.points, most, deviation);
        char figure[96];
        std::snprintf(figure, sizeof figure, " (the farthest point left out lies %.2f nm from it)",
                      deviation);
        set.notes.push_back(
            "track '" + track.name + "': " + withThousands(track.points.size()) + " points, " +
            (kept.size() == track.points.size()
                 ? std::string("every one kept")
                 : withThousands(kept.size()) + " kept that follow its shape best" + figure));
        WaypointGroup thinned{track.name, true, {}};
        for (size_t i : kept)
            thinned.points.push_back(track.points[i]);
        set.groups.push_back(thinned);
    }
    return tracks;
}

// Tracks and their points, to say what --track would fly.
std::string trackCount(const pugi::xml_node& gpx) {
    size_t tracks = 0, points = 0;
    for (pugi::xml_node node : gpx.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, "trk"))
            continue;
        ++tracks;
        for (pugi::xml_node segment : node.children())
            for (pugi::xml_node point : segment.children())
                points += point.type() == pugi::node_element && isNamed(point, "trkpt") ? 1 : 0;
    }
    return tracks == 0
               ? ""
               : withThousands(tracks) + " track(s) of " + withThousands(points) + " points";
}

} // namespace

bool readGpx(const char* data, size_t size, WaypointSet& set, Findings& findings,
             size_t trackItems) {
    pugi::xml_document document;
    LineIndex lines = indexLines(data, size);
    if (!loadXml(data, size, "gpx", "GPX", document, lines, findings))
        return false;
    pugi::xml_node gpx = document.document_element();
    WaypointGroup waypoints{"Waypoints", false, {}};
    readPoints(gpx, "wpt", false, lines, waypoints, findings);
    if (!waypoints.points.empty())
        set.groups.push_back(waypoints);
    if (trackItems > 0) {
        if (readTracks(gpx, trackItems, lines, set, findings) > 0)
            return true;
        addProblem(findings, 0, "--track: the file holds no track (trk) to fly");
        return false;
    }
    int32_t routes = 0;
    for (pugi::xml_node node : gpx.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, "rte"))
            continue;
        std::string name = childText(node, "name");
        ++routes;
        WaypointGroup route{name.empty() ? "Route " + std::to_string(routes) : name, true, {}};
        readPoints(node, "rtept", true, lines, route, findings);
        set.groups.push_back(route);
    }
    std::string tracks = trackCount(gpx);
    if (!tracks.empty())
        addWarning(findings, 0,
                   tracks + " not converted: only waypoints and routes become airports and "
                            "tours; to fly a track instead give --track, which takes its points "
                            "thinned to what a tour holds");
    return true;
}

std::string writeGpx(const WaypointSet& set) {
    pugi::xml_document document;
    pugi::xml_node gpx = document.append_child("gpx");
    gpx.append_attribute("version") = "1.1";
    gpx.append_attribute("creator") = "tarvix-db";
    gpx.append_attribute("xmlns") = "http://www.topografix.com/GPX/1/1";
    gpx.append_attribute("xmlns:tarvix") = "urn:tarvix:gpx-extensions:1";
    // The schema wants every waypoint before the first route.
    for (const WaypointGroup& group : set.groups)
        if (!group.isRoute)
            for (const Waypoint& point : group.points)
                writePoint(gpx.append_child("wpt"), point, false);
    for (const WaypointGroup& group : set.groups) {
        if (!group.isRoute)
            continue;
        pugi::xml_node route = gpx.append_child("rte");
        route.append_child("name").text() = group.name.c_str();
        for (const Waypoint& point : group.points)
            writePoint(route.append_child("rtept"), point, true);
    }
    return savedXml(document);
}
