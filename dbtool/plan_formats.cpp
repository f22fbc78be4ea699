#include "plan_formats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "common/coordinate_text.h"
#include "text_codec.h"
#include "xml_text.h"

namespace {

const char* const leftOut = "points left out without a position";

bool isAirportType(const std::string& type) {
    std::string t = asciiLowered(type);
    return t == "airport" || t == "1" || t == "large_airport" || t == "medium_airport" ||
           t == "small_airport";
}

bool positionOf(double latitude, double longitude, Waypoint& point, std::string& reason) {
    if (!latitudeFromDecimal(latitude, point.latitude, reason) ||
        !longitudeFromDecimal(longitude, point.longitude, reason))
        return false;
    reason = noPointReason(point.latitude, point.longitude);
    return reason.empty();
}

// A route point's identifier for formats that want one: its own, else the one a tour item
// carries before its name ("GCLP Gran Canaria"), else its name. A tour item's own identifier is
// its number, which no planner knows.
std::string identOf(const Waypoint& point) {
    double number = 0;
    if (!point.ident.empty() && !realNumber(point.ident, number))
        return point.ident;
    std::string ident, rest;
    return identInName(point.name, ident, rest) ? ident : point.name;
}

// The place's name without the identifier a tour item carries before it.
std::string placeName(const Waypoint& point) {
    std::string ident, rest;
    return identInName(point.name, ident, rest) && ident == identOf(point) ? rest : point.name;
}

// An airport at 0 ft in a flight plan: the planner did not know its elevation (version 3 plans of
// fixes write 0 for every airport), and a written plan has 0 where a point had no altitude.
// Flown at sea level it would fly the aircraft into the ground; the note says what it gets.
void noteUnknownAirports(const WaypointGroup& route, WaypointSet& set) {
    std::string idents;
    bool cruise = false;
    for (const Waypoint& p : route.points) {
        if (isAirportType(p.type) && (!p.hasAltitude || p.altitudeFrom == AltitudeFrom::cruise)) {
            idents += (idents.empty() ? "" : ", ") + p.ident;
            cruise = cruise || p.hasAltitude;
        }
    }
    if (!idents.empty())
        set.notes.push_back("airports without a known elevation (0 ft in the plan): " + idents +
                            (cruise ? ": flown at the plan's cruise altitude"
                                    : ": no altitude of their own; a flight holds them at its "
                                      "altitude for items without one"));
}

// ---- The XML flight plan --------------------------------------------------------------------

// "N41° 47' 9.60\",W87° 45' 8.40\",+000620.00": latitude, longitude, altitude in feet.
bool worldPosition(const std::string& text, Waypoint& point, bool& hasAltitude, double& feet,
                   std::string& reason) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, ',');)
        parts.push_back(trimmed(part));
    double latitude = 0, longitude = 0;
    if (parts.size() < 2 || !parseCoordinate(parts[0], true, latitude) ||
        !parseCoordinate(parts[1], false, longitude)) {
        reason = "WorldPosition '" + text + "' is not a position";
        return false;
    }
    hasAltitude = parts.size() >= 3 && realNumber(parts[2], feet) && std::fabs(feet) <= largestFeet;
    return positionOf(latitude, longitude, point, reason);
}

std::string positionText(const DmsAngle& angle) {
    char text[40];
    std::snprintf(text, sizeof text, "%c%d\u00B0 %d' %d.00\"", angle.hemisphere,
                  static_cast<int>(angle.degrees), static_cast<int>(angle.minutes),
                  static_cast<int>(angle.seconds));
    return text;
}

std::string worldPositionText(const Waypoint& point) {
    char altitude[32];
    std::snprintf(altitude, sizeof altitude, "%+010.2f",
                  point.hasAltitude ? static_cast<double>(point.altitude) : 0.0);
    return positionText(point.latitude) + "," + positionText(point.longitude) + "," + altitude;
}

// An ATCWaypoint without a WorldPosition: the newest plans name a fix by its ident alone and
// leave its position to the simulator's navigation data, which this tool does not have.
std::string waypointWithoutPosition(const pugi::xml_node& node, const Waypoint& point,
                                    const std::string& reason) {
    std::string what = point.type.empty() ? "" : " (" + point.type + ")";
    std::string name =
        point.ident.empty() ? "an ATCWaypoint without an ident" : "'" + point.ident + "'" + what;
    if (!childNamed(node, "WorldPosition"))
        return name + " has no WorldPosition: the plan names it by its ident only, for the "
                      "simulator to find in its navigation data; left out";
    return name + ": " + reason + ": left out";
}

