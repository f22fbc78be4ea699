// What kind of waypoint file a file is: from an option, from its name, or from what it holds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "file_format.h"

// From a name given with --format, --from or --to: db, tour, airports, gpx, csv, pln, fms, fpl.
FileFormat formatFromOption(const std::string& name);
// From the file's name: "TarvixDb.dat" (also .bak and .$$$), "TarvixTr.dat", "Tarvix.dat" in
// any case, or the extension .gpx, .csv, .pln, .fms or .fpl.
FileFormat formatFromPath(const std::string& path);
// From the first lines: the top element of an XML file, the header of a plan of fixes, the
// columns of 64-byte lines (a database or tour record, or an airport line), or lines of one
// number of separators (a table, with a header row or without); unknown otherwise.
FileFormat formatFromContent(const uint8_t* data, size_t size);

// The format by option, else by the file's own name, else by its contents. A .pln (or "pln") is
// an XML plan or the older text plan, as its contents show.
FileFormat resolvedFormat(FileFormat given, const std::string& path, const uint8_t* data,
                          size_t size);

// A format that GPSBabel reads and this tool does not, and how a file of it is known for certain:
// by a mark at its start (an XML file's top element, or the first line's opening words, in any
// case and without quotes) or, when its contents are no format of this tool, by an extension
// that no other format uses.
struct GpsbabelFormat {
    const char* name;      // GPSBabel's name of the format (gpsbabel -^ lists them)
    const char* shown;     // what messages call it
    const char* mark;      // "<kml": the top element; otherwise the first line's start
    const char* extension; // "" where the extension is shared with other formats (.wpt)
    bool waypointsOnly;    // GPSBabel reads only waypoints from it
};

// The row of the format a file is known as, or nullptr.
const GpsbabelFormat* gpsbabelFormatOf(const std::string& path, const uint8_t* data, size_t size);

// Whether an extension (".kml") tells a format that GPSBabel reads for the tool.
bool isGpsbabelExtension(const std::string& extension);

// What messages call the format ("database", "GPX").
const char* formatName(FileFormat format);
// The list of option names, for help and refusals.
const char* formatOptions();

// The line (from 1) of the first control character among the first lines, which no text
// waypoint file holds: a picture or program under a waypoint file's name. 0 when there is none.
int32_t firstBinaryLine(const uint8_t* data, size_t size);
