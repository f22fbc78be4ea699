// ExchangeState mirrored into the named mapping "TarvixMapFile", which outlives the library:
// the gauge frees it and loads it again, and finds the destination still there. The library
// keeps one view of it while it is loaded: a tour walk loads and stores the state at every step,
// and a view made anew each time cost more than the step's own file work.
#include "common/module_contract.h"
#include "common/named_block.h"
#include "dialog_state.h"
#include "exchange_image.h"

static NamedView exchangeView = {};

// The view, made at the first call that finds (or, when create, makes) the mapping.
static uint8_t* exchangeBytes(bool create) {
    if (!exchangeView.view &&
        !mapNamedView(exchangeMappingName, namedMappingSize, create, exchangeView))
        return nullptr;
    return static_cast<uint8_t*>(exchangeView.view);
}

bool storeExchange() {
    uint8_t* image = exchangeBytes(true);
    if (!image)
        return false;
    encodeExchangeImage(ExchangeState, image);
    return true;
}

bool loadExchange() {
    const uint8_t* image = exchangeBytes(false);
    if (!image)
        return false;
    decodeExchangeImage(image, ExchangeState);
    return true;
}

void releaseExchangeMapping() {
    releaseNamedView(exchangeView);
}
