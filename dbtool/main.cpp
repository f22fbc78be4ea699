// tarvix-db: checks a waypoint database and converts waypoint, route and flight plan files to and
// from the simulator's own files. Options only; the commands live in tool_commands and
// route_flight.
#include <iostream>

#include <CLI/CLI.hpp>

#include "common/limits.h"
#include "route_flight.h"
#include "tool_commands.h"

namespace {

FileFormat formatOption(const std::string& given) {
    return given.empty() ? FileFormat::unknown : formatFromOption(given);
}

std::string formatHelp() {
    return std::string(formatOptions()) + " (default: from the file's name, else its contents)";
}

const char* columnsHelp =
    "the names of a table's columns when it has no header row or one of other names (which "
    "they replace), comma-separated, an empty name for a column to pass over (e.g. "
    "id,name,city,country,iata,icao,lat,lon,altitude)";

const char* trackHelp =
    "fly a GPX file's track (trk) instead of its routes: the track's points, thinned to the 999 "
    "that follow its shape best (--route N chooses the track)";

const char* viaHelp =
    "read the file through GPSBabel as this format of its own (e.g. ozi, gdb, garmin_txt; "
    "gpsbabel -^ lists them); KML, OziExplorer .wpt, .cup, MapSource .gdb and .loc files are "
    "known without it";

// Why a --via-gpsbabel given with a command cannot be used, or nothing.
std::string viaRefusal(const std::string& via, const std::string& format) {
    if (!via.empty() && !format.empty())
        return "--via-gpsbabel names GPSBabel's format, --format and --from this tool's: give "
               "one of them";
    if (!via.empty() && via.front() == '-')
        return "--via-gpsbabel '" + via + "' is not a format name (gpsbabel -^ lists them)";
    return "";
}

void addVerbosity(CLI::App* command, bool& quiet, bool& verbose) {
    command->add_flag("-q,--quiet", quiet, "only the problems, counted by kind");
    command->add_flag("-v,--verbose", verbose, "every warning and problem on a line of its own");
}

Verbosity verbosityOf(bool quiet, bool verbose) {
    return verbose ? Verbosity::verbose : quiet ? Verbosity::quiet : Verbosity::normal;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks a Tarvix waypoint database and converts waypoint files, routes and "
                 "flight plans (GPX, CSV, XML flight plans, plans of fixes, GPS routes) to and "
                 "from the simulator's Tarvix.dat and TarvixTr.dat.\n"
                 "Exit status: 0 clean, 1 problems found or points left out, 2 unreadable or "
                 "nothing written.",
                 "tarvix-db"};
    app.require_subcommand(1);
    CheckOptions check{"", FileFormat::unknown, false};
    std::string checkFormat, showFormat, fromFormat, toFormat;
    bool quiet = false, verbose = false;
    CLI::App* checkCommand = app.add_subcommand(
        "check", "every problem of TarvixDb.dat, TarvixTr.dat, Tarvix.dat (or of another "
                 "waypoint file, with what converting it would warn about) with its record or "
                 "line number");
    checkCommand->add_option("FILE", check.path, "the file to check")->required();
    checkCommand->add_flag("--json", check.json, "the report as JSON on standard output");
    checkCommand->add_option("--format", checkFormat, formatHelp());
    checkCommand->add_option("--columns", check.columns, columnsHelp);
    checkCommand->add_option("--via-gpsbabel", check.viaGpsbabel, viaHelp);
    addVerbosity(checkCommand, quiet, verbose);

    CheckOptions show{"", FileFormat::unknown, false};
    CLI::App* showCommand = app.add_subcommand(
        "show", "the database as an indented tree: folders, airports, tour items, the current "
                "choice; the points of any other waypoint file");
    showCommand->add_option("FILE", show.path, "the file to show")->required();
    showCommand->add_option("--format", showFormat, formatHelp());
    showCommand->add_option("--columns", show.columns, columnsHelp);
    showCommand->add_option("--via-gpsbabel", show.viaGpsbabel, viaHelp);
    addVerbosity(showCommand, quiet, verbose);

