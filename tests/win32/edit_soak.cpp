// Random edit sequences on the real settings dialog for as long as asked, or one sequence again
// from its seed, each operation printed (./tarvix soak). Says how many sequences and operations
// ran; the first sequence that breaks a rule prints its seed and operations and ends the run
// with status 1. With --crashes, each sequence runs in a process that is ended at a point its
// seed chooses, and the dialog opened after it must show the database the pilot had accepted
// (crash_recovery.h); a replay prints the sequence's operations and file calls.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/win32/crash_recovery.h"
#include "tests/win32/edit_sequence.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: edit_soak SECONDS [--operations N]\n"
                         "       edit_soak --seed SEED [--operations N]\n"
                         "       edit_soak --crashes SECONDS\n"
                         "       edit_soak --crashes --seed SEED [--operations N] [--death "
                         "operation:N|call:N] [--second-death N]\n");
    return 2;
}

unsigned long secondsSince(DWORD start) {
    return static_cast<unsigned long>((GetTickCount() - start) / 1000);
}

int soakCrashes(long seconds, CrashPlan plan, bool replay) {
    if (replay) {
        plan.verbose = true;
        const CrashOutcome outcome = runCrash(plan);
        std::printf("%s", crashReport(outcome).c_str());
        return outcome.passed ? 0 : 1;
    }
    plan.seed = GetTickCount() * 2654435761u;
    const DWORD start = GetTickCount();
    long deaths = 0, opening = 0, closing = 0, between = 0, twice = 0;
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000u) {
        const CrashOutcome outcome = runCrash(plan);
        if (!outcome.passed) {
            std::printf("%s%ld deaths survived before this one\n", crashReport(outcome).c_str(),
                        deaths);
            return 1;
        }
        ++deaths;
        opening += outcome.inOpening;
        closing += outcome.inClosing;
        between += outcome.plan.death.kind == DeathPoint::operation;
        twice += outcome.diedTwice;
        ++plan.seed;
    }
    std::printf("%ld deaths survived in %lu s: %ld between operations, %ld at a file call of "
                "the opening, %ld of OK or Cancel, %ld of an edit; after %ld of them the opening "
                "that put things back died too\n",
                deaths, secondsSince(start), between, opening, closing,
                deaths - between - opening - closing, twice);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    long seconds = -1;
    SequencePlan plan;
    CrashPlan crash;
    bool replay = false, crashes = false, operationsGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            plan.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            replay = true;
        } else if (std::strcmp(argv[i], "--operations") == 0 && i + 1 < argc) {
            plan.operations = std::atoi(argv[++i]);
            operationsGiven = true;
        } else if (std::strcmp(argv[i], "--crashes") == 0) {
            crashes = true;
        } else if (std::strcmp(argv[i], "--second-death") == 0 && i + 1 < argc) {
            crash.secondDeath = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--death") == 0 && i + 1 < argc) {
            if (!parseDeathPoint(argv[++i], crash.death))
                return usage();
        } else if (argv[i][0] != '-') {
            seconds = std::atol(argv[i]);
        } else {
            return usage();
        }
    }
    if ((seconds < 1 && !replay) || plan.operations < (crashes ? 0 : 1) ||
        (crash.death.kind != DeathPoint::none && !(crashes && replay)))
        return usage();
    if (crashes) {
        crash.seed = plan.seed;
        crash.operations = operationsGiven ? plan.operations : -1;
        return soakCrashes(seconds, crash, replay);
    }
    startSequenceWatchdog(60);
    if (replay) {
        plan.verbose = true;
        const SequenceOutcome outcome = runEditSequence(plan);
        if (!outcome.passed) {
            std::printf("%s", sequenceReport(plan, outcome).c_str());
            return 1;
        }
        std::printf("seed %u: %d operations, every rule held\n", plan.seed, outcome.operationsRun);
        return 0;
    }
    // A new stretch of seeds each run, named so that any of them can be run again.
    plan.seed = GetTickCount() * 2654435761u;
    const DWORD start = GetTickCount();
    long sequences = 0, operations = 0;
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000u) {
        const SequenceOutcome outcome = runEditSequence(plan);
        ++sequences;
        operations += outcome.operationsRun;
        if (!outcome.passed) {
            std::printf("%s", sequenceReport(plan, outcome).c_str());
            std::printf("%ld sequences, %ld operations before this failure\n", sequences,
                        operations);
            return 1;
        }
        ++plan.seed;
    }
    std::printf("%ld sequences of %d operations and OK or Cancel, %ld operations in all, in "
                "%lu s: every rule held\n",
                sequences, plan.operations, operations, secondsSince(start));
    return 0;
}
