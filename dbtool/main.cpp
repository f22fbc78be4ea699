// tarvix-db: checks a waypoint database and converts waypoint, route and flight plan files to and
// from the simulator's own files. Options only, declared by command in one table; the commands
// live in tool_commands, route_flight and fly_arguments.
#include <iostream>

#include <CLI/CLI.hpp>

#include "command_options.h"
#include "fly_arguments.h"
#include "route_flight.h"
#include "tool_commands.h"

namespace {

// Why a --via-gpsbabel given with a command cannot be used, or nothing.
std::string viaRefusal(const std::string& via, const std::string& format) {
    if (!via.empty() && !format.empty())
        return "--via-gpsbabel names GPSBabel's format, --format and --from this tool's: give "
               "one of them";
    if (!via.empty() && via.front() == '-')
        return "--via-gpsbabel '" + via + "' is not a format name (gpsbabel -^ lists them)";
    return "";
}

// The refusal of options that parse but cannot go together, or nothing.
std::string givenRefusal(const Given& given) {
    for (const std::string* format : {&given.format, &given.to})
        if (!format->empty() && formatFromOption(*format) == FileFormat::unknown)
            return "unknown format '" + *format + "': " + formatOptions();
    if (!viaRefusal(given.via, given.format).empty())
        return viaRefusal(given.via, given.format);
    if (given.quiet && given.verbose)
        return "--quiet and --verbose together: choose one";
    return "";
}

FileFormat formatOption(const std::string& given) {
    return given.empty() ? FileFormat::unknown : formatFromOption(given);
}

Verbosity verbosityOf(const Given& given) {
    return given.verbose ? Verbosity::verbose : given.quiet ? Verbosity::quiet : Verbosity::normal;
}

CheckOptions checkOptionsOf(const Given& given) {
    CheckOptions options{given.file, formatOption(given.format), given.json};
    options.columns = given.columns;
    options.verbosity = verbosityOf(given);
    options.viaGpsbabel = given.via;
    return options;
}

ConvertOptions convertOptionsOf(const Given& given) {
    ConvertOptions options{given.file,
                           given.output,
                           formatOption(given.format),
                           formatOption(given.to),
                           given.route,
                           given.holdAltitude,
                           given.force};
    options.columns = given.columns;
    options.verbosity = verbosityOf(given);
    options.filters = {given.countries, given.regions,  given.types,
                       given.box,       given.withinNm, given.of};
    options.maxItems = given.maxItems;
    options.viaGpsbabel = given.via;
    options.track = given.track;
    return options;
}

int checkCommand(const Given& given) {
    return runCheck(checkOptionsOf(given), std::cout, std::cerr);
}

int showCommand(const Given& given) {
    return runShow(checkOptionsOf(given), std::cout, std::cerr);
}

int convertCommand(const Given& given) {
    if (!given.of.empty() && given.withinNm <= 0) {
        std::cerr << "tarvix-db: --of needs --within N (nautical miles)\n";
        return exitUnreadable;
    }
    return runConvert(convertOptionsOf(given), std::cout, std::cerr);
}

int scenarioCommand(const Given& given) {
    return runRouteFlight({convertOptionsOf(given), given.folder, {given.speed, given.altitude}},
                          std::cout, std::cerr);
}

int flyArgsCommand(const Given& given) {
    return runFlyArguments(given.arguments, given.folder, std::cout, std::cerr);
}

// What each command runs, by its bit.
const struct {
    unsigned bit;
    int (*run)(const Given& given);
} commandRuns[] = {
    {check, checkCommand},       {show, showCommand},       {convert, convertCommand},
    {scenario, scenarioCommand}, {flyArgs, flyArgsCommand},
};

int runCommand(unsigned command, const Given& given) {
    for (const auto& c : commandRuns)
        if (c.bit == command)
            return c.run(given);
    return exitUnreadable;
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
    Given given;
    std::vector<std::pair<unsigned, CLI::App*>> commands;
    for (const CommandRow& c : commandTable()) {
        CLI::App* command = app.add_subcommand(c.name, c.help);
        if (!c.listed)
            command->group("");
        declareOptions(*command, c.bit, given);
        commands.emplace_back(c.bit, command);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return exitUnreadable;
    }
    const std::string refusal = givenRefusal(given);
    if (!refusal.empty()) {
        std::cerr << "tarvix-db: " << refusal << "\n";
        return exitUnreadable;
    }
    for (const auto& [bit, command] : commands)
        if (*command)
            return runCommand(bit, given);
    return exitUnreadable;
}