    ConvertOptions convert{"", "", FileFormat::unknown, FileFormat::unknown, 0, false, false};
    CLI::App* convertCommand = app.add_subcommand(
        "convert", "any waypoint file into TarvixTr.dat (a route) or Tarvix.dat (airports), and "
                   "back into GPX, CSV or a flight plan");
    convertCommand->add_option("IN", convert.input, "the file to read")->required();
    convertCommand->add_option("OUT", convert.output, "the file to write")->required();
    convertCommand->add_option("--from", fromFormat, formatHelp());
    convertCommand->add_option("--to", toFormat, formatHelp());
    convertCommand->add_option("--columns", convert.columns, columnsHelp);
    convertCommand->add_option("--via-gpsbabel", convert.viaGpsbabel, viaHelp);
    convertCommand
        ->add_option("--route", convert.route,
                     "which route of the input becomes the tour (1 = the first)")
        ->check(CLI::PositiveNumber);
    convertCommand->add_flag("--hold-altitude", convert.holdAltitude,
                             "set the altitude hold flag on every tour item with an altitude "
                             "(the dialog takes the flag of the item chosen for the whole tour)");
    convertCommand
        ->add_option("--max-items", convert.maxItems,
                     "split a longer route into consecutive tours of at most N items: OUT, "
                     "then OUT's name with -2, -3, ...")
        ->check(CLI::Range(size_t{2}, mostTourItems));
    convertCommand->add_option("--country", convert.filters.countries,
                               "only places of these countries (codes or names, comma-separated)");
    convertCommand->add_option("--region", convert.filters.regions,
                               "only places of these regions (e.g. US-IL)");
    convertCommand->add_option("--type", convert.filters.types,
                               "only places of these kinds (e.g. large_airport,medium_airport)");
    convertCommand->add_option("--box", convert.filters.box,
                               "only places inside south,west,north,east (decimal degrees)");
    convertCommand
        ->add_option("--within", convert.filters.withinNm,
                     "only places within N nautical miles of --of")
        ->check(CLI::PositiveNumber);
    convertCommand->add_option("--of", convert.filters.of,
                               "the centre of --within: an identifier of the input or LAT,LON");
    convertCommand->add_flag("--track", convert.track, trackHelp);
    convertCommand->add_flag("-f,--force", convert.force, "replace OUT when it exists");
    addVerbosity(convertCommand, quiet, verbose);

    FlightOptions flight{};
    std::string flightFormat;
    CLI::App* flightCommand = app.add_subcommand(
        "scenario", "a route (GPX, flight plan, CSV) as FOLDER/TarvixTr.dat and a scenario beside "
                    "it (route-flight.json) that brings it in with the settings dialog's Tr Imp "
                    "and flies the whole tour coupled, with altitude hold");
    flightCommand->add_option("ROUTE", flight.convert.input, "the route to fly")->required();
    flightCommand->add_option("FOLDER", flight.folder, "the flight's folder")->required();
    flightCommand->add_option("--from", flightFormat, formatHelp());
    flightCommand->add_option("--columns", flight.convert.columns, columnsHelp);
    flightCommand->add_option("--via-gpsbabel", flight.convert.viaGpsbabel, viaHelp);
    flightCommand
        ->add_option("--route", flight.convert.route,
                     "which route of the input is flown (1 = the first)")
        ->check(CLI::PositiveNumber);
    flightCommand->add_flag("--track", flight.convert.track, trackHelp);
    flightCommand
        ->add_option("--max-items", flight.convert.maxItems,
                     "split a longer route into tours of at most N items, as convert does, and "
                     "fly the first")
        ->check(CLI::Range(size_t{2}, mostTourItems));
    flightCommand->add_option("--speed", flight.choices.speed, "airspeed in knots (default 150)")
        ->check(CLI::Range(slowestSpeedKnots, fastestSpeedKnots));
    flightCommand
        ->add_option("--altitude", flight.choices.altitude,
                     "feet for every item (default: the route's own altitudes, 3000 ft where "
                     "it has none)")
        ->check(CLI::Range(0, highestAltitudeFeet));
    addVerbosity(flightCommand, quiet, verbose);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return exitUnreadable;
    }
    for (const std::string* given :
         {&checkFormat, &showFormat, &fromFormat, &toFormat, &flightFormat}) {
        if (!given->empty() && formatFromOption(*given) == FileFormat::unknown) {
            std::cerr << "tarvix-db: unknown format '" << *given << "': " << formatOptions()
                      << "\n";
            return exitUnreadable;
        }
    }
    const std::pair<const std::string*, const std::string*> vias[] = {
        {&check.viaGpsbabel, &checkFormat},
        {&show.viaGpsbabel, &showFormat},
        {&convert.viaGpsbabel, &fromFormat},
        {&flight.convert.viaGpsbabel, &flightFormat}};
    for (const auto& [via, format] : vias) {
        if (!viaRefusal(*via, *format).empty()) {
            std::cerr << "tarvix-db: " << viaRefusal(*via, *format) << "\n";
            return exitUnreadable;
        }
    }
    if (quiet && verbose) {
        std::cerr << "tarvix-db: --quiet and --verbose together: choose one\n";
        return exitUnreadable;
    }
    Verbosity verbosity = verbosityOf(quiet, verbose);
    if (*checkCommand) {
        check.format = formatOption(checkFormat);
        check.verbosity = verbosity;
        return runCheck(check, std::cout, std::cerr);
    }
    if (*showCommand) {
        show.format = formatOption(showFormat);
        show.verbosity = verbosity;
        return runShow(show, std::cout, std::cerr);
    }
    if (*flightCommand) {
        flight.convert.from = formatOption(flightFormat);
        flight.convert.verbosity = verbosity;
        return runRouteFlight(flight, std::cout, std::cerr);
    }
    convert.from = formatOption(fromFormat);
    convert.to = formatOption(toFormat);
    convert.verbosity = verbosity;
    if (!convert.filters.of.empty() && convert.filters.withinNm <= 0) {
        std::cerr << "tarvix-db: --of needs --within N (nautical miles)\n";
        return exitUnreadable;
    }
    return runConvert(convert, std::cout, std::cerr);
}
