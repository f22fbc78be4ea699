#include "command_options.h"

#include <variant>

#include <CLI/CLI.hpp>

#include "common/limits.h"
#include "file_kinds.h"

namespace {

using Target = std::variant<bool Given::*, std::string Given::*, int Given::*, size_t Given::*,
                            double Given::*, std::vector<std::string> Given::*>;

// One option of one or more commands. A name without a dash is a required positional; a bool
// target is a flag, any other takes a value.
struct OptionRow {
    unsigned commands;
    const char* names;
    Target target;
    std::string help;
    const CLI::Validator* check;
};

const std::string formatHelp =
    std::string(formatOptions()) + " (default: from the file's name, else its contents)";

const char* const columnsHelp =
    "the names of a table's columns when it has no header row or one of other names (which "
    "they replace), comma-separated, an empty name for a column to pass over (e.g. "
    "id,name,city,country,iata,icao,lat,lon,altitude)";

const char* const viaHelp =
    "read the file through GPSBabel as this format of its own (e.g. ozi, gdb, garmin_txt; "
    "gpsbabel -^ lists them); KML, OziExplorer .wpt, .cup, MapSource .gdb and .loc files are "
    "known without it";

const CLI::Range tourItemsRange(size_t{2}, mostTourItems);
const CLI::Range speedRange(slowestSpeedKnots, fastestSpeedKnots);
const CLI::Range altitudeRange(0, highestAltitudeFeet);

// Each command's options, in the order its help lists them.
const OptionRow optionRows[] = {
    {check, "FILE", &Given::file, "the file to check", nullptr},
    {show, "FILE", &Given::file, "the file to show", nullptr},
    {convert, "IN", &Given::file, "the file to read", nullptr},
    {convert, "OUT", &Given::output, "the file to write", nullptr},
    {scenario, "ROUTE", &Given::file, "the route to fly", nullptr},
    {scenario, "FOLDER", &Given::folder, "the flight's folder", nullptr},
    {check, "--json", &Given::json, "the report as JSON on standard output", nullptr},
    {check | show, "--format", &Given::format, formatHelp, nullptr},
    {convert | scenario, "--from", &Given::format, formatHelp, nullptr},
    {convert, "--to", &Given::to, formatHelp, nullptr},
    {everyFileCommand, "--columns", &Given::columns, columnsHelp, nullptr},
    {everyFileCommand, "--via-gpsbabel", &Given::via, viaHelp, nullptr},
    {convert, "--route", &Given::route, "which route of the input becomes the tour (1 = the first)",
     &CLI::PositiveNumber},
    {scenario, "--route", &Given::route, "which route of the input is flown (1 = the first)",
     &CLI::PositiveNumber},
    {convert, "--hold-altitude", &Given::holdAltitude,
     "set the altitude hold flag on every tour item with an altitude (the dialog takes the "
     "flag of the item chosen for the whole tour)",
     nullptr},
    {convert, "--max-items", &Given::maxItems,
     "split a longer route into consecutive tours of at most N items: OUT, then OUT's name "
     "with -2, -3, ...",
     &tourItemsRange},
    {convert, "--country", &Given::countries,
     "only places of these countries (codes or names, comma-separated)", nullptr},
    {convert, "--region", &Given::regions, "only places of these regions (e.g. US-IL)", nullptr},
    {convert, "--type", &Given::types,
     "only places of these kinds (e.g. large_airport,medium_airport)", nullptr},
    {convert, "--box", &Given::box, "only places inside south,west,north,east (decimal degrees)",
     nullptr},
    {convert, "--within", &Given::withinNm, "only places within N nautical miles of --of",
     &CLI::PositiveNumber},
    {convert, "--of", &Given::of, "the centre of --within: an identifier of the input or LAT,LON",
     nullptr},
    {convert, "--track", &Given::track,
     "convert a GPX file's track (trk) instead of its routes: the track's points, thinned "
     "to the 999 that follow its shape best (--route N chooses the track)",
     nullptr},
    {scenario, "--track", &Given::track,
     "fly a GPX file's track (trk) instead of its routes: the track's points, thinned to the "
     "999 that follow its shape best (--route N chooses the track)",
     nullptr},
    {convert, "-f,--force", &Given::force, "replace OUT when it exists", nullptr},
    {scenario, "--max-items", &Given::maxItems,
     "split a longer route into tours of at most N items, as convert does, and fly the first",
     &tourItemsRange},
    {scenario, "--speed", &Given::speed, "airspeed in knots (default 150)", &speedRange},
    {scenario, "--altitude", &Given::altitude,
     "feet for every item (default: the route's own altitudes, 3000 ft where it has none)",
     &altitudeRange},
    {everyFileCommand, "-q,--quiet", &Given::quiet, "only the problems, counted by kind", nullptr},
    {everyFileCommand, "-v,--verbose", &Given::verbose,
     "every warning and problem on a line of its own", nullptr},
    {flyArgs, "--default-out", &Given::folder, "the flight's folder when the arguments name none",
     nullptr},
    {flyArgs, "ARGUMENTS", &Given::arguments, "fly's arguments, after --", nullptr},
};

bool isPositional(const OptionRow& row) {
    return row.names[0] != '-';
}

bool takesValue(const OptionRow& row) {
    return !std::holds_alternative<bool Given::*>(row.target);
}

void declareOption(CLI::App& command, const OptionRow& row, Given& given) {
    CLI::Option* option = std::visit(
        [&](auto member) -> CLI::Option* {
            if constexpr (std::is_same_v<decltype(member), bool Given::*>)
                return command.add_flag(row.names, given.*member, row.help);
            else
                return command.add_option(row.names, given.*member, row.help);
        },
        row.target);
    if (isPositional(row) && !std::holds_alternative<std::vector<std::string> Given::*>(row.target))
        option->required();
    if (row.check != nullptr)
        option->check(*row.check);
}

} // namespace

const std::vector<CommandRow>& commandTable() {
    static const std::vector<CommandRow> rows = {
        {check, "check",
         "every problem of TarvixDb.dat, TarvixTr.dat, Tarvix.dat (or of another waypoint file, "
         "with what converting it would warn about) with its record or line number",
         true},
        {show, "show",
         "the database as an indented tree: folders, airports, tour items, the current choice; the "
         "points of any other waypoint file",
         true},
        {convert, "convert",
         "any waypoint file into TarvixTr.dat (a route) or Tarvix.dat (airports), and back into "
         "GPX, CSV or a flight plan",
         true},
        {scenario, "scenario",
         "a route (GPX, flight plan, CSV) as FOLDER/TarvixTr.dat and a scenario beside it "
         "(route-flight.json) that brings it in with the settings dialog's Tr Imp and flies the "
         "whole tour coupled, with altitude hold",
         true},
        {flyArgs, "fly-args",
         "./tarvix fly's arguments: whether they name a route, and which of them go to the "
         "scenario command and which to the host, written NUL-separated",
         false},
    };
    return rows;
}

void declareOptions(CLI::App& command, unsigned bit, Given& given) {
    for (const OptionRow& row : optionRows)
        if ((row.commands & bit) != 0)
            declareOption(command, row, given);
}

std::vector<CommandOption> commandOptions(unsigned bit) {
    std::vector<CommandOption> options;
    for (const OptionRow& row : optionRows)
        if ((row.commands & bit) != 0 && !isPositional(row))
            options.push_back({row.names, takesValue(row)});
    return options;
}
