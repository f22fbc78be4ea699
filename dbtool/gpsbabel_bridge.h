// Files of the formats that GPSBabel reads and this tool does not (KML, handheld GPS units'
// waypoint files, glider pilots' .cup files, ...): GPSBabel writes the file as GPX into a
// temporary file, which the tool's own GPX reader then reads and checks like any other GPX.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "waypoints.h"

// What GPSBabel made of a file.
struct BridgedFile {
    std::string gpx;                // the GPX it wrote
    std::vector<std::string> notes; // how the file was read and what GPSBabel warned, for a person
    bool altitudesInFeet = false;   // elevations in feet, which GPSBabel reads as metres
    bool namedByName = false;       // a place's name is its name; the description is free text
};

// Runs GPSBabel (the program TARVIX_GPSBABEL names, else gpsbabel from PATH) with an argument
// vector, no shell: path read as format (GPSBabel's name, with its options: "kml",
// "ozi,datum=WGS 84"), its tracks made routes (a KML path is a track to GPSBabel and a route to a
// pilot). bytes are the file's contents, shown is what messages call the format. False, with the
// reason, when GPSBabel is missing, fails or writes nothing.
bool readThroughGpsbabel(const std::string& path, const std::vector<uint8_t>& bytes,
                         const std::string& format, const std::string& shown, bool waypointsOnly,
                         BridgedFile& file, std::string& reason);

// The points as GPSBabel's reading leaves them, made sound: a KML placemark named by its name,
// not by its description (free text, often HTML), the quotes it leaves around texts taken off,
// an elevation of exactly 0 (what it writes where the file has none) and elevations it
// read in the wrong unit passed over, with a warning.
void settleBridgedPoints(const BridgedFile& file, WaypointSet& set, Findings& findings);
