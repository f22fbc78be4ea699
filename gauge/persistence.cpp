// Keeps map scale, route origin and spare flag in the named block "TarvixGaugeMapFile", which
// lives as long as the simulator's process.
#include "common/module_contract.h"
#include "common/named_block.h"
#include "gauge_state.h"
#include "kept_state.h"

int32_t saveGaugeState() {
    auto fill = [](void* view, void*) {
        writeKeptState(
            *static_cast<KeptStateBlock*>(view),
            {gauge.routeOrigin[0], gauge.routeOrigin[1], gauge.mapScale, gauge.spareFlag});
    };
    return storeNamedBlock(keptStateMappingName, sizeof(KeptStateBlock), fill, nullptr);
}

int32_t restoreGaugeState() {
    auto read = [](const void* view, void*) {
        KeptSettings settings = {gauge.routeOrigin[0], gauge.routeOrigin[1], gauge.mapScale,
                                 gauge.spareFlag};
        readKeptState(*static_cast<const KeptStateBlock*>(view), settings);
        gauge.routeOrigin[0] = settings.routeOriginLatitude;
        gauge.routeOrigin[1] = settings.routeOriginLongitude;
        gauge.mapScale = settings.mapScale;
        gauge.spareFlag = settings.spareFlag;
    };
    return loadNamedBlock(keptStateMappingName, read, nullptr);
}