// The newest plans name their end airports by ident only (DepartureID, DestinationID) and their
// procedures by name (DepartureDetails, ...), leaving positions and legs to the simulator's
// navigation data: an end that no ATCWaypoint gives is left out, a procedure is not flown.
void endsByIdentOnly(const pugi::xml_node& plan, const std::vector<pugi::xml_node>& nodes,
                     const LineIndex& lines, Findings& findings) {
    const char* const ends[2][2] = {{"DepartureID", "departure"}, {"DestinationID", "destination"}};
    for (const auto& end : ends) {
        std::string ident = childText(plan, end[0]);
        bool listed = false;
        for (const pugi::xml_node& node : nodes)
            listed = listed || childText(childNamed(node, "ICAO"), "ICAOIdent") == ident ||
                     trimmed(node.attribute("id").value()) == ident;
        if (!ident.empty() && !listed)
            addProblem(findings, lineOf(lines, childNamed(plan, end[0])),
                       std::string(end[1]) + " '" + ident +
                           "' is named by its ident only: no ATCWaypoint gives its position; "
                           "left out",
                       leftOut);
    }
    for (const char* part : {"DepartureDetails", "ArrivalDetails", "ApproachDetails"})
        if (pugi::xml_node details = childNamed(plan, part))
            addWarning(findings, lineOf(lines, details),
                       std::string(part) +
                           " names a procedure whose legs are in the simulator's navigation "
                           "data, not in the file: not flown");
}

// An airport's altitude is its elevation; a waypoint or airport at 0 has none of its own and is
// flown at the plan's cruising altitude (between the ends, for a waypoint).
void xmlPlanAltitude(Waypoint& point, bool hasAltitude, double feet, bool atCruise, double cruise) {
    bool airport = isAirportType(point.type);
    if (hasAltitude && feet != 0) {
        point.hasAltitude = true;
        point.altitude = static_cast<int32_t>(std::lround(feet));
        point.hasGround = airport;
        point.groundFeet = point.altitude;
    } else if (atCruise || (airport && cruise > 0)) {
        point.hasAltitude = true;
        point.altitude = static_cast<int32_t>(std::lround(cruise));
        point.altitudeFrom = AltitudeFrom::cruise;
    }
}

// The elevations DepartureLLA and DestinationLLA give the end airports: their ground, and their
// altitude where their own is unknown.
void endGrounds(const pugi::xml_node& plan, WaypointGroup& route) {
    const char* const ends[2][2] = {{"DepartureID", "DepartureLLA"},
                                    {"DestinationID", "DestinationLLA"}};
    for (const auto& end : ends) {
        Waypoint place{};
        bool hasAltitude = false;
        double feet = 0;
        std::string reason;
        worldPosition(childText(plan, end[1]), place, hasAltitude, feet, reason);
        if (!hasAltitude || feet == 0)
            continue;
        for (Waypoint& point : route.points) {
            if (point.ident != childText(plan, end[0]) || !isAirportType(point.type))
                continue;
            point.hasGround = true;
            point.groundFeet = static_cast<int32_t>(std::lround(feet));
            if (!point.hasAltitude || point.altitudeFrom == AltitudeFrom::cruise) {
                point.hasAltitude = true;
                point.altitude = point.groundFeet;
                point.altitudeFrom = AltitudeFrom::own;
            }
        }
    }
}

// ---- The plan of fixes ----------------------------------------------------------------------

// The lines of a plan of fixes before its waypoints that say something else.
bool isPlanKeyword(const std::string& word) {
    static const char* const keywords[] = {"CYCLE",     "ADEP", "DEP",      "DEPRWY", "SID",
                                           "SIDTRANS",  "ADES", "DES",      "DESRWY", "STAR",
                                           "STARTRANS", "APP",  "APPTRANS", "NUMENR"};
    for (const char* k : keywords)
        if (word == k)
            return true;
    return false;
}

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::stringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

std::string fixIdent(const Waypoint& point) {
    std::string ident = identOf(point);
    // One word a field: blanks and control characters would split the line.
    for (char& c : ident)
        c = static_cast<uint8_t>(c) <= ' ' ? '_' : c;
    if (!ident.empty())
        return ident;
    char text[40];
    std::snprintf(text, sizeof text, "%+.3f_%+.3f", decimalFromDms(point.latitude),
                  decimalFromDms(point.longitude));
    return text;
}

