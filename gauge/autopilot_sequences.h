// Every autopilot key-event sequence the gauge sends, as data: one small sender walks them, and
// tests read them.
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/exchange_record.h"

enum KeyValueSource : uint8_t {
    valueZero,
    valueHeading,         // ceiling of steerHeading
    valueAirportAltitude, // airportAltitude, whole feet
    valueTourAltitude,    // tourAltitude, whole feet
    valueClimbRate,       // verticalSpeedCommand
};

struct KeyStep {
    int32_t event;
    KeyValueSource value;
};

struct KeySequence {
    const KeyStep* steps;
    size_t count;
};

extern const KeySequence sequenceLevelOff;            // altitude hold off, vertical speed 0
extern const KeySequence sequenceCoupleHeading;       // autopilot on, heading hold, heading
extern const KeySequence sequenceHoldAirportAltitude; // altitude hold, altitude, rate
extern const KeySequence sequenceHoldTourAltitude;
extern const KeySequence sequenceUncouple;       // autopilot off, heading and altitude hold off
extern const KeySequence sequenceRefreshHeading; // heading hold, heading
extern const KeySequence sequenceAltitudeHoldOff;

// What the sender needs to fill the values.
struct AutopilotInputs {
    double steerHeading;
    double altitudeMetres; // variable 0x49
    double selector;       // variable 0x9A
    const ExchangeRecord* exchange;
};

int32_t keyValue(KeyValueSource source, const AutopilotInputs& inputs);

// The sequences applyAutopilot and the couple sequence are made of, for the current flags.
// applyAutopilot chooses the altitude by mode; coupling takes the airport altitude when its hold
// is set, else the tour altitude when that hold is set, whatever the mode. An altitude that is
// not flyable is never sent: its hold is left out.
struct KeyPlan {
    KeySequence parts[3];
    size_t count;
};
KeyPlan applyAutopilotPlan(const ExchangeRecord& exchange);
KeyPlan couplePlan(const ExchangeRecord& exchange);
