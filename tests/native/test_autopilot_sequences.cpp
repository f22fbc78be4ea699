// The key-event sequences as the gauge sends them, expanded with their values.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/sim_ids.h"
#include "gauge/autopilot_sequences.h"

namespace {

using Events = std::vector<std::pair<int32_t, int32_t>>;

Events expand(const KeyPlan& plan, const ExchangeRecord& exchange, double heading = 123.4) {
    AutopilotInputs inputs = {heading, 1000 / 3.281, 0, &exchange};
    Events out;
    for (size_t p = 0; p < plan.count; ++p)
        for (size_t i = 0; i < plan.parts[p].count; ++i)
            out.push_back(
                {plan.parts[p].steps[i].event, keyValue(plan.parts[p].steps[i].value, inputs)});
    return out;
}

ExchangeRecord flags(int32_t mode, int32_t airportAp, int32_t airportHold, int32_t tourAp,
                     int32_t tourHold) {
    ExchangeRecord r{};
    r.mode = mode;
    r.airportAutopilot = airportAp;
    r.airportAltitudeHold = airportHold;
    r.airportAltitude = 4500.7;
    r.tourAutopilot = tourAp;
    r.tourAltitudeHold = tourHold;
    r.tourAltitude = 2500;
    return r;
}

TEST(ApplyAutopilot, AirportModeWithAltitude) {
    Events expected = {{0x10118, 0},   {0x101F4, 0}, {0x10100, 0},    {0x1010F, 0},
                       {0x101FA, 124}, {0x10110, 0}, {0x1024C, 4500}, {0x101F4, 700}};
    EXPECT_EQ(expand(applyAutopilotPlan(flags(0, 1, 1, 0, 0)), flags(0, 1, 1, 0, 0)), expected);
}

TEST(ApplyAutopilot, TourModeUsesTheTourFlags) {
    ExchangeRecord r = flags(1, 1, 1, 1, 1);
    Events expected = {{0x10118, 0},   {0x101F4, 0}, {0x10100, 0},    {0x1010F, 0},
                       {0x101FA, 124}, {0x10110, 0}, {0x1024C, 2500}, {0x101F4, 700}};
    EXPECT_EQ(expand(applyAutopilotPlan(r), r), expected);
}

TEST(ApplyAutopilot, UncoupledOnlyLevelsOff) {
    for (const ExchangeRecord& r : {flags(0, 0, 1, 1, 1), flags(1, 1, 1, 0, 1)}) {
        Events expected = {{0x10118, 0}, {0x101F4, 0}};
        EXPECT_EQ(expand(applyAutopilotPlan(r), r), expected);
    }
}

TEST(Couple, AltitudeChoiceIgnoresTheMode) {
    // Airport mode, no airport hold but a tour hold: the tour altitude is sent.
    ExchangeRecord r = flags(0, 1, 0, 0, 1);
    Events expected = {{0x10100, 0}, {0x1010F, 0},    {0x101FA, 124},
                       {0x10110, 0}, {0x1024C, 2500}, {0x101F4, -700}};
    EXPECT_EQ(expand(couplePlan(r), r), expected);
    // The airport hold wins when both are set.
    r = flags(1, 0, 1, 1, 1);
    EXPECT_EQ(expand(couplePlan(r), r)[4], std::make_pair(int32_t(0x1024C), int32_t(4500)));
}

TEST(Altitude, OneNobodyCanFlyLeavesItsHoldOut) {
    for (double feet : {1e30, -1.0, 99997.0, double(NAN)}) {
        ExchangeRecord airport = flags(0, 1, 1, 0, 0);
        airport.airportAltitude = feet;
        airport.tourAltitudeHold = 1; // 2500 ft, flyable, but not the one the flags choose
        Events heading = {{0x10118, 0}, {0x101F4, 0}, {0x10100, 0}, {0x1010F, 0}, {0x101FA, 124}};
        EXPECT_EQ(expand(applyAutopilotPlan(airport), airport), heading) << feet;
        Events couple(heading.begin() + 2, heading.end());
        EXPECT_EQ(expand(couplePlan(airport), airport), couple) << "no fall back to 2500 ft";
        ExchangeRecord tour = flags(1, 0, 0, 1, 1);
        tour.tourAltitude = feet;
        EXPECT_EQ(expand(applyAutopilotPlan(tour), tour), heading) << feet;
        EXPECT_EQ(expand(couplePlan(tour), tour), couple) << feet;
    }
}

TEST(Couple, UncoupleAndRefresh) {
    ExchangeRecord r{};
    KeyPlan uncouple = {{sequenceUncouple}, 1};
    Events off = {{0x100FF, 0}, {0x10117, 0}, {0x10118, 0}};
    EXPECT_EQ(expand(uncouple, r), off);
    KeyPlan refresh = {{sequenceRefreshHeading}, 1};
    Events heading = {{0x1010F, 0}, {0x101FA, 360}};
    EXPECT_EQ(expand(refresh, r, 359.2), heading);
}

} // namespace
