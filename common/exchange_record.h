// The one record that crosses between the gauge and the dialog library, its two modes, the
// autopilot options each mode selects and its field-by-field copy. Layout fixed byte for byte:
// both modules and the mapping image rely on it.
#pragma once
#include <cstddef>
#include <cstdint>

// The instrument's two modes as ExchangeRecord::mode holds them. The field stays a plain int32_t
// in the layout: a value from outside may be neither, and the readers say what that means.
enum ExchangeMode : int32_t {
    airportMode = 0, // fly to one destination
    tourMode = 1,    // fly the items of a tour one after another
};

struct ExchangeRecord {
    char ident[6];               //   0,  6  airport identifier or tour item number, NUL-terminated
    char name[26];               //   6, 26  name, NUL-terminated
    double latitude;             //  32,  8  raw latitude (90 degrees = 10001748), north positive
    double longitude;            //  40,  8  raw longitude (full circle = 2^48), above 2^47 west
    int32_t airportAutopilot;    //  48,  4  flag: couple heading in airport mode
    int32_t airportAltitudeHold; //  52,  4  flag: hold airportAltitude in airport mode
    double airportAltitude;      //  56,  8  feet
    uint8_t reserved1[8];        //  64,  8  carried unchanged
    int32_t tourAutopilot;       //  72,  4  flag: couple heading in tour mode
    int32_t tourAltitudeHold;    //  76,  4  flag: hold tourAltitude in tour mode
    double tourAltitude;         //  80,  8  feet
    uint8_t reserved2[8];        //  88,  8  carried unchanged
    int32_t mode;                //  96,  4  ExchangeMode: 0 airport mode, 1 tour mode
    int32_t recordNumber;        // 100,  4  1-based database record, 0 none
    double aircraftLatitude;     // 104,  8  raw, written by the gauge for "Cur. Read"
    double aircraftLongitude;    // 112,  8  raw
};

static_assert(sizeof(ExchangeRecord) == 120, "ExchangeRecord is 120 bytes");
static_assert(offsetof(ExchangeRecord, ident) == 0, "ident");
static_assert(offsetof(ExchangeRecord, name) == 6, "name");
static_assert(offsetof(ExchangeRecord, latitude) == 32, "latitude");
static_assert(offsetof(ExchangeRecord, longitude) == 40, "longitude");
static_assert(offsetof(ExchangeRecord, airportAutopilot) == 48, "airportAutopilot");
static_assert(offsetof(ExchangeRecord, airportAltitudeHold) == 52, "airportAltitudeHold");
static_assert(offsetof(ExchangeRecord, airportAltitude) == 56, "airportAltitude");
static_assert(offsetof(ExchangeRecord, reserved1) == 64, "reserved1");
static_assert(offsetof(ExchangeRecord, tourAutopilot) == 72, "tourAutopilot");
static_assert(offsetof(ExchangeRecord, tourAltitudeHold) == 76, "tourAltitudeHold");
static_assert(offsetof(ExchangeRecord, tourAltitude) == 80, "tourAltitude");
static_assert(offsetof(ExchangeRecord, reserved2) == 88, "reserved2");
static_assert(offsetof(ExchangeRecord, mode) == 96, "mode");
static_assert(offsetof(ExchangeRecord, recordNumber) == 100, "recordNumber");
static_assert(offsetof(ExchangeRecord, aircraftLatitude) == 104, "aircraftLatitude");
static_assert(offsetof(ExchangeRecord, aircraftLongitude) == 112, "aircraftLongitude");

// Offsets of the numeric part, which crosses every copy as it is.
constexpr size_t exchangeNumericStart = offsetof(ExchangeRecord, latitude);
constexpr size_t exchangeNumericSize = sizeof(ExchangeRecord) - exchangeNumericStart;

// The autopilot options that the record's own mode selects: the airport fields in airport mode,
// the tour fields in tour mode, none in any other mode. A flag counts only as 1.
struct ModeAutopilot {
    bool couples;       // the mode's autopilot flag is 1
    bool holdsAltitude; // the mode's altitude-hold flag is 1
    double altitude;    // the mode's target altitude, feet
};
ModeAutopilot modeAutopilot(const ExchangeRecord& exchange);

// Field-by-field copy: texts as NUL-terminated texts, bounded by their fields (a source text
// without a NUL inside its field is cut at the field's last byte), every numeric field as it is.
// Bytes of the destination's texts behind the copied NUL are left as they were.
void copyExchangeRecord(ExchangeRecord& to, const ExchangeRecord& from);
