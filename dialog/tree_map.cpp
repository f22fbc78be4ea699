#include "tree_map.h"

#include <cstdio>
#include <cstring>

#include "db_file.h"
#include "dialog_state.h"
#include "tree_items.h"

// Where the next record goes: the last folder read (the root at first) and its level.
struct LoadPlace {
    HTREEITEM container;
    int32_t level;
};

// A folder of level L goes to the top when L is 1, into the container when L is deeper than the
// container's level, and otherwise into the ancestor (level - L + 1) steps up from the container.
// The climb stops at the root, so levels that jump or fall by any amount still place the folder.
static HTREEITEM folderParent(HWND tree, const LoadPlace& cursor, int32_t level) {
    if (level == 1)
        return TVI_ROOT;
    HTREEITEM parent = cursor.container;
    if (cursor.level >= level) {
        for (int32_t up = cursor.level - level + 1; up > 0 && parent != TVI_ROOT; --up)
            parent = parentOrRoot(tree, parent);
    }
    return parent;
}

static HTREEITEM appendRecord(HWND tree, LoadPlace& cursor, int32_t number,
                              const RecordBuffer& record) {
    int32_t level = recordLevel(record);
    uint32_t word = itemWord(number, recordKind(record));
    char label[48];
    if (level >= 1) {
        std::snprintf(label, sizeof label, " %s", record.name);
        cursor.container = appendTreeItem(tree, folderParent(tree, cursor, level), label, word);
        cursor.level = level;
        return cursor.container;
    }
    if (isTourRecord(record))
        std::snprintf(label, sizeof label, "%s - %s", record.ident, record.name);
    else
        std::snprintf(label, sizeof label, "%s", record.name);
    return appendTreeItem(tree, cursor.container, label, word);
}

TreeLoad loadTree(HWND tree, HTREEITEM* choice) {
    *choice = nullptr;
    HANDLE database = openDatabase(false);
    if (database == INVALID_HANDLE_VALUE)
        return GetFileAttributesA(databaseFileName) == INVALID_FILE_ATTRIBUTES
                   ? TreeLoad::loaded
                   : TreeLoad::unreadable;
    // A size that cannot be taken is no empty database.
    if (fileByteSize(database) < 0) {
        CloseHandle(database);
        return TreeLoad::unreadable;
    }
    int32_t count = recordCountOf(database);
    if (count > maxTreeRecordNumber) {
        CloseHandle(database);
        return TreeLoad::tooLarge;
    }
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    LoadPlace cursor = {TVI_ROOT, 1};
    TreeLoad status = TreeLoad::loaded;
    for (int32_t number = 1; number <= count; ++number) {
        if (!readRecordFrom(number, database, recordBuffer)) {
            status = TreeLoad::unreadable;
            break;
        }
        HTREEITEM item = appendRecord(tree, cursor, number, recordBuffer);
        if (!item) {
            // A tree short of an item would be saved over the database at OK.
            status = TreeLoad::unreadable;
            break;
        }
        if (recordLevel(recordBuffer) < 0) {
            *choice = item;
            recordBuffer.level[0] = '\0';
            writeRecordTo(number, database, recordBuffer);
        }
    }
    CloseHandle(database);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    return status;
}

