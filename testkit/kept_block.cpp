#include "testkit/kept_block.h"

#include <windows.h>

#include <cstring>

#include "common/module_contract.h"

std::optional<KeptSettings> keptBlock() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, keptStateMappingName);
    if (!mapping)
        return std::nullopt;
    std::optional<KeptSettings> settings;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        KeptStateBlock block;
        std::memcpy(&block, view, sizeof block);
        settings = KeptSettings{block.routeOriginLatitude, block.routeOriginLongitude,
                                block.mapScale, block.spareFlag};
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return settings;
}

bool writeKeptBlock(const KeptSettings& settings) {
    static HANDLE keep = nullptr;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        namedMappingSize, keptStateMappingName);
    if (!mapping)
        return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view) {
        writeKeptState(*static_cast<KeptStateBlock*>(view), settings);
        UnmapViewOfFile(view);
    }
    if (keep)
        CloseHandle(keep);
    keep = mapping;
    return view != nullptr;
}
