// Blocks of the process heap for the dialog's working arrays (the snapshot, the load, the save,
// the copy and the paste, the renumbering, a tour's sort, the import), which are only as large as
// the database: a block of 0 bytes is still a block, so that a null result always means the heap
// refused.
#pragma once
#include <windows.h>

#include <cstddef>

inline void* allocate(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
}

inline void release(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
