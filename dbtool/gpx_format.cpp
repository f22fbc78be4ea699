#include "gpx_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <pugixml.hpp>

namespace {

// Byte offsets at which the lines of the text start, to name the line of any node.
struct LineIndex {
    std::vector<size_t> starts;
};

LineIndex indexLines(const char* data, size_t size) {
    LineIndex index;
    index.starts.push_back(0);
    for (size_t i = 0; i < size; ++i)
        if (data[i] == '\n')
            index.starts.push_back(i + 1);
    return index;
}

int32_t lineAt(const LineIndex& index, ptrdiff_t offset) {
    if (offset < 0)
        return 0;
    auto after =
        std::upper_bound(index.starts.begin(), index.starts.end(), static_cast<size_t>(offset));
    return static_cast<int32_t>(after - index.starts.begin());
}

// Element names compared without a namespace prefix ("gpx:wpt" is a wpt).
bool isNamed(const pugi::xml_node& node, const char* name) {
    const char* full = node.name();
    const char* colon = std::strrchr(full, ':');
    return std::strcmp(colon != nullptr ? colon + 1 : full, name) == 0;
}

pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name) {
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && isNamed(child, name))
            return child;
    return pugi::xml_node();
}

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string childText(const pugi::xml_node& parent, const char* name) {
    return utf8Repaired(trimmed(childNamed(parent, name).text().get()));
}

// A whole text as a number, or false: "41.5x" and "" are not numbers.
bool realNumber(const std::string& text, double& value) {
    std::string t = trimmed(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return end != nullptr && *end == '\0';
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
               std::string& reason) {
    point = Waypoint{};
    point.line = line;
    if (!readPosition(node, point, reason))
        return false;
    std::string name = childText(node, "name");
    std::string description = childText(node, "desc");
    if (description.empty())
        description = childText(node, "cmt");
    point.ident = routePoint ? "" : name;
    point.name = description.empty() ? name : description;
    std::string elevation = childText(node, "ele");
    if (routePoint && !elevation.empty()) {
        double metres = 0;
        if (!realNumber(elevation, metres)) {
            reason = "ele '" + elevation + "' is not a number";
            return false;
        }
        if (!feetFromMetres(metres, point.altitude, reason))
            return false;
        point.hasAltitude = true;
    }
    pugi::xml_node hold = childNamed(childNamed(node, "extensions"), "altitudeHold");
    point.altitudeHold = trimmed(hold.text().get()) == "1";
    return true;
}

void readPoints(const pugi::xml_node& parent, const char* element, bool routePoints,
                const LineIndex& lines, WaypointGroup& group, Findings& findings) {
    for (pugi::xml_node node : parent.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, element))
            continue;
        int32_t line = lineAt(lines, node.offset_debug());
        Waypoint point;
        std::string reason;
        if (readPoint(node, routePoints, line, point, reason))
            group.points.push_back(point);
        else
            addProblem(findings, line, std::string(element) + ": " + reason + ": left out");
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
    if (routePoint && point.hasAltitude)
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

} // namespace

bool readGpx(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(data, size);
    LineIndex lines = indexLines(data, size);
    if (!parsed) {
        int32_t line = lineAt(lines, parsed.offset);
        size_t column = static_cast<size_t>(parsed.offset) - lines.starts[line - 1] + 1;
        addProblem(findings, line,
                   std::string("not well-formed XML (") + parsed.description() + ", column " +
                       std::to_string(column) + ")");
        return false;
    }
    pugi::xml_node gpx = document.document_element();
    if (!isNamed(gpx, "gpx")) {
        addProblem(findings, 0,
                   std::string("not a GPX file: the top element is <") + gpx.name() +
                       ">, not <gpx>");
        return false;
    }
    WaypointGroup waypoints{"Waypoints", false, {}};
    readPoints(gpx, "wpt", false, lines, waypoints, findings);
    if (!waypoints.points.empty())
        set.groups.push_back(waypoints);
    int32_t routes = 0, tracks = 0;
    for (pugi::xml_node node : gpx.children()) {
        if (node.type() == pugi::node_element && isNamed(node, "trk"))
            ++tracks;
        if (node.type() != pugi::node_element || !isNamed(node, "rte"))
            continue;
        std::string name = childText(node, "name");
        ++routes;
        WaypointGroup route{name.empty() ? "Route " + std::to_string(routes) : name, true, {}};
        readPoints(node, "rtept", true, lines, route, findings);
        set.groups.push_back(route);
    }
    if (tracks > 0)
        addWarning(findings, 0,
                   std::to_string(tracks) +
                       " track(s) not converted: only waypoints and routes become airports and "
                       "tours");
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
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default | pugi::format_no_declaration);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + out.str();
}
