#include "tool_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "dat_files.h"
#include "db_check.h"
#include "db_show.h"
#include "csv_format.h"
#include "gpx_format.h"

namespace {

// Far above any waypoint file (65,535 records are 4 MiB), low enough never to exhaust memory.
constexpr std::uintmax_t largestInput = 256u << 20;
constexpr size_t mostPoints = 65535;

// Each format with the name an option gives it, the file names and extension that tell it,
// and what messages call it.
struct FormatNames {
    FileFormat format;
    const char* option;
    const char* files[3];
    const char* extension;
    const char* shown;
};

const FormatNames formatNames[] = {
    {FileFormat::database, "db", {"tarvixdb.dat", "tarvixdb.bak", "tarvixdb.$$$"}, "", "database"},
    {FileFormat::tour, "tour", {"tarvixtr.dat"}, "", "tour file"},
    {FileFormat::airports, "airports", {"tarvix.dat"}, "", "airport file"},
    {FileFormat::gpx, "gpx", {}, ".gpx", "GPX"},
    {FileFormat::csv, "csv", {}, ".csv", "CSV"},
};

const char* formatName(FileFormat format) {
    for (const FormatNames& f : formatNames)
        if (f.format == format)
            return f.shown;
    return "unknown";
}

// The whole file, or false with the reason.
bool readWhole(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        reason = "is a folder, not a file";
        return false;
    }
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        reason = error.message();
        return false;
    }
    if (size > largestInput) {
        reason = "larger than 256 MiB: not a waypoint file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        reason = "cannot be read";
        return false;
    }
    return true;
}

