// Named blocks of shared memory that outlive the module that made them: each module keeps its
// state across being unloaded and loaded again within the simulator's process this way. Win32.
#pragma once
#include <cstdint>

// Opens the block for full access, or creates it (backed by the paging file, size bytes, zero)
// when it does not exist; passes a view of it to fill, then flushes and releases the view.
// Returns 1 when fill ran, 0 when the block could be neither opened nor created, or not mapped.
int32_t storeNamedBlock(const char* name, uint32_t size, void (*fill)(void* view, void* context),
                        void* context);

// Passes a read-only view of an existing block to read. Returns 1 when read ran, 0 when there is
// no such block or it cannot be mapped.
int32_t loadNamedBlock(const char* name, void (*read)(const void* view, void* context),
                       void* context);

// A view of the block for reading and writing that stays mapped until releaseNamedView, for a
// module that reads and writes its block many times a second: making a view costs about a third
// of a millisecond under Wine, copying the block a microsecond. create says whether a missing
// block is made (and kept as storeNamedBlock keeps it). False, with view left empty, when there
// is no such block (and create is false) or it cannot be mapped.
struct NamedView {
    void* mapping;
    void* view;
};
bool mapNamedView(const char* name, uint32_t size, bool create, NamedView& view);
void releaseNamedView(NamedView& view);
