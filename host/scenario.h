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
    bool stopAtArrival;    // end the flight when the last waypoint is reached
};

// Reads and checks a scenario. On failure returns false and a message that names the field and
// the problem ("aircraft.latitude: 95 is outside -90 to 90"); a key it does not know is refused
// too, so that a misspelt field never passes for its default.
bool parseScenario(const std::string& text, Scenario& scenario, std::string& error);

// A coordinate as people write it: signed decimal degrees ("-87.7522"), or a hemisphere letter
// before or after degrees, minutes and seconds separated by spaces or marked with the degree,
// minute and second signs ("N41 47 10.5", "41°47'10\"N", "W087° 45′ 08″"). Only the last part
// given may have a fraction; minutes and seconds stay below 60. Returns false for anything else.
// The range of the result is the caller's to check.
bool parseCoordinate(const std::string& text, bool latitude, double& degrees);
