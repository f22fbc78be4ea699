#include "scenario.h"

#include <cmath>
#include <iterator>

#include "common/db_record.h"
#include "common/limits.h"
#include "common/sim_ids.h"
#include "dialog/dialog_resources.h"
#include "button_names.h"
#include "clock_text.h"
#include "number_text.h"
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
        throw Problem{name + ": " + numberText(v) + " is outside " + numberText(low) + " to " +
                      numberText(high)};
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

// Refuses any key the object has beyond the known ones: a misspelt key must not pass for a
// default silently.
void onlyKnownKeys(const json& object, const std::string& path, const char* const* first,
                   const char* const* last) {
    for (auto item = object.begin(); item != object.end(); ++item) {
        bool found = false;
        for (const char* const* key = first; key != last; ++key)
            found = found || item.key() == *key;
        if (found)
            continue;
        std::string list;
        for (const char* const* key = first; key != last; ++key)
            list += std::string(list.empty() ? "" : ", ") + *key;
        throw Problem{path + item.key() + ": unknown field (" +
                      (path.empty() ? std::string("the scenario has ")
                                    : path.substr(0, path.size() - 1) + " has ") +
                      list + ")"};
    }
}

void onlyKnownKeys(const json& object, const std::string& path,
                   std::initializer_list<const char*> known) {
    onlyKnownKeys(object, path, known.begin(), known.end());
}

int32_t wholeNumber(const json& object, const std::string& path, const char* key, double low,
                    double high) {
    double value = number(object, path, key, low, high, nullptr);
    if (value != std::floor(value))
        throw Problem{path + key + ": " + numberText(value) + " is not a whole number"};
    return static_cast<int32_t>(value);
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
    double limit = coordinateLimit(latitude);
    if (!value)
        throw Problem{name + ": missing"};
    if (value->is_number())
        return required(object, "aircraft.", key, -limit, limit);
    double degrees = 0;
    CoordinateRead read = value->is_string()
                              ? readCoordinate(value->get<std::string>(), latitude, degrees)
                              : CoordinateRead::notCoordinate;
    if (read == CoordinateRead::notCoordinate)
        throw Problem{name + ": must be degrees or a text like \"" +
                      (latitude ? "N41 47 12.5" : "W087 45 08") + "\" or \"" +
                      (latitude ? "41\u00B047'12.5\"N" : "87\u00B045'08\"W") + "\""};
    if (read == CoordinateRead::outOfRange)
        throw Problem{name + ": " + numberText(degrees) + " is outside -" + numberText(limit) +
                      " to " + numberText(limit)};
    return degrees;
}

std::string textField(const json& object, const std::string& path, const char* key,
                      size_t longest) {
    const json* value = member(object, key);
    if (!value || !value->is_string())
        throw Problem{path + key + ": must be a text"};
    std::string t = value->get<std::string>();
    if (t.size() > longest)
        throw Problem{path + key + ": '" + t + "' is longer than " + std::to_string(longest) +
                      " characters"};
    return t;
}

// A text or a list of texts.
std::vector<std::string> texts(const json& object, const std::string& path, const char* key) {
    const json* value = member(object, key);
    std::vector<std::string> out;
    if (!value)
        return out;
    if (value->is_string())
        return {value->get<std::string>()};
    if (!value->is_array())
        throw Problem{path + key + ": must be a text or a list of texts"};
    for (const json& item : *value) {
        if (!item.is_string())
            throw Problem{path + key + ": must be a text or a list of texts"};
        out.push_back(item.get<std::string>());
    }
    return out;
}

