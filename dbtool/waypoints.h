// The tool's one picture of a waypoint file, whatever its format: groups of waypoints (a folder's
// airports, or one route in flying order), each point with the whole seconds the database
// stores, and the findings about the input, each with the line it came from.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/coordinate_text.h"
#include "findings.h"

// Where a point's altitude comes from, for the flight's summary: the point's own, the plan's
// cruise altitude, the flight's default or its --altitude.
enum class AltitudeFrom : uint8_t { own, cruise, flightDefault, flightOption };

struct Waypoint {
    std::string ident; // UTF-8; for a tour item its sequence number is not kept here
    std::string name;  // UTF-8
    DmsAngle latitude;
    DmsAngle longitude;
    bool hasAltitude;
    int32_t altitude; // feet as the input gives it (below sea level too); checked where written
    bool altitudeHold;
    int32_t line; // line or record of the input it came from
    // What the airport tables say of a place, for choosing the airports of a region.
    std::string country; // ISO code or the country's name, as the table has it
    std::string region;  // ISO region ("US-IL"), when the table has one
    std::string type;    // "large_airport", "VOR", ... as the input names the kind of place
    AltitudeFrom altitudeFrom = AltitudeFrom::own;
    // The ground's elevation here where the input states it (an airport's elevation, a navaid's):
    // an altitude below it would fly the aircraft into the ground.
    bool hasGround = false;
    int32_t groundFeet = 0;
};

struct WaypointGroup {
    std::string name;
    bool isRoute; // a route keeps its order and becomes a tour
    std::vector<Waypoint> points;
};

struct WaypointSet {
    std::vector<WaypointGroup> groups;
    std::vector<std::string> notes; // how the input was read ("columns used: ..."), for a person
};

// A warning for each point whose altitude lies below the ground the input states for it.
void groundFindings(const WaypointGroup& route, Findings& findings);

// A latitude of exactly 0°00'00" converts to the raw value 0, which the gauge takes as no point:
// the reason to leave such a point out, or an empty text for a position the gauge can fly to.
std::string noPointReason(const DmsAngle& latitude, const DmsAngle& longitude);

// Beyond any altitude a file could mean; larger values are taken as no number at all.
constexpr double largestFeet = 3e6;

// Feet from metres, rounded; false for a value no elevation can have (beyond largestFeet).
bool feetFromMetres(double metres, int32_t& feet, std::string& reason);
// Feet from a text of feet, rounded, with the same bounds.
bool feetFromText(const std::string& text, int32_t& feet, std::string& reason);
bool altitudeInRange(int64_t feet, std::string& reason);

// A tour item's identifier column holds its number, so a place's identifier travels in its
// name: "GCLP Gran Canaria". The name a tour item gets: the identifier, a space and the name,
// when the point has an identifier of its own (not a number) that its name does not already
// start with.
std::string tourItemName(const Waypoint& point);

// The identifier at the start of such a name, and the name after it: a first word of 2 to 7
// capitals, digits and inner hyphens, with a capital, followed by more. False (and nothing
// set) for a name that does not start so.
bool identInName(const std::string& name, std::string& ident, std::string& rest);
