// Where a loaded module's calls to an imported function go: its slot in the module's import
// table. A test puts its own function there to watch or refuse the module's calls, in this
// process only, and puts the old one back when done.
#pragma once
#include <windows.h>

// The slot of the named function of the named library (a case-insensitive name such as
// "KERNEL32.dll"), imported by name; nullptr when the module imports no such function.
void** importSlot(HMODULE module, const char* library, const char* function);

// Puts function into the slot; returns the function that was there.
void* replaceImport(void** slot, void* function);
