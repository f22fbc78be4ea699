// Random edit sequences on the real settings dialog: from a seed, a generated database and
// exchange files, the dialog opened through the library's export, a few hundred operations
// through the controls a pilot uses, and the dialog's rules checked from outside after each one
// (the tree against the database file and against what the operations should have left, the
// message boxes, the editor's controls), then OK or Cancel and the files and the gauge's record
// checked against the tree that was shown. Run in an empty current folder with the built
// library; one sequence at a time in a process.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SequencePlan {
    uint32_t seed = 1;
    int operations = 300; // before the closing OK or Cancel
    bool verbose = false; // each operation printed as it runs, for a replay
    // A sequence run by another process that watches it (and may end it): in the current
    // folder, whose files stay; told when the library has loaded, before the dialog opens, and
    // before each operation (1 to operations, then operations + 1 for the closing OK or Cancel).
    bool inCurrentFolder = false;
    std::function<void(HMODULE library)> loaded;
    std::function<void(int operation)> beforeOperation;
};

struct SequenceOutcome {
    bool passed = false;
    int operationsRun = 0;          // including the closing ones
    std::vector<std::string> steps; // what each operation did, in order
    std::string failure;            // the first broken rule, empty when passed
    std::string tree;               // the tree's labels when it broke, indented by depth
};

SequenceOutcome runEditSequence(const SequencePlan& plan);

// The database the sequence of the seed starts from, as it writes it.
std::string generatedDatabase(uint32_t seed);

// The seed, the broken rule and the numbered operations, as a failure prints them.
std::string sequenceReport(const SequencePlan& plan, const SequenceOutcome& outcome);

// A thread that ends the process when no operation finishes for the given time, after printing
// the running sequence's report: a dialog that hangs fails its run instead of holding it.
void startSequenceWatchdog(unsigned seconds);
