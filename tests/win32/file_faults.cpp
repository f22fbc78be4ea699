#include "file_faults.h"

#include <cstring>
#include <map>

#include "testkit/import_slots.h"

namespace {

struct FaultState {
    bool armed = false;
    FaultMode mode = FaultMode::count;
    int32_t k = 0;
    int32_t calls = 0;
    bool noMoveFileEx = false;
    void (*watcher)(int32_t number, const FileCall& call) = nullptr;
    std::vector<FileCall> log;
    std::map<HANDLE, std::string> names; // what each handle the library opened was opened as
};

FaultState faults;

std::string fileNameOf(HANDLE file) {
    auto found = faults.names.find(file);
    return found == faults.names.end() ? "?" : found->second;
}

// Logs the call and says whether it is to fail; a failing call sets the error a real one would.
bool refuse(const char* function, std::string file, std::string other, uint32_t flags,
            DWORD error) {
    if (!faults.armed)
        return false;
    const int32_t number = ++faults.calls;
    const bool fail = ((faults.mode == FaultMode::failOnce || faults.mode == FaultMode::cutShort) &&
                       number == faults.k) ||
                      (faults.mode == FaultMode::failFrom && number >= faults.k);
    faults.log.push_back({function, std::move(file), std::move(other), flags, fail});
    if (faults.watcher)
        faults.watcher(number, faults.log.back());
    if (fail)
        SetLastError(error);
    return fail;
}

HANDLE WINAPI createFile(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD attributes, HANDLE pattern) {
    if (refuse("CreateFileA", name, "", disposition, ERROR_SHARING_VIOLATION))
        return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(name, access, share, security, disposition, attributes, pattern);
    if (file != INVALID_HANDLE_VALUE)
        faults.names[file] = name;
    return file;
}

BOOL WINAPI readFile(HANDLE file, LPVOID bytes, DWORD length, LPDWORD got, LPOVERLAPPED overlap) {
    if (refuse("ReadFile", fileNameOf(file), "", length, ERROR_READ_FAULT)) {
        if (got)
            *got = 0;
        return FALSE;
    }
    return ReadFile(file, bytes, length, got, overlap);
}

BOOL WINAPI writeFile(HANDLE file, LPCVOID bytes, DWORD length, LPDWORD written,
                      LPOVERLAPPED overlap) {
    if (refuse("WriteFile", fileNameOf(file), "", length, ERROR_DISK_FULL)) {
        DWORD half = 0;
        if (faults.mode == FaultMode::cutShort)
            WriteFile(file, bytes, length / 2, &half, overlap);
        if (written)
            *written = half;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return WriteFile(file, bytes, length, written, overlap);
}

BOOL WINAPI flushFile(HANDLE file) {
    if (refuse("FlushFileBuffers", fileNameOf(file), "", 0, ERROR_WRITE_FAULT))
        return FALSE;
    return FlushFileBuffers(file);
}

BOOL WINAPI moveFile(LPCSTR from, LPCSTR to) {
    if (refuse("MoveFileA", from, to, 0, ERROR_WRITE_FAULT))
        return FALSE;
    return MoveFileA(from, to);
}

BOOL WINAPI moveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    if (faults.noMoveFileEx) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (refuse("MoveFileExA", from, to ? to : "", flags, ERROR_WRITE_FAULT))
        return FALSE;
    return MoveFileExA(from, to, flags);
}

BOOL WINAPI copyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    if (refuse("CopyFileA", from, to, static_cast<uint32_t>(failIfExists), ERROR_DISK_FULL))
        return FALSE;
    return CopyFileA(from, to, failIfExists);
}

BOOL WINAPI deleteFile(LPCSTR name) {
    if (refuse("DeleteFileA", name, "", 0, ERROR_WRITE_FAULT))
        return FALSE;
    return DeleteFileA(name);
}

struct Replacement {
    const char* name;
    void* function;
};

const Replacement replacements[] = {
    {"CreateFileA", reinterpret_cast<void*>(&createFile)},
    {"ReadFile", reinterpret_cast<void*>(&readFile)},
    {"WriteFile", reinterpret_cast<void*>(&writeFile)},
    {"FlushFileBuffers", reinterpret_cast<void*>(&flushFile)},
    {"MoveFileA", reinterpret_cast<void*>(&moveFile)},
    {"MoveFileExA", reinterpret_cast<void*>(&moveFileEx)},
    {"CopyFileA", reinterpret_cast<void*>(&copyFile)},
    {"DeleteFileA", reinterpret_cast<void*>(&deleteFile)},
};

} // namespace

::testing::AssertionResult takeOverFileCalls(HMODULE library) {
    for (const Replacement& replacement : replacements) {
        void** slot = importSlot(library, "KERNEL32.dll", replacement.name);
        if (!slot)
            return ::testing::AssertionFailure() << "the library imports no " << replacement.name;
        replaceImport(slot, replacement.function);
    }
    return ::testing::AssertionSuccess();
}

void armFileFaults(FaultMode mode, int32_t k) {
    faults.armed = true;
    faults.mode = mode;
    faults.k = k;
    faults.calls = 0;
    faults.log.clear();
}

void disarmFileFaults() {
    faults.armed = false;
}

void watchFileCalls(void (*watcher)(int32_t number, const FileCall& call)) {
    faults.watcher = watcher;
}

const std::vector<FileCall>& fileCallLog() {
    return faults.log;
}

std::string fileCallText() {
    std::string text;
    int number = 0;
    for (const FileCall& call : faults.log) {
        text += std::to_string(++number) + " " + call.function + " " + call.file;
        if (!call.other.empty())
            text += " -> " + call.other;
        text += call.failed ? " FAILED\n" : "\n";
    }
    return text;
}

void withoutMoveFileEx(bool absent) {
    faults.noMoveFileEx = absent;
}
