// tarvix-host: flies the gauge in the stand-in simulator and writes the panel as a picture.
//
//   tarvix-host [--gauge PATH] [--frames N] [--picture FILE.png]
//               [--latitude DEG] [--longitude DEG] [--heading DEG] [--speed KNOTS]
//               [--altitude FEET] [--wind-speed KNOTS] [--wind-from DEG] [--variation DEG]
//               [--click LABEL@FRAME ...] [--events FILE.csv]
//
// --click presses a button ("+", "-", "DLG", "INF", "AP", "Prev", "Next") before the given
// frame; --events writes every key event the gauge sent, with the frame it came in. The aircraft
// flies at 18 frames a simulated second and obeys the autopilot events of the gauge.
//               [--destination IDENT,NAME,LAT,LON]
//   tarvix-host --scenario FILE.json [--gauge PATH]
//
// --destination hands the dialog library beside this program an airport destination
// (TarvixSetData) before the gauge is installed, as the settings dialog would.
// --scenario flies a scenario file instead and writes its pictures, logs and summary into the
// current folder (see the README).
// Latitude north and longitude east are positive. The gauge defaults to Tarvix42.gau beside
// this program; the picture to panel.png in the current folder.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/text_fields.h"
#include "common/sim_ids.h"
#include "host/flight_run.h"
#include "host/panel_host.h"
#include "host/simulation.h"

namespace {

struct ScheduledClick {
    long frame;
    int32_t button;
    std::string label;
};

struct HostOptions {
    std::string gauge;
    std::string events;
    std::string scenario;
    std::vector<ScheduledClick> clicks;
    std::string picture = "panel.png";
    std::string destination;
    long frames = 300;
    double latitude = 41.7868; // Chicago Midway
    double longitude = -87.7522;
    double heading = 360.0;
    double speed = 0.0;
    double altitudeFeet = 620.0;
    double windSpeed = 0.0;
    double windFrom = 0.0;
    double variation = 0.0;
};

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + file;
}

