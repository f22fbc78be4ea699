#include "host/scenario.h"

#include <cctype>
#include <cmath>
#include <sstream>

#include "host/panel_host.h"
#include "nlohmann/json.hpp"

using nlohmann::json;

namespace {

struct Problem {
    std::string message;
};

const json* member(const json& object, const char* key) {
    auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

std::string describe(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

double number(const json& object, const std::string& path, const char* key, double low, double high,
              const double* fallback) {
    const json* value = member(object, key);
    std::string name = path + key;
    if (!value) {
        if (fallback)
            return *fallback;
        throw Problem{name + ": missing"};
    }
    if (!value->is_number())
        throw Problem{name + ": must be a number, not " + std::string(value->type_name())};
    double v = value->get<double>();
    if (!std::isfinite(v) || v < low || v > high)
        throw Problem{name + ": " + describe(v) + " is outside " + describe(low) + " to " +
                      describe(high)};
    return v;
}

double required(const json& o, const std::string& path, const char* key, double low, double high) {
    return number(o, path, key, low, high, nullptr);
}

double optional(const json& o, const std::string& path, const char* key, double low, double high,
                double fallback) {
    return number(o, path, key, low, high, &fallback);
}

bool flag(const json& object, const std::string& path, const char* key, bool fallback) {
    const json* value = member(object, key);
    if (!value)
        return fallback;
    if (!value->is_boolean())
        throw Problem{path + key + ": must be true or false"};
    return value->get<bool>();
}

const json& section(const json& object, const char* key, bool needed) {
    static const json empty = json::object();
    const json* value = member(object, key);
    if (!value) {
        if (needed)
            throw Problem{std::string(key) + ": missing"};
        return empty;
    }
    if (!value->is_object())
        throw Problem{std::string(key) + ": must be an object"};
    return *value;
}

double coordinate(const json& object, const char* key, bool latitude) {
    const json* value = member(object, key);
    std::string name = std::string("aircraft.") + key;
    double limit = latitude ? 90 : 180;
    if (!value)
        throw Problem{name + ": missing"};
    if (value->is_number())
        return required(object, "aircraft.", key, -limit, limit);
    double degrees = 0;
    if (!value->is_string() || !parseCoordinate(value->get<std::string>(), latitude, degrees))
        throw Problem{name + ": must be degrees or a text like \"" +
                      (latitude ? "N41 47 12.5" : "W087 45 08") + "\""};
    if (std::fabs(degrees) > limit)
        throw Problem{name + ": " + describe(degrees) + " is outside -" + describe(limit) + " to " +
                      describe(limit)};
    return degrees;
}

void readClicks(const json& root, Scenario& scenario) {
    const json* clicks = member(root, "clicks");
    if (!clicks)
        return;
    if (!clicks->is_array())
        throw Problem{"clicks: must be a list"};
    for (size_t i = 0; i < clicks->size(); ++i) {
        std::string path = "clicks[" + std::to_string(i) + "].";
        const json& click = (*clicks)[i];
        if (!click.is_object())
            throw Problem{"clicks[" + std::to_string(i) + "]: must be an object"};
        double at = required(click, path, "at", 0, scenario.duration);
        const json* button = member(click, "button");
        if (!button || !button->is_string() || buttonIndex(button->get<std::string>()) < 0)
            throw Problem{path + "button: must be one of + - DLG INF AP Prev Next"};
        scenario.clicks.push_back({at, button->get<std::string>()});
    }
}

void readDestination(const json& root, Scenario& scenario) {
    const json& d = section(root, "destination", false);
    scenario.destination = {false, 0, false, false, 0};
    if (d.empty())
        return;
    scenario.destination.present = true;
    scenario.destination.record =
        static_cast<int32_t>(required(d, "destination.", "record", 1, 65535));
    scenario.destination.autopilot = flag(d, "destination.", "autopilot", true);
    scenario.destination.altitudeHold = flag(d, "destination.", "altitudeHold", false);
    scenario.destination.altitude = optional(d, "destination.", "altitude", 0, 99996, 0);
}

} // namespace

bool parseCoordinate(const std::string& text, bool latitude, double& degrees) {
    std::string rest = text;
    char hemisphere = 0;
    auto isHemisphere = [&](char c) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return latitude ? (c == 'N' || c == 'S') : (c == 'E' || c == 'W');
    };
    size_t first = rest.find_first_not_of(' ');
    size_t last = rest.find_last_not_of(' ');
    if (first == std::string::npos)
        return false;
    if (isHemisphere(rest[first])) {
        hemisphere = rest[first];
        rest = rest.substr(first + 1);
    } else if (isHemisphere(rest[last])) {
        hemisphere = rest[last];
        rest = rest.substr(0, last);
    } else {
        return false;
    }
    std::istringstream parts(rest);
    double d = 0, m = 0, s = 0;
    if (!(parts >> d) || d < 0)
        return false;
    parts >> m >> s; // minutes and seconds may be left out
    std::string more;
    if (parts >> more || m < 0 || m >= 60 || s < 0 || s >= 60)
        return false;
    degrees = d + m / 60 + s / 3600;
    char h = static_cast<char>(std::toupper(static_cast<unsigned char>(hemisphere)));
    if (h == 'S' || h == 'W')
        degrees = -degrees;
    return true;
}

bool parseScenario(const std::string& text, Scenario& scenario, std::string& error) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& e) {
        error = std::string("not valid JSON: ") + e.what();
        return false;
    }
    try {
        if (!root.is_object())
            throw Problem{"the scenario must be a JSON object"};
        scenario = Scenario{};
        const json* name = member(root, "name");
        scenario.name = name && name->is_string() ? name->get<std::string>() : "";
        const json& a = section(root, "aircraft", true);
        Aircraft& aircraft = scenario.aircraft;
        aircraft.latitude = coordinate(a, "latitude", true);
        aircraft.longitude = coordinate(a, "longitude", false);
        aircraft.heading = required(a, "aircraft.", "heading", 0, 360);
        aircraft.airspeed = required(a, "aircraft.", "airspeed", 0, 2000);
        aircraft.altitude = required(a, "aircraft.", "altitude", -1500, 99996);
        const json& wind = section(root, "wind", false);
        aircraft.windSpeed = optional(wind, "wind.", "speed", 0, 300, 0);
        aircraft.windDirection = optional(wind, "wind.", "from", 0, 360, 0);
        aircraft.variation = optional(root, "", "variation", -180, 180, 0);
        scenario.selector = optional(root, "", "selector", 0, 65535, 0);
        scenario.frameRate = optional(root, "", "frameRate", 1, 100, 18);
        scenario.duration = required(root, "", "duration", 1, 48 * 3600);
        scenario.pictureEvery = optional(root, "", "pictureEvery", 0, scenario.duration, 0);
        scenario.animationEvery = optional(root, "", "animationEvery", 0, scenario.duration, 0);
        const json* database = member(root, "database");
        if (database && !database->is_string())
            throw Problem{"database: must be a file name"};
        scenario.database = database ? database->get<std::string>() : "";
        readDestination(root, scenario);
        if (scenario.destination.present && scenario.database.empty())
            throw Problem{"destination: needs a database to choose its record from"};
        readClicks(root, scenario);
    } catch (const Problem& problem) {
        error = problem.message;
        return false;
    }
    return true;
}
