// The tool's side of the simulator's own files: the database and the tour file (64-byte
// records) and the airport file, read into waypoints and written from them with the same codecs
// the dialog library uses.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "waypoints.h"

// Every folder's airports become one group named by the folder's path, every folder's tour items
// one route named by the folder. Entries that make no position are left out as problems.
void readDatabaseFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings);

// The tour file: one route in file order; lines the import would skip are skipped.
void readTourFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings);

// The airport file: one group of airports in file order, read with the airport line codec.
void readAirportFile(const uint8_t* data, size_t size, WaypointSet& set, Findings& findings);

// The points as airport lines; identifiers cut to 5 and names to 24 with a warning, and one for
// an identifier that names two places more than a mile apart.
std::string writeAirportFile(const WaypointGroup& places, Findings& findings);

// The points as tour items numbered 001, 002, ...: the bytes of a tour file. A tour item's
// identifier is its number, so a point's own identifier goes before its name ("GCLP Gran
// Canaria", see tourItemName); names are cut to 24 with a warning.
std::string writeTourFile(const WaypointGroup& route, bool holdAltitude, Findings& findings);