// One fix line: type, identifier, (via,) altitude, latitude, longitude. An airport's altitude is
// its elevation; a fix or an airport at 0 has no altitude of its own.
bool fixPoint(const std::vector<std::string>& words, bool three, int32_t line, Waypoint& point,
              Findings& findings) {
    size_t expected = three ? 5 : 6;
    double type = 0, feet = 0, latitude = 0, longitude = 0;
    std::string reason;
    point.line = line;
    if (words.size() != expected || !realNumber(words[0], type)) {
        addProblem(findings, line,
                   "not a fix: " + std::to_string(expected) +
                       " words expected (type, identifier, " + (three ? "" : "via, ") +
                       "altitude, latitude, longitude): left out",
                   leftOut);
        return false;
    }
    size_t at = three ? 2 : 3;
    if (!realNumber(words[at], feet) || std::fabs(feet) > largestFeet ||
        !realNumber(words[at + 1], latitude) || !realNumber(words[at + 2], longitude)) {
        addProblem(findings, line, "altitude, latitude or longitude is not a number: left out",
                   leftOut);
        return false;
    }
    if (!positionOf(latitude, longitude, point, reason)) {
        addProblem(findings, line, reason + ": left out", leftOut);
        return false;
    }
    point.ident = utf8Repaired(words[1]);
    point.name = point.ident;
    point.type = words[0] == "1" ? "Airport" : words[0];
    point.hasAltitude = feet != 0;
    point.altitude = static_cast<int32_t>(std::lround(feet));
    point.hasGround = words[0] == "1" && feet != 0;
    point.groundFeet = point.altitude;
    return true;
}

// ---- The older text flight plan -------------------------------------------------------------

// "N46* 14.28'": a hemisphere letter, degrees with '*' for the degree sign, decimal minutes.
bool textPlanAngle(std::string text, bool latitude, double& degrees) {
    std::replace(text.begin(), text.end(), '*', ' ');
    return parseCoordinate(trimmed(text), latitude, degrees);
}

const char* textPlanType(const std::string& letter) {
    static const char* const types[][2] = {
        {"A", "Airport"}, {"V", "VOR"}, {"N", "NDB"}, {"I", "INT"}, {"U", "User"}};
    for (const auto& t : types)
        if (letter == t[0])
            return t[1];
    return "";
}

// "LSGG, A, N46* 14.28', E6* 6.53', +001410.76," or with region and airway fields before:
// ", LSGG, , LSGG, A, N46* ...": the identifier and type stand before the position. The altitude
// is the place's elevation: an airport is flown at it, the other points at the cruise altitude.
bool textPlanPoint(const std::string& value, int32_t line, Waypoint& point, std::string& reason) {
    std::vector<std::string> fields;
    std::stringstream stream(value);
    for (std::string field; std::getline(stream, field, ',');)
        fields.push_back(trimmed(field));
    double latitude = 0, longitude = 0, feet = 0;
    size_t k = 1;
    while (k + 1 < fields.size() && !(textPlanAngle(fields[k], true, latitude) &&
                                      textPlanAngle(fields[k + 1], false, longitude)))
        ++k;
    point.line = line;
    if (k + 1 >= fields.size()) {
        reason = "no position in the form N46* 14.28', E6* 6.53'";
        return false;
    }
    point.ident = utf8Repaired(k >= 2 ? fields[k - 2] : "");
    point.name = point.ident;
    point.type = textPlanType(fields[k - 1]);
    if (k + 2 < fields.size() && realNumber(fields[k + 2], feet) && feet != 0 &&
        std::fabs(feet) <= largestFeet) {
        point.hasGround = true;
        point.groundFeet = static_cast<int32_t>(std::lround(feet));
    }
    return positionOf(latitude, longitude, point, reason);
}

// The keys of the [flightplan] section, each with its line; waypoint.N in the file's order.
struct TextPlan {
    std::map<std::string, std::string> keys;
    std::vector<std::pair<int32_t, std::string>> waypoints;
    bool found = false;
};

