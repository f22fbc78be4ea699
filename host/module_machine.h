// Which processor a Windows module is built for, read from its headers: a 32-bit gauge handed to
// a 64-bit host (or the other way round) is told as such, not as a file that is no module.
#pragma once
#include <cstddef>
#include <cstdint>

enum class ModuleMachine { unknown, i686, x86_64 };

// From the first bytes of the file (the DOS header, the PE signature and the file header).
ModuleMachine moduleMachine(const uint8_t* bytes, size_t size);

// "i686 (32-bit)", "x86-64 (64-bit)", "" for unknown.
const char* machineName(ModuleMachine machine);
