// ExchangeState mirrored into the named mapping "TarvixMapFile", which outlives the library:
// the gauge frees it and loads it again, and finds the destination still there.
#include "../common/module_contract.h"
#include "../common/named_block.h"
#include "dialog_state.h"
#include "exchange_image.h"

int32_t storeExchange() {
    auto fill = [](void* view, void*) {
        encodeExchangeImage(ExchangeState, static_cast<uint8_t*>(view));
    };
    return storeNamedBlock(exchangeMappingName, namedMappingSize, fill, nullptr);
}

int32_t loadExchange() {
    auto read = [](const void* view, void*) {
        decodeExchangeImage(static_cast<const uint8_t*>(view), ExchangeState);
    };
    return loadNamedBlock(exchangeMappingName, read, nullptr);
}
