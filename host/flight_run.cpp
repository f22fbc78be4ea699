#include "host/flight_run.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "common/position_units.h"
#include "common/screen_colours.h"
#include "host/flight_plan.h"
#include "host/gif_writer.h"
#include "host/panel_host.h"
#include "host/simulation.h"

namespace {

using RecordCall = int(__stdcall*)(ExchangeRecord*);

struct DialogLibrary {
    HMODULE module = nullptr;
    RecordCall getData = nullptr;
    RecordCall setData = nullptr;
};

bool bindLibrary(DialogLibrary& library, std::string& error) {
    library.module = LoadLibraryA("TarvixDlg.dll");
    if (library.module) {
        library.getData = reinterpret_cast<RecordCall>(
            reinterpret_cast<void*>(GetProcAddress(library.module, "TarvixGetData")));
        library.setData = reinterpret_cast<RecordCall>(
            reinterpret_cast<void*>(GetProcAddress(library.module, "TarvixSetData")));
    }
    if (!library.getData || !library.setData) {
        error = "the dialog library TarvixDlg.dll cannot be loaded beside the host";
        return false;
    }
    return true;
}

bool copyDatabase(const Scenario& scenario, const std::string& folder, std::string& error) {
    if (scenario.database.empty())
        return true;
    bool absolute = scenario.database.size() > 1 &&
                    (scenario.database[1] == ':' || scenario.database[0] == '\\');
    std::string source =
        absolute || folder.empty() ? scenario.database : folder + "\\" + scenario.database;
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "database: '" + scenario.database + "' does not exist";
        return false;
    }
    if (!CopyFileA(source.c_str(), "TarvixDb.dat", FALSE)) {
        error = "database: '" + scenario.database + "' cannot be copied";
        return false;
    }
    return true;
}

std::string clock(double seconds) {
    char text[32];
    long s = std::lround(seconds);
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// Everything a run writes, opened up front so that a folder that refuses writing fails early.
struct RunOutputs {
    std::ofstream log;
    std::ofstream keys;
    GifAnimation gif{};
    size_t keysLogged = 0;
    int pictures = 0;
};

bool openOutputs(RunOutputs& out, std::string& error) {
    CreateDirectoryA("frames", nullptr);
    out.log.open("flight-log.csv");
    out.keys.open("key-events.csv");
    if (!out.log || !out.keys) {
        error = "cannot write the logs into the current folder";
        return false;
    }
    out.log << "time_s,latitude,longitude,altitude_ft,heading,airspeed_kn,ap_master,"
               "ap_heading_hold,ap_altitude_hold,active_waypoint,active_ident,distance_nm\n";
    out.keys << "time_s,event,name,value\n";
    return true;
}

void logKeys(RunOutputs& out, double seconds) {
    const std::vector<KeyEventRecord>& events = keyEvents();
    for (; out.keysLogged < events.size(); ++out.keysLogged) {
        char line[96];
        std::snprintf(line, sizeof line, "%.2f,0x%X,%s,%d\n", seconds,
                      static_cast<unsigned>(events[out.keysLogged].event),
                      keyEventName(events[out.keysLogged].event),
                      static_cast<int>(events[out.keysLogged].value));
        out.keys << line;
    }
}

void logState(RunOutputs& out, const Simulation& s, const ExchangeRecord& active, double distance) {
    const Aircraft& a = s.aircraft;
    char line[256];
    std::string ident(active.ident, strnlen(active.ident, sizeof active.ident));
    while (!ident.empty() && ident.back() == ' ')
        ident.pop_back();
    std::snprintf(line, sizeof line, "%.1f,%.6f,%.6f,%.0f,%.1f,%.0f,%d,%d,%d,%d,%s,%.2f\n",
                  s.seconds, a.latitude, a.longitude, a.altitude, a.heading, a.airspeed,
                  a.autopilot.master, a.autopilot.headingHold, a.autopilot.altitudeHold,
                  active.recordNumber, ident.c_str(), distance);
    out.log << line;
}

bool takePicture(RunOutputs& out, std::string& error) {
    PanelPicture picture;
    char name[64];
    std::snprintf(name, sizeof name, "frames\\panel-%04d.png", ++out.pictures);
    return composePanel(picture, error) && writePng(name, picture, error);
}

void addAnimationFrame(RunOutputs& out) {
    PanelIndices panel;
    std::string ignored;
    if (!composePanelIndices(panel, ignored))
        return;
    if (out.gif.bytes.empty())
        gifBegin(out.gif, panel.width, panel.height, canvasColourTable);
    gifAddFrame(out.gif, panel.indices.data(), 8);
}

bool due(double seconds, double every, double frame) {
    return every > 0 && std::fmod(seconds + frame / 2, every) < frame;
}

} // namespace

