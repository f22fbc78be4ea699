// Random edit sequences on the real settings dialog (edit_sequence.h): a fixed stretch of seeds
// in every test run (more with ./tarvix soak), and the faults the sequences found, kept as plain
// cases.
#include <gtest/gtest.h>

#include <cstdio>

#include "testkit/db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "testkit/settings_session.h"
#include "tests/win32/edit_sequence.h"

namespace {

// A seed a case, so that each stays well inside the test time limit on a busy machine.
void runSeed(uint32_t seed) {
    startSequenceWatchdog(60);
    SequencePlan plan;
    plan.seed = seed;
    const SequenceOutcome outcome = runEditSequence(plan);
    ASSERT_TRUE(outcome.passed) << sequenceReport(plan, outcome);
    std::printf("seed %u: %d operations, every rule held\n", seed, outcome.operationsRun);
}

TEST(EditSequences, SeedOneKeepsEveryRule) {
    runSeed(1);
}

TEST(EditSequences, SeedTwoKeepsEveryRule) {
    runSeed(2);
}

TEST(EditSequences, SeedThreeKeepsEveryRule) {
    runSeed(3);
}

using FoundBySequences = SettingsSession;

// A renumbering that changes the number of the item being edited shows it in the editor too,
// which stores what it shows when the selection moves on (found by seed 10 at first).
TEST_F(FoundBySequences, TheEditedTourItemKeepsItsNewNumber) {
    // A tour as a hand-edited file or an import with a line left out numbers it.
    writeFileBytes("TarvixDb.dat", folderLine("Tour", 1, true) + tourItemLine(1, "Alpha") +
                                       tourItemLine(3, "Charlie"));
    std::string tree;
    run({[&](HWND dialog) {
             selectLabel(dialog, "003 - Charlie");
             command(dialog, IDM_NEW_TOUR);
             selectLabel(dialog, "001 - Alpha");
             tree = treeText(treeOf(dialog));
         },
         pressOk});
    EXPECT_EQ(tree, " Tour\n  001 - Alpha\n  002 - Charlie\n  003 - New Tour\n");
    EXPECT_EQ(readFileBytes("TarvixDb.dat").substr(128, 5), "002  ");
}

} // namespace
