// The flight's destination and the planned route that the flight is measured against: either
// set directly in the database the way the settings dialog would leave it (the current-choice
// marker moved onto the record, which goes to the dialog library with TarvixSetData), or taken
// from what the real dialog chose.
#pragma once
#include <string>
#include <vector>

#include "common/exchange_record.h"
#include "host/scenario.h"
#include "host/track_plot.h"

struct FlightPlan {
    bool tour;
    ExchangeRecord choice;             // what TarvixSetData received
    std::vector<PlotWaypoint> route;   // airport: start and destination; tour: its items
    std::vector<int32_t> routeRecords; // database record of each route point, 0 for the start
};

// Reads "TarvixDb.dat" of the current folder, marks the destination record and builds the plan.
bool planFlight(const Scenario& scenario, FlightPlan& plan, std::string& error);

// The plan to what the settings dialog chose (the library's record), from "TarvixDb.dat" as the
// dialog saved it, starting where the aircraft is.
bool planChosen(const ExchangeRecord& chosen, PlotPoint start, FlightPlan& plan,
                std::string& error);
