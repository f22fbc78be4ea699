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
        DeleteFileA(aside);
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

// A rename that another program's hold on either file refuses is tried again a few times, 20 ms
// apart; any other refusal is final at once.
template <typename Rename> static bool renameWithRetries(Rename rename) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (rename())
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
            return false;
        Sleep(20);
    }
    return false;
}

static bool replaceInTwoSteps(const char* from, const char* to, const char* aside) {
    recoverAside(to, aside);
    if (fileExists(aside))
        return false;
    bool hadTarget = fileExists(to);
    if (hadTarget && !renameWithRetries([=] { return MoveFileA(to, aside) != 0; }))
        return false;
    if (!MoveFileA(from, to)) {
        if (hadTarget)
            MoveFileA(aside, to);
        return false;
    }
    DeleteFileA(aside);
    return true;
}

bool replaceFileSafely(const char* from, const char* to, const char* aside) {
    bool notImplemented = false;
    bool replaced = renameWithRetries([&] {
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
    renameWithRetries([&] {
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