TextPlan textPlanKeys(const char* data, size_t size) {
    TextPlan plan;
    std::stringstream stream(std::string(data, size));
    bool inside = false;
    int32_t line = 0;
    for (std::string text; std::getline(stream, text);) {
        text =
            trimmed(++line == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
        if (!text.empty() && text[0] == '[') {
            inside = asciiLowered(text) == "[flightplan]";
            plan.found = plan.found || inside;
            continue;
        }
        size_t equals = text.find('=');
        if (!inside || equals == std::string::npos)
            continue;
        std::string key = asciiLowered(trimmed(text.substr(0, equals)));
        std::string value = trimmed(text.substr(equals + 1));
        if (key.compare(0, 9, "waypoint.") == 0)
            plan.waypoints.emplace_back(line, value);
        else
            plan.keys[key] = value;
    }
    return plan;
}

// The airport's own elevation where the plan gives one, else the cruise altitude (told in a note).
void textPlanAltitude(Waypoint& point, bool hasCruise, int32_t cruise) {
    if (isAirportType(point.type) && point.hasGround) {
        point.hasAltitude = true;
        point.altitude = point.groundFeet;
        return;
    }
    point.hasAltitude = hasCruise;
    point.altitude = cruise;
    point.altitudeFrom = AltitudeFrom::cruise;
}

// ---- The GPS unit's route -------------------------------------------------------------------

// Identifiers and route names of the GPS unit: capital letters, digits (and spaces where
// allowed), at most width characters.
std::string unitText(const std::string& text, size_t width, bool spaces) {
    std::string out;
    for (char c : text) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            out += c;
        else if (spaces && !out.empty() && out.back() != ' ')
            out += ' ';
        if (out.size() == width)
            break;
    }
    return trimmed(out);
}

std::string gpsType(const Waypoint& point) {
    static const char* const types[] = {"AIRPORT", "NDB", "VOR", "INT", "INT-VRP"};
    for (const char* t : types)
        if (point.type == t)
            return t;
    return isAirportType(point.type) ? "AIRPORT" : "USER WAYPOINT";
}

std::string decimalText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

} // namespace

bool readXmlPlan(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    pugi::xml_document document;
    LineIndex lines = indexLines(data, size);
    if (!loadXml(data, size, "SimBase.Document", "flight plan", document, lines, findings))
        return false;
    pugi::xml_node plan = childNamed(document.document_element(), "FlightPlan.FlightPlan");
    if (!plan) {
        addProblem(findings, 0, "not a flight plan: no <FlightPlan.FlightPlan> element");
        return false;
    }
    std::string title = childText(plan, "Title");
    double cruise = 0;
    bool hasCruise =
        realNumber(childText(plan, "CruisingAlt"), cruise) && cruise > 0 && cruise <= largestFeet;
    const std::string ends[2][2] = {
        {childText(plan, "DepartureID"), childText(plan, "DepartureName")},
        {childText(plan, "DestinationID"), childText(plan, "DestinationName")}};
    WaypointGroup route{title.empty() ? "Flight plan" : title, true, {}};
    std::vector<pugi::xml_node> nodes;
    for (pugi::xml_node node : plan.children())
        if (node.type() == pugi::node_element && isNamed(node, "ATCWaypoint"))
            nodes.push_back(node);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const pugi::xml_node& node = nodes[i];
        int32_t line = lineOf(lines, node);
        Waypoint point{};
        point.line = line;
        point.type = childText(node, "ATCWaypointType");
        std::string id = utf8Repaired(trimmed(node.attribute("id").value()));
        point.ident = childText(childNamed(node, "ICAO"), "ICAOIdent");
        if (point.ident.empty())
            point.ident = id;
        point.name = id.empty() ? point.ident : id;
        for (const auto& end : ends)
            if (!end[1].empty() && end[0] == point.ident && isAirportType(point.type))
                point.name = end[1];
        double feet = 0;
        bool hasAltitude = false;
        std::string reason;
        if (!worldPosition(childText(node, "WorldPosition"), point, hasAltitude, feet, reason)) {
            addProblem(findings, line, waypointWithoutPosition(node, point, reason), leftOut);
            continue;
        }
        xmlPlanAltitude(point, hasAltitude, feet, hasCruise && i != 0 && i + 1 != nodes.size(),
                        cruise);
        route.points.push_back(point);
    }
    endGrounds(plan, route);
    noteUnknownAirports(route, set);
    endsByIdentOnly(plan, nodes, lines, findings);
    set.groups.push_back(route);
    return true;
}

