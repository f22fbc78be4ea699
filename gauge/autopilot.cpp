// Sends the autopilot key-event sequences, filling their values from the gauge's state.
#include "common/sim_ids.h"
#include "autopilot_sequences.h"
#include "gauge_state.h"
#include "nav_math.h"

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

bool exchangeWantsCoupling() {
    return modeAutopilot(gauge.exchange).couples;
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
    if (exchangeWantsCoupling())
        sendSequence(sequenceRefreshHeading);
}
