// Keeps map scale, route origin and spare flag in the named block "TarvixGaugeMapFile", which
// lives as long as the simulator's process: the handle that created it is never closed.
#include <windows.h>

#include "gauge_state.h"
#include "kept_state.h"

static const char keptStateName[] = "TarvixGaugeMapFile";
static HANDLE keptStateKeepAlive = nullptr;

static KeptSettings currentSettings() {
    return {gauge.routeOrigin[0], gauge.routeOrigin[1], gauge.mapScale, gauge.spareFlag};
}

int32_t saveGaugeState() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, keptStateName);
    if (!mapping) {
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(KeptStateBlock), keptStateName);
        if (!mapping)
            return 0;
        if (!keptStateKeepAlive)
            DuplicateHandle(GetCurrentProcess(), mapping, GetCurrentProcess(), &keptStateKeepAlive,
                            0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    int32_t saved = 0;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        writeKeptState(*static_cast<KeptStateBlock*>(view), currentSettings());
        FlushViewOfFile(view, 0);
        UnmapViewOfFile(view);
        saved = 1;
    }
    CloseHandle(mapping);
    return saved;
}

int32_t restoreGaugeState() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, keptStateName);
    if (!mapping)
        return 0;
    int32_t restored = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        KeptSettings settings = currentSettings();
        readKeptState(*static_cast<const KeptStateBlock*>(view), settings);
        gauge.routeOrigin[0] = settings.routeOriginLatitude;
        gauge.routeOrigin[1] = settings.routeOriginLongitude;
        gauge.mapScale = settings.mapScale;
        gauge.spareFlag = settings.spareFlag;
        UnmapViewOfFile(view);
        restored = 1;
    }
    CloseHandle(mapping);
    return restored;
}
