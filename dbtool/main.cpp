// tarvix-db: checks a waypoint database and converts waypoint and route files to and from the
// simulator's own files. Options only; the commands live in tool_commands.
#include <iostream>

#include <CLI/CLI.hpp>

#include "tool_commands.h"

namespace {

FileFormat formatOption(const std::string& given) {
    return given.empty() ? FileFormat::unknown : formatFromOption(given);
}

const char* formatHelp = "db, tour, airports, gpx or csv (default: from the file's name)";

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks a Tarvix waypoint database and converts waypoint and route files "
                 "(GPX, CSV) to and from the simulator's Tarvix.dat and TarvixTr.dat.\n"
                 "Exit status: 0 clean, 1 problems found or points left out, 2 unreadable or "
                 "nothing written."};
    app.require_subcommand(1);
    CheckOptions check{"", FileFormat::unknown, false};
    std::string checkFormat, fromFormat, toFormat;
    CLI::App* checkCommand = app.add_subcommand(
        "check", "every problem of TarvixDb.dat, TarvixTr.dat, Tarvix.dat (or a GPX or CSV file) "
                 "with its record or line number");
    checkCommand->add_option("FILE", check.path, "the file to check")->required();
    checkCommand->add_flag("--json", check.json, "the report as JSON on standard output");
    checkCommand->add_option("--format", checkFormat, formatHelp);

    CheckOptions show{"", FileFormat::unknown, false};
    std::string showFormat;
    CLI::App* showCommand = app.add_subcommand(
        "show", "the database as an indented tree: folders, airports, tour items, the current "
                "choice");
    showCommand->add_option("FILE", show.path, "the file to show")->required();
    showCommand->add_option("--format", showFormat, formatHelp);

    ConvertOptions convert{"", "", FileFormat::unknown, FileFormat::unknown, 0, false, false};
    CLI::App* convertCommand = app.add_subcommand(
        "convert", "GPX, CSV, Tarvix.dat and TarvixTr.dat into one another; TarvixDb.dat into GPX "
                   "or CSV");
    convertCommand->add_option("IN", convert.input, "the file to read")->required();
    convertCommand->add_option("OUT", convert.output, "the file to write")->required();
    convertCommand->add_option("--from", fromFormat, formatHelp);
    convertCommand->add_option("--to", toFormat,
                               "tour, airports, gpx or csv (default: from the file's name)");
    convertCommand
        ->add_option("--route", convert.route,
                     "which route of the input becomes the tour (1 = the first)")
        ->check(CLI::PositiveNumber);
    convertCommand->add_flag("--hold-altitude", convert.holdAltitude,
                             "set the altitude hold flag on every tour item with an altitude");
    convertCommand->add_flag("-f,--force", convert.force, "replace OUT when it exists");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return exitUnreadable;
    }
    for (const std::string* given : {&checkFormat, &showFormat, &fromFormat, &toFormat}) {
        if (!given->empty() && formatFromOption(*given) == FileFormat::unknown) {
            std::cerr << "tarvix-db: unknown format '" << *given << "': " << formatHelp << "\n";
            return exitUnreadable;
        }
    }
    if (*checkCommand) {
        check.format = formatOption(checkFormat);
        return runCheck(check, std::cout, std::cerr);
    }
    if (*showCommand) {
        show.format = formatOption(showFormat);
        return runShow(show, std::cout, std::cerr);
    }
    convert.from = formatOption(fromFormat);
    convert.to = formatOption(toFormat);
    return runConvert(convert, std::cout, std::cerr);
}
