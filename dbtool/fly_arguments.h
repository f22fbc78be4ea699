// ./tarvix fly's arguments split between the two programs they are for: a route file and the
// scenario command's options go to tarvix-db, which writes the flight's tour and scenario into
// its folder, and the rest to the host, which flies that scenario. Without a route every
// argument goes to the host as it was given.
#pragma once
#include <ostream>
#include <string>
#include <vector>

struct FlySplit {
    bool route = false;
    std::vector<std::string> scenario; // tarvix-db scenario's: its options, then ROUTE FOLDER
    std::vector<std::string> host;     // the host's, ending with the scenario written
};

// Each value stays with its option, as the scenario command and the host declare them. False,
// with a refusal of one line, for an option without its value or a route's option with no file.
bool splitFlyArguments(const std::vector<std::string>& arguments, const std::string& defaultOut,
                       FlySplit& split, std::string& refusal);

// Whether fly's file is a route for tarvix-db rather than a scenario for the host: a name this
// tool reads by its extension (itself or through GPSBabel), else a file that is not JSON. A
// scenario is named .json or starts with "{"; any other file is left to the scenario command,
// which refuses in one line what is neither.
bool isRouteFile(const std::string& path);

// The split for ./tarvix, as NUL-terminated fields: the number of the scenario command's
// arguments (0 without a route), those arguments, then the host's. Exit statuses as convert's.
int runFlyArguments(const std::vector<std::string>& arguments, const std::string& defaultOut,
                    std::ostream& out, std::ostream& err);
