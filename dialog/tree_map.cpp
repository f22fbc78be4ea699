#include "tree_map.h"

#include <cstdio>
#include <cstring>

#include "db_file.h"
#include "dialog_state.h"

static HTREEITEM appendItem(HWND tree, HTREEITEM parent, const char* label, uint32_t word) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(label);
    insert.item.lParam = static_cast<LPARAM>(word);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Where the next record goes: the last folder read (the root at first) and its level.
struct LoadPlace {
    HTREEITEM container;
    int32_t level;
};

static HTREEITEM parentOf(HWND tree, HTREEITEM item) {
    HTREEITEM parent = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
    return parent ? parent : TVI_ROOT;
}

// A folder of level L goes to the top when L is 1, into the container when L is deeper than the
// container's level, and otherwise into the ancestor (level - L + 1) steps up from the container.
// The climb stops at the root, so levels that jump or fall by any amount still place the folder.
static HTREEITEM folderParent(HWND tree, const LoadPlace& cursor, int32_t level) {
    if (level == 1)
        return TVI_ROOT;
    HTREEITEM parent = cursor.container;
    if (cursor.level >= level) {
        for (int32_t up = cursor.level - level + 1; up > 0 && parent != TVI_ROOT; --up)
            parent = parentOf(tree, parent);
    }
    return parent;
}

static HTREEITEM appendRecord(HWND tree, LoadPlace& cursor, int32_t number) {
    int32_t level = recordLevel(recordBuffer);
    uint32_t word = itemWord(number, recordKind(recordBuffer));
    char label[48];
    if (level >= 1) {
        std::snprintf(label, sizeof label, " %s", recordBuffer.name);
        cursor.container = appendItem(tree, folderParent(tree, cursor, level), label, word);
        cursor.level = level;
        return cursor.container;
    }
    if (isTourRecord(recordBuffer))
        std::snprintf(label, sizeof label, "%s - %s", recordBuffer.ident, recordBuffer.name);
    else
        std::snprintf(label, sizeof label, "%s", recordBuffer.name);
    return appendItem(tree, cursor.container, label, word);
}

int32_t loadTree(HWND tree, HTREEITEM* choice) {
    *choice = nullptr;
    HANDLE database = openRecordFile(databaseFileName, false);
    if (database == INVALID_HANDLE_VALUE)
        return GetFileAttributesA(databaseFileName) == INVALID_FILE_ATTRIBUTES ? treeLoaded
                                                                               : treeUnreadable;
    int32_t count = recordCountOf(database);
    if (count > maxTreeRecordNumber) {
        CloseHandle(database);
        return treeTooLarge;
    }
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    LoadPlace cursor = {TVI_ROOT, 1};
    int32_t status = treeLoaded;
    for (int32_t number = 1; number <= count; ++number) {
        if (!readRecordFrom(number, database)) {
            status = treeUnreadable;
            break;
        }
        HTREEITEM item = appendRecord(tree, cursor, number);
        if (recordLevel(recordBuffer) < 0) {
            *choice = item;
            recordBuffer.level[0] = '\0';
            writeRecordTo(number, database);
        }
    }
    CloseHandle(database);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    return status;
}

namespace {

struct SaveRun {
    HWND tree;
    HANDLE database;
    HANDLE scratch;
    HTREEITEM selected;
    int32_t next;   // record number the next item gets in the new database
    int32_t chosen; // new record number of the selected entry
};

uint32_t itemData(HWND tree, HTREEITEM item) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<uint32_t>(data.lParam);
}

