// The host's command line: what a run is asked to do, read whole or refused with a message that
// names the option. Which flight it asks for is decided here: a scenario file, a free flight
// built from the options, or, when neither is asked for, the default scenario. Paths are kept as
// given; main resolves them against the caller's folder.
#pragma once
#include <string>
#include <vector>

#include "scenario.h"

enum class FlightSource {
    file,        // the scenario file named on the command line
    options,     // a free flight: HostOptions::flight, built from the start options
    builtInFile, // no scenario file and no free-flight option: the default scenario
};

struct HostOptions {
    FlightSource source;
    std::string scenario;      // FlightSource::file: the file as given
    Scenario flight;           // FlightSource::options: the free flight
    std::string gauge;         // empty: Tarvix42.gau beside the program
    std::string out;           // the folder that receives everything written; empty: defaultOut
    std::string defaultOut;    // a front end's folder for when --out is not given; empty: current
    std::string picture;       // free flight: the panel picture; empty: panel.png in out
    std::string events;        // free flight: the key events as CSV, by frame; empty: none
    bool allKeyEvents;         // every key event instead of only those that change something
    bool window;               // fly in the live panel window instead of writing pictures only
    double closeAfter;         // window: simulated seconds after which it closes, 0 never
    std::string windowPicture; // window: a picture of it as it closes
    int timeRate;              // window: the clock's first rate, 1, 4 or 16
};

// The default scenario's file, in the folder of the program.
constexpr const char builtInScenario[] = "scenarios\\lake-michigan.json";

// The free flight's pace: the simulator's panel frames a simulated second.
constexpr double freeFlightFrameRate = 18;

enum class CommandLine { run, helpShown, refused };

// Reads argv. helpShown: the help went to standard output. refused: error holds one line that
// names the option and what is wrong with it.
CommandLine parseCommandLine(int argc, char** argv, HostOptions& options, std::string& error);

// An option of the command line by one of its names ("--out"), and whether a value follows it:
// what a front end that passes options on needs to keep each value with its option.
struct CommandLineOption {
    std::string name;
    bool takesValue;
};

// Every option parseCommandLine declares, by each of its names.
std::vector<CommandLineOption> commandLineOptions();

// Reads a number strictly: the whole text, finite, from low to high, and whole when asked.
bool readNumberText(const std::string& text, double low, double high, bool whole, double& out);
