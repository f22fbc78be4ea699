// Crashes with a real process death: from a seed, a random edit sequence (edit_sequence.h) runs
// in a child process (crash_child) on a generated database, in a folder of its own, and that
// process is ended from outside with TerminateProcess at a point the seed chooses: between two
// operations, or just before one of the dialog library's file calls (the opening's, an edit's,
// OK's or Cancel's). The dialog is then opened afresh, in this process with the library loaded
// anew, and cancelled at once; it must show exactly the database as it was before the dead
// session opened it, current-choice marker included, or the one OK wrote once OK's replace had
// gone through, and nothing else; and the pilot must have been told, in one message box, when
// the dead session's changes were not kept.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/message_boxes.h"

struct DeathPoint {
    enum Kind { none, operation, call } kind = none; // none: chosen by the seed
    // Before operation number (1 to the operations, then operations + 1 for the closing OK or
    // Cancel, operations + 2 once the dialog has closed), or before the numbered file call of
    // the library, counted from 1 as the dialog opens.
    int number = 0;
};
// "operation:N" or "call:N"; false when the text is neither.
bool parseDeathPoint(const char* text, DeathPoint& point);
std::string deathPointText(const DeathPoint& point);

// The dialog opened in this process, with the library loaded anew (and handed to loaded before
// the dialog opens), and cancelled at once, message boxes answered.
struct Opening {
    bool opened = false;
    std::string tree; // every item with its record and kind, and the selection
    std::vector<SeenMessageBox> boxes;
    std::string database; // after Cancel
    bool scratchLeft = false;
};
Opening openAndCancel(void (*loaded)(HMODULE library) = nullptr);

struct CrashPlan {
    uint32_t seed = 1;
    int operations = -1; // before the closing OK or Cancel; -1: chosen by the seed
    DeathPoint death;
    // Before which file call the opening that puts the dead session's work back dies in turn
    // (a second child, started where the first one died); 0: none; -1: chosen by the seed.
    int secondDeath = -1;
    bool verbose = false; // the whole run printed: the sequence's operations and file calls
};

struct CrashOutcome {
    bool passed = false;
    CrashPlan plan;    // with the operations and the point of death the seed chose
    std::string where; // the point of death in words: which call, in which operation
    std::string failure;
    bool inClosing = false, inOpening = false; // where the death fell, for the soak's figures
    bool diedTwice = false;                    // the opening after the death died too
};

CrashOutcome runCrash(CrashPlan plan);

// The seed, the point of death, what was found and the command that replays it.
std::string crashReport(const CrashOutcome& outcome);
