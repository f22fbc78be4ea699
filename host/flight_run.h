// A scripted flight: the scenario flown in the stand-in simulator, with its pictures, logs and
// summary written into the current folder. Flown whole (flyScenario) or frame by frame under the
// live panel window's clock (startFlight, flyFrame, finishFlight).
#pragma once
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "common/module_contract.h"
#include "host/flight_plan.h"
#include "host/gif_writer.h"
#include "host/key_event_log.h"
#include "host/scenario.h"
#include "host/simulation.h"

struct RunSettings {
    bool allKeyEvents; // every key event in key-events.csv, not only the changes
    bool untilClosed;  // the live window: fly on past the duration and the last arrival
    // The command line's free flight writes only the panel picture and, when asked, the key
    // events by frame, and tells its presses by frame: no logs, track, progress or summary.
    bool panelOnly = false;
    std::string panelPicture = "panel.png";
    std::string keyEvents = "key-events.csv"; // "" for none (the free flight only)
};

struct WaypointEvent {
    int32_t record;
    std::string name; // "001 Milwaukee Mitchell"
    double seconds;
};

struct FlightOutcome {
    std::vector<WaypointEvent> sequenced; // left for the next one by the gauge's arrival rule
    std::vector<WaypointEvent> skipped;   // left by Next before it was reached
    std::vector<std::string> notReached;  // waypoints of the route ahead that were never reached
    bool arrived;                         // the last waypoint was flown over
    bool interrupted;                     // stopped by the pilot (Ctrl-C) before its end
    WaypointEvent arrival;
    double seconds;
    long frames;
    long keyEventsWritten;            // lines of the key events' file
    double distanceFlown;             // nm
    double largestOffRoute;           // nm between the track and the planned route, coupled
    double largestOffRouteUncoupled;  // the same while the autopilot was off; -1 never off
    std::vector<std::string> choices; // how each destination was chosen, for the summary
    std::vector<std::string> written; // the files the run wrote, in the current folder
};

struct LibraryBinding {
    HMODULE module = nullptr;
    RecordExportFn getData = nullptr;
    RecordExportFn setData = nullptr;
};

// What the run writes as it goes.
struct RunOutputs {
    std::ofstream log;
    std::ofstream steps; // the dialog steps: what each did, every message box
    KeyEventLog keys;
    GifAnimation gif{};
    int pictures = 0;
};

// What the flight did with its waypoints, as it went.
struct Progress {
    bool destination = false; // a destination has been chosen
    int32_t active = -1;
    std::string activeName;
    int32_t final = 0; // the last waypoint of the route
    std::string finalName;
    PlotPoint finalAt{0, 0};
    double farthestAfterArrival = 0; // nm from the last waypoint once it was reached
    std::vector<PlotPoint> coupledTrack, uncoupledTrack;
    double offRoute = 0, offRouteUncoupled = -1; // of the tracks of earlier plans
    double uncoupledSince = -1;
    long pictureAt = -1; // the frame whose redraw shows a dialog's outcome
};

struct FlightRun {
    Scenario scenario;
    RunSettings settings;
    LibraryBinding library;
    FlightPlan plan;
    RunOutputs out;
    Progress progress;
    TrackPlot plot;
    Simulation simulation;
    std::vector<bool> clicked;
    long totalFrames;
    double flown; // nm
    bool installed;
};

// Stores the database (none when empty), sets a direct destination, opens the outputs and
// installs and initialises the gauge (loaded by the caller). On failure outcome.written still
// lists what was written before it.
bool startFlight(FlightRun& run, const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error);

enum class FrameResult { flying, finished, failed, interrupted };

// One frame: the clicks and dialog steps due, the simulator frame, the logs and pictures. A
// pending Ctrl-C ends the flight before the frame (outcome.interrupted).
FrameResult flyFrame(FlightRun& run, FlightOutcome& outcome, std::string& error);

// A click of the pilot's own at gauge pixels (the live window): the same bookkeeping as a
// scripted one. Returns false when no button lies there.
bool pilotClick(FlightRun& run, int32_t x, int32_t y, FlightOutcome& outcome);

// The waypoint the library holds as the gauge's destination.
ExchangeRecord activeWaypoint(const FlightRun& run);

// Closes the logs, writes the final pictures and the summary (of the part flown, marked so, when
// interrupted), kills the gauge and frees the library. Safe after a failed start.
bool finishFlight(FlightRun& run, FlightOutcome& outcome, std::string& error);

// database: the bytes of a checked database, stored as "TarvixDb.dat" (none when empty). On a
// failure outcome.written still lists what was written before it. An interrupted flight
// returns true with outcome.interrupted set: what it wrote covers the part flown.
bool flyScenario(const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error);
