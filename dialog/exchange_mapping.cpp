// ExchangeState mirrored into the named mapping "TarvixMapFile". The mapping must outlive the
// library (the gauge frees and reloads it), so the handle that creates it is kept open for the
// rest of the process. Later loads of the library find it by name.
#include <windows.h>

#include "dialog_state.h"
#include "exchange_image.h"

static const char exchangeMappingName[] = "TarvixMapFile";
static HANDLE exchangeKeepAlive = nullptr;

int32_t storeExchange() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, exchangeMappingName);
    if (!mapping) {
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     exchangeMappingSize, exchangeMappingName);
        if (!mapping)
            return 0;
        if (!exchangeKeepAlive)
            DuplicateHandle(GetCurrentProcess(), mapping, GetCurrentProcess(), &exchangeKeepAlive,
                            0, FALSE, DUPLICATE_SAME_ACCESS);
    }
    int32_t stored = 0;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        encodeExchangeImage(ExchangeState, static_cast<uint8_t*>(view));
        FlushViewOfFile(view, 0);
        UnmapViewOfFile(view);
        stored = 1;
    }
    CloseHandle(mapping);
    return stored;
}

int32_t loadExchange() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, exchangeMappingName);
    if (!mapping)
        return 0;
    int32_t loaded = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        decodeExchangeImage(static_cast<const uint8_t*>(view), ExchangeState);
        UnmapViewOfFile(view);
        loaded = 1;
    }
    CloseHandle(mapping);
    return loaded;
}
