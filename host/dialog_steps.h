// A scripted press of the gauge's DLG or INF button, with the dialog it opens worked through its
// controls the way a pilot would: the entry selected by its labels, the editor's fields typed and
// clicked, the closing buttons pressed. Message boxes are answered and recorded; a dialog left
// open is cancelled after the step's time limit, so that a run never hangs on one.
#pragma once
#include <string>
#include <vector>

#include "scenario.h"

struct StepReport {
    bool failed;                    // the step did not do what it says
    std::string failure;            // why, naming the step
    std::vector<std::string> lines; // what happened, in order, for the run's log
    bool dialogShown;
    std::string closedBy;             // "OK", "Cancel", "time limit"; "" when none was shown
    std::vector<std::string> written; // the pictures it wrote, in the current folder
    double wallSeconds;               // from the press until the dialog had closed
};

// Presses the step's button on the gauge (through its mouse table) and works the dialog.
// name is the step's name in messages (stepName).
StepReport pressWithDialog(const ScenarioClick& step, const std::string& name);