HTREEITEM treeStep(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// Copies the item's record into the new database. Folders get their depth; the selected entry
// the marker, and every other entry loses a stray one, so the new file carries one marker at most.
bool copyItem(SaveRun& run, HTREEITEM item, uint32_t word, int32_t depth) {
    if (!readRecordFrom(itemRecordNumber(word), run.database))
        return false;
    if (isFolderKind(itemKind(word))) {
        std::snprintf(recordBuffer.level, sizeof recordBuffer.level, "%d", depth > 99 ? 99 : depth);
    } else if (item == run.selected) {
        std::strcpy(recordBuffer.level, "-1");
        run.chosen = run.next;
    } else if (recordLevel(recordBuffer) < 0) {
        recordBuffer.level[0] = '\0';
    }
    if (!writeRecordTo(run.next, run.scratch))
        return false;
    ++run.next;
    return true;
}

bool copyEntries(SaveRun& run, HTREEITEM first) {
    for (HTREEITEM item = first; item; item = treeStep(run.tree, item, TVGN_NEXT)) {
        uint32_t word = itemData(run.tree, item);
        if (!isFolderKind(itemKind(word)) && !copyItem(run, item, word, 0))
            return false;
    }
    return true;
}

HTREEITEM folderFrom(HWND tree, HTREEITEM item) {
    while (item && !isFolderKind(itemKind(itemData(tree, item))))
        item = treeStep(tree, item, TVGN_NEXT);
    return item;
}

// Depth first, each item met once: a list's entries, then each folder of the list followed by
// its own contents. Climbing back uses the tree's parent links, so no stack bounds the depth.
bool copyTree(SaveRun& run) {
    HWND tree = run.tree;
    HTREEITEM first = treeStep(tree, nullptr, TVGN_ROOT);
    if (!copyEntries(run, first))
        return false;
    HTREEITEM folder = folderFrom(tree, first);
    HTREEITEM container = nullptr;
    int32_t depth = 1;
    for (;;) {
        if (!folder) {
            if (!container)
                return true;
            folder = folderFrom(tree, treeStep(tree, container, TVGN_NEXT));
            container = treeStep(tree, container, TVGN_PARENT);
            --depth;
            continue;
        }
        SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(folder));
        if (!copyItem(run, folder, itemData(tree, folder), depth))
            return false;
        HTREEITEM child = treeStep(tree, folder, TVGN_CHILD);
        if (child) {
            if (!copyEntries(run, child))
                return false;
            container = folder;
            ++depth;
            folder = folderFrom(tree, child);
        } else {
            folder = folderFrom(tree, treeStep(tree, folder, TVGN_NEXT));
        }
    }
}

// Bytes after the last whole record are no record and never shown, but they may be what is left
// of a pilot's entry: they go to the end of the new file as they were.
bool copyTrailingBytes(SaveRun& run) {
    int64_t size = fileByteSize(run.database);
    if (size < 0)
        return false;
    int64_t whole = static_cast<int64_t>(recordCountOf(run.database)) * recordSize;
    DWORD length = static_cast<DWORD>(size - whole);
    if (length == 0)
        return true;
    uint8_t tail[recordSize];
    LARGE_INTEGER at;
    at.QuadPart = whole;
    DWORD got = 0, written = 0;
    return SetFilePointerEx(run.database, at, nullptr, FILE_BEGIN) &&
           ReadFile(run.database, tail, length, &got, nullptr) && got == length &&
           WriteFile(run.scratch, tail, length, &written, nullptr) && written == length;
}

// One rename: the old database stays whole until the new one, flushed, takes its name. Another
// program that holds the database for a moment gets a few short retries, never an endless wait.
bool replaceDatabase() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (MoveFileExA(scratchFileName, databaseFileName,
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
            return false;
        Sleep(20);
    }
    return false;
}

int32_t writeNewDatabase(HWND tree) {
    SaveRun run = {tree, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, nullptr, 1, 0};
    run.database = openRecordFile(databaseFileName, true);
    if (run.database == INVALID_HANDLE_VALUE)
        return treeSaveFailed;
    run.scratch = CreateFileA(scratchFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool replaced = false;
    if (run.scratch != INVALID_HANDLE_VALUE) {
        run.selected = treeStep(tree, nullptr, TVGN_CARET);
        bool written = copyTree(run) && copyTrailingBytes(run) && FlushFileBuffers(run.scratch);
        CloseHandle(run.scratch);
        CloseHandle(run.database);
        replaced = written && replaceDatabase();
        if (!replaced)
            DeleteFileA(scratchFileName);
    } else {
        CloseHandle(run.database);
    }
    return replaced ? run.chosen : treeSaveFailed;
}

} // namespace

int32_t saveTree(HWND tree) {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    if (HTREEITEM first = treeStep(tree, nullptr, TVGN_ROOT))
        SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(first));
    int32_t result = writeNewDatabase(tree);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return result;
}