std::string writeXmlPlan(const WaypointGroup& route) {
    pugi::xml_document document;
    pugi::xml_node top = document.append_child("SimBase.Document");
    top.append_attribute("Type") = "AceXML";
    top.append_attribute("version") = "1,0";
    top.append_child("Descr").text() = "AceXML Document";
    pugi::xml_node plan = top.append_child("FlightPlan.FlightPlan");
    plan.append_child("Title").text() = route.name.c_str();
    plan.append_child("FPType").text() = "VFR";
    int32_t cruise = 0;
    for (const Waypoint& point : route.points)
        cruise = point.hasAltitude && point.altitude > cruise ? point.altitude : cruise;
    plan.append_child("CruisingAlt").text() = std::to_string(cruise).c_str();
    if (!route.points.empty()) {
        const Waypoint& first = route.points.front();
        const Waypoint& last = route.points.back();
        plan.append_child("DepartureID").text() = identOf(first).c_str();
        plan.append_child("DepartureLLA").text() = worldPositionText(first).c_str();
        plan.append_child("DestinationID").text() = identOf(last).c_str();
        plan.append_child("DestinationLLA").text() = worldPositionText(last).c_str();
        plan.append_child("DepartureName").text() = placeName(first).c_str();
        plan.append_child("DestinationName").text() = placeName(last).c_str();
    }
    for (const Waypoint& point : route.points) {
        pugi::xml_node node = plan.append_child("ATCWaypoint");
        node.append_attribute("id") = identOf(point).c_str();
        node.append_child("ATCWaypointType").text() =
            isAirportType(point.type) ? "Airport" : "User";
        node.append_child("WorldPosition").text() = worldPositionText(point).c_str();
        node.append_child("ICAO").append_child("ICAOIdent").text() = identOf(point).c_str();
    }
    return savedXml(document);
}

bool readFixPlan(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    std::string text(data, size);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    std::stringstream stream(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);)
        lines.push_back(trimmed(line));
    std::vector<std::string> version =
        lines.size() >= 2 ? wordsOf(lines[1]) : std::vector<std::string>{};
    bool three = version.size() == 2 && version[0] == "3";
    bool eleven = version.size() == 2 && version[0] == "1100";
    if (lines.empty() || (lines[0] != "I" && lines[0] != "A") || !(three || eleven) ||
        asciiLowered(version[1]) != "version") {
        addProblem(findings, lines.size() >= 2 ? 2 : 1,
                   "not a flight plan of fixes: it starts with 'I' or 'A', then '3 version' or "
                   "'1100 Version'");
        return false;
    }
    WaypointGroup route{"Flight plan", true, {}};
    // Version 3 has two numbers after the version line (cycle, number of legs) before its fixes.
    size_t first = three ? 4 : 2;
    std::string departure, destination;
    for (size_t i = first; i < lines.size(); ++i) {
        std::vector<std::string> words = wordsOf(lines[i]);
        int32_t line = static_cast<int32_t>(i + 1);
        if (words.empty())
            continue;
        if (eleven && isPlanKeyword(words[0])) {
            if ((words[0] == "ADEP" || words[0] == "DEP") && words.size() > 1)
                departure = words[1];
            if ((words[0] == "ADES" || words[0] == "DES") && words.size() > 1)
                destination = words[1];
            continue;
        }
        // Version 3 pads its list with empty entries of type 0.
        if (three && words[0] == "0")
            continue;
        Waypoint point{};
        if (!fixPoint(words, three, line, point, findings))
            continue;
        route.points.push_back(point);
    }
    noteUnknownAirports(route, set);
    if (!departure.empty() && !destination.empty())
        route.name = departure + " - " + destination;
    set.groups.push_back(route);
    return true;
}

