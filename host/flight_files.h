// What a flight writes into the current folder as it goes and at its end: the database it
// flies with, the logs, the panel's frames and animation, the final pictures, and the lines it
// prints. The parts of FlightRun that flight_run.cpp drives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "flight_state.h"

// The database's bytes as "TarvixDb.dat" (nothing when empty).
bool writeDatabase(const std::vector<uint8_t>& bytes, FlightOutcome& outcome, std::string& error);

// The logs (a scenario's), or the free flight's key events when it asks for them.
bool openOutputs(const RunSettings& settings, RunOutputs& out, FlightOutcome& outcome,
                 std::string& error);

// A line of the run's log: printed, and kept in dialog-steps.log when it is about a dialog.
void say(FlightRun& run, FlightOutcome& outcome, const std::string& line, bool dialog);

// A space-padded text of a record without its padding.
std::string trimmed(const char* text, size_t size);

// One line of flight-log.csv: where the aircraft is and what it flies to.
void logState(RunOutputs& out, const Simulation& s, const ExchangeRecord& active, double distance);

// The next of the panel's frames, frames/panel-NNNN.png.
bool takePicture(RunOutputs& out, FlightOutcome& outcome, std::string& error);

void addAnimationFrame(RunOutputs& out);

// The key events the last frame sent, stamped with its frame (free flight) or its time.
void logKeyEvents(FlightRun& run, const std::string& frame);

// The panel picture, and for a scenario the track picture and the animation.
bool writeFinalPictures(RunOutputs& out, const RunSettings& settings, const TrackPlot& plot,
                        FlightOutcome& outcome, std::string& error);