namespace {

// Wine's tree view looks every item handle it is given up in a list of all items, so each
// message about an item costs time in proportion to the tree's size: the save asks about each
// item only twice (its data word, its next sibling), folders twice more (collapse, first child).
// The file work is one read of the database and one write per 1024 records.
constexpr uint32_t chunkRecords = 1024;

struct PendingFolder {
    HTREEITEM item;
    uint32_t word;
    int32_t depth;
};

struct SaveRun {
    HWND tree;
    HTREEITEM selected;
    uint8_t* records; // the database's records that a data word can number
    int32_t recordCount;
    HANDLE scratch;
    uint8_t* chunk; // chunkRecords lines waiting to be written
    uint32_t chunkUsed;
    PendingFolder* pending; // folders met but not yet written, the next one last
    uint32_t pendingCount;
    uint32_t pendingCapacity;
    int32_t next;   // record number the next item gets in the new database
    int32_t chosen; // new record number of the selected entry
};

bool flushChunk(SaveRun& run) {
    bool written = run.chunkUsed == 0 || writeExactly(run.scratch, run.chunk, run.chunkUsed);
    run.chunkUsed = 0;
    return written;
}

// Copies the item's record into the new database. Folders get their depth; the selected entry
// the marker, and every other entry loses a stray one, so the new file carries one marker at most.
bool copyItem(SaveRun& run, HTREEITEM item, uint32_t word, int32_t depth) {
    int32_t number = itemRecordNumber(word);
    if (number < 1 || number > run.recordCount)
        return false;
    decodeRecord(run.records + static_cast<size_t>(number - 1) * recordSize, recordSize,
                 recordBuffer);
    if (isFolderKind(itemKind(word))) {
        std::snprintf(recordBuffer.level, sizeof recordBuffer.level, "%d", depth > 99 ? 99 : depth);
    } else if (item == run.selected) {
        std::strcpy(recordBuffer.level, "-1");
        run.chosen = run.next;
    } else if (recordLevel(recordBuffer) < 0) {
        recordBuffer.level[0] = '\0';
    }
    encodeRecord(recordBuffer, run.chunk + run.chunkUsed);
    run.chunkUsed += recordSize;
    ++run.next;
    return run.chunkUsed < chunkRecords * recordSize || flushChunk(run);
}

// One list of siblings: its entries are written at once, its folders kept to be written (each
// followed by its own contents) in list order once the entries are done.
bool copyList(SaveRun& run, HTREEITEM first, int32_t depth) {
    uint32_t listStart = run.pendingCount;
    for (HTREEITEM item = first; item; item = treeStep(run.tree, item, TVGN_NEXT)) {
        uint32_t word = itemData(run.tree, item);
        if (!isFolderKind(itemKind(word))) {
            if (!copyItem(run, item, word, 0))
                return false;
        } else if (run.pendingCount == run.pendingCapacity) {
            return false;
        } else {
            run.pending[run.pendingCount++] = {item, word, depth};
        }
    }
    for (uint32_t low = listStart, high = run.pendingCount; low + 1 < high; ++low, --high) {
        PendingFolder swapped = run.pending[low];
        run.pending[low] = run.pending[high - 1];
        run.pending[high - 1] = swapped;
    }
    return true;
}

// Depth first, each item met once: a list's entries, then each folder of the list followed by
// its own contents. The pending folders live in memory, so no call stack bounds the depth.
bool copyTree(SaveRun& run) {
    if (!copyList(run, treeStep(run.tree, nullptr, TVGN_ROOT), 1))
        return false;
    while (run.pendingCount > 0) {
        PendingFolder folder = run.pending[--run.pendingCount];
        SendMessageA(run.tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(folder.item));
        if (!copyItem(run, folder.item, folder.word, folder.depth))
            return false;
        HTREEITEM child = treeStep(run.tree, folder.item, TVGN_CHILD);
        if (child && !copyList(run, child, folder.depth + 1))
            return false;
    }
    return flushChunk(run);
}

void* allocate(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes ? bytes : 1);
}

void release(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

// The records a data word can name, in one read, then the bytes after the last whole record:
// no record and never shown, but perhaps what is left of a pilot's entry, so they go to the end
// of the new file as they were.
bool readDatabase(HANDLE database, SaveRun& run, uint8_t* tail, uint32_t* tailLength) {
    int64_t size = fileByteSize(database);
    if (size < 0)
        return false;
    int32_t whole = recordCountOf(database);
    run.recordCount = whole < maxTreeRecordNumber ? whole : maxTreeRecordNumber;
    uint32_t bytes = static_cast<uint32_t>(run.recordCount) * recordSize;
    uint8_t* records = static_cast<uint8_t*>(allocate(bytes));
    run.records = records;
    if (!records || !seekFile(database, 0) || !readExactly(database, records, bytes))
        return false;
    int64_t wholeBytes = static_cast<int64_t>(whole) * recordSize;
    *tailLength = static_cast<uint32_t>(size - wholeBytes);
    return *tailLength == 0 ||
           (seekFile(database, wholeBytes) && readExactly(database, tail, *tailLength));
}

bool writeScratch(HWND tree, SaveRun& run, HANDLE database) {
    uint8_t tail[recordSize];
    uint32_t tailLength = 0;
    if (!readDatabase(database, run, tail, &tailLength))
        return false;
    run.chunk = static_cast<uint8_t*>(allocate(chunkRecords * recordSize));
    run.pendingCapacity = static_cast<uint32_t>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
    run.pending =
        static_cast<PendingFolder*>(allocate(run.pendingCapacity * sizeof(PendingFolder)));
    return run.chunk && run.pending && copyTree(run) &&
           (tailLength == 0 || writeExactly(run.scratch, tail, tailLength)) &&
           FlushFileBuffers(run.scratch);
}

bool writeNewDatabase(HWND tree, HTREEITEM selected, int32_t* chosen) {
    *chosen = 0;
    HANDLE database = openDatabase(true);
    if (database == INVALID_HANDLE_VALUE)
        return false;
    SaveRun run = {};
    run.tree = tree;
    run.selected = selected;
    run.next = 1;
    run.scratch = CreateFileA(scratchFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = false;
    if (run.scratch != INVALID_HANDLE_VALUE) {
        written = writeScratch(tree, run, database);
        CloseHandle(run.scratch);
    }
    CloseHandle(database);
    release(run.pending);
    release(run.chunk);
    release(run.records);
    bool replaced = written && replaceDatabase();
    if (!replaced && run.scratch != INVALID_HANDLE_VALUE)
        DeleteFileA(scratchFileName);
    if (replaced)
        *chosen = run.chosen;
    return replaced;
}

} // namespace

TreeSave saveTree(HWND tree, int32_t* chosen) {
    // Taken before anything collapses: collapsing a folder moves the selection out of it.
    HTREEITEM selected = treeStep(tree, nullptr, TVGN_CARET);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    if (HTREEITEM first = treeStep(tree, nullptr, TVGN_ROOT))
        SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(first));
    bool saved = writeNewDatabase(tree, selected, chosen);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return saved ? TreeSave::saved : TreeSave::failed;
}
