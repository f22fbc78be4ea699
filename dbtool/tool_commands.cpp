#include "tool_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "dat_files.h"
#include "db_show.h"
#include "format_table.h"
#include "gpsbabel_bridge.h"

namespace {

// Far above any waypoint file (65,535 records are 4 MiB), low enough never to exhaust memory.
constexpr std::uintmax_t largestInput = 256u << 20;

struct Opened {
    FileFormat format;
    std::vector<uint8_t> bytes;
    bool bridged = false; // GPSBabel wrote the bytes as GPX from a format of its own
    BridgedFile throughGpsbabel = {};
};

bool readWaypoints(FileFormat format, const std::vector<uint8_t>& bytes, const std::string& columns,
                   WaypointSet& set, Findings& findings, size_t trackItems = 0) {
    const FormatRow& row = formatRow(format);
    if (trackItems > 0 && !row.readsTracks) {
        addProblem(findings, 0,
                   std::string("--track takes the tracks of a GPX file; this is a ") + row.shown);
        return false;
    }
    return row.read != nullptr &&
           row.read({bytes.data(), bytes.size(), columns, trackItems}, set, findings);
}

// The points of an opened file; what GPSBabel read is made sound and its notes come first.
bool readOpened(const Opened& opened, const std::string& columns, WaypointSet& set,
                Findings& findings, size_t trackItems = 0) {
    bool readable = readWaypoints(opened.format, opened.bytes, columns, set, findings, trackItems);
    if (opened.bridged) {
        settleBridgedPoints(opened.throughGpsbabel, set, findings);
        set.notes.insert(set.notes.begin(), opened.throughGpsbabel.notes.begin(),
                         opened.throughGpsbabel.notes.end());
    }
    return readable;
}

std::string tooBigForOneTour(size_t points) {
    return withThousands(points) + " points, more than the " + withThousands(mostTourItems) +
           " items one tour holds (the import adds the tour's folder, and a database holds " +
           withThousands(static_cast<size_t>(maxTreeRecordNumber)) +
           " records): split it into tours with --max-items N (999 at most keeps the gauge quick)";
}

// A route too long for one tour cannot be written as one; past 999 items it is slow.
void sizeFindings(const WaypointGroup& group, Findings& findings) {
    const size_t points = group.points.size();
    if (group.isRoute && points > mostTourItems)
        addProblem(findings, 0,
                   "route '" + group.name +
                       "' cannot be written as one tour: " + tooBigForOneTour(points));
    else if (group.isRoute && points > longestTour)
        addWarning(findings, 0,
                   "route '" + group.name + "' has " + withThousands(points) +
                       " points: a tour of more than 999 items takes the gauge a long walk "
                       "through the database at every rebuild; split it with --max-items");
    else if (!group.isRoute && points > static_cast<size_t>(maxTreeRecordNumber))
        addProblem(findings, 0,
                   withThousands(points) + " places, more than a database holds (" +
                       withThousands(static_cast<size_t>(maxTreeRecordNumber)) +
                       " records): as airports, take a region with --country, --region, --type, "
                       "--box or --within N --of IDENT; as a route, split it with --max-items N");
}

// What writing the points into the simulator's files would warn about: the cuts of names and
// identifiers, identifiers that become the same, altitudes that cannot be held, long tours.
void writingFindings(const WaypointSet& set, Findings& findings) {
    std::string unused;
    for (const WaypointGroup& group : set.groups) {
        if (!group.isRoute) {
            unused = writeAirportFile(group, findings);
            sizeFindings(group, findings);
            continue;
        }
        unused = writeTourFile(group, false, findings);
        groundFindings(group, findings);
        sizeFindings(group, findings);
    }
}

// Check of the simulator's files by their own rules; of the others by what the reader finds and
// what writing them into the simulator's files would say.
Findings checkBytes(const CheckOptions& options, const Opened& opened, int32_t& count,
                    bool& readable, std::vector<std::string>& notes) {
    const FormatRow& row = formatRow(opened.format);
    readable = true;
    count = 0;
    if (row.check != nullptr)
        return row.check(opened.bytes.data(), opened.bytes.size(), count);
    Findings findings;
    WaypointSet set;
    if (opened.bytes.empty()) {
        addProblem(findings, 0, "the file is empty");
        return findings;
    }
    readable = readOpened(opened, options.columns, set, findings);
    notes = set.notes;
    for (const WaypointGroup& group : set.groups)
        count += static_cast<int32_t>(group.points.size());
    // As convert refuses such a file, check does not call it clean.
    if (readable && count == 0)
        addProblem(findings, 0, "no point with a position: convert writes nothing");
    writingFindings(set, findings);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings;
}

enum class Bridge { notNeeded, read, refused };

// A file that GPSBabel reads for the tool: one named with --via-gpsbabel, or one known as a format
// of GPSBabel's. Read, opened holds the GPX that GPSBabel wrote.
Bridge throughGpsbabel(const std::string& path, FileFormat given, const std::string& via,
                       Opened& opened, std::ostream& err) {
    const GpsbabelFormat* known =
        given == FileFormat::unknown && via.empty()
            ? gpsbabelFormatOf(path, opened.bytes.data(), opened.bytes.size())
            : nullptr;
    if (known == nullptr && via.empty())
        return Bridge::notNeeded;
    const std::string format = known != nullptr ? known->name : via;
    const std::string shown = known != nullptr ? known->shown : "'" + via + "' file";
    std::string reason;
    if (!readThroughGpsbabel(path, opened.bytes, format, shown,
                             known != nullptr && known->waypointsOnly, opened.throughGpsbabel,
                             reason)) {
        err << path << ": " << reason << "\n";
        return Bridge::refused;
    }
    opened.bridged = true;
    opened.format = FileFormat::gpx;
    opened.bytes.assign(opened.throughGpsbabel.gpx.begin(), opened.throughGpsbabel.gpx.end());
    return Bridge::read;
}

bool openInput(const std::string& path, FileFormat given, const std::string& via, Opened& opened,
               std::ostream& err) {
    std::string reason;
    if (!readWhole(path, opened.bytes, reason)) {
        err << path << ": " << reason << "\n";
        return false;
    }
    const Bridge bridge = throughGpsbabel(path, given, via, opened, err);
    if (bridge != Bridge::notNeeded)
        return bridge == Bridge::read;
    opened.format = resolvedFormat(given, path, opened.bytes.data(), opened.bytes.size());
    if (opened.format == FileFormat::unknown) {
        err << path << ": unknown format: neither its name nor its first lines say what it holds; "
            << "name it TarvixDb.dat, TarvixTr.dat, Tarvix.dat, *.gpx, *.csv, *.pln, *.fms or "
            << "*.fpl, or say which with --format / --from (" << formatOptions()
            << "), or read it through GPSBabel with --via-gpsbabel FORMAT (gpsbabel -^ lists "
            << "its formats)\n";
        return false;
    }
    int32_t binary = firstBinaryLine(opened.bytes.data(), opened.bytes.size());
    if (binary > 0) {
        err << path << ": not a waypoint file: line " << binary
            << " holds control characters, which no " << formatName(opened.format)
            << " has (a picture or a program under another name?)\n";
        return false;
    }
    return true;
}

// The points that the output format can hold, chosen from what the input holds.
WaypointSet pointsFor(FileFormat to, const WaypointSet& set, int route, Findings& notes) {
    if (formatRow(to).writesEverything)
        return set;
    std::vector<const WaypointGroup*> routes, places;
    for (const WaypointGroup& group : set.groups)
        (group.isRoute ? routes : places).push_back(&group);
    WaypointSet chosen;
    if (formatRow(to).holdsRoute && !routes.empty()) {
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
    // A route from places takes them in order; an airport file takes the places, or the route
    // points when there are no places.
    const std::vector<const WaypointGroup*>& taken = places.empty() ? routes : places;
    if (to == FileFormat::airports && !places.empty() && !routes.empty())
        addWarning(notes, 0,
                   "routes are not written: Tarvix.dat holds airports; convert to TarvixTr.dat "
                   "for a tour");
    WaypointGroup all{"Waypoints", formatRow(to).holdsRoute, {}};
    for (const WaypointGroup* group : taken)
        all.points.insert(all.points.end(), group->points.begin(), group->points.end());
    chosen.groups.push_back(all);
    return chosen;
}

// Consecutive parts of at most most items; each part after the first starts where the one
// before ended, so that the tours fly on from one another.
std::vector<WaypointGroup> splitRoute(const WaypointGroup& route, size_t most) {
    std::vector<WaypointGroup> parts;
    if (most < 2 || route.points.size() <= most)
        return {route};
    for (size_t first = 0; first + 1 < route.points.size(); first += most - 1) {
        size_t end = std::min(route.points.size(), first + most);
        WaypointGroup part{route.name + " " + std::to_string(parts.size() + 1), true, {}};
        part.points.assign(route.points.begin() + static_cast<ptrdiff_t>(first),
                           route.points.begin() + static_cast<ptrdiff_t>(end));
        parts.push_back(part);
    }
    return parts;
}

std::string counted(size_t n, const char* what) {
    return withThousands(n) + " " + what + (n == 1 ? "" : "s");
}

size_t pointCount(const WaypointSet& set) {
    size_t count = 0;
    for (const WaypointGroup& group : set.groups)
        count += group.points.size();
    return count;
}

// A tour or airport file that no database could take is not written; each refusal names the
// way that works for what it is.
bool fitsTheDatabase(FileFormat to, size_t written, size_t parts, const std::string& output,
                     std::ostream& err) {
    if (to == FileFormat::tour && parts == 1 && written > mostTourItems) {
        err << output << ": not written: " << tooBigForOneTour(written)
            << "; --max-items 999 writes " << partPath(output, 1) << ", " << partPath(output, 2)
            << ", ...\n";
        return false;
    }
    if (written > size_t(maxTreeRecordNumber) && to == FileFormat::airports) {
        err << output << ": not written: " << withThousands(written)
            << " points, more than the 65,535 records a database can hold; take the airports of "
               "a region with --country, --region, --type, --box or --within N --of IDENT\n";
        return false;
    }
    return true;
}

void tell(const std::string& path, const std::vector<std::string>& notes, Verbosity verbosity,
          std::ostream& err) {
    if (verbosity != Verbosity::quiet)
        for (const std::string& note : notes)
            err << path << ": " << note << "\n";
}

// Whether convert can write to its output, or the message why not: a format the tool does not
// write, the input itself, an empty input.
bool convertible(const ConvertOptions& options, const Opened& opened, FileFormat to,
                 std::ostream& err) {
    std::error_code error;
    if (formatRow(to).write == nullptr) {
        err << options.output
            << (to == FileFormat::database
                    ? ": the tool does not write databases: convert to Tarvix.dat or TarvixTr.dat "
                      "and bring them in with the settings dialog's import buttons\n"
                    : ": unknown format: name it TarvixTr.dat, Tarvix.dat, *.gpx, *.csv, *.pln, "
                      "*.fms or *.fpl, or say which with --to\n");
        return false;
    }
    if (std::filesystem::exists(options.output, error) &&
        std::filesystem::equivalent(options.input, options.output, error)) {
        err << options.output << ": is the input file\n";
        return false;
    }
    if (opened.bytes.empty()) {
        err << options.input << ": the file is empty: nothing to convert\n";
        return false;
    }
    return true;
}

// The input's points with the filters given applied. False when a filter cannot be used;
// readable tells whether the input could be read at all.
bool pointsToConvert(const ConvertOptions& options, const Opened& opened, WaypointSet& set,
                     Findings& findings, bool& readable, std::ostream& err) {
    readable = readOpened(opened, options.columns, set, findings, options.track ? longestTour : 0);
    tell(options.input, set.notes, options.verbosity, err);
    if (!readable || !filtersGiven(options.filters))
        return true;
    std::string told, reason;
    if (!filterPoints(set, options.filters, told, reason)) {
        err << options.input << ": " << reason << "\n";
        return false;
    }
    tell(options.input, {told}, options.verbosity, err);
    return true;
}

// The groups written, a file each: the route split into tours as --max-items says, or the one
// group chosen. Long tours are warned of in notes, and a split is told.
std::vector<WaypointGroup> partsToWrite(const ConvertOptions& options, FileFormat to,
                                        const WaypointSet& chosen, Findings& notes,
                                        std::ostream& err) {
    if (chosen.groups.empty())
        return {};
    std::vector<WaypointGroup> parts = formatRow(to).holdsRoute
                                           ? splitRoute(chosen.groups[0], options.maxItems)
                                           : std::vector<WaypointGroup>{chosen.groups[0]};
    for (const WaypointGroup& part : parts)
        if (to == FileFormat::tour && part.points.size() > longestTour &&
            part.points.size() <= mostTourItems)
            addWarning(notes, 0,
                       "a tour of " + withThousands(part.points.size()) +
                           " items: beyond 999 the gauge takes a long walk through the database "
                           "at every rebuild; split it with --max-items 999");
    if (parts.size() > 1)
        tell(options.input,
             {"the route of " + withThousands(chosen.groups[0].points.size()) +
              " points is split into " + std::to_string(parts.size()) + " tours of at most " +
              std::to_string(options.maxItems) + " items, each starting where the one before ends"},
             options.verbosity, err);
    return parts;
}

// The files of the parts, none of them there already unless --force replaces them.
bool freeToWrite(const std::vector<std::string>& files, bool force, std::ostream& err) {
    std::error_code error;
    for (const std::string& file : files) {
        if (std::filesystem::exists(file, error) && !force) {
            err << file << ": exists already: use --force to replace it\n";
            return false;
        }
    }
    return true;
}

bool writeFiles(const std::vector<std::string>& files, const std::vector<std::string>& contents,
                std::ostream& err) {
    for (size_t k = 0; k < contents.size(); ++k) {
        std::string reason;
        if (!writeWhole(files[k], contents[k], reason)) {
            err << files[k] << ": " << reason << "\n";
            return false;
        }
    }
    return true;
}

// "OUT: 12 points written (GPX)", the tours of a split and the points left out; the exit status.
int tellWritten(const ConvertOptions& options, FileFormat to, size_t written,
                const std::vector<std::string>& files, size_t fileCount, const Findings& findings,
                std::ostream& out) {
    int32_t left = problemCount(findings);
    out << options.output << ": " << counted(written, "point") << " written (" << formatName(to)
        << ")";
    if (fileCount > 1)
        out << " as " << fileCount << " tours: " << files.front() << " to " << files.back();
    if (left > 0)
        out << "; " << counted(static_cast<size_t>(left), "problem") << " in " << options.input
            << ", those points left out";
    out << "\n";
    return left > 0 ? exitProblems : exitClean;
}

} // namespace

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

bool routeOfInput(const ConvertOptions& options, WaypointGroup& route) {
    Opened opened;
    std::ostringstream unused;
    WaypointSet set;
    Findings findings;
    std::string told, reason;
    if (!openInput(options.input, options.from, options.viaGpsbabel, opened, unused) ||
        !readOpened(opened, options.columns, set, findings, options.track ? longestTour : 0) ||
        (filtersGiven(options.filters) && !filterPoints(set, options.filters, told, reason)))
        return false;
    WaypointSet chosen = pointsFor(FileFormat::tour, set, options.route, findings);
    if (chosen.groups.empty())
        return false;
    route = chosen.groups[0];
    return true;
}

std::string partPath(const std::string& output, size_t part) {
    if (part <= 1)
        return output;
    std::filesystem::path p(output);
    std::filesystem::path name =
        p.stem().string() + "-" + std::to_string(part) + p.extension().string();
    return (p.parent_path() / name).string();
}

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    std::ostringstream refusal;
    if (!openInput(options.path, options.format, options.viaGpsbabel, opened, refusal)) {
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
    std::vector<std::string> notes;
    Findings findings = checkBytes(options, opened, count, readable, notes);
    int32_t problems = problemCount(findings);
    int status = !readable ? exitUnreadable : problems > 0 ? exitProblems : exitClean;
    const char* unit = formatRow(opened.format).unit;
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
    tell(options.path, notes, options.verbosity, out);
    reportFindings(options.path, findings, unit, options.verbosity, out);
    int32_t warnings = static_cast<int32_t>(findings.size()) - problems;
    out << options.path << ": " << formatName(opened.format) << ", "
        << counted(static_cast<size_t>(count), unit) << ": "
        << (status == exitUnreadable ? "unreadable"
            : problems == 0          ? "no problems"
                                     : counted(static_cast<size_t>(problems), "problem"));
    if (warnings > 0 && status != exitUnreadable)
        out << ", " << counted(static_cast<size_t>(warnings), "warning");
    out << "\n";
    return status;
}

int runShow(const CheckOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    if (!openInput(options.path, options.format, options.viaGpsbabel, opened, err))
        return exitUnreadable;
    const FormatRow& row = formatRow(opened.format);
    if (row.show != nullptr) {
        out << options.path << ": " << row.show(opened.bytes.data(), opened.bytes.size());
        return exitClean;
    }
    WaypointSet set;
    Findings findings;
    bool readable = readOpened(opened, options.columns, set, findings);
    tell(options.path, set.notes, options.verbosity, err);
    reportFindings(options.path, findings, formatRow(opened.format).unit, options.verbosity, err);
    out << options.path << ": " << counted(pointCount(set), "point") << "\n" << showWaypoints(set);
    return readable ? exitClean : exitUnreadable;
}

int runConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
    Opened opened;
    if (!openInput(options.input, options.from, options.viaGpsbabel, opened, err))
        return exitUnreadable;
    FileFormat to = options.to != FileFormat::unknown ? options.to : formatFromPath(options.output);
    WaypointSet set;
    Findings findings;
    bool readable = false;
    if (!convertible(options, opened, to, err) ||
        !pointsToConvert(options, opened, set, findings, readable, err))
        return exitUnreadable;
    Findings notes;
    WaypointSet chosen = readable ? pointsFor(to, set, options.route, notes) : WaypointSet{};
    std::vector<WaypointGroup> parts = partsToWrite(options, to, chosen, notes, err);
    size_t written = pointCount(chosen);
    std::vector<std::string> files;
    for (size_t k = 0; k < parts.size(); ++k)
        files.push_back(partPath(options.output, k + 1));
    if (!freeToWrite(files, options.force, err))
        return exitUnreadable;
    std::vector<std::string> contents;
    for (const WaypointGroup& part : parts)
        contents.push_back(formatRow(to).write(chosen, part, options.holdAltitude, findings));
    if (formatRow(to).writesEverything)
        contents.resize(std::min<size_t>(contents.size(), 1));
    const char* unit = formatRow(opened.format).unit;
    reportFindings(options.input, findings, unit, options.verbosity, err);
    reportFindings(options.input, notes, unit, options.verbosity, err);
    if (!readable || written == 0 || problemCount(notes) > 0) {
        err << options.output << ": not written: "
            << (readable ? "no points to write" : "the input could not be read") << "\n";
        return exitUnreadable;
    }
    if (!fitsTheDatabase(to, written, parts.size(), options.output, err) ||
        !writeFiles(files, contents, err))
        return exitUnreadable;
    return tellWritten(options, to, written, files, contents.size(), findings, out);
}
