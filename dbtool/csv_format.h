// Tables of waypoints as people write them, parsed by libcsv (quoted fields with separators,
// quotes and line breaks). Columns by header name in any case, spaces around it ignored:
// the identifier from the first non-empty of ident, icao, gps_code, code, iata; name, else
// desc, description or comment; latitude, latitude_deg or lat; longitude, longitude_deg, lon,
// long or lng (decimal degrees, with a point or a decimal comma, or degrees, minutes and
// seconds as a scenario takes them); altitude, elevation, alt or elev, in metres where the
// name says so (alt_m, "Altitude (m)"), else feet; country (iso_country), region (iso_region)
// and type for choosing airports; and the optional altitude_hold, folder and kind that this
// tool writes. The separator is the one of comma, semicolon and tab that the first line holds
// most of; a UTF-8 byte-order mark is skipped; "\N" is an empty field. A table without a header
// row, or with one of other names, is read with the names given in columns instead
// ("icao,name,,lat,lon": an empty name skips a column); a first row that makes no position is
// then the file's own header and passed over.
#pragma once
#include <cstddef>
#include <string>

#include "waypoints.h"

// False, with a problem, when there is no header or it names no latitude or longitude column.
// Rows that make no position are problems and left out. Rows with a folder and kind are grouped
// by them ("tour" rows become routes); without them all rows are one group. The columns used
// are told in set.notes.
bool readCsv(const char* data, size_t size, const std::string& columns, WaypointSet& set,
             Findings& findings);

// Every point of every group, with its group as folder and its kind: UTF-8 text, CR LF lines.
std::string writeCsv(const WaypointSet& set);
