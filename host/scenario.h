// Scenario files: a flight for the stand-in simulator, in JSON. The schema is in the README.
#pragma once
#include <string>
#include <vector>

#include "host/flight_model.h"

struct ScenarioClick {
    double at;          // simulated seconds
    std::string button; // "+", "-", "DLG", "INF", "AP", "Prev", "Next"
};

struct ScenarioDestination {
    bool present;
    int32_t record;    // 1-based record of the database: an airport or a tour item
    bool autopilot;    // couple the autopilot, as the dialog's autopilot box would
    bool altitudeHold; // hold altitude (airport: the altitude below; tour: the items')
    double altitude;   // feet, airport mode
};

struct Scenario {
    std::string name;
    Aircraft aircraft;
    double selector;
    double frameRate;
    std::string database; // path as given, relative to the scenario file's folder
    ScenarioDestination destination;
    std::vector<ScenarioClick> clicks;
    double duration;       // simulated seconds
    double pictureEvery;   // simulated seconds between panel pictures, 0 for none
    double animationEvery; // simulated seconds between animation frames, 0 for none
};

// Reads and checks a scenario. On failure returns false and a message that names the field and
// the problem ("aircraft.latitude: 95 is outside -90 to 90").
bool parseScenario(const std::string& text, Scenario& scenario, std::string& error);

// "N41 47 12.5", "41 47 12.5 N" or a number of degrees (north and east positive).
bool parseCoordinate(const std::string& text, bool latitude, double& degrees);
