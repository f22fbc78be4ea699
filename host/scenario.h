// Scenario files: a flight for the stand-in simulator, in JSON. The schema is in the README.
#pragma once
#include <string>
#include <vector>

#include "common/coordinate_text.h"
#include "flight_model.h"

// What a step types into or clicks in the settings dialog's editor, for the selected entry. In
// the order a person works the editor: the autopilot box enables the altitude hold box, which
// enables the altitude.
enum class DialogField { ident, name, latitude, longitude, autopilot, altitudeHold, altitude };
// Each field's key in a step's "set" object, in DialogField's order.
constexpr const char* dialogFieldKeys[] = {"ident",     "name",         "latitude", "longitude",
                                           "autopilot", "altitudeHold", "altitude"};

struct TypedPosition {
    bool northOrEast;                      // the hemisphere radio button
    std::string degrees, minutes, seconds; // what goes into the three edits
};

struct DialogSetting {
    DialogField field;
    std::string text;       // ident, name, altitude: as typed
    bool on;                // autopilot, altitudeHold
    TypedPosition position; // latitude, longitude
};

// A press on the gauge. "DLG" and "INF" open a dialog of the library, which the step works
// through its controls: press the import buttons, select an entry by its label path, set
// fields, press the export button, take a picture, press the closing buttons in turn. A dialog
// the step leaves open is cancelled after timeLimit.
struct ScenarioClick {
    double at;          // simulated seconds
    std::string button; // "+", "-", "DLG", "INF", "AP", "Prev", "Next"
    // DLG: the settings dialog's file buttons, "Tr Imp" and "Ap Imp" (pressed before the
    // selection, which can then take the new folder's entries) and "Exp" (after the selection and
    // the settings, as it writes the selected entry's folder), each in the order given.
    std::vector<std::string> press;
    std::string select; // DLG: folder/.../entry labels, "" keeps the dialog's own selection
    std::vector<DialogSetting> settings;     // DLG, in DialogField order
    std::vector<std::string> close;          // "OK", "Cancel" (DLG only), pressed in turn
    std::vector<std::string> expectMessages; // message box texts the step is meant to meet
    // The buttons that answer the message boxes in turn ("Yes", "No", "OK", "Cancel"); a box
    // met after them is answered with its first button.
    std::vector<std::string> answers;
    std::string picture; // a PNG of the dialog before it closes, "" none
    double timeLimit;    // wall seconds the dialog may stay open
    std::string name;    // in messages: "clicks[2] (DLG at 0:10:00)", "--click DLG@180"
};

constexpr double defaultDialogTimeLimit = 20;

// The step's name in messages: "clicks[2] (DLG at 0:10:00)".
std::string stepName(size_t index, const ScenarioClick& click);

struct ScenarioDestination {
    bool present;
    int32_t record;    // 1-based record of the database: an airport or a tour item
    bool autopilot;    // couple the autopilot, as the dialog's autopilot box would
    bool altitudeHold; // hold altitude (airport: the altitude below; tour: the items')
    double altitude;   // feet, airport mode
};

// An airport handed to the dialog library as the settings dialog would leave it, without a
// database behind it.
struct HandedAirport {
    bool present;
    std::string ident; // up to 5 characters
    std::string name;  // up to 25 characters
    double latitude;   // degrees, north positive
    double longitude;  // degrees, east positive
};

struct Scenario {
    std::string name;
    Aircraft aircraft;
    double selector;
    double frameRate;
    std::string database; // path as given, relative to the scenario file's folder
    ScenarioDestination destination;
    HandedAirport handed; // a destination without a database (the command line's free flight)
    std::vector<ScenarioClick> clicks;
    double duration;       // simulated seconds
    double pictureEvery;   // simulated seconds between panel pictures, 0 for none
    double animationEvery; // simulated seconds between animation frames, 0 for none
    bool stopAtArrival;    // end the flight when the last waypoint is reached
};

// The settings dialog's file buttons a step can press, by their labels.
bool isImportButton(const std::string& label); // "Tr Imp", "Ap Imp"
bool isFileButton(const std::string& label);   // the imports and "Exp"

// Reads and checks a scenario. On failure returns false and a message that names the field and
// the problem ("aircraft.latitude: 95 is outside -90 to 90"); a key it does not know is refused
// too, so that a misspelt field never passes for its default.
bool parseScenario(const std::string& text, Scenario& scenario, std::string& error);

// A coordinate as the settings dialog's editor takes it: hemisphere, whole degrees, minutes and
// seconds (rounded). Degrees up to 999 are kept, so that a step can type what the dialog refuses.
bool typedPosition(const std::string& text, bool latitude, TypedPosition& position);
