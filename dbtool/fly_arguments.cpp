#include "fly_arguments.h"

#include <filesystem>
#include <fstream>

#include "command_options.h"
#include "file_kinds.h"
#include "host/command_line.h"
#include "route_flight.h"
#include "text_codec.h"
#include "tool_commands.h"

namespace {

// How fly treats one option: whether a value follows it and which program declares it.
struct PassedOption {
    bool takesValue = false;
    bool scenario = false;
    bool host = false;
};

// "--from" or "-q,--quiet" as the names they are given by.
std::vector<std::string> namesOf(const std::string& declared) {
    std::vector<std::string> names;
    size_t from = 0;
    for (size_t comma; (comma = declared.find(',', from)) != std::string::npos; from = comma + 1)
        names.push_back(declared.substr(from, comma - from));
    names.push_back(declared.substr(from));
    return names;
}

PassedOption passedOption(const std::string& name) {
    PassedOption passed;
    for (const CommandOption& option : commandOptions(scenario))
        for (const std::string& each : namesOf(option.names))
            if (each == name)
                passed = {option.takesValue, true, false};
    for (const CommandLineOption& option : commandLineOptions())
        if (option.name == name) {
            passed.host = true;
            passed.takesValue = passed.scenario ? passed.takesValue : option.takesValue;
        }
    return passed;
}

// The arguments read once by their options, each value with its option.
struct ReadArguments {
    std::vector<std::string> scenario, host;
    std::string file, out, routeOnly; // routeOnly: the first option the host lacks
};

bool readArguments(const std::vector<std::string>& arguments, ReadArguments& read,
                   std::string& refusal) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty() || argument[0] != '-') {
            (read.file.empty() ? read.file : read.host.emplace_back()) = argument;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const PassedOption passed = passedOption(name);
        if (passed.scenario && !passed.host && read.routeOnly.empty())
            read.routeOnly = name;
        std::vector<std::string>& into = passed.scenario ? read.scenario : read.host;
        into.push_back(argument);
        std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
        if (passed.takesValue && equals == std::string::npos) {
            if (++i == arguments.size()) {
                refusal = "option " + name + " needs a value";
                return false;
            }
            value = arguments[i];
            into.push_back(value);
        }
        if (name == "--out")
            read.out = value;
    }
    return true;
}

} // namespace

bool isRouteFile(const std::string& path) {
    const std::string extension = asciiLowered(std::filesystem::path(path).extension().string());
    if (path.empty() || extension == ".json")
        return false;
    if (formatFromPath(path) != FileFormat::unknown || isGpsbabelExtension(extension))
        return true;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    char c = 0;
    while (in.get(c) && std::string(" \t\r\n\xEF\xBB\xBF").find(c) != std::string::npos) {
    }
    return !in || c != '{';
}

bool splitFlyArguments(const std::vector<std::string>& arguments, const std::string& defaultOut,
                       FlySplit& split, std::string& refusal) {
    ReadArguments read;
    read.out = defaultOut;
    if (!readArguments(arguments, read, refusal))
        return false;
    split = {};
    // A route's own option beside a file makes it a route, whatever its name.
    if (!isRouteFile(read.file) && (read.file.empty() || read.routeOnly.empty())) {
        if (!read.routeOnly.empty()) {
            refusal = "option " + read.routeOnly +
                      " is for a route file (GPX, .pln, .fms, .fpl, CSV): name one";
            return false;
        }
        split.host = arguments;
        return true;
    }
    split.route = true;
    split.scenario = read.scenario;
    split.scenario.insert(split.scenario.end(), {read.file, read.out});
    split.host = read.host;
    split.host.push_back(read.out + "/" + flightScenarioName);
    return true;
}

int runFlyArguments(const std::vector<std::string>& arguments, const std::string& defaultOut,
                    std::ostream& out, std::ostream& err) {
    FlySplit split;
    std::string refusal;
    if (!splitFlyArguments(arguments, defaultOut, split, refusal)) {
        err << "tarvix-db: " << refusal << "\n";
        return exitUnreadable;
    }
    out << (split.route ? split.scenario.size() : 0) << '\0';
    for (const std::string& argument : split.scenario)
        out << argument << '\0';
    for (const std::string& argument : split.host)
        out << argument << '\0';
    return exitClean;
}
