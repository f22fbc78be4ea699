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
