// Records by number in the database files, on the Win32 file API of every system the simulator
// runs on (Windows 95 and NT 4 on). Each read fills the record buffer it is given and each write
// takes from the one it is given, so a call site shows which record it reads or writes. Record n
// starts at byte (n - 1) * 64; a trailing piece shorter than 64 bytes is no record.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/db_record.h"
#include "common/module_contract.h"

// Whole records in the file; 0 when it is missing or cannot be opened.
int32_t recordCount(const char* fileName);

// Open the file, do the one access, close it. A missing file is created empty (and then read as
// no record). False when not done (locked file, record beyond the end, a write refused).
bool readRecord(int32_t number, const char* fileName, RecordBuffer& record);
bool writeRecord(int32_t number, const char* fileName, RecordBuffer& record);

// The same on a file the caller holds open. A read that reaches past the end fills the columns
// it found and leaves the rest blank, and a read that finds nothing leaves the record cleared;
// both return false. A write goes to an existing record or appends one directly after the last
// whole record; any other number is refused, so that no gap of undefined bytes is ever made.
// Writing cuts and trims the record's fields in place.
bool readRecordFrom(int32_t number, HANDLE file, RecordBuffer& record);
bool writeRecordTo(int32_t number, HANDLE file, RecordBuffer& record);

// Exclusive read and write access; create says whether a missing file is made. Returns
// INVALID_HANDLE_VALUE when the file is missing (and not to be made) or another program holds it.
HANDLE openRecordFile(const char* fileName, bool create);

// Puts right what a two-step replace of the database that was cut short left behind (see
// replaceDatabase): the old database set aside with no new one in its place goes back.
void recoverDatabase();

// The database itself, opened as openRecordFile does, after putting right what a replace that
// was cut short left behind (see replaceDatabase).
HANDLE openDatabase(bool create);

// Bytes and whole records of an open file; -1 and 0 when its size cannot be taken.
int64_t fileByteSize(HANDLE file);
int32_t recordCountOf(HANDLE file);

// Positions the file at a byte offset from its start.
bool seekFile(HANDLE file, int64_t offset);
// After an append from record number on failed, perhaps part-way (a disk that filled in the
// middle of it): the file cut back to end before that record, so that no piece of a record is
// left behind the last whole one.
void cutAppendBack(HANDLE file, int32_t number);

// Reads or writes exactly length bytes at the current position.
bool readExactly(HANDLE file, void* bytes, uint32_t length);
bool writeExactly(HANDLE file, const void* bytes, uint32_t length);

// Writes what the system still caches of the named file to the disk; false when it cannot.
bool flushNamedFile(const char* fileName);

// Tries the call again a few times, 20 ms apart, while another program (a virus scanner, a
// backup or sync tool) holds one of its files for a moment; any other refusal is final at once.
// The call says how it went by its result and GetLastError, as the system's calls do.
bool retryWhileHeld(bool (*attempt)(const void* context), const void* context);

// The library's own files (the backup, the scratch file and the like) are copies; a copy takes
// the read-only mark of its source, a database copied from a CD say, and the library could then
// neither replace nor remove it. These take the mark off the named file (the pilot's own database
// is never given to them), remove it (true when it is gone, or was not there), and copy a file
// over another, flushed, without the mark; each with the short retry above.
void makeWritable(const char* fileName);
bool removeOwnFile(const char* fileName);
bool copyOwnFile(const char* from, const char* to);

// Puts the finished, flushed scratch file in place of the database. Where the system has a
// one-step replace (MoveFileExA) that is all; where it has none (Windows 95, 98 and ME answer
// ERROR_CALL_NOT_IMPLEMENTED) the old database is renamed aside, the scratch file renamed in and
// the old one deleted, so that a whole database lies under one of the names at every moment.
// Another program's brief hold gets a few short retries. Returns false with the old database
// in place (and the scratch file left for the caller to delete).
bool replaceDatabase();

// The same for any finished, flushed file from in place of to; aside is the name the old file
// takes meanwhile where the replace takes two renames.
bool replaceFileSafely(const char* from, const char* to, const char* aside);

// The one-step replace, reached through a pointer so that tests can take the path of the
// systems that lack it.
using MoveFileExFn = BOOL(WINAPI*)(LPCSTR from, LPCSTR to, DWORD flags);
extern MoveFileExFn moveFileEx;

// openRecordFile for an operation that must not give up while another program (a virus scanner,
// a backup) holds the file for a moment: a sharing violation or a denied access is tried again
// a few times, 20 ms apart, as the replace's renames are; any other refusal is final at once.
HANDLE openRecordFileRetrying(const char* fileName, bool create);
// openDatabase with the same retry.
HANDLE openDatabaseRetrying(bool create);

// Puts right what a two-step replace of target (replaceFileSafely with this aside name) that was
// cut short left behind, as recoverDatabase does for the database: a reader of target calls it
// first, so that it never takes the file for missing while the whole of it lies aside.
void recoverReplacedFile(const char* target, const char* aside);