std::string writeFixPlan(const WaypointGroup& route) {
    std::string out = "I\n1100 Version\nCYCLE 0000\n";
    size_t n = route.points.size();
    if (n == 0)
        return out + "NUMENR 0\n";
    const Waypoint& first = route.points.front();
    const Waypoint& last = route.points.back();
    out += std::string(isAirportType(first.type) ? "ADEP " : "DEP ") + fixIdent(first) + "\n";
    out += std::string(isAirportType(last.type) ? "ADES " : "DES ") + fixIdent(last) + "\n";
    out += "NUMENR " + std::to_string(n) + "\n";
    for (size_t i = 0; i < n; ++i) {
        const Waypoint& point = route.points[i];
        bool airport = isAirportType(point.type);
        const char* via = i == 0 && airport ? "ADEP" : i + 1 == n && airport ? "ADES" : "DRCT";
        // Built whole: an identifier has no length limit in this format.
        out += std::string(airport ? "1 " : "28 ") + fixIdent(point) + " " + via + " " +
               decimalText(point.hasAltitude ? static_cast<double>(point.altitude) : 0.0) + " " +
               decimalText(decimalFromDms(point.latitude)) + " " +
               decimalText(decimalFromDms(point.longitude)) + "\n";
    }
    return out;
}

bool readTextPlan(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    TextPlan plan = textPlanKeys(data, size);
    if (!plan.found) {
        addProblem(findings, 1,
                   "not a flight plan: neither XML (<SimBase.Document>) nor the older text plan "
                   "(a [flightplan] section)");
        return false;
    }
    double feet = 0;
    bool hasCruise =
        realNumber(plan.keys["cruising_altitude"], feet) && feet > 0 && feet <= largestFeet;
    int32_t cruise = hasCruise ? static_cast<int32_t>(std::lround(feet)) : 0;
    // "EGPB, N59* 52.88', W001* 17.63', +000020.00": the end airport's ident and elevation, read
    // as a waypoint line without a type.
    Waypoint ends[2]{};
    std::string names[2] = {plan.keys["departure_name"], plan.keys["destination_name"]};
    for (int k = 0; k < 2; ++k) {
        std::string value = plan.keys[k == 0 ? "departure_id" : "destination_id"], unused;
        textPlanPoint(value, 0, ends[k], unused);
        ends[k].ident = trimmed(value.substr(0, value.find(',')));
    }
    const std::string& title = plan.keys["title"];
    WaypointGroup route{title.empty() ? "Flight plan" : utf8Repaired(title), true, {}};
    for (const auto& [line, value] : plan.waypoints) {
        Waypoint point{};
        std::string reason;
        if (!textPlanPoint(value, line, point, reason)) {
            addProblem(findings, line, reason + ": left out", leftOut);
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            if (ends[k].ident != point.ident || !isAirportType(point.type))
                continue;
            point.name = names[k].empty() ? point.name : utf8Repaired(names[k]);
            point.hasGround = point.hasGround || ends[k].hasGround;
            point.groundFeet = point.hasGround ? std::max(point.groundFeet, ends[k].groundFeet) : 0;
        }
        textPlanAltitude(point, hasCruise, cruise);
        route.points.push_back(point);
    }
    set.notes.push_back(hasCruise ? "points other than airports are flown at the plan's "
                                    "cruising_altitude, " +
                                        std::to_string(cruise) + " ft"
                                  : "the plan gives no cruising_altitude: points other than "
                                    "airports get no altitude of their own");
    noteUnknownAirports(route, set);
    set.groups.push_back(route);
    return true;
}

namespace {

// A GPS route's table of waypoints by identifier, type and country, as its routes refer to them.
using GpsTable = std::map<std::string, Waypoint>;

std::string gpsKey(const std::string& ident, const std::string& type, const std::string& country) {
    return ident + "\n" + type + "\n" + country;
}

// The waypoint table's places, each with a position; the others are left out.
WaypointGroup gpsPlaces(pugi::xml_node top, const LineIndex& lines, GpsTable& table,
                        Findings& findings) {
    WaypointGroup places{"Waypoints", false, {}};
    for (pugi::xml_node node : childNamed(top, "waypoint-table").children()) {
        if (node.type() != pugi::node_element || !isNamed(node, "waypoint"))
            continue;
        Waypoint point{};
        point.line = lineOf(lines, node);
        point.ident = childText(node, "identifier");
        point.type = childText(node, "type");
        point.country = childText(node, "country-code");
        std::string comment = childText(node, "comment");
        point.name = comment.empty() ? point.ident : comment;
        double latitude = 0, longitude = 0;
        std::string reason;
        if (!realNumber(childText(node, "lat"), latitude) ||
            !realNumber(childText(node, "lon"), longitude)) {
            reason = "lat or lon is not a number";
        } else {
            positionOf(latitude, longitude, point, reason);
        }
        if (!reason.empty()) {
            addProblem(findings, point.line,
                       "waypoint '" + point.ident + "': " + reason + ": left out", leftOut);
            continue;
        }
        table[gpsKey(point.ident, point.type, point.country)] = point;
        places.points.push_back(point);
    }
    return places;
}

// One route's points, as the table holds them, each with the line of its route point.
void gpsRoutePoints(pugi::xml_node node, const LineIndex& lines, const GpsTable& table,
                    WaypointGroup& route, Findings& findings) {
    for (pugi::xml_node step : node.children()) {
        if (step.type() != pugi::node_element || !isNamed(step, "route-point"))
            continue;
        std::string ident = childText(step, "waypoint-identifier");
        auto found = table.find(gpsKey(ident, childText(step, "waypoint-type"),
                                       childText(step, "waypoint-country-code")));
        int32_t line = lineOf(lines, step);
        if (found == table.end()) {
            addProblem(findings, line,
                       "route point '" + ident +
                           "' is not in the waypoint table (or has no position): left out",
                       leftOut);
            continue;
        }
        Waypoint point = found->second;
        point.line = line;
        route.points.push_back(point);
    }
}

} // namespace

