// Random edit sequences on the real settings dialog for as long as asked, or one sequence again
// from its seed, each operation printed (./tarvix soak). Says how many sequences and operations
// ran; the first sequence that breaks a rule prints its seed and operations and ends the run
// with status 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/win32/edit_sequence.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: edit_soak SECONDS [--operations N]\n"
                         "       edit_soak --seed SEED [--operations N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    long seconds = -1;
    SequencePlan plan;
    bool replay = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            plan.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            replay = true;
        } else if (std::strcmp(argv[i], "--operations") == 0 && i + 1 < argc) {
            plan.operations = std::atoi(argv[++i]);
        } else if (argv[i][0] != '-') {
            seconds = std::atol(argv[i]);
        } else {
            return usage();
        }
    }
    if ((seconds < 1 && !replay) || plan.operations < 1)
        return usage();
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
                sequences, plan.operations, operations,
                static_cast<unsigned long>((GetTickCount() - start) / 1000));
    return 0;
}
