#include "exchange_record.h"

#include <cstring>

#include "text_fields.h"

void copyExchangeRecord(ExchangeRecord& to, const ExchangeRecord& from) {
    if (&to == &from)
        return;
    copyBoundedText(to.ident, from.ident, sizeof to.ident);
    copyBoundedText(to.name, from.name, sizeof to.name);
    std::memcpy(reinterpret_cast<char*>(&to) + exchangeNumericStart,
                reinterpret_cast<const char*>(&from) + exchangeNumericStart, exchangeNumericSize);
}

ModeAutopilot modeAutopilot(const ExchangeRecord& exchange) {
    if (exchange.mode == airportMode)
        return {exchange.airportAutopilot == 1, exchange.airportAltitudeHold == 1,
                exchange.airportAltitude};
    if (exchange.mode == tourMode)
        return {exchange.tourAutopilot == 1, exchange.tourAltitudeHold == 1, exchange.tourAltitude};
    return {false, false, 0.0};
}
