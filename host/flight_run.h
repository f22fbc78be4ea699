// A scripted flight: the scenario flown in the stand-in simulator, with its pictures, logs and
// summary written into the current folder.
#pragma once
#include <string>

#include "host/scenario.h"

struct FlightOutcome {
    int waypointsReached;
    double seconds;
    double distanceFlown;   // nm
    double largestOffRoute; // nm between the track and the planned route
};

// scenarioFolder: where the scenario's database is looked up (a Windows path, may be empty).
bool flyScenario(const Scenario& scenario, const std::string& scenarioFolder,
                 FlightOutcome& outcome, std::string& error);
