// The three commands of tarvix-db over files: each returns the process's exit status and writes
// its report to out and its messages to err. The command line (main) only parses options.
#pragma once
#include <ostream>
#include <string>

enum class FileFormat { unknown, database, tour, airports, gpx, csv };

// From a name given with --format, --from or --to: db, tour, airports, gpx, csv.
FileFormat formatFromOption(const std::string& name);
// From the file's name: "TarvixDb.dat" (also .bak and .$$$), "TarvixTr.dat", "Tarvix.dat" in
// any case, or the extension .gpx or .csv.
FileFormat formatFromPath(const std::string& path);

// Exit statuses.
constexpr int exitClean = 0;
constexpr int exitProblems = 1;   // problems found, or points left out
constexpr int exitUnreadable = 2; // nothing read or nothing written

struct CheckOptions {
    std::string path;
    FileFormat format; // unknown: from the name
    bool json;
};

struct ConvertOptions {
    std::string input;
    std::string output;
    FileFormat from; // unknown: from the name
    FileFormat to;
    int route;         // 1-based route of the input that a tour file gets; 0: the first
    bool holdAltitude; // set the altitude hold flag on every tour item with an altitude
    bool force;        // replace an existing output file
};

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err);
int runShow(const CheckOptions& options, std::ostream& out, std::ostream& err);
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);
