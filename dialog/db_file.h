// Records by number in the database files, on the Win32 file API. Every read fills recordBuffer
// and every write takes from it. Record n starts at byte (n - 1) * 64; a trailing piece shorter
// than 64 bytes is no record.
#pragma once
#include <windows.h>

#include <cstdint>

#include "db_record.h"

extern const char databaseFileName[]; // "TarvixDb.dat"
extern const char scratchFileName[];  // "TarvixDb.$$$": saveTree's target, the tree's clipboard
extern const char backupFileName[];   // "TarvixDb.bak"

// Whole records in the file; 0 when it is missing or cannot be opened.
int32_t recordCount(const char* fileName);

// Open the file, do the one access, close it. A missing file is created empty (and then read as
// no record). Results: 1 done, 0 not (locked file, record beyond the end, a write refused).
int32_t readRecord(int32_t number, const char* fileName);
int32_t writeRecord(int32_t number, const char* fileName);

// The same on a file the caller holds open. A read that reaches past the end fills the columns
// it found and leaves the rest blank, and a read that finds nothing leaves recordBuffer cleared;
// both return 0. A write goes to an existing record or appends one directly after the last
// whole record; any other number is refused, so that no gap of undefined bytes is ever made.
int32_t readRecordFrom(int32_t number, HANDLE file);
int32_t writeRecordTo(int32_t number, HANDLE file);

// Exclusive read and write access; create says whether a missing file is made. Returns
// INVALID_HANDLE_VALUE when the file is missing (and not to be made) or another program holds it.
HANDLE openRecordFile(const char* fileName, bool create);

// Bytes and whole records of an open file.
int64_t fileByteSize(HANDLE file);
int32_t recordCountOf(HANDLE file);
