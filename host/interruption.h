// Ctrl-C (and Ctrl-Break, or the console closing) as a request to stop the flight where it is
// and still write what was flown; a second one ends the program at once.
#pragma once

// Takes the console's control events from now on.
void watchForInterruption();

// Whether the pilot asked to stop.
bool interruptionAsked();

// The exit status of an interrupted run, as shells give a program stopped by Ctrl-C.
constexpr int interruptedExitCode = 130;
