// Positioned reads and writes on one handle. The named-file forms open the file exclusively for
// one access; loadTree, saveTree and the tour step hold one handle for their whole run instead,
// which gives the same bytes at a fraction of the cost.
#include "db_file.h"

#include "dialog_state.h"

const char databaseFileName[] = "TarvixDb.dat";
const char scratchFileName[] = "TarvixDb.$$$";
const char backupFileName[] = "TarvixDb.bak";

RecordBuffer recordBuffer = {};

HANDLE openRecordFile(const char* fileName, bool create) {
    return CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int64_t fileByteSize(HANDLE file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return -1;
    return size.QuadPart;
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

static bool seekRecord(HANDLE file, int32_t number) {
    LARGE_INTEGER offset;
    offset.QuadPart = (static_cast<int64_t>(number) - 1) * static_cast<int64_t>(recordSize);
    return SetFilePointerEx(file, offset, nullptr, FILE_BEGIN) != 0;
}

int32_t readRecordFrom(int32_t number, HANDLE file) {
    uint8_t line[recordSize];
    DWORD got = 0;
    if (number < 1 || !seekRecord(file, number) || !ReadFile(file, line, recordSize, &got, nullptr))
        got = 0;
    if (got == 0) {
        clearRecordBuffer(recordBuffer);
        return 0;
    }
    decodeRecord(line, got, recordBuffer);
    return got == recordSize ? 1 : 0;
}

int32_t writeRecordTo(int32_t number, HANDLE file) {
    if (number < 1 || number > recordCountOf(file) + 1 || !seekRecord(file, number))
        return 0;
    uint8_t line[recordSize];
    encodeRecord(recordBuffer, line);
    DWORD written = 0;
    return WriteFile(file, line, recordSize, &written, nullptr) && written == recordSize ? 1 : 0;
}

int32_t readRecord(int32_t number, const char* fileName) {
    HANDLE file = openRecordFile(fileName, true);
    if (file == INVALID_HANDLE_VALUE) {
        clearRecordBuffer(recordBuffer);
        return 0;
    }
    int32_t done = readRecordFrom(number, file);
    CloseHandle(file);
    return done;
}

int32_t writeRecord(int32_t number, const char* fileName) {
    HANDLE file = openRecordFile(fileName, true);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int32_t done = writeRecordTo(number, file);
    CloseHandle(file);
    return done;
}
