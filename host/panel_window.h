// The live panel window: the composed panel as the simulator shows it, redrawn at the panel rate
// while the modelled aircraft flies the run; clicks on the gauge go through its own mouse table
// to its handlers, keys fly the aircraft by hand and control the clock, a status line tells the
// flight's state. Closing the window ends the run.
#pragma once
#include <windows.h>

#include <string>

#include "flight_run.h"
#include "hand_flying.h"

struct WindowOptions {
    double closeAfter;   // simulated seconds after which the window closes itself, 0 never
    std::string picture; // a PNG of the whole window as it closes, "" none
    int rate;            // the clock's first rate: 1, 4 or 16
};

// The window shows the gauge this many times its own size, so that its text can be read.
constexpr int panelZoom = 2;

// Whether a window can be made at all, asked before anything is written: without a display Wine
// makes none. On false, error says how to get one.
bool displayAvailable(std::string& error);

// Opens the window over a started flight. nullptr when no window can be made, with error saying
// how to get a display.
HWND openPanelWindow(FlightRun& run, FlightOutcome& outcome, const WindowOptions& options,
                     std::string& error);

// Runs the window's messages until it is closed (by the pilot, --close-after or a failed step).
// Returns false with error when the flight failed.
bool runPanelWindow(HWND window, std::string& error);

// Runs the window's messages for about this long, for tests that look between the frames.
// Returns false once the window is gone.
bool pumpPanelWindow(HWND window, DWORD milliseconds);

// The clock and the status line as the window has them now.
const SimClock& panelClock();
std::string panelStatus();

// Where gauge pixel (x, y) lies in the window's client area (the middle of its zoomed pixel).
POINT clientPointOf(int32_t x, int32_t y);
