// The waypoint file formats of tarvix-db, one row each: what options and messages call it, the
// names that tell it, how its contents tell it, how it is read, checked, shown and written, and
// what a finding's number counts. check, show, convert and scenario look a format up here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file_format.h"
#include "waypoints.h"

// What a reader is given: the file's bytes, the names of a headerless table's columns, and for a
// GPX file's tracks the most points a track keeps (0: its routes, not its tracks).
struct ReadInput {
    const uint8_t* data;
    size_t size;
    const std::string& columns;
    size_t trackItems;
};

struct FormatRow {
    FileFormat format;
    const char* option;    // the name --format, --from and --to give it
    const char* files[3];  // whole file names that tell it, in lower case
    const char* extension; // ".gpx"; "" when only its file names tell it
    // How its contents tell it: an XML file's top element ("<gpx"), the first line's opening
    // words ("[flightplan]"), or nullptr where the columns of its lines, a table's separators or
    // a plan's header do (formatFromContent).
    const char* mark;
    const char* shown; // what messages call it
    const char* unit;  // what a finding's number counts: "record" or "line"
    bool (*read)(const ReadInput& input, WaypointSet& set, Findings& findings);
    bool readsTracks; // --track takes its tracks
    // Its own rules for check and show, where it has them (the simulator's files): nullptr, the
    // points read and what writing them would say.
    Findings (*check)(const uint8_t* data, size_t size, int32_t& count);
    std::string (*show)(const uint8_t* data, size_t size);
    // The bytes of one file: every group (writesEverything) or one route or set of places (part)
    // of the points chosen. nullptr: the tool does not write it.
    std::string (*write)(const WaypointSet& chosen, const WaypointGroup& part, bool holdAltitude,
                         Findings& findings);
    bool writesEverything; // every group of the input, places and routes, in one file
    bool holdsRoute;       // written, it is one route in flying order (a tour, a plan)
};

const std::vector<FormatRow>& formatTable();

// The row of a format; for unknown, a row that reads, checks and writes nothing.
const FormatRow& formatRow(FileFormat format);
