// The session mark's moves: each is one file created, renamed or removed, so that a stop between
// any two calls leaves a state the next opening reads right.
#include "db_session.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "common/module_contract.h"
#include "db_file.h"

namespace {

// The mark's whole text; a pilot who finds the file may read it.
constexpr char markWithDatabase[] =
    "The settings dialog is open: TarvixDb.bak is the database.\r\n";
constexpr char markWithoutDatabase[] = "The settings dialog is open: there was no database.\r\n";

enum class Mark {
    held,            // another program holds it: nothing can be decided yet
    damaged,         // cut short as it was made, so the session never wrote in place
    withDatabase,    // the backup is the accepted database
    withoutDatabase, // there was none: the database is the session's own
};

// Whether "TarvixDb.dat" existed as the session open in this process began.
bool sessionHadDatabase = false;

bool exists(const char* fileName) {
    return GetFileAttributesA(fileName) != INVALID_FILE_ATTRIBUTES;
}

bool holds(const char* text, const char* mark, DWORD length) {
    return length == std::strlen(mark) && std::memcmp(text, mark, length) == 0;
}

Mark readMark(const char* fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Mark::held;
    char text[128];
    DWORD got = 0;
    if (!ReadFile(file, text, sizeof text, &got, nullptr))
        got = 0;
    CloseHandle(file);
    if (holds(text, markWithDatabase, got))
        return Mark::withDatabase;
    return holds(text, markWithoutDatabase, got) ? Mark::withoutDatabase : Mark::damaged;
}

bool renameMark(const char* from, const char* to) {
    struct Names {
        const char* from;
        const char* to;
    } names{from, to};
    return retryWhileHeld(
        [](const void* context) {
            const Names& n = *static_cast<const Names*>(context);
            return MoveFileA(n.from, n.to) != 0;
        },
        &names);
}

// A saving mark whose replace has not happened becomes a session mark again, before anything
// takes the scratch file away: with the scratch file gone it would read as a completed OK.
bool markSessionOpen() {
    return !exists(savingMarkFileName) || renameMark(savingMarkFileName, sessionMarkFileName);
}

// The accepted database back in place (through the same safe replace as a save, the backup
// staying as it is), or the session's own database removed when there was none before it.
bool putBack(bool hadDatabase) {
    if (!hadDatabase)
        return removeOwnFile(databaseFileName);
    if (copyOwnFile(backupFileName, scratchFileName) && replaceDatabase())
        return true;
    removeOwnFile(scratchFileName);
    return false;
}

HANDLE openForReading(const char* fileName) {
    return CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether the two files hold the same bytes; false when either cannot be read.
bool sameBytes(const char* one, const char* other) {
    HANDLE a = openForReading(one);
    HANDLE b = openForReading(other);
    const bool opened = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE;
    const int64_t size = opened ? fileByteSize(a) : -1;
    bool same = size >= 0 && size == fileByteSize(b);
    for (int64_t left = same ? size : 0; same && left > 0;) {
        static char bytesA[16384], bytesB[16384];
        const uint32_t length = left < 16384 ? static_cast<uint32_t>(left) : 16384u;
        same = readExactly(a, bytesA, length) && readExactly(b, bytesB, length) &&
               std::memcmp(bytesA, bytesB, length) == 0;
        left -= length;
    }
    if (a != INVALID_HANDLE_VALUE)
        CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE)
        CloseHandle(b);
    return same;
}

LastSession undoMarkedSession() {
    const Mark mark = readMark(sessionMarkFileName);
    if (mark == Mark::held)
        return LastSession::stuck;
    if (mark == Mark::damaged)
        return removeOwnFile(sessionMarkFileName) ? LastSession::ended : LastSession::stuck;
    const bool hadDatabase = mark == Mark::withDatabase;
    // Without the backup there is nothing to put back: the working copy is all the pilot has.
    if (hadDatabase && !exists(backupFileName))
        return removeOwnFile(sessionMarkFileName) ? LastSession::keptAsIs : LastSession::stuck;
    // A session that wrote nothing in place (its load was refused, say) lost nothing.
    if (hadDatabase && sameBytes(databaseFileName, backupFileName))
        return removeOwnFile(sessionMarkFileName) ? LastSession::ended : LastSession::stuck;
    if (!putBack(hadDatabase) || !removeOwnFile(sessionMarkFileName))
        return LastSession::stuck;
    return LastSession::undone;
}

} // namespace

LastSession settleLastSession() {
    if (exists(savingMarkFileName) && !exists(scratchFileName))
        return removeOwnFile(savingMarkFileName) ? LastSession::ended : LastSession::stuck;
    if (!markSessionOpen())
        return LastSession::stuck;
    return exists(sessionMarkFileName) ? undoMarkedSession() : LastSession::ended;
}

bool beginSession(bool databaseExists) {
    sessionHadDatabase = databaseExists;
    if (databaseExists && !copyOwnFile(databaseFileName, backupFileName))
        return false;
    HANDLE mark = CreateFileA(sessionMarkFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark == INVALID_HANDLE_VALUE)
        return false;
    const char* text = databaseExists ? markWithDatabase : markWithoutDatabase;
    const bool made = writeExactly(mark, text, static_cast<uint32_t>(std::strlen(text))) &&
                      FlushFileBuffers(mark);
    CloseHandle(mark);
    if (!made)
        removeOwnFile(sessionMarkFileName);
    return made;
}

void discardNewDatabase() {
    // The scratch file stays while a saving mark does: together they say the replace has not
    // happened, which is true.
    if (markSessionOpen())
        removeOwnFile(scratchFileName);
}

bool acceptNewDatabase() {
    const bool marked = exists(sessionMarkFileName) || exists(savingMarkFileName);
    if (marked && !exists(savingMarkFileName) &&
        !renameMark(sessionMarkFileName, savingMarkFileName)) {
        discardNewDatabase();
        return false;
    }
    if (!replaceDatabase()) {
        discardNewDatabase();
        return false;
    }
    // Should the removal be refused, the next opening finds the saving mark without a scratch
    // file, which says what is true: the new database is in place.
    removeOwnFile(savingMarkFileName);
    return true;
}

bool undoSession() {
    if (!markSessionOpen())
        return false;
    // A database the session never wrote to needs no replace, which a program that only reads
    // it (and so let the session's load fail) would refuse.
    const bool untouched = sessionHadDatabase && sameBytes(databaseFileName, backupFileName);
    if (!untouched && !putBack(sessionHadDatabase))
        return false;
    removeOwnFile(sessionMarkFileName);
    return true;
}
