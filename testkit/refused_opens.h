// The dialog library's opens of the database refused as another program's hold refuses them:
// those numbered first to last (counted from 1 as the object is made) fail with a sharing
// violation. The library's import of CreateFileA is taken over in this process only, and given
// back when the object goes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "import_slots.h"

class RefusedDatabaseOpens {
  public:
    RefusedDatabaseOpens(HMODULE library, int first, int last)
        : slot_(importSlot(library, "KERNEL32.dll", "CreateFileA")) {
        EXPECT_NE(slot_, nullptr) << "the library imports no CreateFileA";
        opens = 0;
        firstRefused = first;
        lastRefused = last;
        if (slot_) {
            system = reinterpret_cast<CreateFileFn>(
                replaceImport(slot_, reinterpret_cast<void*>(&refusing)));
        }
    }
    ~RefusedDatabaseOpens() {
        if (slot_)
            replaceImport(slot_, reinterpret_cast<void*>(system));
    }
    RefusedDatabaseOpens(const RefusedDatabaseOpens&) = delete;
    RefusedDatabaseOpens& operator=(const RefusedDatabaseOpens&) = delete;

  private:
    using CreateFileFn = decltype(&CreateFileA);
    static inline CreateFileFn system = nullptr;
    static inline int opens = 0, firstRefused = 0, lastRefused = 0;

    static HANDLE WINAPI refusing(LPCSTR name, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE model) {
        if (name && lstrcmpiA(name, "TarvixDb.dat") == 0) {
            ++opens;
            if (opens >= firstRefused && opens <= lastRefused) {
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        }
        return system(name, access, share, security, disposition, flags, model);
    }

    void** slot_;
};
