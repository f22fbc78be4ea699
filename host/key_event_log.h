// The key events of a run as CSV. By default only the events that change the autopilot are
// written (the gauge re-sends its heading every frame, which would be most of the file); the
// full record is behind --all-key-events.
#pragma once
#include <cstddef>
#include <fstream>
#include <string>

#include "flight_model.h"

struct KeyEventLog {
    std::ofstream file;
    bool all = false;
    size_t seen = 0;    // events of the panel's record already looked at
    long written = 0;   // lines written
    Aircraft autopilot; // what the events so far have set, to tell a change from a repeat
};

// timeColumn names the first column ("frame", "time_s").
bool openKeyEventLog(KeyEventLog& log, const std::string& path, const char* timeColumn, bool all);

// Writes the events sent since the last call, each with when (the frame or the time).
void logNewKeyEvents(KeyEventLog& log, const std::string& when);
