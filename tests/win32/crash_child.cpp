// The process the crash tests end (crash_recovery.h): runs the edit sequence of a seed in the
// current folder and says on its standard output, a line at a time and before it happens, where
// it is: "operation N" before each operation, "call N FUNCTION FILE [-> OTHER]" before each file
// call of the dialog library. At its point of death it says "waiting" and waits there to be
// ended from outside; without one it ends with "passed OK" or "passed Cancel" (how the dialog
// closed), or "failed" and the sequence's report. With --reopen it only opens the dialog where
// it is and cancels it, as the opening after a death does, and can die there too.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/win32/crash_recovery.h"
#include "tests/win32/edit_sequence.h"
#include "tests/win32/file_faults.h"

namespace {

DeathPoint death;

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void waitHereIf(DeathPoint::Kind kind, int number) {
    if (death.kind != kind || death.number != number)
        return;
    say("waiting");
    for (;;)
        Sleep(INFINITE);
}

void beforeCall(int32_t number, const FileCall& call) {
    say("call " + std::to_string(number) + " " + call.function + " " + call.file +
        (call.other.empty() ? "" : " -> " + call.other));
    waitHereIf(DeathPoint::call, number);
}

void beforeOperation(int number) {
    say("operation " + std::to_string(number));
    waitHereIf(DeathPoint::operation, number);
}

void takeOver(HMODULE library) {
    if (!takeOverFileCalls(library)) {
        say("failed: the library's file calls could not be taken over");
        ExitProcess(2);
    }
    watchFileCalls(&beforeCall);
    armFileFaults(FaultMode::count);
}

} // namespace

int main(int argc, char** argv) {
    SequencePlan plan;
    bool reopen = false;
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        if (value && std::strcmp(argv[i], "--seed") == 0)
            plan.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (value && std::strcmp(argv[i], "--operations") == 0)
            plan.operations = std::atoi(argv[++i]);
        else if (value && std::strcmp(argv[i], "--death") == 0 && parseDeathPoint(argv[++i], death))
            continue;
        else if (std::strcmp(argv[i], "--verbose") == 0)
            plan.verbose = true;
        else if (std::strcmp(argv[i], "--reopen") == 0)
            reopen = true;
        else {
            say("usage: crash_child --seed SEED --operations N [--death POINT] [--verbose]\n"
                "       crash_child --reopen [--death POINT]");
            return 2;
        }
    }
    if (reopen) {
        const Opening seen = openAndCancel(&takeOver);
        disarmFileFaults();
        say(seen.opened ? "passed Cancel" : "failed: the dialog did not open");
        return seen.opened ? 0 : 1;
    }
    plan.inCurrentFolder = true;
    plan.loaded = &takeOver;
    plan.beforeOperation = &beforeOperation;
    startSequenceWatchdog(60);
    const SequenceOutcome outcome = runEditSequence(plan);
    disarmFileFaults();
    if (!outcome.passed) {
        say("failed\n" + sequenceReport(plan, outcome));
        return 1;
    }
    beforeOperation(plan.operations + 2);
    // The closing is the last operation noted: OK (after mending what refused it) or Cancel.
    say(outcome.steps.back().rfind("OK", 0) == 0 ? "passed OK" : "passed Cancel");
    return 0;
}
