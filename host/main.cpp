// tarvix-host: flies the gauge in the stand-in simulator and writes what the pilot would see.
// Either a scenario file (pictures, logs, summary) or a free flight of some frames from options
// (the panel picture). `tarvix-host --help` lists the options; the README describes the files.
//
// Every path on the command line is taken from the folder the program was started in; then the
// run moves into its output folder (--out), where the dialog library keeps its data files as the
// simulator's current folder would hold them.
#include <windows.h>

#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/exchange_record.h"
#include "common/module_contract.h"
#include "common/position_units.h"
#include "common/text_fields.h"
#include "host/command_line.h"
#include "host/dialog_steps.h"
#include "host/flight_run.h"
#include "host/interruption.h"
#include "host/key_event_log.h"
#include "host/panel_host.h"
#include "host/panel_window.h"
#include "host/scenario_database.h"
#include "host/simulation.h"

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

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + file;
}

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

std::string joinPath(const std::string& folder, const std::string& file) {
    return folder.empty() || folder.back() == '\\' ? folder + file : folder + "\\" + file;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The path as the person who started the run knows it: under Wine the Unix one. A path that
// does not exist (yet) is told by the Unix name of the nearest folder above it that does.
std::string shownPath(const std::string& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::string full = fullPath(path);
    if (!unixName)
        return full;
    std::string rest;
    for (std::string at = full; !at.empty();) {
        wchar_t wide[MAX_PATH];
        char* name = MultiByteToWideChar(CP_ACP, 0, at.c_str(), -1, wide, MAX_PATH) ? unixName(wide)
                                                                                    : nullptr;
        if (name && GetFileAttributesA(at.c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::string shown = name;
            HeapFree(GetProcessHeap(), 0, name);
            return (shown == "/" ? "" : shown) + rest;
        }
        if (name)
            HeapFree(GetProcessHeap(), 0, name);
        size_t slash = at.find_last_of('\\');
        if (slash == std::string::npos)
            break;
        rest = "/" + at.substr(slash + 1) + rest;
        at = at.substr(0, slash);
    }
    return full;
}

// Creates the folder and any missing folders above it.
bool makeFolders(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string parent = folderOf(folder);
    if (!parent.empty() && parent != folder && parent.back() != ':' && !makeFolders(parent))
        return false;
    return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

// The system's own words for an error code, on one line.
std::string systemMessage(DWORD code) {
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

// Made when missing, entered, and tried with a file of its own before anything is written, so
// that a folder that takes nothing is refused with its reason instead of failing mid-run.
bool enterOutputFolder(const std::string& folder, std::string& error) {
    std::string named = "cannot write into the output folder '" + shownPath(folder) + "': ";
    if (!makeFolders(folder) || !SetCurrentDirectoryA(folder.c_str())) {
        error = named + systemMessage(GetLastError());
        return false;
    }
    HANDLE probe = CreateFileA("tarvix-host.probe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        error = named + systemMessage(GetLastError());
        return false;
    }
    CloseHandle(probe);
    return true;
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

std::string fromWide(const wchar_t* text, UINT codePage) {
    int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(codePage, 0, text, -1, &out[0], length, nullptr, nullptr);
    return out;
}

// A UTF-8 path from the command line as the ANSI file functions take it, made full.
std::string filePath(const std::string& utf8) {
    std::vector<wchar_t> wide(utf8.size() + 1);
    if (!MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), int(wide.size())))
        return fullPath(utf8);
    return fullPath(fromWide(wide.data(), CP_ACP));
}

void resolvePaths(HostOptions& o) {
    o.gauge = o.gauge.empty() ? besideProgram(gaugeFileName) : filePath(o.gauge);
    o.out = filePath(o.out.empty() ? "." : o.out);
    o.picture = o.picture.empty() ? joinPath(o.out, "panel.png") : filePath(o.picture);
    if (!o.events.empty())
        o.events = filePath(o.events);
    if (!o.scenario.empty())
        o.scenario = filePath(o.scenario);
    if (!o.windowPicture.empty())
        o.windowPicture = filePath(o.windowPicture);
}

Aircraft startingAircraft(const HostOptions& options) {
    Aircraft aircraft{};
    aircraft.latitude = options.latitude;
    aircraft.longitude = options.longitude;
    aircraft.heading = options.heading;
    aircraft.airspeed = options.speed;
    aircraft.altitude = options.altitudeFeet;
    aircraft.windSpeed = options.windSpeed;
    aircraft.windDirection = options.windFrom;
    aircraft.variation = options.variation;
    return aircraft;
}

// IDENT,NAME,LAT,LON as the record the settings dialog would leave.
bool readDestination(const std::string& text, ExchangeRecord& record, std::string& error) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    double latitude = 0, longitude = 0;
    if (parts.size() != 4 || parts[0].empty() || parts[0].size() > 5 || parts[1].size() > 25 ||
        !parseCoordinate(parts[2], true, latitude) || std::fabs(latitude) > 90 ||
        !parseCoordinate(parts[3], false, longitude) || std::fabs(longitude) > 180) {
        error = "option --destination: '" + text +
                "' is not IDENT,NAME,LAT,LON (ident up to 5 characters, name up to 25)";
        return false;
    }
    record = ExchangeRecord{};
    copyBoundedText(record.ident, parts[0].c_str(), sizeof record.ident);
    copyBoundedText(record.name, parts[1].c_str(), sizeof record.name);
    record.latitude = latitudeFromDegrees(latitude);
    record.longitude = longitudeFromDegrees(longitude);
    record.mode = 0;
    return true;
}

// Hands the record to the dialog library beside this program. The library stays loaded, so the
// gauge finds the same module and record.
bool handDestination(ExchangeRecord& record, std::string& error) {
    HMODULE library = LoadLibraryA(dialogLibraryFileName);
    auto setData = library
                       ? exportFunction(setDataExport, GetProcAddress(library, setDataExport.name))
                       : nullptr;
    if (!setData) {
        error = "option --destination: no dialog library with TarvixSetData to hand it to";
        return false;
    }
    setData(&record);
    return true;
}

// The gauge's buttons pressed at their frames. DLG and INF open a dialog that nobody works in a
// free flight: it is dismissed at once, and the time limit still holds should it not close.
void pressScheduled(const HostOptions& options, long frame) {
    for (const ScheduledClick& click : options.clicks) {
        int32_t x = 0, y = 0;
        if (click.frame != frame || !buttonCentre(click.button, x, y))
            continue;
        std::printf("tarvix-host: frame %ld: pressed %s\n", frame, click.label.c_str());
        if (click.label != "DLG" && click.label != "INF") {
            clickGauge(x, y, nullptr);
            continue;
        }
        // The settings dialog with Cancel, so the database and the destination stay as they were.
        ScenarioClick step{};
        step.button = click.label;
        step.close = {click.label == "DLG" ? "Cancel" : "OK"};
        step.timeLimit = defaultDialogTimeLimit;
        std::string name = "--click " + click.label + "@" + std::to_string(frame);
        StepReport report = pressWithDialog(step, name);
        for (const std::string& line : report.lines)
            std::printf("tarvix-host: %s: %s\n", name.c_str(), line.c_str());
        if (report.failed)
            std::printf("tarvix-host: %s\n", report.failure.c_str());
    }
}

int freeFlight(const HostOptions& options) {
    std::string error;
    ExchangeRecord destination{};
    if (!options.destination.empty() && !readDestination(options.destination, destination, error))
        return refuse(error);
    if (!loadGauge(options.gauge, error) || !claimRun(error) ||
        !enterOutputFolder(options.out, error))
        return refuse(error);
    KeyEventLog log;
    if (!options.events.empty() &&
        !openKeyEventLog(log, options.events, "frame", options.allKeyEvents))
        return refuse("cannot write key events '" + shownPath(options.events) + "'");
    if (!options.destination.empty() && !handDestination(destination, error))
        return refuse(error);
    Simulation simulation = makeSimulation(startingAircraft(options), 18.0, 0.0);
    serveVariables(simulation);
    hostInstall();
    hostInitialize();
    obeyKeyEvents(simulation);
    bool logging = log.file.is_open();
    if (logging)
        logNewKeyEvents(log, "0");
    long frame = 0;
    for (; frame < options.frames && !interruptionAsked(); ++frame) {
        pressScheduled(options, frame);
        simulationFrame(simulation);
        if (logging)
            logNewKeyEvents(log, std::to_string(frame));
    }
    PanelPicture picture;
    bool pictured = composePanel(picture, error) && writePng(options.picture, picture, error);
    hostKill();
    unloadGauge();
    if (logging) {
        log.file.close();
        std::printf("tarvix-host: %ld key events in %s\n", log.written,
                    shownPath(options.events).c_str());
    }
    if (!pictured)
        return refuse(error);
    if (frame < options.frames)
        std::printf(
            "tarvix-host: interrupted at frame %ld of %ld; the picture is of the part flown\n",
            frame, options.frames);
    std::printf("tarvix-host: %ld frames flown, panel picture %s\n", frame,
                shownPath(options.picture).c_str());
    return frame < options.frames ? interruptedExitCode : 0;
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

int scenarioRun(const HostOptions& options) {
    std::string named = "scenario '" + shownPath(options.scenario) + "': ";
    std::vector<uint8_t> database;
    Scenario scenario;
    std::string error;
    if (!readScenario(options, scenario, database, error))
        return refuse(error);
    if (!loadGauge(options.gauge, error) || !claimRun(error) ||
        !enterOutputFolder(options.out, error))
        return refuse(error);
    RunSettings settings{options.allKeyEvents, false};
    FlightOutcome outcome;
    bool flown = flyScenario(scenario, database, settings, outcome, error);
    unloadGauge();
    if (!flown)
        refuse(named + error);
    reportWritten(options, outcome, flown);
    return !flown ? 1 : outcome.interrupted ? interruptedExitCode : 0;
}

// The live panel window over a scenario, or over a free flight from the start options.
int windowRun(const HostOptions& options) {
    std::vector<uint8_t> database;
    Scenario scenario{};
    std::string error;
    if (!options.scenario.empty() && !readScenario(options, scenario, database, error))
        return refuse(error);
    if (options.scenario.empty()) {
        scenario.aircraft = startingAircraft(options);
        scenario.frameRate = 18;
        scenario.duration = 48 * 3600;
    }
    if (!displayAvailable(error) || !loadGauge(options.gauge, error) || !claimRun(error) ||
        !enterOutputFolder(options.out, error))
        return refuse(error);
    FlightRun run;
    FlightOutcome outcome;
    bool flown = startFlight(run, scenario, database, RunSettings{options.allKeyEvents, true},
                             outcome, error);
    HWND window = nullptr;
    if (flown) {
        window = openPanelWindow(
            run, outcome, {options.closeAfter, options.windowPicture, options.timeRate}, error);
        flown = window && runPanelWindow(window, error);
    }
    flown = finishFlight(run, outcome, error) && flown;
    unloadGauge();
    if (!flown)
        refuse(error);
    reportWritten(options, outcome, flown);
    return !flown ? 1 : outcome.interrupted ? interruptedExitCode : 0;
}

} // namespace

int main() {
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
    if (options.window)
        return windowRun(options);
    return options.scenario.empty() ? freeFlight(options) : scenarioRun(options);
}
