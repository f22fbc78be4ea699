// The host's command line: what a run is asked to do, read whole or refused with a message that
// names the option. Paths are kept as given; main resolves them against the caller's folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ScheduledClick {
    long frame;
    int32_t button;
    std::string label;
};

struct HostOptions {
    std::string scenario;    // a scenario file to fly instead of the free flight below
    std::string gauge;       // empty: Tarvix42.gau beside the program
    std::string out;         // the folder that receives everything written; empty: current
    std::string picture;     // free flight: the panel picture; empty: panel.png in out
    std::string events;      // free flight: the key events as CSV; empty: none
    bool allKeyEvents;       // every key event instead of only those that change something
    std::string destination; // IDENT,NAME,LAT,LON handed to the dialog library
    std::vector<ScheduledClick> clicks;
    long frames;
    double latitude; // degrees, north positive
    double longitude;
    double heading; // degrees magnetic
    double speed;   // knots
    double altitudeFeet;
    double windSpeed;
    double windFrom;
    double variation;
    bool window;               // fly in the live panel window instead of writing pictures only
    double closeAfter;         // window: simulated seconds after which it closes, 0 never
    std::string windowPicture; // window: a picture of it as it closes
    int timeRate;              // window: the clock's first rate, 1, 4 or 16
};

enum class CommandLine { run, helpShown, refused };

// Reads argv. helpShown: the help went to standard output. refused: error holds one line that
// names the option and what is wrong with it.
CommandLine parseCommandLine(int argc, char** argv, HostOptions& options, std::string& error);

// Reads a number strictly: the whole text, finite, from low to high, and whole when asked.
bool readNumberText(const std::string& text, double low, double high, bool whole, double& out);
