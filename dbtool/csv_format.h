// CSV with a header row, parsed by libcsv (quoted fields with commas, quotes and line breaks).
// Columns, by header name in any case and order: ident, name, latitude or latitude_deg,
// longitude or longitude_deg (decimal degrees), altitude or elevation_ft (feet), and the
// optional altitude_hold, folder and kind that this tool writes. A first line holding
// semicolons and no comma is taken as a semicolon-separated file; a UTF-8 byte-order mark is
// skipped.
#pragma once
#include <cstddef>
#include <string>

#include "waypoints.h"

// False, with a problem, when there is no header or it names no latitude or longitude column.
// Rows that make no position are problems and left out. Rows with a folder and kind are grouped
// by them ("tour" rows become routes); without them all rows are one group.
bool readCsv(const char* data, size_t size, WaypointSet& set, Findings& findings);

// Every point of every group, with its group as folder and its kind: UTF-8 text, CR LF lines.
std::string writeCsv(const WaypointSet& set);
