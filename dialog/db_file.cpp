// Positioned reads and writes on one handle. The named-file forms open the file exclusively for
// one access; loadTree, saveTree and the tour step hold one handle for their whole run instead,
// which gives the same bytes at a fraction of the cost.
#include "db_file.h"

// Looked up through the import table at each call, not once as the library loads.
static BOOL WINAPI systemMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    return MoveFileExA(from, to, flags);
}

MoveFileExFn moveFileEx = systemMoveFileEx;

HANDLE openRecordFile(const char* fileName, bool create) {
    return CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static bool fileExists(const char* fileName) {
    return GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES;
}

// A replace in two renames that stopped half way leaves the old file aside: with no file under
// the target name beside it the second rename never happened and the old one goes back (the
// replace did not complete, so the pilot finds the file as it was); with the new file in place
// only the deletion was missing.
static void recoverAside(const char* target, const char* aside) {
    if (!fileExists(aside))
        return;
    if (fileExists(target))
        removeOwnFile(aside);
    else
        MoveFileA(aside, target);
}

void recoverDatabase() {
    recoverAside(databaseFileName, asideFileName);
}

HANDLE openDatabase(bool create) {
    recoverDatabase();
    return openRecordFile(databaseFileName, create);
}

int64_t fileByteSize(HANDLE file) {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return -1;
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

int32_t recordCountOf(HANDLE file) {
    int64_t records = fileByteSize(file) / static_cast<int64_t>(recordSize);
    if (records < 0)
        return 0;
    return records > INT32_MAX ? INT32_MAX : static_cast<int32_t>(records);
}

int32_t recordCount(const char* fileName) {
    DWORD attributes = GetFileAttributesA(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int32_t count = recordCountOf(file);
    CloseHandle(file);
    return count;
}

bool seekFile(HANDLE file, int64_t offset) {
    LONG high = static_cast<LONG>(static_cast<uint64_t>(offset) >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool readExactly(HANDLE file, void* bytes, uint32_t length) {
    DWORD got = 0;
    return ReadFile(file, bytes, length, &got, nullptr) && got == length;
}

bool writeExactly(HANDLE file, const void* bytes, uint32_t length) {
    DWORD written = 0;
    return WriteFile(file, bytes, length, &written, nullptr) && written == length;
}

static bool seekRecord(HANDLE file, int32_t number) {
    return seekFile(file, (static_cast<int64_t>(number) - 1) * static_cast<int64_t>(recordSize));
}

bool readRecordFrom(int32_t number, HANDLE file, RecordBuffer& record) {
    uint8_t line[recordSize];
    DWORD got = 0;
    if (number < 1 || !seekRecord(file, number) || !ReadFile(file, line, recordSize, &got, nullptr))
        got = 0;
    if (got == 0) {
        clearRecordBuffer(record);
        return false;
    }
    decodeRecord(line, got, record);
    return got == recordSize;
}

void cutAppendBack(HANDLE file, int32_t number) {
    if (seekRecord(file, number))
        SetEndOfFile(file);
}

bool writeRecordTo(int32_t number, HANDLE file, RecordBuffer& record) {
    if (number < 1 || number > recordCountOf(file) + 1 || !seekRecord(file, number))
        return false;
    uint8_t line[recordSize];
    encodeRecord(record, line);
    return writeExactly(file, line, recordSize);
}

bool readRecord(int32_t number, const char* fileName, RecordBuffer& record) {
    HANDLE file = openRecordFile(fileName, true);
    if (file == INVALID_HANDLE_VALUE) {
        clearRecordBuffer(record);
        return false;
    }
    const bool done = readRecordFrom(number, file, record);
    CloseHandle(file);
    return done;
}

bool writeRecord(int32_t number, const char* fileName, RecordBuffer& record) {
    HANDLE file = openRecordFile(fileName, true);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool done = writeRecordTo(number, file, record);
    CloseHandle(file);
    return done;
}

bool flushNamedFile(const char* fileName) {
    HANDLE file = openRecordFile(fileName, false);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

bool retryWhileHeld(bool (*attempt)(const void* context), const void* context) {
    for (int tries = 0; tries < 5; ++tries) {
        if (attempt(context))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
            error != ERROR_LOCK_VIOLATION)
            return false;
        Sleep(20);
    }
    return false;
}

// The retry over a lambda, for the calls of this file.
template <typename Call> static bool retried(const Call& call) {
    return retryWhileHeld(
        [](const void* context) { return (*static_cast<const Call*>(context))(); }, &call);
}

void makeWritable(const char* fileName) {
    DWORD attributes = GetFileAttributesA(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(fileName, attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool removeOwnFile(const char* fileName) {
    makeWritable(fileName);
    if (retried([=] { return DeleteFileA(fileName) != 0; }))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool copyOwnFile(const char* from, const char* to) {
    makeWritable(to);
    if (!retried([=] { return CopyFileA(from, to, FALSE) != 0; }))
        return false;
    makeWritable(to);
    return flushNamedFile(to);
}

static bool replaceInTwoSteps(const char* from, const char* to, const char* aside) {
    recoverAside(to, aside);
    if (fileExists(aside))
        return false;
    bool hadTarget = fileExists(to);
    if (hadTarget && !retried([=] { return MoveFileA(to, aside) != 0; }))
        return false;
    if (!MoveFileA(from, to)) {
        if (hadTarget)
            MoveFileA(aside, to);
        return false;
    }
    removeOwnFile(aside);
    return true;
}

bool replaceFileSafely(const char* from, const char* to, const char* aside) {
    bool notImplemented = false;
    bool replaced = retried([&] {
        if (moveFileEx(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        notImplemented = GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
        return false;
    });
    return replaced || (notImplemented && replaceInTwoSteps(from, to, aside));
}

bool replaceDatabase() {
    return replaceFileSafely(scratchFileName, databaseFileName, asideFileName);
}

HANDLE openRecordFileRetrying(const char* fileName, bool create) {
    HANDLE file = INVALID_HANDLE_VALUE;
    retried([&] {
        file = openRecordFile(fileName, create);
        return file != INVALID_HANDLE_VALUE;
    });
    return file;
}

HANDLE openDatabaseRetrying(bool create) {
    recoverDatabase();
    return openRecordFileRetrying(databaseFileName, create);
}

void recoverReplacedFile(const char* target, const char* aside) {
    recoverAside(target, aside);
}
