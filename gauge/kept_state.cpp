#include "kept_state.h"

#include <cmath>

void writeKeptState(KeptStateBlock& block, const KeptSettings& settings) {
    block.routeOriginLatitude = settings.routeOriginLatitude;
    block.routeOriginLongitude = settings.routeOriginLongitude;
    block.mapScale = settings.mapScale;
    block.spareFlag = settings.spareFlag;
}

void readKeptState(const KeptStateBlock& block, KeptSettings& settings) {
    double latitude = block.routeOriginLatitude;
    double longitude = block.routeOriginLongitude;
    if (std::isfinite(latitude) && std::isfinite(longitude)) {
        settings.routeOriginLatitude = latitude;
        settings.routeOriginLongitude = longitude;
    } else {
        settings.routeOriginLatitude = 0.0;
        settings.routeOriginLongitude = 0.0;
    }
    double scale = block.mapScale;
    if (std::isfinite(scale))
        settings.mapScale = std::fmin(std::fmax(scale, minimumMapScale), maximumMapScale);
    settings.spareFlag = block.spareFlag;
}
