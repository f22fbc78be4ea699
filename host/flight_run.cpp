#include "host/flight_run.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "common/module_contract.h"
#include "common/position_units.h"
#include "common/screen_colours.h"
#include "host/flight_plan.h"
#include "host/gif_writer.h"
#include "host/key_event_log.h"
#include "host/panel_host.h"
#include "host/simulation.h"

namespace {

struct DialogLibrary {
    HMODULE module = nullptr;
    RecordExportFn getData = nullptr;
    RecordExportFn setData = nullptr;
};

bool bindLibrary(DialogLibrary& library, std::string& error) {
    library.module = LoadLibraryA(dialogLibraryFileName);
    if (library.module) {
        library.getData =
            exportFunction(getDataExport, GetProcAddress(library.module, getDataExport.name));
        library.setData =
            exportFunction(setDataExport, GetProcAddress(library.module, setDataExport.name));
    }
    if (library.getData && library.setData)
        return true;
    if (library.module)
        FreeLibrary(library.module);
    library.module = nullptr;
    error = "the dialog library TarvixDlg.dll cannot be loaded beside the host";
    return false;
}

std::string clock(double seconds) {
    char text[32];
    long s = std::lround(seconds);
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

bool writeDatabase(const std::vector<uint8_t>& bytes, FlightOutcome& outcome, std::string& error) {
    if (bytes.empty())
        return true;
    std::ofstream file(databaseFileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    outcome.written.push_back(databaseFileName);
    if (!file) {
        error = "cannot write the database 'TarvixDb.dat' into the output folder";
        return false;
    }
    return true;
}

// What the run writes as it goes. A run into a folder that held an earlier one first removes
// that one's frames and animation, so that the folder never mixes two flights.
struct RunOutputs {
    std::ofstream log;
    KeyEventLog keys;
    GifAnimation gif{};
    int pictures = 0;
};

void removeEarlierPictures() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("frames\\panel-*.png", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((std::string("frames\\") + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    DeleteFileA("flight.gif");
}

bool openOutputs(const RunSettings& settings, RunOutputs& out, FlightOutcome& outcome,
                 std::string& error) {
    removeEarlierPictures();
    out.log.open("flight-log.csv", std::ios::binary | std::ios::trunc);
    if (out.log)
        outcome.written.push_back("flight-log.csv");
    bool keys = openKeyEventLog(out.keys, "key-events.csv", "time_s", settings.allKeyEvents);
    if (keys)
        outcome.written.push_back("key-events.csv");
    if (!out.log || !keys) {
        error = "cannot write the logs into the output folder";
        return false;
    }
    out.log << "time_s,latitude,longitude,altitude_ft,heading,airspeed_kn,ap_master,"
               "ap_heading_hold,ap_altitude_hold,active_waypoint,active_ident,distance_nm\r\n";
    return true;
}

void logState(RunOutputs& out, const Simulation& s, const ExchangeRecord& active, double distance) {
    const Aircraft& a = s.aircraft;
    char line[256];
    std::string ident(active.ident, strnlen(active.ident, sizeof active.ident));
    while (!ident.empty() && ident.back() == ' ')
        ident.pop_back();
    std::snprintf(line, sizeof line, "%.1f,%.6f,%.6f,%.0f,%.1f,%.0f,%d,%d,%d,%d,%s,%.2f\r\n",
                  s.seconds, a.latitude, a.longitude, a.altitude, a.heading, a.airspeed,
                  a.autopilot.master, a.autopilot.headingHold, a.autopilot.altitudeHold,
                  active.recordNumber, ident.c_str(), distance);
    out.log << line;
}

bool takePicture(RunOutputs& out, FlightOutcome& outcome, std::string& error) {
    if (out.pictures == 0) {
        CreateDirectoryA("frames", nullptr);
        outcome.written.push_back("frames\\");
    }
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

PlotPoint degreesOf(const ExchangeRecord& r) {
    return {latitudeDegrees(r.latitude), longitudeDegrees(r.longitude)};
}

// What the flight did with its waypoints, as it went.
struct Progress {
    int32_t active = -1;
    int32_t final = 0; // the last waypoint of the route
    PlotPoint finalAt{0, 0};
    double farthestAfterArrival = 0; // nm from the last waypoint once it was reached
    std::vector<PlotPoint> coupledTrack, uncoupledTrack;
    double uncoupledSince = -1;
};

constexpr double overhead = 1.0; // nm: a waypoint this close counts as flown over

// Clicks due now. A Next or Prev that changes the active waypoint is the pilot's doing, not an
// arrival: it is noted here so that the next check does not count it as sequenced.
void pressDue(const Scenario& scenario, std::vector<bool>& clicked, const Simulation& s,
              const DialogLibrary& library, Progress& p, FlightOutcome& outcome) {
    double frame = 1.0 / scenario.frameRate;
    for (size_t i = 0; i < scenario.clicks.size(); ++i) {
        int32_t x = 0, y = 0;
        const std::string& button = scenario.clicks[i].button;
        if (clicked[i] || s.seconds + frame / 2 < scenario.clicks[i].at ||
            !buttonCentre(buttonIndex(button), x, y))
            continue;
        clicked[i] = true;
        clickGauge(x, y, nullptr);
        ExchangeRecord after{};
        library.getData(&after);
        std::printf("tarvix-host: %s pressed %s\n", clock(s.seconds).c_str(), button.c_str());
        if (p.active >= 0 && after.recordNumber != p.active && scenario.destination.present) {
            if (button == "Next")
                outcome.skipped.push_back({p.active, s.seconds});
            std::printf("tarvix-host: %s %s: waypoint %d -> %d\n", clock(s.seconds).c_str(),
                        button.c_str(), p.active, after.recordNumber);
            p.active = after.recordNumber;
        }
    }
}

// Once a simulated second: the log line, the track, and whether the active waypoint changed.
void checkSecond(const Scenario& scenario, const Simulation& s, const DialogLibrary& library,
                 RunOutputs& out, Progress& p, FlightOutcome& outcome, TrackPlot& plot) {
    ExchangeRecord active{};
    library.getData(&active);
    PlotPoint here{s.aircraft.latitude, s.aircraft.longitude};
    double toActive = 0;
    if (scenario.destination.present) {
        if (active.recordNumber != p.active) {
            if (p.active >= 0) {
                outcome.sequenced.push_back({p.active, s.seconds});
                plot.events.push_back({here, clock(s.seconds)});
                std::printf("tarvix-host: %s waypoint %d reached, next %d\n",
                            clock(s.seconds).c_str(), p.active, active.recordNumber);
            }
            p.active = active.recordNumber;
        }
        PlotPoint target = degreesOf(active);
        toActive = sphereDistance(here.latitude, here.longitude, target.latitude, target.longitude);
        if (p.active == p.final && !outcome.arrived && toActive < overhead) {
            outcome.arrived = true;
            outcome.arrival = {p.final, s.seconds};
            plot.events.push_back({here, clock(s.seconds)});
            std::printf("tarvix-host: %s arrived at the last waypoint, %d\n",
                        clock(s.seconds).c_str(), p.final);
        }
        if (outcome.arrived)
            p.farthestAfterArrival = std::max(
                p.farthestAfterArrival, sphereDistance(here.latitude, here.longitude,
                                                       p.finalAt.latitude, p.finalAt.longitude));
    }
    plot.track.push_back(here);
    if (s.aircraft.autopilot.master) {
        p.coupledTrack.push_back(here);
    } else {
        p.uncoupledTrack.push_back(here);
        if (p.uncoupledSince < 0)
            p.uncoupledSince = s.seconds;
    }
    logState(out, s, active, toActive);
}

void listEvents(const char* what, const std::vector<WaypointEvent>& events) {
    std::printf("tarvix-host: %s:", what);
    for (const WaypointEvent& e : events)
        std::printf(" %d", e.record);
    std::printf(events.empty() ? " none\n" : "\n");
}

void printSummary(const Scenario& scenario, const Progress& p, const FlightOutcome& o) {
    std::vector<WaypointEvent> reached = o.sequenced;
    if (o.arrived)
        reached.push_back(o.arrival);
    if (scenario.destination.present) {
        listEvents("waypoints reached in order", reached);
        listEvents("skipped by button", o.skipped);
        std::printf("tarvix-host: not reached:");
        for (int32_t record : o.notReached)
            std::printf(" %d", record);
        std::printf(o.notReached.empty() ? " none\n" : "\n");
        if (o.arrived) {
            double after = o.seconds - o.arrival.seconds;
            std::printf("tarvix-host: last arrival: waypoint %d at %s", o.arrival.record,
                        clock(o.arrival.seconds).c_str());
            if (after < 1)
                std::printf(", where the flight ended\n");
            else if (p.farthestAfterArrival < 5)
                std::printf("; then %s more circling it, never more than %.1f nm away\n",
                            clock(after).c_str(), p.farthestAfterArrival);
            else
                std::printf("; then %s more, up to %.1f nm away from it\n", clock(after).c_str(),
                            p.farthestAfterArrival);
        } else {
            std::printf("tarvix-host: last arrival: none; the last waypoint, %d, was not reached\n",
                        p.final);
        }
    }
    std::printf("tarvix-host: %s flown, %.1f nm, at most %.2f nm off the planned route",
                clock(o.seconds).c_str(), o.distanceFlown, o.largestOffRoute);
    if (o.largestOffRouteUncoupled >= 0)
        std::printf(" while coupled; %.1f nm with the autopilot off (from %s)",
                    o.largestOffRouteUncoupled, clock(p.uncoupledSince).c_str());
    std::printf("\n");
}

// The waypoints of the route from the chosen one on that were neither reached nor skipped.
void findNotReached(const Scenario& scenario, const FlightPlan& plan, FlightOutcome& o) {
    auto start =
        std::find(plan.routeRecords.begin(), plan.routeRecords.end(), scenario.destination.record);
    for (auto record = start; record != plan.routeRecords.end(); ++record) {
        auto is = [&](const WaypointEvent& e) { return e.record == *record; };
        if (std::none_of(o.sequenced.begin(), o.sequenced.end(), is) &&
            std::none_of(o.skipped.begin(), o.skipped.end(), is) &&
            !(o.arrived && o.arrival.record == *record))
            o.notReached.push_back(*record);
    }
}

bool writeFinalPictures(RunOutputs& out, const TrackPlot& plot, FlightOutcome& outcome,
                        std::string& error) {
    PanelPicture picture;
    if (!composePanel(picture, error) || !writePng("panel.png", picture, error))
        return false;
    outcome.written.push_back("panel.png");
    if (!writeTrackPlot("track.png", plot, error))
        return false;
    outcome.written.push_back("track.png");
    if (out.gif.bytes.empty())
        return true;
    gifEnd(out.gif);
    std::ofstream gif("flight.gif", std::ios::binary);
    gif.write(reinterpret_cast<const char*>(out.gif.bytes.data()),
              std::streamsize(out.gif.bytes.size()));
    gif.close();
    outcome.written.push_back("flight.gif");
    if (!gif)
        error = "cannot write the animation 'flight.gif'";
    return bool(gif);
}

// The frames of the flight, with the gauge installed and initialised.
bool flyFrames(const Scenario& scenario, const FlightPlan& plan, const DialogLibrary& library,
               Simulation& s, RunOutputs& out, FlightOutcome& outcome, std::string& error) {
    TrackPlot plot{scenario.name.empty() ? "Flight" : scenario.name, plan.route, {}, {}};
    Progress p;
    if (!plan.routeRecords.empty()) {
        p.final = plan.routeRecords.back();
        p.finalAt = plan.route.back().position;
    }
    double frame = 1.0 / scenario.frameRate, flown = 0;
    long totalFrames = std::lround(scenario.duration * scenario.frameRate);
    std::vector<bool> clicked(scenario.clicks.size(), false);
    for (long f = 0; f < totalFrames; ++f) {
        pressDue(scenario, clicked, s, library, p, outcome);
        double lat = s.aircraft.latitude, lon = s.aircraft.longitude;
        simulationFrame(s);
        flown += sphereDistance(lat, lon, s.aircraft.latitude, s.aircraft.longitude);
        char when[32];
        std::snprintf(when, sizeof when, "%.2f", s.seconds);
        logNewKeyEvents(out.keys, when);
        if (due(s.seconds, 1.0, frame))
            checkSecond(scenario, s, library, out, p, outcome, plot);
        if (due(s.seconds, scenario.pictureEvery, frame) && !takePicture(out, outcome, error))
            return false;
        if (due(s.seconds, scenario.animationEvery, frame))
            addAnimationFrame(out);
        if (totalFrames >= 100 && (f + 1) % (totalFrames / 10) == 0)
            std::fprintf(stderr, "tarvix-host: %ld%% (%s of %s simulated)\n",
                         (f + 1) * 100 / totalFrames, clock(s.seconds).c_str(),
                         clock(scenario.duration).c_str());
        if (scenario.stopAtArrival && outcome.arrived)
            break;
    }
    out.log.close();
    out.keys.file.close();
    outcome.seconds = s.seconds;
    outcome.distanceFlown = flown;
    outcome.largestOffRoute = largestOffRoute(plan.route, p.coupledTrack);
    outcome.largestOffRouteUncoupled =
        p.uncoupledTrack.empty() ? -1 : largestOffRoute(plan.route, p.uncoupledTrack);
    if (scenario.destination.present)
        findNotReached(scenario, plan, outcome);
    if (!writeFinalPictures(out, plot, outcome, error))
        return false;
    printSummary(scenario, p, outcome);
    return true;
}

} // namespace

bool flyScenario(const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error) {
    outcome = FlightOutcome{};
    DialogLibrary library;
    if (!bindLibrary(library, error))
        return false;
    FlightPlan plan{};
    RunOutputs out;
    bool flown = false;
    if (writeDatabase(database, outcome, error) &&
        (!scenario.destination.present || planFlight(scenario, plan, error)) &&
        openOutputs(settings, out, outcome, error)) {
        if (scenario.destination.present)
            library.setData(&plan.choice);
        Simulation s = makeSimulation(scenario.aircraft, scenario.frameRate, scenario.selector);
        serveVariables(s);
        hostInstall();
        hostInitialize();
        obeyKeyEvents(s);
        logNewKeyEvents(out.keys, "0.00");
        flown = flyFrames(scenario, plan, library, s, out, outcome, error);
        hostKill();
    }
    FreeLibrary(library.module);
    return flown;
}
