// "tarvix-db show": a database as the indented tree the settings dialog would show, each line
// with its record number; the current choice marked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "waypoints.h"

// The tree of a file in record layout, as UTF-8 text: a database, or with exchangeFile a tour
// file, read as the import reads it.
std::string showRecordFile(const uint8_t* data, size_t size, bool exchangeFile);

// The points of an airport file, one line each, in file order.
std::string showWaypoints(const WaypointSet& set);
