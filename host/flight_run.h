// A scripted flight: the scenario flown in the stand-in simulator, with its pictures, logs and
// summary written into the current folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/scenario.h"

struct RunSettings {
    bool allKeyEvents; // every key event in key-events.csv, not only the changes
};

struct WaypointEvent {
    int32_t record;
    double seconds;
};

struct FlightOutcome {
    std::vector<WaypointEvent> sequenced; // left for the next one by the gauge's arrival rule
    std::vector<WaypointEvent> skipped;   // left by Next before it was reached
    std::vector<int32_t> notReached;      // waypoints of the route ahead that were never reached
    bool arrived;                         // the last waypoint was flown over
    WaypointEvent arrival;
    double seconds;
    double distanceFlown;             // nm
    double largestOffRoute;           // nm between the track and the planned route, coupled
    double largestOffRouteUncoupled;  // the same while the autopilot was off; -1 never off
    std::vector<std::string> written; // the files the run wrote, in the current folder
};

// database: the bytes of a checked database, stored as "TarvixDb.dat" (none when empty). On a
// failure outcome.written still lists what was written before it.
bool flyScenario(const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error);
