// Sends the autopilot key-event sequences, filling their values from the gauge's state.
#include "../common/sim_ids.h"
#include "autopilot_sequences.h"
#include "gauge_state.h"

static void sendSequence(const KeySequence& sequence) {
    AutopilotInputs inputs = {gauge.steerHeading, lookupVariable(varAltitude),
                              lookupVariable(varSpeedSelector), &gauge.exchange};
    for (size_t i = 0; i < sequence.count; ++i)
        sendKeyEvent(sequence.steps[i].event, keyValue(sequence.steps[i].value, inputs));
}

static void sendPlan(const KeyPlan& plan) {
    for (size_t i = 0; i < plan.count; ++i)
        sendSequence(plan.parts[i]);
}

static bool couplesInItsMode(const ExchangeRecord& exchange) {
    return (exchange.mode == 0 && exchange.airportAutopilot == 1) ||
           (exchange.mode == 1 && exchange.tourAutopilot == 1);
}

bool exchangeWantsCoupling() {
    return couplesInItsMode(gauge.exchange);
}

void applyAutopilot() {
    sendPlan(applyAutopilotPlan(gauge.exchange));
}
void sendCoupleSequence() {
    sendPlan(couplePlan(gauge.exchange));
}
void sendUncoupleSequence() {
    sendSequence(sequenceUncouple);
}
void sendAltitudeHoldOff() {
    sendSequence(sequenceAltitudeHoldOff);
}

void refreshAutopilotHeading() {
    if (couplesInItsMode(gauge.exchange))
        sendSequence(sequenceRefreshHeading);
}