// Written beside the target and renamed over it, so that a failed write leaves no half file.
bool writeWhole(const std::string& path, const std::string& bytes, std::string& reason) {
    std::string scratch = path + ".tarvix-db-new";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            reason = "cannot be written";
            std::remove(scratch.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(scratch, path, error);
    if (error) {
        reason = error.message();
        std::remove(scratch.c_str());
        return false;
    }
    return true;
}

FileFormat resolvedFormat(FileFormat given, const std::string& path) {
    return given != FileFormat::unknown ? given : formatFromPath(path);
}

void printFindings(const std::string& path, const Findings& findings, const char* unit,
                   std::ostream& err) {
    for (const Finding& f : findings) {
        err << path;
        if (f.line > 0)
            err << ": " << unit << " " << f.line;
        err << ": " << (f.warning ? "warning: " : "") << f.reason << "\n";
    }
}

const char* unitOf(FileFormat format) {
    return format == FileFormat::database || format == FileFormat::tour ? "record" : "line";
}

bool readWaypoints(FileFormat format, const std::vector<uint8_t>& bytes, WaypointSet& set,
                   Findings& findings) {
    const char* text = reinterpret_cast<const char*>(bytes.data());
    switch (format) {
    case FileFormat::database:
        readDatabaseFile(bytes.data(), bytes.size(), set, findings);
        return true;
    case FileFormat::tour:
        readTourFile(bytes.data(), bytes.size(), set, findings);
        return true;
    case FileFormat::airports:
        readAirportFile(bytes.data(), bytes.size(), set, findings);
        return true;
    case FileFormat::gpx:
        return readGpx(text, bytes.size(), set, findings);
    case FileFormat::csv:
        return readCsv(text, bytes.size(), set, findings);
    case FileFormat::unknown:
        break;
    }
    return false;
}

// Check of the simulator's files by their own rules; of GPX and CSV by what the reader finds.
Findings checkBytes(FileFormat format, const std::vector<uint8_t>& bytes, int32_t& count,
                    bool& readable) {
    readable = true;
    count = 0;
    if (format == FileFormat::database || format == FileFormat::tour)
        return checkRecordFile(bytes.data(), bytes.size(), format == FileFormat::tour, count);
    if (format == FileFormat::airports)
        return checkAirportFile(bytes.data(), bytes.size(), count);
    Findings findings;
    WaypointSet set;
    if (bytes.empty()) {
        addProblem(findings, 0, "the file is empty");
        return findings;
    }
    readable = readWaypoints(format, bytes, set, findings);
    for (const WaypointGroup& group : set.groups)
        count += static_cast<int32_t>(group.points.size());
    return findings;
}

struct Opened {
    FileFormat format;
    std::vector<uint8_t> bytes;
};

bool openInput(const std::string& path, FileFormat given, Opened& opened, std::ostream& err) {
    opened.format = resolvedFormat(given, path);
    if (opened.format == FileFormat::unknown) {
        err << path << ": unknown format: name it TarvixDb.dat, TarvixTr.dat, Tarvix.dat, "
            << "*.gpx or *.csv, or say which with --format / --from (db, tour, airports, gpx, "
            << "csv)\n";
        return false;
    }
    std::string reason;
    if (!readWhole(path, opened.bytes, reason)) {
        err << path << ": " << reason << "\n";
        return false;
    }
    return true;
}

// The points that the output format can hold, chosen from what the input holds.
WaypointSet pointsFor(FileFormat to, const WaypointSet& set, int route, Findings& notes) {
    if (to == FileFormat::gpx || to == FileFormat::csv)
        return set;
    std::vector<const WaypointGroup*> routes, places;
    for (const WaypointGroup& group : set.groups)
        (group.isRoute ? routes : places).push_back(&group);
    WaypointSet chosen;
    if (to == FileFormat::tour && !routes.empty()) {
        size_t index = route > 0 ? static_cast<size_t>(route - 1) : 0;
        if (index >= routes.size()) {
            addProblem(notes, 0,
                       "there is no route " + std::to_string(route) + ": the input has " +
                           std::to_string(routes.size()));
            return chosen;
        }
        if (routes.size() > 1 && route == 0)
            addWarning(notes, 0,
                       "the input has " + std::to_string(routes.size()) +
                           " routes: wrote route 1 '" + routes[0]->name +
                           "'; choose another with --route N");
        chosen.groups.push_back(*routes[index]);
        return chosen;
    }
    // A tour file from places takes them in order; an airport file takes the places, or the
    // route points when there are no places.
    const std::vector<const WaypointGroup*>& taken = to == FileFormat::airports && !places.empty()
                                                         ? places
                                                     : places.empty() ? routes
                                                                      : places;
    if (to == FileFormat::airports && !places.empty() && !routes.empty())
        addWarning(notes, 0,
                   "routes are not written: Tarvix.dat holds airports; convert to TarvixTr.dat "
                   "for a tour");
    WaypointGroup all{"Waypoints", to == FileFormat::tour, {}};
    for (const WaypointGroup* group : taken)
        all.points.insert(all.points.end(), group->points.begin(), group->points.end());
    chosen.groups.push_back(all);
    return chosen;
}

std::string counted(size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

size_t pointCount(const WaypointSet& set) {
    size_t count = 0;
    for (const WaypointGroup& group : set.groups)
        count += group.points.size();
    return count;
}

} // namespace

FileFormat formatFromOption(const std::string& name) {
    const std::string given = asciiLowered(name);
    for (const FormatNames& f : formatNames)
        if (given == f.option)
            return f.format;
    return given == "database" ? FileFormat::database : FileFormat::unknown;
}

FileFormat formatFromPath(const std::string& path) {
    std::filesystem::path p(path);
    const std::string name = asciiLowered(p.filename().string());
    const std::string extension = asciiLowered(p.extension().string());
    for (const FormatNames& f : formatNames) {
        for (const char* file : f.files)
            if (file != nullptr && name == file)
                return f.format;
        if (*f.extension != '\0' && extension == f.extension)
            return f.format;
    }
    return FileFormat::unknown;
}

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    std::ostringstream refusal;
    if (!openInput(options.path, options.format, opened, refusal)) {
        err << refusal.str();
        // A machine reading the report learns the refusal from it too.
        if (options.json) {
            std::string reason = refusal.str();
            reason.erase(reason.find_last_not_of('\n') + 1);
            out << nlohmann::json{{"file", options.path},
                                  {"status", exitUnreadable},
                                  {"error", reason}}
                       .dump(2)
                << "\n";
        }
        return exitUnreadable;
    }
    int32_t count = 0;
    bool readable = true;
    Findings findings = checkBytes(opened.format, opened.bytes, count, readable);
    int32_t problems = problemCount(findings);
    int status = !readable ? exitUnreadable : problems > 0 ? exitProblems : exitClean;
    const char* unit = unitOf(opened.format);
    if (options.json) {
        nlohmann::json report;
        report["file"] = options.path;
        report["format"] = formatName(opened.format);
        report[std::string(unit) + "s"] = count;
        report["status"] = status;
        report["problems"] = nlohmann::json::array();
        for (const Finding& f : findings)
            report["problems"].push_back(
                {{unit, f.line}, {"reason", f.reason}, {"warning", f.warning}});
        out << report.dump(2) << "\n";
        return status;
    }
    printFindings(options.path, findings, unit, out);
    out << options.path << ": " << formatName(opened.format) << ", "
        << counted(static_cast<size_t>(count), unit) << ": "
        << (status == exitUnreadable ? "unreadable"
            : problems == 0          ? "no problems"
                                     : counted(static_cast<size_t>(problems), "problem"))
        << "\n";
    return status;
}