bool flyScenario(const Scenario& scenario, const std::string& folder, FlightOutcome& outcome,
                 std::string& error) {
    DialogLibrary library;
    FlightPlan plan{};
    RunOutputs out;
    if (!copyDatabase(scenario, folder, error) || !bindLibrary(library, error) ||
        !openOutputs(out, error))
        return false;
    if (scenario.destination.present) {
        if (!planFlight(scenario, plan, error))
            return false;
        library.setData(&plan.choice);
    }
    Simulation s = makeSimulation(scenario.aircraft, scenario.frameRate, scenario.selector);
    serveVariables(s);
    hostInstall();
    hostInitialize();
    obeyKeyEvents(s);
    logKeys(out, 0);

    TrackPlot plot{scenario.name.empty() ? "Flight" : scenario.name, plan.route, {}, {}};
    std::vector<int32_t> reached;
    int32_t activeRecord = -1;
    double closestToActive = 1e18;
    double frame = 1.0 / scenario.frameRate, flown = 0;
    long totalFrames = std::lround(scenario.duration * scenario.frameRate);
    std::vector<bool> clicked(scenario.clicks.size(), false);
    for (long f = 0; f < totalFrames; ++f) {
        for (size_t i = 0; i < scenario.clicks.size(); ++i) {
            int32_t x = 0, y = 0;
            if (!clicked[i] && s.seconds + frame / 2 >= scenario.clicks[i].at &&
                buttonCentre(buttonIndex(scenario.clicks[i].button), x, y)) {
                clicked[i] = true;
                clickGauge(x, y, nullptr);
                std::printf("tarvix-host: %s pressed %s\n", clock(s.seconds).c_str(),
                            scenario.clicks[i].button.c_str());
            }
        }
        double lat = s.aircraft.latitude, lon = s.aircraft.longitude;
        simulationFrame(s);
        flown += sphereDistance(lat, lon, s.aircraft.latitude, s.aircraft.longitude);
        logKeys(out, s.seconds);
        if (due(s.seconds, 1.0, frame)) {
            ExchangeRecord active{};
            library.getData(&active);
            PlotPoint here{s.aircraft.latitude, s.aircraft.longitude};
            double toActive = 0;
            if (scenario.destination.present) {
                if (active.recordNumber != activeRecord) {
                    if (activeRecord >= 0) {
                        reached.push_back(activeRecord);
                        plot.events.push_back({here, clock(s.seconds)});
                        std::printf("tarvix-host: %s waypoint %d reached, next %d\n",
                                    clock(s.seconds).c_str(), activeRecord, active.recordNumber);
                    }
                    activeRecord = active.recordNumber;
                    closestToActive = 1e18;
                }
                toActive =
                    sphereDistance(here.latitude, here.longitude, latitudeDegrees(active.latitude),
                                   longitudeDegrees(active.longitude));
                closestToActive = std::fmin(closestToActive, toActive);
            }
            plot.track.push_back(here);
            logState(out, s, active, toActive);
        }
        if (due(s.seconds, scenario.pictureEvery, frame) && !takePicture(out, error))
            return false;
        if (due(s.seconds, scenario.animationEvery, frame))
            addAnimationFrame(out);
        if (totalFrames >= 100 && (f + 1) % (totalFrames / 10) == 0)
            std::fprintf(stderr, "tarvix-host: %ld%% (%s of %s simulated)\n",
                         (f + 1) * 100 / totalFrames, clock(s.seconds).c_str(),
                         clock(scenario.duration).c_str());
    }
    // The last waypoint is never left for another: it counts as reached when flown over.
    const double overhead = 1.0; // nm
    if (activeRecord > 0 && closestToActive < overhead)
        reached.push_back(activeRecord);
    PanelPicture picture;
    bool written = composePanel(picture, error) && writePng("panel.png", picture, error) &&
                   writeTrackPlot("track.png", plot, error);
    if (written && !out.gif.bytes.empty()) {
        gifEnd(out.gif);
        std::ofstream gif("flight.gif", std::ios::binary);
        gif.write(reinterpret_cast<const char*>(out.gif.bytes.data()),
                  std::streamsize(out.gif.bytes.size()));
        written = bool(gif);
        if (!written)
            error = "cannot write the animation 'flight.gif'";
    }
    hostKill();
    FreeLibrary(library.module);
    outcome = {static_cast<int>(reached.size()), s.seconds, flown,
               largestOffRoute(plan.route, plot.track)};
    std::printf("tarvix-host: waypoints reached in order:");
    for (int32_t record : reached)
        std::printf(" %d", record);
    std::printf("\ntarvix-host: %s flown, %.1f nm, at most %.2f nm off the planned route\n",
                clock(outcome.seconds).c_str(), outcome.distanceFlown, outcome.largestOffRoute);
    return written;
}
