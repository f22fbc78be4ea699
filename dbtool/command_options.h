// tarvix-db's commands and their options, declared in one table (command, option, whether it
// takes a value, help) that the command line and the split of ./tarvix fly's arguments both read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "route_flight.h"

namespace CLI {
class App;
}

// What one run was given, whichever command it names: an option shared by several commands has
// one field, as only one command runs.
struct Given {
    std::string file, output, folder;
    std::string format, to, columns, via;
    bool json = false, quiet = false, verbose = false, holdAltitude = false, track = false,
         force = false;
    int route = 0;
    size_t maxItems = 0;
    double speed = defaultSpeedKnots;
    int altitude = -1; // feet; below 0: the route's own
    std::string countries, regions, types, box, of;
    double withinNm = 0;
    std::vector<std::string> arguments;
};

// The commands, each a bit of an option's set of commands.
enum CommandBit : unsigned { check = 1, show = 2, convert = 4, scenario = 8, flyArgs = 16 };
constexpr unsigned everyFileCommand = check | show | convert | scenario;

struct CommandRow {
    unsigned bit;
    const char* name;
    const char* help;
    bool listed; // in the help; fly-args answers ./tarvix fly alone
};

// The commands, in the order the help lists them.
const std::vector<CommandRow>& commandTable();

// Adds the options of one command (its bit) to it, each writing into given.
void declareOptions(CLI::App& command, unsigned bit, Given& given);

// An option of a command as a caller that passes it on sees it: its names as declared ("--from",
// "-q,--quiet") and whether a value follows it.
struct CommandOption {
    std::string names;
    bool takesValue;
};

// The options (not the positionals) of one command, by its bit.
std::vector<CommandOption> commandOptions(unsigned bit);
