#include "exchange_image.h"

#include <cstring>

#include "common/text_fields.h"

void encodeExchangeImage(const ExchangeRecord& state, uint8_t* image) {
    std::memset(image, ' ', exchangeNumericStart);
    std::memcpy(image + offsetof(ExchangeRecord, ident), state.ident,
                boundedTextLength(state.ident, imageIdentLength));
    std::memcpy(image + offsetof(ExchangeRecord, name), state.name,
                boundedTextLength(state.name, imageNameLength));
    std::memcpy(image + exchangeNumericStart,
                reinterpret_cast<const uint8_t*>(&state) + exchangeNumericStart,
                exchangeNumericSize);
}

void decodeExchangeImage(const uint8_t* image, ExchangeRecord& state) {
    std::memcpy(state.ident, image + offsetof(ExchangeRecord, ident), imageIdentLength);
    state.ident[imageIdentLength] = '\0';
    std::memcpy(state.name, image + offsetof(ExchangeRecord, name), imageNameLength);
    state.name[imageNameLength] = '\0';
    std::memcpy(reinterpret_cast<uint8_t*>(&state) + exchangeNumericStart,
                image + exchangeNumericStart, exchangeNumericSize);
}