bool readNumber(const char* text, double low, double high, double& out) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value) || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    options.gauge = besideProgram("Tarvix42.gau");
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) {
            error = "option " + name + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        double number = 0;
        auto range = [&](double low, double high, double& out) {
            if (readNumber(value, low, high, out))
                return true;
            error = "option " + name + ": '" + value + "' is not a number from " +
                    std::to_string(low) + " to " + std::to_string(high);
            return false;
        };
        if (name == "--gauge") {
            options.gauge = value;
        } else if (name == "--scenario") {
            options.scenario = value;
        } else if (name == "--events") {
            options.events = value;
        } else if (name == "--click") {
            std::string click = value;
            size_t at = click.rfind('@');
            std::string label = click.substr(0, at);
            int32_t button = buttonIndex(label);
            double frame = 0;
            if (at == std::string::npos || button < 0 ||
                !readNumber(click.c_str() + at + 1, 0, 1e7, frame)) {
                error = "option --click: '" + click +
                        "' is not LABEL@FRAME with a label of + - DLG INF AP Prev Next";
                return false;
            }
            options.clicks.push_back({static_cast<long>(frame), button, label});
        } else if (name == "--destination") {
            options.destination = value;
        } else if (name == "--picture") {
            options.picture = value;
        } else if (name == "--frames") {
            if (!range(1, 1e7, number))
                return false;
            options.frames = static_cast<long>(number);
        } else if (name == "--latitude") {
            if (!range(-90, 90, options.latitude))
                return false;
        } else if (name == "--longitude") {
            if (!range(-180, 180, options.longitude))
                return false;
        } else if (name == "--heading") {
            if (!range(0, 360, options.heading))
                return false;
        } else if (name == "--speed") {
            if (!range(0, 2000, options.speed))
                return false;
        } else if (name == "--altitude") {
            if (!range(-2000, 100000, options.altitudeFeet))
                return false;
        } else if (name == "--wind-speed") {
            if (!range(0, 300, options.windSpeed))
                return false;
        } else if (name == "--wind-from") {
            if (!range(0, 360, options.windFrom))
                return false;
        } else if (name == "--variation") {
            if (!range(-180, 180, options.variation))
                return false;
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    return true;
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

// IDENT,NAME,LAT,LON into the dialog library's current record. The library stays loaded, so the
// gauge finds the same module and record.
bool setDestination(const std::string& text, std::string& error) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    double latitude = 0, longitude = 0;
    if (parts.size() != 4 || parts[0].empty() || parts[0].size() > 5 || parts[1].size() > 25 ||
        !readNumber(parts[2].c_str(), -90, 90, latitude) ||
        !readNumber(parts[3].c_str(), -180, 180, longitude)) {
        error = "option --destination: '" + text +
                "' is not IDENT,NAME,LAT,LON (ident up to 5 characters, name up to 25)";
        return false;
    }
    HMODULE library = LoadLibraryA("TarvixDlg.dll");
    auto setData = library ? reinterpret_cast<int(__stdcall*)(ExchangeRecord*)>(
                                 reinterpret_cast<void*>(GetProcAddress(library, "TarvixSetData")))
                           : nullptr;
    if (!setData) {
        error = "option --destination: no dialog library with TarvixSetData to hand it to";
        return false;
    }
    ExchangeRecord record{};
    copyBoundedText(record.ident, parts[0].c_str(), sizeof record.ident);
    copyBoundedText(record.name, parts[1].c_str(), sizeof record.name);
    record.latitude = latitudeFromDegrees(latitude);
    record.longitude = longitudeFromDegrees(longitude);
    record.mode = 0;
    setData(&record);
    return true;
}

// Key events since the last call, written with the frame they came in.
void logKeyEvents(std::ofstream& log, size_t& logged, long frame) {
    const std::vector<KeyEventRecord>& events = keyEvents();
    for (; logged < events.size(); ++logged) {
        char line[96];
        std::snprintf(line, sizeof line, "%ld,0x%X,%s,%d\n", frame,
                      static_cast<unsigned>(events[logged].event),
                      keyEventName(events[logged].event), static_cast<int>(events[logged].value));
        if (log.is_open())
            log << line;
    }
}

void pressScheduled(const HostOptions& options, long frame) {
    for (const ScheduledClick& click : options.clicks) {
        int32_t x = 0, y = 0;
        if (click.frame == frame && buttonCentre(click.button, x, y)) {
            clickGauge(x, y, nullptr);
            std::printf("tarvix-host: frame %ld: pressed %s\n", frame, click.label.c_str());
        }
    }
}

int runScenario(const HostOptions& options) {
    std::ifstream file(options.scenario, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    Scenario scenario;
    std::string error;
    FlightOutcome outcome{};
    size_t slash = options.scenario.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : options.scenario.substr(0, slash);
    if (!file)
        error = "cannot be read";
    else if (parseScenario(text.str(), scenario, error) && loadGauge(options.gauge, error) &&
             flyScenario(scenario, folder, outcome, error))
        return 0;
    std::fprintf(stderr, "tarvix-host: scenario '%s': %s\n", options.scenario.c_str(),
                 error.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    if (!options.scenario.empty())
        return runScenario(options);
    if (!loadGauge(options.gauge, error)) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    std::ofstream log;
    if (!options.events.empty()) {
        log.open(options.events);
        if (!log) {
            std::fprintf(stderr, "tarvix-host: cannot write key events '%s'\n",
                         options.events.c_str());
            return 1;
        }
        log << "frame,event,name,value\n";
    }
    size_t logged = 0;
    if (!options.destination.empty() && !setDestination(options.destination, error)) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    Simulation simulation = makeSimulation(startingAircraft(options), 18.0, 0.0);
    serveVariables(simulation);
    hostInstall();
    hostInitialize();
    obeyKeyEvents(simulation);
    logKeyEvents(log, logged, 0);
    for (long frame = 0; frame < options.frames; ++frame) {
        pressScheduled(options, frame);
        simulationFrame(simulation);
        logKeyEvents(log, logged, frame);
    }
    PanelPicture picture;
    bool pictured = composePanel(picture, error) && writePng(options.picture, picture, error);
    hostKill();
    unloadGauge();
    if (!pictured) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    std::printf("tarvix-host: %ld frames flown, %zu key events, panel picture %s\n", options.frames,
                keyEvents().size(), options.picture.c_str());
    return 0;
}
