// What the Windows tests and benchmarks share: a fresh working folder per test, the built modules'
// paths, the running of a program with its output captured.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// bin/ of the cross build: the folder above the test programs' own.
std::string binFolder();
std::string gaugePath();
std::string dialogLibraryPath();

// Makes a new empty folder under the system's temporary folder and makes it current.
// Returns its path.
std::string enterFreshFolder();

// Copies the built dialog library into the current folder, where the gauge looks for it.
bool putDialogLibraryHere();

// The key events the stand-in recorded, as (event, value) pairs to compare whole.
using KeyEventPairs = std::vector<std::pair<int32_t, int32_t>>;
KeyEventPairs keyEventPairs();

struct ProgramRun {
    unsigned long exitCode; // ~0 when it could not start or was stopped at the time limit
    std::string output;     // standard output and standard error together
};
// Runs the program in the current folder and waits for it, at most timeLimit milliseconds:
// a program still running then is stopped, so that a slow machine fails a test instead of
// leaving a process behind. The time limit is a guard against hangs, never a measure.
ProgramRun runProgram(const std::string& commandLine, unsigned long timeLimit = 100000);