bool readGpsRoute(const char* data, size_t size, WaypointSet& set, Findings& findings) {
    pugi::xml_document document;
    LineIndex lines = indexLines(data, size);
    if (!loadXml(data, size, "flight-plan", "GPS route", document, lines, findings))
        return false;
    pugi::xml_node top = document.document_element();
    GpsTable table;
    WaypointGroup places = gpsPlaces(top, lines, table, findings);
    int32_t routes = 0;
    for (pugi::xml_node node : top.children()) {
        if (node.type() != pugi::node_element || !isNamed(node, "route"))
            continue;
        std::string name = childText(node, "route-name");
        WaypointGroup route{name.empty() ? "Route " + std::to_string(++routes) : name, true, {}};
        gpsRoutePoints(node, lines, table, route, findings);
        set.groups.push_back(route);
    }
    // A table without a route is a list of places.
    if (set.groups.empty() && !places.points.empty())
        set.groups.push_back(places);
    return true;
}

std::string writeGpsRoute(const WaypointGroup& route) {
    pugi::xml_document document;
    pugi::xml_node top = document.append_child("flight-plan");
    top.append_attribute("xmlns") = "http://www8.garmin.com/xmlschemas/FlightPlan/v1";
    pugi::xml_node table = top.append_child("waypoint-table");
    pugi::xml_node path = top.append_child("route");
    path.append_child("route-name").text() = unitText(route.name, 25, true).c_str();
    path.append_child("flight-plan-index").text() = "1";
    // One table entry a place: a point that comes twice (a circuit back to its start) is one
    // entry; two places of one identifier get a number each.
    std::map<std::string, std::string> identOfPlace;
    std::set<std::string> used;
    std::map<std::string, int32_t> nextNumber;
    for (const Waypoint& point : route.points) {
        std::string place = formatDms(point.latitude) + formatDms(point.longitude) + identOf(point);
        auto found = identOfPlace.find(place);
        std::string type = gpsType(point);
        if (found == identOfPlace.end()) {
            std::string base = unitText(identOf(point), 12, false);
            if (base.empty())
                base = "WPT";
            // Numbered on from where the base's last number stopped: a long route of names
            // alike would otherwise try every number again for each point.
            std::string ident = base;
            int32_t& n = nextNumber.emplace(base, 2).first->second;
            while (used.count(ident) != 0) {
                std::string suffix = std::to_string(n++);
                ident = base.substr(0, 12 - suffix.size()) + suffix;
            }
            used.insert(ident);
            found = identOfPlace.emplace(place, ident).first;
            pugi::xml_node entry = table.append_child("waypoint");
            entry.append_child("identifier").text() = ident.c_str();
            entry.append_child("type").text() = type.c_str();
            entry.append_child("country-code");
            entry.append_child("lat").text() = decimalText(decimalFromDms(point.latitude)).c_str();
            entry.append_child("lon").text() = decimalText(decimalFromDms(point.longitude)).c_str();
            entry.append_child("comment").text() = unitText(placeName(point), 25, true).c_str();
        }
        pugi::xml_node step = path.append_child("route-point");
        step.append_child("waypoint-identifier").text() = found->second.c_str();
        step.append_child("waypoint-type").text() = type.c_str();
        step.append_child("waypoint-country-code");
    }
    return savedXml(document);
}
