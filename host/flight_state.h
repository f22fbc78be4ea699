// What one flight of the stand-in simulator holds while it runs (the run's settings, its library,
// plan, outputs, progress and simulation) and what it comes to (its outcome). The files that fly,
// log and tell a flight all take these records from here.
#pragma once
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "common/module_contract.h"
#include "flight_plan.h"
#include "gif_writer.h"
#include "key_event_log.h"
#include "scenario.h"
#include "simulation.h"

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
    bool destination;                 // one was chosen: the figures of the route below are set
    std::string lastWaypoint;         // the route's last waypoint
    double farthestAfterArrival;      // nm from the last waypoint once it was reached
    double uncoupledSince = -1;       // simulated seconds when the autopilot was first off
    PlotPoint endedAt;                // where the aircraft was as the flight ended
    std::string flyingTo;             // the waypoint it was flying to then
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
    std::vector<PlotPoint> coupledTrack, uncoupledTrack;
    double offRoute = 0, offRouteUncoupled = -1; // of the tracks of earlier plans
    long pictureAt = -1;                         // the frame whose redraw shows a dialog's outcome
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
    bool installed;
};

// The waypoint the library holds as the gauge's destination.
inline ExchangeRecord activeWaypoint(const FlightRun& run) {
    ExchangeRecord active{};
    if (run.library.getData)
        run.library.getData(&active);
    return active;
}
