// The flight plans pilots exchange, each one route in flying order:
// - the XML flight plan of the desktop simulators: ATCWaypoint elements with ATCWaypointType, a
//   WorldPosition of degrees, minutes and seconds texts and the altitude in feet, ICAOIdent;
// - the plain-text plan of fixes, one a line (versions 3 and 1100): type, identifier, (via,)
//   altitude in feet, latitude, longitude;
// - the route file of handheld aviation GPS units: a waypoint table and a route of references.
// Altitudes are taken where the plan gives one: an airport's elevation, a waypoint's own
// altitude, else the plan's cruising altitude between the ends (XML plan); in the older text
// plan every point but an airport is flown at the cruising altitude. An airport at 0 ft in a
// plan of fixes or a text plan has an unknown elevation, not sea level. Where a plan states the
// ground (an airport's or a navaid's elevation), the point keeps it to warn of flying below.
#pragma once
#include <cstddef>
#include <string>

#include "waypoints.h"

bool readXmlPlan(const char* data, size_t size, WaypointSet& set, Findings& findings);
bool readFixPlan(const char* data, size_t size, WaypointSet& set, Findings& findings);
bool readGpsRoute(const char* data, size_t size, WaypointSet& set, Findings& findings);
// The older plan of the same name (.pln) in plain text: a [flightplan] section of keys, each
// waypoint.N line with identifier, type letter, position in degrees and decimal minutes ("N46*
// 14.28'") and the place's elevation, and the plan's cruising_altitude.
bool readTextPlan(const char* data, size_t size, WaypointSet& set, Findings& findings);

// The route written as each format has it; the points keep their names, positions (to the
// second) and altitudes.
std::string writeXmlPlan(const WaypointGroup& route);
std::string writeFixPlan(const WaypointGroup& route);
std::string writeGpsRoute(const WaypointGroup& route);