// The "set" object of a DLG step: what the editor's fields and options become.
void readSettings(const json& click, const std::string& path, ScenarioClick& step) {
    const json* set = member(click, "set");
    if (!set)
        return;
    std::string at = path + "set.";
    if (!set->is_object())
        throw Problem{path + "set: must be an object"};
    onlyKnownKeys(*set, at, std::begin(dialogFieldKeys), std::end(dialogFieldKeys));
    for (size_t i = 0; i < std::size(dialogFieldKeys); ++i) {
        const char* key = dialogFieldKeys[i];
        const DialogField field = static_cast<DialogField>(i);
        if (!member(*set, key))
            continue;
        DialogSetting setting{field, "", false, {}};
        switch (field) {
        case DialogField::ident:
            setting.text = textField(*set, at, key, 5);
            break;
        case DialogField::name:
            setting.text = textField(*set, at, key, 24);
            break;
        case DialogField::latitude:
        case DialogField::longitude: {
            bool latitude = field == DialogField::latitude;
            std::string typed = textField(*set, at, key, 64);
            if (!typedPosition(typed, latitude, setting.position))
                throw Problem{at + key + ": '" + typed + "' is not a position like \"" +
                              (latitude ? "N45 43 22" : "W087 05 37") + "\""};
            break;
        }
        case DialogField::autopilot:
        case DialogField::altitudeHold:
            setting.on = flag(*set, at, key, false);
            break;
        case DialogField::altitude:
            // Up to the five digits the edit reads, so that a step can type what it refuses.
            setting.text = std::to_string(wholeNumber(*set, at, key, 0, 99999));
            break;
        }
        step.settings.push_back(setting);
    }
}

// "DLG" or "DLG or INF": the buttons whose press opens a dialog that a step may work.
std::string opensWhich(bool settingsOnly) {
    const std::string settings = buttonLabelOf("onDialog");
    return settingsOnly ? settings : settings + " or " + buttonLabelOf("onAbout");
}

// What a DLG or INF step does in the dialog its press opens.
void readDialogWork(const json& click, const std::string& path, ScenarioClick& step) {
    bool settings = opensSettingsDialog(step.button), about = opensAboutBox(step.button);
    for (const char* key :
         {"press", "select", "set", "close", "expectMessages", "answers", "picture", "timeLimit"}) {
        bool settingsOnly = std::strcmp(key, "select") == 0 || std::strcmp(key, "set") == 0 ||
                            std::strcmp(key, "press") == 0;
        if (member(click, key) && !(settings || (about && !settingsOnly)))
            throw Problem{path + key + ": only a " + opensWhich(settingsOnly) +
                          " press opens a dialog to work (this one presses " + step.button + ")"};
    }
    if (member(click, "select")) {
        step.select = textField(click, path, "select", 512);
        if (step.select.empty() || step.select.front() == '/' || step.select.back() == '/' ||
            step.select.find("//") != std::string::npos)
            throw Problem{path + "select: '" + step.select +
                          "' is not a label path like \"Folder/Entry\""};
    }
    readSettings(click, path, step);
    step.close = texts(click, path, "close");
    for (const std::string& button : step.close) {
        if (button != "OK" && !(settings && button == "Cancel"))
            throw Problem{path + "close: '" + button + "' is not " +
                          (settings ? "OK or Cancel" : "OK (the About box has no other button)")};
    }
    step.press = texts(click, path, "press");
    for (const std::string& button : step.press) {
        if (!isFileButton(button))
            throw Problem{path + "press: '" + button +
                          "' is not one of \"Tr Imp\", \"Ap Imp\", "
                          "\"Exp\""};
    }
    step.expectMessages = texts(click, path, "expectMessages");
    step.answers = texts(click, path, "answers");
    for (const std::string& answer : step.answers) {
        if (answer != "Yes" && answer != "No" && answer != "OK" && answer != "Cancel")
            throw Problem{path + "answers: '" + answer + "' is not Yes, No, OK or Cancel"};
    }
    if (member(click, "picture"))
        step.picture = textField(click, path, "picture", 260);
    step.timeLimit = optional(click, path, "timeLimit", 1, 600, defaultDialogTimeLimit);
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
        onlyKnownKeys(click, path,
                      {"at", "button", "press", "select", "set", "close", "expectMessages",
                       "answers", "picture", "timeLimit"});
        ScenarioClick step{};
        step.at = required(click, path, "at", 0, scenario.duration);
        const json* button = member(click, "button");
        if (!button || !button->is_string() || buttonIndex(button->get<std::string>()) < 0)
            throw Problem{path + "button: must be one of + - DLG INF AP Prev Next"};
        step.button = button->get<std::string>();
        readDialogWork(click, path, step);
        step.name = stepName(i, step);
        scenario.clicks.push_back(step);
    }
}

