// The flight plans pilots exchange, each one route in flying order:
// - the XML flight plan of the desktop simulators: ATCWaypoint elements with ATCWaypointType, a
//   WorldPosition of degrees, minutes and seconds texts and the altitude in feet, ICAOIdent;
// - the plain-text plan of fixes, one a line (versions 3 and 1100): type, identifier, (via,)
//   altitude in feet, latitude, longitude;
// - the route file of handheld aviation GPS units: a waypoint table and a route of references.
// Altitudes are taken where the plan gives one: an airport's elevation, a waypoint's own
// altitude, else the plan's cruising altitude between the ends (XML plan only).
#pragma once
#include <cstddef>
#include <string>

#include "waypoints.h"

bool readXmlPlan(const char* data, size_t size, WaypointSet& set, Findings& findings);
bool readFixPlan(const char* data, size_t size, WaypointSet& set, Findings& findings);
bool readGpsRoute(const char* data, size_t size, WaypointSet& set, Findings& findings);

// The route written as each format has it; the points keep their names, positions (to the
// second) and altitudes.
std::string writeXmlPlan(const WaypointGroup& route);
std::string writeFixPlan(const WaypointGroup& route);
std::string writeGpsRoute(const WaypointGroup& route);
