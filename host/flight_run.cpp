#include "host/flight_run.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/position_units.h"
#include "common/screen_colours.h"
#include "common/text_fields.h"
#include "gauge/button_table.h"
#include "host/dialog_steps.h"
#include "host/interruption.h"
#include "host/panel_host.h"

namespace {

bool bindLibrary(LibraryBinding& library) {
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
    library = LibraryBinding{};
    return false;
}

bool writeDatabase(const std::vector<uint8_t>& bytes, FlightOutcome& outcome, std::string& error) {
    if (bytes.empty())
        return true;
    std::ofstream file(databaseFileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    if (!file) {
        DeleteFileA(databaseFileName);
        error = "cannot write the database 'TarvixDb.dat' into the output folder (the disk may be "
                "full)";
        return false;
    }
    outcome.written.push_back(databaseFileName);
    return true;
}

// A run into a folder that held an earlier one first removes that one's frames and animation,
// so that the folder never mixes two flights.
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
    DeleteFileA("dialog-steps.log");
}

bool openOutputs(const RunSettings& settings, RunOutputs& out, FlightOutcome& outcome,
                 std::string& error) {
    if (settings.panelOnly) {
        if (settings.keyEvents.empty() ||
            openKeyEventLog(out.keys, settings.keyEvents, "frame", settings.allKeyEvents))
            return true;
        error = "cannot write key events '" + settings.keyEvents + "'";
        return false;
    }
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

// When a line of the run happens: the simulated time, or the frame for the free flight, whose
// presses are given by frame.
std::string moment(const FlightRun& run) {
    if (run.settings.panelOnly)
        return "frame " + std::to_string(run.simulation.frames) + ":";
    return clockText(run.simulation.seconds);
}

// A line of the run's log: printed, and kept in dialog-steps.log when it is about a dialog.
void say(FlightRun& run, FlightOutcome& outcome, const std::string& line, bool dialog) {
    std::printf("tarvix-host: %s %s\n", moment(run).c_str(), line.c_str());
    if (!dialog || run.settings.panelOnly)
        return;
    if (!run.out.steps.is_open()) {
        run.out.steps.open("dialog-steps.log", std::ios::binary | std::ios::trunc);
        outcome.written.push_back("dialog-steps.log");
    }
    run.out.steps << clockText(run.simulation.seconds) << " " << line << "\r\n";
    run.out.steps.flush();
}

std::string trimmed(const char* text, size_t size) {
    std::string t(text, strnlen(text, size));
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    return t;
}

void logState(RunOutputs& out, const Simulation& s, const ExchangeRecord& active, double distance) {
    const Aircraft& a = s.aircraft;
    char line[256];
    std::snprintf(line, sizeof line, "%.1f,%.6f,%.6f,%.0f,%.1f,%.0f,%d,%d,%d,%d,%s,%.2f\r\n",
                  s.seconds, a.latitude, a.longitude, a.altitude, a.heading, a.airspeed,
                  a.autopilot.master, a.autopilot.headingHold, a.autopilot.altitudeHold,
                  active.recordNumber, trimmed(active.ident, sizeof active.ident).c_str(),
                  distance);
    out.log << line;
}

bool takePicture(RunOutputs& out, FlightOutcome& outcome, std::string& error) {
    if (out.pictures == 0) {
        CreateDirectoryA("frames", nullptr);
        outcome.written.push_back("frames/");
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

// "001 Milwaukee Mitchell", as the dialog lists it.
std::string nameOf(const ExchangeRecord& r) {
    std::string name = trimmed(r.name, sizeof r.name);
    return trimmed(r.ident, sizeof r.ident) + (name.empty() ? "" : " " + name);
}

// The name of a waypoint of the route, by its record.
std::string routeName(const FlightPlan& plan, int32_t record) {
    for (size_t i = 0; i < plan.routeRecords.size(); ++i)
        if (plan.routeRecords[i] == record)
            return plan.route[i].label;
    return "record " + std::to_string(record);
}

PlotPoint degreesOf(const ExchangeRecord& r) {
    return {latitudeDegrees(r.latitude), longitudeDegrees(r.longitude)};
}

// The key events the last frame sent, stamped with its frame (free flight) or its time.
void logKeyEvents(FlightRun& run, const std::string& frame) {
    if (!run.out.keys.file.is_open())
        return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", run.simulation.seconds);
    logNewKeyEvents(run.out.keys, run.settings.panelOnly ? frame : std::string(seconds));
}

// The record the settings dialog would leave for an airport chosen in airport mode.
ExchangeRecord handedRecord(const HandedAirport& airport) {
    ExchangeRecord record{};
    copyBoundedText(record.ident, airport.ident.c_str(), sizeof record.ident);
    copyBoundedText(record.name, airport.name.c_str(), sizeof record.name);
    record.latitude = latitudeFromDegrees(airport.latitude);
    record.longitude = longitudeFromDegrees(airport.longitude);
    record.mode = 0;
    return record;
}

constexpr double overhead = 1.0; // nm: a waypoint this close counts as flown over

// Frames after which the gauge has certainly redrawn its screen: it redraws every thirteenth.
constexpr long redrawFrames = 13;

// Follows a new plan: the off-route figures of the tracks flown so far are kept against the
// route they were flown on.
void followPlan(FlightRun& run, const FlightPlan& plan) {
    Progress& p = run.progress;
    if (p.destination) {
        p.offRoute = std::max(p.offRoute, largestOffRoute(run.plan.route, p.coupledTrack));
        if (!p.uncoupledTrack.empty())
            p.offRouteUncoupled =
                std::max(p.offRouteUncoupled, largestOffRoute(run.plan.route, p.uncoupledTrack));
    }
    p.coupledTrack.clear();
    p.uncoupledTrack.clear();
    run.plan = plan;
    run.plot.route = plan.route;
    p.destination = true;
    p.active = plan.choice.recordNumber;
    p.activeName = nameOf(plan.choice);
    p.final = plan.routeRecords.back();
    p.finalName = plan.route.back().label;
    p.finalAt = plan.route.back().position;
}

std::string describeChoice(const FlightPlan& plan) {
    const ExchangeRecord& c = plan.choice;
    bool coupled = plan.tour ? c.tourAutopilot : c.airportAutopilot;
    bool hold = plan.tour ? c.tourAltitudeHold : c.airportAltitudeHold;
    return nameOf(c) + ", " + (plan.tour ? "tour" : "airport") + " mode, autopilot " +
           (coupled ? "on" : "off") + ", altitude hold " + (hold ? "on" : "off");
}

// After a press of DLG: what the dialog left with the library. A destination that changed is
// the new plan; Cancel leaves everything as it was.
bool afterDialog(FlightRun& run, const ExchangeRecord& before, FlightOutcome& outcome,
                 std::string& error) {
    ExchangeRecord after = activeWaypoint(run);
    if (std::memcmp(&before, &after, offsetof(ExchangeRecord, aircraftLatitude)) == 0) {
        say(run, outcome, "DLG: the destination stays as it was", true);
        return true;
    }
    if (after.recordNumber < 1) {
        say(run, outcome, "DLG: the dialog chose no destination", true);
        return true;
    }
    FlightPlan plan;
    const Aircraft& a = run.simulation.aircraft;
    if (!planChosen(after, {a.latitude, a.longitude}, plan, error)) {
        error = "after the settings dialog: " + error;
        return false;
    }
    followPlan(run, plan);
    std::string choice = "chosen in the settings dialog at " + clockText(run.simulation.seconds) +
                         ": " + describeChoice(plan);
    outcome.choices.push_back(choice);
    say(run, outcome, "DLG: destination " + choice, true);
    return true;
}

// The bookkeeping after any press. A Next or Prev that changes the active waypoint is the
// pilot's doing, not an arrival: it is noted here so that the next check does not count it as
// sequenced.
bool afterPress(FlightRun& run, const std::string& button, const ExchangeRecord& before,
                FlightOutcome& outcome, std::string& error) {
    if (button == "DLG") {
        run.progress.pictureAt = run.simulation.frames + redrawFrames;
        return afterDialog(run, before, outcome, error);
    }
    if (button == "INF")
        run.progress.pictureAt = run.simulation.frames + redrawFrames;
    ExchangeRecord after = activeWaypoint(run);
    Progress& p = run.progress;
    if (p.destination && after.recordNumber != p.active) {
        if (button == "Next")
            outcome.skipped.push_back({p.active, p.activeName, run.simulation.seconds});
        say(run, outcome, button + ": " + p.activeName + " -> " + nameOf(after), false);
        p.active = after.recordNumber;
        p.activeName = nameOf(after);
    }
    return true;
}

// Clicks due now; a DLG or INF press works the dialog it opens. A step that fails ends the run.
bool pressDue(FlightRun& run, FlightOutcome& outcome, std::string& error) {
    const Scenario& scenario = run.scenario;
    double frame = 1.0 / scenario.frameRate;
    for (size_t i = 0; i < scenario.clicks.size(); ++i) {
        const ScenarioClick& click = scenario.clicks[i];
        int32_t x = 0, y = 0;
        if (run.clicked[i] || run.simulation.seconds + frame / 2 < click.at ||
            !buttonCentre(buttonIndex(click.button), x, y))
            continue;
        run.clicked[i] = true;
        ExchangeRecord before = activeWaypoint(run);
        say(run, outcome, "pressed " + click.button, false);
        if (click.button == "DLG" || click.button == "INF") {
            StepReport report = pressWithDialog(click, click.name);
            for (const std::string& line : report.lines)
                say(run, outcome, click.name + ": " + line, true);
            for (const std::string& file : report.written)
                outcome.written.push_back(file);
            if (report.failed) {
                say(run, outcome, "step failed: " + report.failure, true);
                error = report.failure;
                return false;
            }
            if (report.closedBy == "time limit")
                std::fprintf(stderr, "tarvix-host: %s: the dialog was left open; cancelled it\n",
                             click.name.c_str());
        } else {
            clickGauge(x, y, nullptr);
        }
        if (!run.settings.panelOnly && !afterPress(run, click.button, before, outcome, error))
            return false;
    }
    return true;
}

// Once a simulated second: the log line, the track, and whether the active waypoint changed.
void checkSecond(FlightRun& run, FlightOutcome& outcome) {
    const Simulation& s = run.simulation;
    Progress& p = run.progress;
    ExchangeRecord active = activeWaypoint(run);
    PlotPoint here{s.aircraft.latitude, s.aircraft.longitude};
    double toActive = 0;
    if (p.destination) {
        if (active.recordNumber != p.active) {
            outcome.sequenced.push_back({p.active, p.activeName, s.seconds});
            run.plot.events.push_back({here, clockText(s.seconds)});
            say(run, outcome, p.activeName + " reached, next " + nameOf(active), false);
            p.active = active.recordNumber;
            p.activeName = nameOf(active);
        }
        PlotPoint target = degreesOf(active);
        toActive = sphereDistance(here.latitude, here.longitude, target.latitude, target.longitude);
        if (p.active == p.final && !outcome.arrived && toActive < overhead) {
            outcome.arrived = true;
            outcome.arrival = {p.final, p.finalName, s.seconds};
            run.plot.events.push_back({here, clockText(s.seconds)});
            say(run, outcome, "arrived at the last waypoint, " + p.finalName, false);
        }
        if (outcome.arrived)
            p.farthestAfterArrival = std::max(
                p.farthestAfterArrival, sphereDistance(here.latitude, here.longitude,
                                                       p.finalAt.latitude, p.finalAt.longitude));
    }
    run.plot.track.push_back(here);
    if (s.aircraft.autopilot.master) {
        p.coupledTrack.push_back(here);
    } else {
        p.uncoupledTrack.push_back(here);
        if (p.uncoupledSince < 0)
            p.uncoupledSince = s.seconds;
    }
    logState(run.out, s, active, toActive);
}

void listNames(const char* what, const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? " " : ", ") + name;
    std::printf("tarvix-host: %s:%s\n", what, list.empty() ? " none" : list.c_str());
}

void listEvents(const char* what, const std::vector<WaypointEvent>& events) {
    std::vector<std::string> names;
    for (const WaypointEvent& e : events)
        names.push_back(e.name);
    listNames(what, names);
}

// Where the flight was when the pilot stopped it, so that the rest of the summary reads as
// what was flown up to there.
void printInterruption(const FlightRun& run) {
    const Aircraft& a = run.simulation.aircraft;
    std::printf("tarvix-host: interrupted at %s of %s simulated, at %c%.4f %c%.4f, %s; the summary "
                "and pictures are of the part flown\n",
                clockText(run.simulation.seconds).c_str(), clockText(run.scenario.duration).c_str(),
                a.latitude < 0 ? 'S' : 'N', std::fabs(a.latitude), a.longitude < 0 ? 'W' : 'E',
                std::fabs(a.longitude),
                run.progress.destination ? ("flying to " + run.progress.activeName).c_str()
                                         : "with no destination");
}

void printSummary(const FlightRun& run, const FlightOutcome& o) {
    const Progress& p = run.progress;
    if (o.interrupted)
        printInterruption(run);
    for (const std::string& choice : o.choices)
        std::printf("tarvix-host: destination %s\n", choice.c_str());
    std::vector<WaypointEvent> reached = o.sequenced;
    if (o.arrived)
        reached.push_back(o.arrival);
    if (p.destination) {
        listEvents("waypoints reached in order", reached);
        listEvents("skipped by button", o.skipped);
        listNames(o.interrupted ? "not reached before the interruption" : "not reached",
                  o.notReached);
        if (o.arrived) {
            double after = o.seconds - o.arrival.seconds;
            std::printf("tarvix-host: last arrival: %s at %s", o.arrival.name.c_str(),
                        clockText(o.arrival.seconds).c_str());
            if (after < 1)
                std::printf(", where the flight ended\n");
            else if (p.farthestAfterArrival < 5)
                std::printf("; then %s more circling it, never more than %.1f nm away\n",
                            clockText(after).c_str(), p.farthestAfterArrival);
            else
                std::printf("; then %s more, up to %.1f nm away from it\n",
                            clockText(after).c_str(), p.farthestAfterArrival);
        } else {
            std::printf("tarvix-host: last arrival: none; the last waypoint, %s, was not reached\n",
                        p.finalName.c_str());
        }
    }
    std::printf("tarvix-host: %s flown, %.1f nm, at most %.2f nm off the planned route",
                clockText(o.seconds).c_str(), o.distanceFlown, o.largestOffRoute);
    if (o.largestOffRouteUncoupled >= 0)
        std::printf(" while coupled; %.1f nm with the autopilot off (from %s)",
                    o.largestOffRouteUncoupled, clockText(p.uncoupledSince).c_str());
    std::printf("\n");
}

// The waypoints of the route from the chosen one on that were neither reached nor skipped.
void findNotReached(const FlightRun& run, FlightOutcome& o) {
    const FlightPlan& plan = run.plan;
    auto start =
        std::find(plan.routeRecords.begin(), plan.routeRecords.end(), plan.choice.recordNumber);
    for (auto record = start; record != plan.routeRecords.end(); ++record) {
        auto is = [&](const WaypointEvent& e) { return e.record == *record; };
        if (std::none_of(o.sequenced.begin(), o.sequenced.end(), is) &&
            std::none_of(o.skipped.begin(), o.skipped.end(), is) &&
            !(o.arrived && o.arrival.record == *record))
            o.notReached.push_back(routeName(plan, *record));
    }
}

bool writeFinalPictures(RunOutputs& out, const RunSettings& settings, const TrackPlot& plot,
                        FlightOutcome& outcome, std::string& error) {
    PanelPicture picture;
    if (!composePanel(picture, error) || !writePng(settings.panelPicture, picture, error))
        return false;
    outcome.written.push_back(settings.panelPicture);
    if (settings.panelOnly)
        return true;
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

} // namespace

ExchangeRecord activeWaypoint(const FlightRun& run) {
    ExchangeRecord active{};
    if (run.library.getData)
        run.library.getData(&active);
    return active;
}

bool startFlight(FlightRun& run, const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error) {
    outcome = FlightOutcome{};
    run.scenario = scenario;
    run.settings = settings;
    run.plot = TrackPlot{scenario.name.empty() ? "Flight" : scenario.name, {}, {}, {}};
    run.clicked.assign(scenario.clicks.size(), false);
    run.totalFrames = std::lround(scenario.duration * scenario.frameRate);
    run.flown = 0;
    run.installed = false;
    run.simulation = makeSimulation(scenario.aircraft, scenario.frameRate, scenario.selector);
    // The gauge flies without the dialog library (it then has no destination); a flight that
    // hands it a database or a destination does not.
    bool needsLibrary =
        !database.empty() || scenario.destination.present || scenario.handed.present;
    if (!bindLibrary(run.library) && needsLibrary) {
        error = "the dialog library TarvixDlg.dll cannot be loaded beside the host";
        return false;
    }
    FlightPlan plan{};
    if (!writeDatabase(database, outcome, error) ||
        (scenario.destination.present && !planFlight(scenario, plan, error)) ||
        !openOutputs(settings, run.out, outcome, error))
        return false;
    if (scenario.destination.present) {
        run.library.setData(&plan.choice);
        followPlan(run, plan);
        outcome.choices.push_back("set directly in the database: " + describeChoice(plan));
    }
    if (scenario.handed.present) {
        ExchangeRecord handed = handedRecord(scenario.handed);
        run.library.setData(&handed);
    }
    serveVariables(run.simulation);
    hostInstall();
    hostInitialize();
    run.installed = true;
    obeyKeyEvents(run.simulation);
    logKeyEvents(run, "0");
    return true;
}

FrameResult flyFrame(FlightRun& run, FlightOutcome& outcome, std::string& error) {
    const Scenario& scenario = run.scenario;
    Simulation& s = run.simulation;
    if (interruptionAsked()) {
        outcome.interrupted = true;
        return FrameResult::interrupted;
    }
    if (!pressDue(run, outcome, error))
        return FrameResult::failed;
    double frame = 1.0 / scenario.frameRate;
    double lat = s.aircraft.latitude, lon = s.aircraft.longitude;
    simulationFrame(s);
    run.flown += sphereDistance(lat, lon, s.aircraft.latitude, s.aircraft.longitude);
    logKeyEvents(run, std::to_string(s.frames - 1));
    if (!run.settings.panelOnly && due(s.seconds, 1.0, frame))
        checkSecond(run, outcome);
    // The first redraw after a dialog closed shows what it did, also between the regular ones.
    // Every 0 means none: not even that one.
    bool dialogOutcome = s.frames == run.progress.pictureAt;
    if ((dialogOutcome && scenario.pictureEvery > 0) ||
        due(s.seconds, scenario.pictureEvery, frame)) {
        if (!takePicture(run.out, outcome, error))
            return FrameResult::failed;
        if (dialogOutcome && scenario.pictureEvery > 0)
            say(run, outcome,
                "the panel after the dialog closed: frames/panel-" +
                    std::to_string(10000 + run.out.pictures).substr(1) + ".png",
                true);
    }
    if ((dialogOutcome && scenario.animationEvery > 0) ||
        due(s.seconds, scenario.animationEvery, frame))
        addAnimationFrame(run.out);
    if (run.settings.untilClosed)
        return FrameResult::flying;
    long f = s.frames;
    if (!run.settings.panelOnly && run.totalFrames >= 100 && f % (run.totalFrames / 10) == 0)
        std::fprintf(stderr, "tarvix-host: %ld%% (%s of %s simulated)\n", f * 100 / run.totalFrames,
                     clockText(s.seconds).c_str(), clockText(scenario.duration).c_str());
    if (f >= run.totalFrames || (scenario.stopAtArrival && outcome.arrived))
        return FrameResult::finished;
    return FrameResult::flying;
}

bool pilotClick(FlightRun& run, int32_t x, int32_t y, FlightOutcome& outcome) {
    const MouseRect* rect = installedMouseTable();
    std::string label;
    for (int32_t n = 0; rect && n < panelButtonCount; ++n) {
        int32_t cx = 0, cy = 0;
        if (buttonCentre(n, cx, cy) && std::abs(cx - x) * 2 < panelButtons[n].width &&
            std::abs(cy - y) * 2 < panelButtons[n].height)
            label = panelButtons[n].label;
    }
    ExchangeRecord before = activeWaypoint(run);
    if (!clickGauge(x, y, nullptr))
        return false;
    std::string ignored;
    say(run, outcome, "pilot pressed " + (label.empty() ? std::string("a button") : label), false);
    afterPress(run, label, before, outcome, ignored);
    if (!ignored.empty())
        say(run, outcome, ignored, true);
    return true;
}

bool finishFlight(FlightRun& run, FlightOutcome& outcome, std::string& error) {
    bool written = true;
    Progress& p = run.progress;
    if (run.installed) {
        run.out.log.close();
        run.out.keys.file.close();
        run.out.steps.close();
        const Simulation& s = run.simulation;
        outcome.seconds = s.seconds;
        outcome.frames = s.frames;
        outcome.keyEventsWritten = run.out.keys.written;
        outcome.distanceFlown = run.flown;
        outcome.largestOffRoute =
            std::max(p.offRoute, largestOffRoute(run.plan.route, p.coupledTrack));
        outcome.largestOffRouteUncoupled = p.offRouteUncoupled;
        if (!p.uncoupledTrack.empty())
            outcome.largestOffRouteUncoupled =
                std::max(p.offRouteUncoupled, largestOffRoute(run.plan.route, p.uncoupledTrack));
        if (p.destination)
            findNotReached(run, outcome);
        if (outcome.interrupted)
            run.plot.title += " (interrupted at " + clockText(s.seconds) + ")";
        std::string failure;
        written = writeFinalPictures(run.out, run.settings, run.plot, outcome, failure);
        if (written && error.empty() && !run.settings.panelOnly)
            printSummary(run, outcome);
        else if (error.empty())
            error = failure;
        hostKill();
        run.installed = false;
    }
    if (run.library.module)
        FreeLibrary(run.library.module);
    run.library = LibraryBinding{};
    return written;
}

bool flyScenario(const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error) {
    FlightRun run;
    FrameResult result = FrameResult::failed;
    if (startFlight(run, scenario, database, settings, outcome, error)) {
        do
            result = flyFrame(run, outcome, error);
        while (result == FrameResult::flying);
    }
    bool finished = finishFlight(run, outcome, error);
    return (result == FrameResult::finished || result == FrameResult::interrupted) && finished;
}
