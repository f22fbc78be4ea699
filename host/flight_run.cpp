#include "flight_run.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/position_units.h"
#include "common/text_fields.h"
#include "gauge/button_table.h"
#include "button_names.h"
#include "clock_text.h"
#include "dialog_steps.h"
#include "flight_files.h"
#include "flight_progress.h"
#include "interruption.h"
#include "panel_host.h"

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

// The record the settings dialog would leave for an airport chosen in airport mode.
ExchangeRecord handedRecord(const HandedAirport& airport) {
    ExchangeRecord record{};
    copyBoundedText(record.ident, airport.ident.c_str(), sizeof record.ident);
    copyBoundedText(record.name, airport.name.c_str(), sizeof record.name);
    record.latitude = latitudeFromDegrees(airport.latitude);
    record.longitude = longitudeFromDegrees(airport.longitude);
    record.mode = airportMode;
    return record;
}

bool due(double seconds, double every, double frame) {
    return every > 0 && std::fmod(seconds + frame / 2, every) < frame;
}

// Frames after which the gauge has certainly redrawn its screen: it redraws every thirteenth.
constexpr long redrawFrames = 13;

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
    if (opensSettingsDialog(button)) {
        run.progress.pictureAt = run.simulation.frames + redrawFrames;
        return afterDialog(run, before, outcome, error);
    }
    if (opensAboutBox(button))
        run.progress.pictureAt = run.simulation.frames + redrawFrames;
    ExchangeRecord after = activeWaypoint(run);
    Progress& p = run.progress;
    if (p.destination && after.recordNumber != p.active) {
        if (button == "Next")
            outcome.skipped.push_back({p.active, p.activeName, run.simulation.seconds});
        say(run, outcome, button + ": " + p.activeName + " -> " + waypointName(after), false);
        p.active = after.recordNumber;
        p.activeName = waypointName(after);
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
        if (opensSettingsDialog(click.button) || opensAboutBox(click.button)) {
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

} // namespace

bool startFlight(FlightRun& run, const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error) {
    outcome = FlightOutcome{};
    run.scenario = scenario;
    run.settings = settings;
    run.plot = TrackPlot{scenario.name.empty() ? "Flight" : scenario.name, {}, {}, {}, {}};
    run.clicked.assign(scenario.clicks.size(), false);
    run.totalFrames = std::lround(scenario.duration * scenario.frameRate);
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
    outcome.distanceFlown += sphereDistance(lat, lon, s.aircraft.latitude, s.aircraft.longitude);
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
    tellProgress(run);
    if (s.frames >= run.totalFrames || (scenario.stopAtArrival && outcome.arrived))
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
    if (run.installed) {
        run.out.log.close();
        run.out.keys.file.close();
        run.out.steps.close();
        closeProgress(run, outcome);
        std::string failure;
        written = writeFinalPictures(run.out, run.settings, run.plot, outcome, failure);
        if (!written && error.empty())
            error = failure;
        else if (written && error.empty() && !run.settings.panelOnly)
            printSummary(outcome, run.scenario.duration);
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
