#include "flight_files.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/module_contract.h"
#include "common/screen_colours.h"
#include "clock_text.h"
#include "panel_host.h"
#include "run_paths.h"

namespace {

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

// When a line of the run happens: the simulated time, or the frame for the free flight, whose
// presses are given by frame.
std::string moment(const FlightRun& run) {
    if (run.settings.panelOnly)
        return "frame " + std::to_string(run.simulation.frames) + ":";
    return clockText(run.simulation.seconds);
}

} // namespace

bool writeDatabase(const std::vector<uint8_t>& bytes, FlightOutcome& outcome, std::string& error) {
    if (bytes.empty())
        return true;
    // A flight interrupted while its dialog was open left the mark of an unfinished session,
    // which would have the next opening put that flight's backup over this database.
    DeleteFileA(sessionMarkFileName);
    DeleteFileA(savingMarkFileName);
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
    bool keys = openKeyEventLog(out.keys, settings.keyEvents, "time_s", settings.allKeyEvents);
    if (keys)
        outcome.written.push_back(settings.keyEvents);
    if (!out.log || !keys) {
        error = "cannot write the logs into the output folder";
        return false;
    }
    out.log << "time_s,latitude,longitude,altitude_ft,heading,airspeed_kn,ap_master,"
               "ap_heading_hold,ap_altitude_hold,active_waypoint,active_ident,distance_nm\r\n";
    return true;
}

// A line of the run's log: printed, and kept in dialog-steps.log when it is about a dialog.
void say(FlightRun& run, FlightOutcome& outcome, const std::string& line, bool dialog) {
    std::printf("tarvix-host: %s %s\n", moment(run).c_str(), shownText(line).c_str());
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

// The key events the last frame sent, stamped with its frame (free flight) or its time.
void logKeyEvents(FlightRun& run, const std::string& frame) {
    if (!run.out.keys.file.is_open())
        return;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", run.simulation.seconds);
    logNewKeyEvents(run.out.keys, run.settings.panelOnly ? frame : std::string(seconds));
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
