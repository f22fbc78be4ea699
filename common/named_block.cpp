#include "named_block.h"

#include <windows.h>

// Opens the block, or creates it when create is true and it does not exist.
static HANDLE openNamedBlock(const char* name, uint32_t size, bool create) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (mapping || !create)
        return mapping;
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (!mapping)
        return nullptr;
    // A block lives while a handle to it is open. This one is never closed, so the block stays
    // for the rest of the process, also while no module holds it; later calls find it by name
    // and make no more of these.
    HANDLE keepAlive = nullptr;
    DuplicateHandle(GetCurrentProcess(), mapping, GetCurrentProcess(), &keepAlive, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return mapping;
}

int32_t storeNamedBlock(const char* name, uint32_t size, void (*fill)(void* view, void* context),
                        void* context) {
    HANDLE mapping = openNamedBlock(name, size, true);
    if (!mapping)
        return 0;
    int32_t stored = 0;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) {
        fill(view, context);
        FlushViewOfFile(view, 0);
        UnmapViewOfFile(view);
        stored = 1;
    }
    CloseHandle(mapping);
    return stored;
}

int32_t loadNamedBlock(const char* name, void (*read)(const void* view, void* context),
                       void* context) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    if (!mapping)
        return 0;
    int32_t loaded = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        read(view, context);
        UnmapViewOfFile(view);
        loaded = 1;
    }
    CloseHandle(mapping);
    return loaded;
}

bool mapNamedView(const char* name, uint32_t size, bool create, NamedView& view) {
    view = NamedView{};
    HANDLE mapping = openNamedBlock(name, size, create);
    if (!mapping)
        return false;
    void* bytes = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!bytes) {
        CloseHandle(mapping);
        return false;
    }
    view = NamedView{mapping, bytes};
    return true;
}

void releaseNamedView(NamedView& view) {
    if (view.view)
        UnmapViewOfFile(view.view);
    if (view.mapping)
        CloseHandle(view.mapping);
    view = NamedView{};
}
