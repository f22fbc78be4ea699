#include "autopilot_sequences.h"

#include "common/sim_ids.h"
#include "nav_math.h"

#define TARVIX_SEQUENCE(name, ...)                                                                 \
    static const KeyStep name##Steps[] = {__VA_ARGS__};                                            \
    const KeySequence name = {name##Steps, sizeof name##Steps / sizeof name##Steps[0]}

TARVIX_SEQUENCE(sequenceLevelOff, {keyAltitudeHoldOff, valueZero}, {keyVerticalSpeed, valueZero});
TARVIX_SEQUENCE(sequenceCoupleHeading, {keyAutopilotOn, valueZero}, {keyHeadingHoldOn, valueZero},
                {keyHeading, valueHeading});
TARVIX_SEQUENCE(sequenceHoldAirportAltitude, {keyAltitudeHoldOn, valueZero},
                {keyAltitude, valueAirportAltitude}, {keyVerticalSpeed, valueClimbRate});
TARVIX_SEQUENCE(sequenceHoldTourAltitude, {keyAltitudeHoldOn, valueZero},
                {keyAltitude, valueTourAltitude}, {keyVerticalSpeed, valueClimbRate});
TARVIX_SEQUENCE(sequenceUncouple, {keyAutopilotOff, valueZero}, {keyHeadingHoldOff, valueZero},
                {keyAltitudeHoldOff, valueZero});
TARVIX_SEQUENCE(sequenceRefreshHeading, {keyHeadingHoldOn, valueZero}, {keyHeading, valueHeading});
TARVIX_SEQUENCE(sequenceAltitudeHoldOff, {keyAltitudeHoldOff, valueZero});

int32_t keyValue(KeyValueSource source, const AutopilotInputs& inputs) {
    switch (source) {
    case valueHeading:
        return headingCommand(inputs.steerHeading);
    case valueAirportAltitude:
        return wholeFeet(inputs.exchange->airportAltitude);
    case valueTourAltitude:
        return wholeFeet(inputs.exchange->tourAltitude);
    case valueClimbRate:
        return verticalSpeedCommand(inputs.altitudeMetres, *inputs.exchange, inputs.selector);
    case valueZero:
        break;
    }
    return 0;
}

static void add(KeyPlan& plan, const KeySequence& sequence) {
    plan.parts[plan.count++] = sequence;
}

KeyPlan applyAutopilotPlan(const ExchangeRecord& exchange) {
    KeyPlan plan{{}, 0};
    add(plan, sequenceLevelOff);
    ModeAutopilot options = modeAutopilot(exchange);
    if (options.couples) {
        add(plan, sequenceCoupleHeading);
        if (options.holdsAltitude && flyableAltitude(options.altitude))
            add(plan, exchange.mode == airportMode ? sequenceHoldAirportAltitude
                                                   : sequenceHoldTourAltitude);
    }
    return plan;
}

KeyPlan couplePlan(const ExchangeRecord& exchange) {
    KeyPlan plan{{}, 0};
    add(plan, sequenceCoupleHeading);
    if (exchange.airportAltitudeHold == 1) {
        if (flyableAltitude(exchange.airportAltitude))
            add(plan, sequenceHoldAirportAltitude);
    } else if (exchange.tourAltitudeHold == 1 && flyableAltitude(exchange.tourAltitude)) {
        add(plan, sequenceHoldTourAltitude);
    }
    return plan;
}
