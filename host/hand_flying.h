// Flying the stand-in's aircraft by hand from the live panel window's keys, and the window's
// clock. Plain computation, also built natively and tested there.
#pragma once
#include "flight_model.h"

enum class PilotKey {
    headingLeft,  // 5 degrees to the left
    headingRight, // 5 degrees to the right
    climb,        // 100 ft up
    descend,      // 100 ft down
    faster,       // 10 knots more
    slower,       // 10 knots less
    pause,        // stops the clock, or starts it again
    rate1,        // simulated time as fast as wall time
    rate4,
    rate16,
};

struct SimClock {
    bool paused;
    int rate; // frames flown for every frame of wall time: 1, 4 or 16
};

// Applies the key. The heading and altitude are the autopilot's while it holds them: those keys
// then change nothing. Returns whether anything changed.
bool pilotKey(PilotKey key, Aircraft& aircraft, SimClock& clock);