void readDestination(const json& root, Scenario& scenario) {
    const json& d = section(root, "destination", false);
    scenario.destination = {false, 0, false, false, 0};
    if (d.empty())
        return;
    onlyKnownKeys(d, "destination.", {"record", "autopilot", "altitudeHold", "altitude"});
    scenario.destination.present = true;
    scenario.destination.record = wholeNumber(d, "destination.", "record", 1, maxTreeRecordNumber);
    scenario.destination.autopilot = flag(d, "destination.", "autopilot", true);
    scenario.destination.altitudeHold = flag(d, "destination.", "altitudeHold", false);
    scenario.destination.altitude =
        optional(d, "destination.", "altitude", 0, highestAltitudeFeet, 0);
}

} // namespace

bool typedPosition(const std::string& text, bool latitude, TypedPosition& position) {
    double degrees = 0;
    if (!parseCoordinate(text, latitude, degrees) || std::fabs(degrees) >= 1000)
        return false;
    DmsAngle angle = dmsFromDecimal(degrees, latitude);
    position = {angle.hemisphere == 'N' || angle.hemisphere == 'E', std::to_string(angle.degrees),
                std::to_string(angle.minutes), std::to_string(angle.seconds)};
    return true;
}

bool isImportButton(const std::string& label) {
    return label == TOUR_IMPORT_LABEL || label == AIRPORT_IMPORT_LABEL;
}

bool isFileButton(const std::string& label) {
    return isImportButton(label) || label == EXPORT_LABEL;
}

std::string stepName(size_t index, const ScenarioClick& click) {
    return "clicks[" + std::to_string(index) + "] (" + click.button + " at " + clockText(click.at) +
           ")";
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
        onlyKnownKeys(root, "",
                      {"name", "aircraft", "wind", "variation", "selector", "frameRate", "database",
                       "destination", "clicks", "duration", "pictureEvery", "animationEvery",
                       "stopAtArrival"});
        scenario = Scenario{};
        const json* name = member(root, "name");
        if (name && !name->is_string())
            throw Problem{"name: must be a text"};
        scenario.name = name ? name->get<std::string>() : "";
        const json& a = section(root, "aircraft", true);
        onlyKnownKeys(a, "aircraft.", {"latitude", "longitude", "heading", "airspeed", "altitude"});
        Aircraft& aircraft = scenario.aircraft;
        aircraft.latitude = coordinate(a, "latitude", true);
        aircraft.longitude = coordinate(a, "longitude", false);
        aircraft.heading = required(a, "aircraft.", "heading", 0, 360);
        aircraft.airspeed = required(a, "aircraft.", "airspeed", 0, 2000);
        aircraft.altitude = required(a, "aircraft.", "altitude", -1500, highestAltitudeFeet);
        const json& wind = section(root, "wind", false);
        onlyKnownKeys(wind, "wind.", {"speed", "from"});
        aircraft.windSpeed = optional(wind, "wind.", "speed", 0, 300, 0);
        aircraft.windDirection = optional(wind, "wind.", "from", 0, 360, 0);
        aircraft.variation = optional(root, "", "variation", -180, 180, 0);
        scenario.selector = optional(root, "", "selector", 0, fastClimbSelector, 0);
        scenario.frameRate = optional(root, "", "frameRate", 1, 100, 18);
        scenario.duration = required(root, "", "duration", 1, longestFlightSeconds);
        scenario.pictureEvery = optional(root, "", "pictureEvery", 0, scenario.duration, 0);
        scenario.animationEvery = optional(root, "", "animationEvery", 0, scenario.duration, 0);
        scenario.stopAtArrival = flag(root, "", "stopAtArrival", false);
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
