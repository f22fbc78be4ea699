// The loaded dialog library's file calls (create, read, write, flush, move, copy, delete), taken
// over in its import table so that a test sees each one and can make them fail: the k-th call
// once, or every call from the k-th on, as when the machine stops there. The library itself is
// the one that ships; only the test process's copy of its import table changes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

enum class FaultMode {
    count,    // every call goes through
    failOnce, // the k-th call fails, the others go through
    failFrom, // the k-th call and every later one fail
    cutShort, // the k-th call, a write, writes the first half of its bytes and then fails, as
              // a disk that fills or a device that gives way in the middle of it
};

struct FileCall {
    std::string function; // "CreateFileA", "WriteFile" ...
    std::string file;     // the name it was given, or the one its handle was opened with
    std::string other;    // the second name of a move or copy
    uint32_t flags;       // MoveFileExA's flags, CreateFileA's disposition
    bool failed;
};

// Takes over the library's file imports; false naming the first one it could not find.
::testing::AssertionResult takeOverFileCalls(HMODULE library);

// From now on, calls are counted from 1 and logged; the mode says which of them fail.
void armFileFaults(FaultMode mode, int32_t k = 0);
// Calls go through again and are no longer counted; the log stays until the next arming.
void disarmFileFaults();
const std::vector<FileCall>& fileCallLog();
// Told of each counted call, with its number, before it goes through or fails.
void watchFileCalls(void (*watcher)(int32_t number, const FileCall& call));
// The log, one call a line, its number first, for a failure message.
std::string fileCallText();

// As on Windows 95, 98 and ME, whose MoveFileExA is a stub that always fails with
// ERROR_CALL_NOT_IMPLEMENTED (those calls are not counted: the system has no such call).
void withoutMoveFileEx(bool absent);
