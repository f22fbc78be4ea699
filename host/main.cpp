// tarvix-host: flies the gauge in the stand-in simulator and writes what the pilot would see.
// A scenario file (pictures, logs, summary), or a free flight built from the options (the panel
// picture), flown the same way. `tarvix-host --help` lists the options; the README describes
// the files.
//
// Every path on the command line is taken from the folder the program was started in; then the
// run moves into its output folder (--out), where the dialog library keeps its data files as the
// simulator's current folder would hold them.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/module_contract.h"
#include "command_line.h"
#include "flight_run.h"
#include "interruption.h"
#include "panel_host.h"
#include "panel_window.h"
#include "run_paths.h"
#include "scenario_database.h"

namespace {

// One flight at a time per Windows session (under Wine: per wineserver). Two at once would share
// the dialog library's named mapping and fly each other's destinations.
const char runMutexName[] = "TarvixHostRun";

// The files of the run as the Windows side names them, and as the person knows them.
std::vector<std::pair<std::string, std::string>> shownNames;

int refuse(std::string message) {
    for (const auto& [windows, shown] : shownNames)
        for (size_t at = 0; (at = message.find("'" + windows + "'", at)) != std::string::npos;
             at += shown.size() + 2)
            message.replace(at + 1, windows.size(), shown);
    std::fprintf(stderr, "tarvix-host: %s\n", message.c_str());
    return 1;
}

// Held until the process ends; a mutex left by a run that died is taken over.
bool claimRun(std::string& error) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, runMutexName);
    DWORD waited = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return true;
    error = "another tarvix-host is flying in this session; two flights at once would share the "
            "dialog library's mapping and take each other's destination. Try again when it has "
            "finished";
    return false;
}

void resolvePaths(HostOptions& o) {
    o.gauge = o.gauge.empty() ? besideProgram(gaugeFileName) : filePath(o.gauge);
    o.out = filePath(!o.out.empty() ? o.out : !o.defaultOut.empty() ? o.defaultOut : ".");
    o.picture = o.picture.empty() ? joinPath(o.out, "panel.png") : filePath(o.picture);
    if (!o.events.empty())
        o.events = filePath(o.events);
    if (o.source == FlightSource::builtInFile)
        o.scenario = besideProgram(builtInScenario);
    else if (!o.scenario.empty())
        o.scenario = filePath(o.scenario);
    if (!o.windowPicture.empty())
        o.windowPicture = filePath(o.windowPicture);
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::stringstream text;
    text << file.rdbuf();
    std::string all = text.str();
    bytes.assign(all.begin(), all.end());
    return true;
}

// Reads and checks the scenario and its database before anything is written. On failure the
// message names the scenario.
bool readScenario(const HostOptions& options, Scenario& scenario, std::vector<uint8_t>& database,
                  std::string& error) {
    std::string named = "scenario '" + shownPath(options.scenario) + "': ";
    std::vector<uint8_t> text;
    if (!readFile(options.scenario, text)) {
        error = named + "cannot be read";
        return false;
    }
    if (!parseScenario(std::string(text.begin(), text.end()), scenario, error)) {
        error = named + error;
        return false;
    }
    if (scenario.database.empty())
        return true;
    std::string path = fullPath(joinPath(folderOf(options.scenario), scenario.database));
    bool absolute = scenario.database.size() > 1 &&
                    (scenario.database[1] == ':' || scenario.database[0] == '\\' ||
                     scenario.database[0] == '/');
    if (absolute)
        path = fullPath(scenario.database);
    std::string problem;
    std::string which = named + "database '" + scenario.database + "': ";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        error = which + "does not exist";
    else if (!readFile(path, database))
        error = which + "cannot be read";
    else if (!checkDatabaseBytes(database.data(), database.size(), problem))
        error = which + problem;
    else if (scenario.destination.present &&
             !checkDestinationRecord(database.data(), database.size(), scenario.destination.record,
                                     problem))
        error = named + problem;
    return error.empty();
}

void reportWritten(const HostOptions& options, const FlightOutcome& outcome, bool flown) {
    std::string files;
    for (const std::string& file : outcome.written)
        files += " " + file;
    if (flown)
        std::printf("tarvix-host: wrote in %s:%s\n", shownPath(options.out).c_str(), files.c_str());
    else if (!outcome.written.empty())
        std::fprintf(stderr, "tarvix-host: the run stopped early and left in %s:%s\n",
                     shownPath(options.out).c_str(), files.c_str());
}

