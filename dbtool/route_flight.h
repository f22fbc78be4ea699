// A route flown as a pilot flies one: the route written as TarvixTr.dat into the flight's folder,
// and a scenario for the stand-in simulator that brings it in with the settings dialog's
// "Tr Imp", chooses the new tour's first item with the tour autopilot and altitude hold, and
// flies the whole tour from that item.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tool_commands.h"
#include "waypoints.h"

// The altitude of the items that have none, unless --altitude gives one for every item.
constexpr int32_t defaultCruiseFeet = 3000;
constexpr double defaultSpeedKnots = 150;
constexpr double slowestSpeedKnots = 40;
constexpr double fastestSpeedKnots = 600;

struct FlightChoices {
    double speed = defaultSpeedKnots; // knots, the aircraft's airspeed
    int32_t altitude = -1;            // feet for every item; below 0: the route's own altitudes
};

struct RouteFlight {
    WaypointGroup tour;   // the items as the tour file holds them, every one with an altitude
    std::string scenario; // the scenario's JSON text
    double distanceNm;    // along the legs, first item to last
    double duration;      // simulated seconds the scenario allows
    int32_t frameRate;    // frames a simulated second
    bool cut;             // the route is longer than the longest flight a scenario may have
};

// The scenario that flies tour (read back from the tour file, so that it names the items as the
// dialog will show them); routeName is what the flight is called. The tour's altitudes are
// filled as choices say.
RouteFlight planRouteFlight(const WaypointGroup& tour, const std::string& routeName,
                            const FlightChoices& choices);

// "altitudes held:" and under it the altitude each item is held at and where it comes from (its
// own, the plan's cruise altitude, the default, --altitude), consecutive items alike in one line,
// for the pilot before the flight.
std::string altitudeSummary(const WaypointGroup& tour);

// Initial great-circle course in degrees true (0-360) from the first point to the second.
double courseDegrees(double latitude1, double longitude1, double latitude2, double longitude2);

// The items of a tour that the gauge moves past before the aircraft reaches them, flown as
// choices say: the flight's frames replayed, the aircraft turning at the standard rate towards
// the active item, the gauge moving on where it anticipates the turn onto the next leg. An item
// it moves past within the second it became active is never the one flown to, as the flight's
// summary tells. Indices into tour.points, in order.
std::vector<size_t> passedItems(const WaypointGroup& tour, const FlightChoices& choices);

// The gauge's anticipation: how far before an item it moves on to the next one, in nautical
// miles, for a turn of turnDegrees there at speed knots. The gauge's own rule, which the tool
// cannot include; a test holds the two together.
double turnLeadNm(double turnDegrees, double speed);

struct FlightOptions {
    ConvertOptions convert; // input, from, columns, route; output is set to the folder's tour file
    std::string folder;     // where the flight runs: TarvixTr.dat and the scenario go there
    FlightChoices choices;
};

// The file the scenario is written to, in the flight's folder.
constexpr const char* flightScenarioName = "route-flight.json";

// Converts the route into folder/TarvixTr.dat (replacing an earlier one) and writes the
// scenario beside it. Exit statuses as convert's.
int runRouteFlight(const FlightOptions& options, std::ostream& out, std::ostream& err);
