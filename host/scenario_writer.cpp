#include "scenario_writer.h"

#include <cmath>
#include <cstdlib>

#include "dialog/dialog_resources.h"
#include "button_names.h"
#include "nlohmann/json.hpp"

using Json = nlohmann::ordered_json;

namespace {

// Feet, frames, the selector and a press's second go out as whole numbers where they are whole,
// every other number with its fraction ("90.0"): the scenarios written before read the same.
Json whole(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return static_cast<int64_t>(value);
    return value;
}

Json coordinateText(double degrees, bool latitude) {
    std::string text = formatDms(dmsFromDecimal(degrees, latitude), DmsForm::scenario);
    double back = 0;
    if (parseCoordinate(text, latitude, back) && back == degrees)
        return text;
    return degrees;
}

// A text alone, several as a list.
Json texts(const std::vector<std::string>& items) {
    if (items.size() == 1)
        return items.front();
    return items;
}

std::string typedText(const TypedPosition& p, bool latitude) {
    char hemisphere = latitude ? (p.northOrEast ? 'N' : 'S') : (p.northOrEast ? 'E' : 'W');
    return hemisphere + p.degrees + " " + p.minutes + " " + p.seconds;
}

Json settingsJson(const std::vector<DialogSetting>& settings) {
    Json set = Json::object();
    for (const DialogSetting& s : settings) {
        const char* key = dialogFieldKeys[static_cast<int>(s.field)];
        switch (s.field) {
        case DialogField::latitude:
        case DialogField::longitude:
            set[key] = typedText(s.position, s.field == DialogField::latitude);
            break;
        case DialogField::autopilot:
        case DialogField::altitudeHold:
            set[key] = s.on;
            break;
        case DialogField::altitude:
            set[key] = std::atoi(s.text.c_str());
            break;
        default:
            set[key] = s.text;
        }
    }
    return set;
}

Json clickJson(const ScenarioClick& click) {
    Json step = {{"at", whole(click.at)}, {"button", click.button}};
    if (!click.press.empty())
        step["press"] = texts(click.press);
    if (!click.select.empty())
        step["select"] = click.select;
    if (!click.settings.empty())
        step["set"] = settingsJson(click.settings);
    if (!click.picture.empty())
        step["picture"] = click.picture;
    if (!click.close.empty())
        step["close"] = texts(click.close);
    if (!click.expectMessages.empty())
        step["expectMessages"] = texts(click.expectMessages);
    if (!click.answers.empty())
        step["answers"] = texts(click.answers);
    if (opensSettingsDialog(click.button) || opensAboutBox(click.button))
        step["timeLimit"] = click.timeLimit;
    return step;
}

Json aircraftJson(const Aircraft& a) {
    return {{"latitude", coordinateText(a.latitude, true)},
            {"longitude", coordinateText(a.longitude, false)},
            {"heading", a.heading},
            {"airspeed", a.airspeed},
            {"altitude", whole(a.altitude)}};
}

// What a flight starts with besides the aircraft: the wind, the variation, the selector, the
// database and the destination chosen in it.
void writeSurroundings(const Scenario& s, Json& root) {
    if (s.aircraft.windSpeed != 0 || s.aircraft.windDirection != 0)
        root["wind"] = {{"speed", s.aircraft.windSpeed}, {"from", s.aircraft.windDirection}};
    if (s.aircraft.variation != 0)
        root["variation"] = s.aircraft.variation;
    if (s.selector != 0)
        root["selector"] = whole(s.selector);
    if (!s.database.empty())
        root["database"] = s.database;
    const ScenarioDestination& d = s.destination;
    if (d.present) {
        Json destination = {{"record", d.record}};
        if (!d.autopilot)
            destination["autopilot"] = false;
        if (d.altitudeHold)
            destination["altitudeHold"] = true;
        if (d.altitude != 0)
            destination["altitude"] = whole(d.altitude);
        root["destination"] = destination;
    }
}

} // namespace

std::string scenarioText(const Scenario& s) {
    Json root = {{"name", s.name}, {"aircraft", aircraftJson(s.aircraft)}};
    writeSurroundings(s, root);
    if (!s.clicks.empty()) {
        Json clicks = Json::array();
        for (const ScenarioClick& click : s.clicks)
            clicks.push_back(clickJson(click));
        root["clicks"] = clicks;
    }
    root["frameRate"] = whole(s.frameRate);
    root["duration"] = s.duration;
    if (s.pictureEvery != 0)
        root["pictureEvery"] = s.pictureEvery;
    if (s.animationEvery != 0)
        root["animationEvery"] = s.animationEvery;
    if (s.stopAtArrival)
        root["stopAtArrival"] = true;
    return root.dump(2) + "\n";
}

ScenarioClick tourImportClick(double at, const std::string& itemLabel) {
    ScenarioClick click{};
    click.at = at;
    click.button = buttonLabelOf("onDialog");
    click.press = {TOUR_IMPORT_LABEL};
    click.select = std::string(NEW_TOUR_FOLDER_NAME) + "/" + itemLabel;
    click.timeLimit = defaultDialogTimeLimit;
    return click;
}
