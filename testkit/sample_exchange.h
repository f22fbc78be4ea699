// An exchange record with every field set (texts, flags, altitudes, reserved bytes that are not
// text, the aircraft's position), and the comparison of everything after its texts: for the
// tests of the record's copies, natively and through the dialog library's exports.
#pragma once
#include <cstring>

#include "common/exchange_record.h"
#include "common/limits.h"

inline ExchangeRecord sampleExchangeRecord() {
    ExchangeRecord r{};
    std::strcpy(r.ident, "KMDW");
    std::strcpy(r.name, "Chicago Midway");
    r.latitude = 4642000.5;
    r.longitude = 211000000000000.0;
    r.airportAutopilot = 1;
    r.airportAltitudeHold = 1;
    r.airportAltitude = 4500;
    std::memcpy(r.reserved1, "\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    r.tourAutopilot = 0;
    r.tourAltitudeHold = 1;
    r.tourAltitude = highestAltitudeFeet;
    std::memcpy(r.reserved2, "\x11\x12\x13\x14\x15\x16\x17\x18", 8);
    r.mode = 1;
    r.recordNumber = 42;
    r.aircraftLatitude = -1.25;
    r.aircraftLongitude = 3.5;
    return r;
}

inline bool sameExchangeNumbers(const ExchangeRecord& a, const ExchangeRecord& b) {
    return std::memcmp(reinterpret_cast<const char*>(&a) + exchangeNumericStart,
                       reinterpret_cast<const char*>(&b) + exchangeNumericStart,
                       exchangeNumericSize) == 0;
}
