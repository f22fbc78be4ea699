// The flight's destination and the planned route that the flight is measured against: either
// set directly in the database the way the settings dialog would leave it (the current-choice
// marker moved onto the record, which goes to the dialog library with TarvixSetData), or taken
// from what the real dialog chose.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "common/exchange_record.h"
#include "scenario.h"
#include "track_plot.h"

struct FlightPlan {
    bool tour;
    ExchangeRecord choice;             // what TarvixSetData received
    std::vector<PlotWaypoint> route;   // airport: start and destination; tour: its items
    std::vector<int32_t> routeRecords; // database record of each route point, 0 for the start
};

// "001 Milwaukee Mitchell": a waypoint's ident, then its name, as the run's log, summary and track
// picture name it, from a stored record or the library's exchange record alike; each field read
// no further than its width, its trailing spaces left out.
std::string waypointName(const char* ident, size_t identSize, const char* name, size_t nameSize);
template <typename Record> std::string waypointName(const Record& r) {
    return waypointName(r.ident, sizeof r.ident, r.name, sizeof r.name);
}

// Reads "TarvixDb.dat" of the current folder, marks the destination record and builds the plan.
bool planFlight(const Scenario& scenario, FlightPlan& plan, std::string& error);

// The plan to what the settings dialog chose (the library's record), from "TarvixDb.dat" as the
// dialog saved it, starting where the aircraft is.
bool planChosen(const ExchangeRecord& chosen, PlotPoint start, FlightPlan& plan,
                std::string& error);
