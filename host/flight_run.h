// A scripted flight: the scenario flown in the stand-in simulator, with its pictures, logs and
// summary written into the current folder. Flown whole (flyScenario) or frame by frame under the
// live panel window's clock (startFlight, flyFrame, finishFlight).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "flight_state.h"

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

// Closes the logs, writes the final pictures and the summary (of the part flown, marked so, when
// interrupted), kills the gauge and frees the library. Safe after a failed start.
bool finishFlight(FlightRun& run, FlightOutcome& outcome, std::string& error);

// database: the bytes of a checked database, stored as "TarvixDb.dat" (none when empty). On a
// failure outcome.written still lists what was written before it. An interrupted flight
// returns true with outcome.interrupted set: what it wrote covers the part flown.
bool flyScenario(const Scenario& scenario, const std::vector<uint8_t>& database,
                 const RunSettings& settings, FlightOutcome& outcome, std::string& error);
