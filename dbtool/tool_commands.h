// The three commands of tarvix-db over files: each returns the process's exit status and writes
// its report to out and its messages to err. The command line (main) only parses options.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "common/db_record.h"
#include "file_kinds.h"
#include "finding_report.h"
#include "point_filters.h"

// Exit statuses.
constexpr int exitClean = 0;
constexpr int exitProblems = 1;   // problems found, or points left out
constexpr int exitUnreadable = 2; // nothing read or nothing written

// A tour longer than this takes the gauge a long walk through the library at every rebuild.
constexpr size_t longestTour = 999;

// The settings dialog's import adds a tour's folder record before its items, and a database
// holds at most maxTreeRecordNumber records: the most items one tour brings into a database.
constexpr size_t mostTourItems = static_cast<size_t>(maxTreeRecordNumber) - 1;

struct CheckOptions {
    std::string path;
    FileFormat format; // unknown: from the name, else from the contents
    bool json;
    std::string columns = ""; // the names of a headerless table's columns
    Verbosity verbosity = Verbosity::normal;
    std::string viaGpsbabel = ""; // GPSBabel's name of the format to read the file through
};

struct ConvertOptions {
    std::string input;
    std::string output;
    FileFormat from; // unknown: from the name, else from the contents
    FileFormat to;
    int route;         // 1-based route of the input that a tour file gets; 0: the first
    bool holdAltitude; // set the altitude hold flag on every tour item with an altitude
    bool force;        // replace an existing output file
    std::string columns = "";
    Verbosity verbosity = Verbosity::normal;
    PointFilters filters = {};
    size_t maxItems = 0; // split a route into tours of at most this many items; 0: one tour
    std::string viaGpsbabel = "";
    bool track = false; // a GPX file's tracks as its routes, thinned to longestTour points
};

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err);
int runShow(const CheckOptions& options, std::ostream& out, std::ostream& err);
int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

// The route convert writes into a tour file, as the input holds it (each point with its line, the
// source of its altitude and the ground stated for it); false when there is none.
bool routeOfInput(const ConvertOptions& options, WaypointGroup& route);

// The files a route split into parts is written to: OUT, then OUT's name with -2, -3, ...
std::string partPath(const std::string& output, size_t part);

// The whole file, or false with the reason.
bool readWhole(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason);
// Written beside the target and renamed over it, so that a failed write leaves no half file.
bool writeWhole(const std::string& path, const std::string& bytes, std::string& reason);