// The output folder for a front end, as the last line.
void tellFolder(const std::string& folder) {
    std::printf("%s\n", shownPath(folder).c_str());
    std::fflush(stdout);
}

// The free flight's report: its key events and the panel picture, by frame.
void reportFreeFlight(const HostOptions& options, const FlightOutcome& outcome) {
    if (!options.events.empty())
        std::printf("tarvix-host: %ld key events in %s\n", outcome.keyEventsWritten,
                    shownPath(options.events).c_str());
    long frames = std::lround(options.flight.duration * options.flight.frameRate);
    if (outcome.interrupted)
        std::printf(
            "tarvix-host: interrupted at frame %ld of %ld; the picture is of the part flown\n",
            outcome.frames, frames);
    std::printf("tarvix-host: %ld frames flown, panel picture %s\n", outcome.frames,
                shownPath(options.picture).c_str());
}

// The flight the options ask for: read and checked first, then flown frame by frame, in the
// live window when asked, into the output folder.
int fly(const HostOptions& options) {
    std::vector<uint8_t> database;
    Scenario scenario = options.flight;
    std::string error, named;
    bool fromFile = options.source != FlightSource::options;
    if (options.source == FlightSource::builtInFile &&
        GetFileAttributesA(options.scenario.c_str()) == INVALID_FILE_ATTRIBUTES)
        return refuse("no scenario file and no free-flight option given, and the default "
                      "scenario '" +
                      shownPath(options.scenario) +
                      "' is not there: name a scenario file, or give free-flight options "
                      "(tarvix-host --help lists them)");
    if (fromFile) {
        named = "scenario '" + shownPath(options.scenario) + "': ";
        if (!readScenario(options, scenario, database, error))
            return refuse(error);
    }
    if ((options.window && !displayAvailable(error)) || !loadGauge(options.gauge, error) ||
        !claimRun(error) || !enterOutputFolder(options.out, error))
        return refuse(error);
    RunSettings settings{options.allKeyEvents, options.window};
    settings.panelOnly = !fromFile && !options.window;
    if (settings.panelOnly) {
        settings.panelPicture = options.picture;
        settings.keyEvents = options.events;
    }
    FlightOutcome outcome;
    bool flown = false;
    if (options.window) {
        FlightRun run;
        flown = startFlight(run, scenario, database, settings, outcome, error);
        HWND window = nullptr;
        if (flown) {
            window = openPanelWindow(
                run, outcome, {options.closeAfter, options.windowPicture, options.timeRate}, error);
            flown = window && runPanelWindow(window, error);
        }
        flown = finishFlight(run, outcome, error) && flown;
    } else {
        flown = flyScenario(scenario, database, settings, outcome, error);
    }
    unloadGauge();
    if (!flown)
        refuse(named + error);
    if (settings.panelOnly && flown)
        reportFreeFlight(options, outcome);
    else if (!settings.panelOnly)
        reportWritten(options, outcome, flown);
    if (flown && !options.defaultOut.empty())
        tellFolder(options.out);
    return !flown ? 1 : outcome.interrupted ? interruptedExitCode : 0;
}

} // namespace

int main() {
    // Every line ends in a bare line feed: what the host prints is read on the Unix side, where a
    // carriage return would end up in a shell's variables and in grep's patterns.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The arguments as UTF-8 from the wide command line: the ANSI one has already lost the
    // degree, minute and second signs of a coordinate.
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < argc; ++i)
        arguments.push_back(fromWide(wide[i], CP_UTF8));
    LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    HostOptions options;
    std::string error;
    switch (parseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error)) {
    case CommandLine::helpShown:
        return 0;
    case CommandLine::refused:
        return refuse(error);
    case CommandLine::run:
        break;
    }
    resolvePaths(options);
    for (const std::string* path : {&options.gauge, &options.picture, &options.events,
                                    &options.scenario, &options.windowPicture})
        if (!path->empty())
            shownNames.push_back({*path, shownPath(*path)});
    watchForInterruption();
    return fly(options);
}
