// Simulator variable ids the gauge reads and the autopilot key events it sends.
#pragma once
#include <cstdint>

enum SimVariableId : int32_t {
    varLatitude = 0x47,       // raw latitude
    varLongitude = 0x48,      // raw longitude
    varHeading = 0x51,        // aircraft heading, degrees
    varMagVariation = 0x52,   // magnetic variation, degrees
    varSpeedSelector = 0x9A,  // compared with fastClimbSelector
    varSpeed = 0x3D,          // knots
    varMachSpeed = 0x40,      // Mach-based speed value, in machSpeedScale units
    varWindSpeed = 0x157,     // knots
    varWindDirection = 0x158, // degrees
    varAltitude = 0x49,       // metres
};

// The speed selector's value at which the autopilot climbs and descends at its fast rate; any
// other value, the scenario's default 0 among them, takes the slow one.
constexpr double fastClimbSelector = 65535.0;

// The Mach-based speed figure is Mach times 3.2 times this scale.
constexpr double machSpeedScale = 65535.0;

// Every variable the gauge reads, registered at install in this order before any lookup: the
// simulator fills a variable's record only once it is registered.
constexpr int32_t registeredVariables[] = {
    varLatitude, varLongitude, varHeading,   varMagVariation,  varSpeedSelector,
    varSpeed,    varMachSpeed, varWindSpeed, varWindDirection, varAltitude};
constexpr int32_t registeredVariableCount =
    static_cast<int32_t>(sizeof registeredVariables / sizeof registeredVariables[0]);

enum KeyEventId : int32_t {
    keyAutopilotOff = 0x100FF,
    keyAutopilotOn = 0x10100,
    keyHeadingHoldOn = 0x1010F,
    keyAltitudeHoldOn = 0x10110,
    keyHeadingHoldOff = 0x10117,
    keyAltitudeHoldOff = 0x10118,
    keyVerticalSpeed = 0x101F4, // value: ft/min
    keyHeading = 0x101FA,       // value: whole degrees
    keyAltitude = 0x1024C,      // value: whole feet
};
