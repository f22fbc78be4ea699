// Crashes with a real process death (crash_recovery.h): a fixed stretch of seeds in every test
// run, each dying where its seed chooses, and sessions that only opened the dialog and died;
// ./tarvix soak --crashes runs as many more as asked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win32/crash_recovery.h"

namespace {

struct Crash {
    uint32_t seed;
    int operations;    // -1: the seed's choice
    const char* death; // nullptr: the seed's choice
};

// With no operation, operation 1 is the closing: the dialog opened, took the marker out of the
// file, and its process died.
const Crash crashes[] = {
    {1, -1, nullptr},      {2, -1, nullptr},  {3, -1, nullptr},      {4, -1, nullptr},
    {5, -1, nullptr},      {6, -1, nullptr},  {7, -1, nullptr},      {8, -1, nullptr},
    {9, -1, nullptr},      {10, -1, nullptr}, {1, 0, "operation:1"}, {2, 0, "operation:1"},
    {3, 0, "operation:1"},
};

// One case a death, each with the whole time a case is given: thirteen deaths in one case ran
// out of it on a loaded machine.
class CrashRecovery : public ::testing::TestWithParam<Crash> {};

TEST_P(CrashRecovery, AfterTheDeathTheDialogOpensOnTheAcceptedDatabaseOrOksOne) {
    const Crash& crash = GetParam();
    CrashPlan plan;
    plan.seed = crash.seed;
    plan.operations = crash.operations;
    if (crash.death) {
        ASSERT_TRUE(parseDeathPoint(crash.death, plan.death)) << crash.death;
    }
    const CrashOutcome outcome = runCrash(plan);
    EXPECT_TRUE(outcome.passed) << crashReport(outcome);
    if (outcome.passed)
        std::printf("%s", crashReport(outcome).c_str());
}

std::string crashName(const ::testing::TestParamInfo<Crash>& info) {
    return "Seed" + std::to_string(info.param.seed) + (info.param.death ? "OpenedAndDied" : "");
}

INSTANTIATE_TEST_SUITE_P(Deaths, CrashRecovery, ::testing::ValuesIn(crashes), crashName);

} // namespace
