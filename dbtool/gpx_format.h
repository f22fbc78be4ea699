// GPX 1.1: waypoints (wpt) as airports, each route (rte) as a tour in its order, with the
// points' elevation (metres) as altitudes (feet). A route point is named from its name unless
// that is only a number, then its comment, then its description; a waypoint's name is its
// identifier and its description (or comment) its name. Texts that are plainly no name (a leg's
// duration "PT6S", a time stamp, a GPS unit's "02-OCT-10 16:01:13") are passed over. Parsed by
// pugixml.
#pragma once
#include <cstddef>
#include <string>

#include "waypoints.h"

// False, with a problem at line 0 or at the line of the fault, when the text is not GPX (not
// well-formed XML, or no gpx element at the top). Points that make no position are problems and
// left out; the rest is read. Tracks (trk) are counted in a warning; with trackItems above 0
// each track becomes a route in place of the file's routes, its points thinned to
// at most trackItems (thinnedTrack), which is told in set.notes; a file without a track is
// then refused.
bool readGpx(const char* data, size_t size, WaypointSet& set, Findings& findings,
             size_t trackItems = 0);

// Every group that is not a route as waypoints, each route as a route: UTF-8 text.
std::string writeGpx(const WaypointSet& set);
