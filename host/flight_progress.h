// What the flight did with its waypoints as it went, and what it tells at the end: the plan it
// follows, the waypoints reached, skipped and not reached, how far off the route it flew, the
// progress of a long flight and the summary.
#pragma once
#include <string>

#include "flight_state.h"

// Follows a new plan: the off-route figures of the tracks flown so far are kept against the
// route they were flown on.
void followPlan(FlightRun& run, const FlightPlan& plan);

// "KMKE Milwaukee Mitchell, airport mode, autopilot on, altitude hold off".
std::string describeChoice(const FlightPlan& plan);

// Once a simulated second: the log line, the track, and whether the active waypoint changed.
void checkSecond(FlightRun& run, FlightOutcome& outcome);

void tellProgress(const FlightRun& run);

void closeProgress(FlightRun& run, FlightOutcome& outcome);

// The flight's outcome for the pilot; duration is the simulated time the scenario allowed.
void printSummary(const FlightOutcome& o, double duration);