int runShow(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    if (!openInput(options.path, options.format, opened, err))
        return exitUnreadable;
    if (opened.format == FileFormat::database || opened.format == FileFormat::tour) {
        out << options.path << ": "
            << showRecordFile(opened.bytes.data(), opened.bytes.size(),
                              opened.format == FileFormat::tour);
        return exitClean;
    }
    WaypointSet set;
    Findings findings;
    bool readable = readWaypoints(opened.format, opened.bytes, set, findings);
    printFindings(options.path, findings, unitOf(opened.format), err);
    out << options.path << ": " << counted(pointCount(set), "point") << "\n" << showWaypoints(set);
    return readable ? exitClean : exitUnreadable;
}

int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    if (!openInput(options.input, options.from, opened, err))
        return exitUnreadable;
    FileFormat to = resolvedFormat(options.to, options.output);
    std::error_code error;
    if (to == FileFormat::unknown || to == FileFormat::database) {
        err << options.output
            << (to == FileFormat::database
                    ? ": the tool does not write databases: convert to Tarvix.dat or TarvixTr.dat "
                      "and bring them in with the settings dialog's import buttons\n"
                    : ": unknown format: name it TarvixTr.dat, Tarvix.dat, *.gpx or *.csv, or "
                      "say which with --to (tour, airports, gpx, csv)\n");
        return exitUnreadable;
    }
    if (std::filesystem::exists(options.output, error) && !options.force) {
        err << options.output << ": exists already: use --force to replace it\n";
        return exitUnreadable;
    }
    if (std::filesystem::exists(options.output, error) &&
        std::filesystem::equivalent(options.input, options.output, error)) {
        err << options.output << ": is the input file\n";
        return exitUnreadable;
    }
    if (opened.bytes.empty()) {
        err << options.input << ": the file is empty: nothing to convert\n";
        return exitUnreadable;
    }
    WaypointSet set;
    Findings findings;
    bool readable = readWaypoints(opened.format, opened.bytes, set, findings);
    Findings notes;
    WaypointSet chosen = readable ? pointsFor(to, set, options.route, notes) : WaypointSet{};
    std::string bytes;
    if (to == FileFormat::gpx)
        bytes = writeGpx(chosen);
    else if (to == FileFormat::csv)
        bytes = writeCsv(chosen);
    else if (!chosen.groups.empty() && to == FileFormat::tour)
        bytes = writeTourFile(chosen.groups[0], options.holdAltitude, findings);
    else if (!chosen.groups.empty())
        bytes = writeAirportFile(chosen.groups[0], findings);
    printFindings(options.input, findings, unitOf(opened.format), err);
    printFindings(options.input, notes, unitOf(opened.format), err);
    size_t written = pointCount(chosen);
    if (!readable || written == 0 || problemCount(notes) > 0) {
        err << options.output << ": not written: "
            << (readable ? "no points to write" : "the input could not be read") << "\n";
        return exitUnreadable;
    }
    if (written > mostPoints && (to == FileFormat::tour || to == FileFormat::airports)) {
        err << options.output << ": not written: " << written
            << " points, more than the 65,535 records a database can hold\n";
        return exitUnreadable;
    }
    std::string reason;
    if (!writeWhole(options.output, bytes, reason)) {
        err << options.output << ": " << reason << "\n";
        return exitUnreadable;
    }
    int32_t left = problemCount(findings);
    out << options.output << ": " << counted(written, "point") << " written (" << formatName(to)
        << ")";
    if (left > 0)
        out << "; " << counted(static_cast<size_t>(left), "problem") << " in " << options.input
            << ", those points left out";
    out << "\n";
    return left > 0 ? exitProblems : exitClean;
}
