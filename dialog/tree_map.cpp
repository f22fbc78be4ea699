#include "tree_map.h"

#include <cstdio>
#include <cstring>

#include "common/record_rules.h"
#include "heap_blocks.h"
#include "db_file.h"
#include "db_session.h"
#include "tree_items.h"
#include "tree_plan.h"
#include "tree_snapshot.h"

namespace {

// The whole database read first, one record at a time, each marker taken out of the file as its
// record is read, then placed by the load's plan (planLoad) and appended to the tree in file
// order.
struct LoadRun {
    HWND tree;
    RecordBuffer* records;
    int32_t* levels;
    int32_t* parents;
    HTREEITEM* items;
    int32_t chosen; // the record that carried the current choice's mark, or noNode
};

bool readAll(LoadRun& run, HANDLE database, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        RecordBuffer& record = run.records[i];
        if (!readRecordFrom(i + 1, database, record))
            return false;
        run.levels[i] = recordLevel(record);
        if (isCurrentChoice(record)) {
            run.chosen = i;
            markCurrentChoice(record, false);
            writeRecordTo(i + 1, database, record);
        }
    }
    return true;
}

TreeLoad buildFromRecords(LoadRun& run, HANDLE database, int32_t count, HTREEITEM* choice) {
    if (!readAll(run, database, count))
        return TreeLoad::unreadable;
    planLoad(run.levels, count, run.parents);
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t word = itemWord(i + 1, recordKind(run.records[i]));
        char label[48];
        storedLabel(itemKind(word), run.records[i], label, sizeof label);
        const int32_t parent = run.parents[i];
        run.items[i] =
            appendTreeItem(run.tree, parent == noNode ? TVI_ROOT : run.items[parent], label, word);
        if (!run.items[i]) // a tree short of an item would be saved over the database at OK
            return TreeLoad::unreadable;
        if (i == run.chosen)
            *choice = run.items[i];
    }
    return TreeLoad::loaded;
}

} // namespace

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
    if (!roomForMore(0, count)) {
        CloseHandle(database);
        return TreeLoad::tooLarge;
    }
    const size_t records = static_cast<size_t>(count);
    LoadRun run = {tree,
                   static_cast<RecordBuffer*>(allocate(records * sizeof(RecordBuffer))),
                   static_cast<int32_t*>(allocate(records * sizeof(int32_t))),
                   static_cast<int32_t*>(allocate(records * sizeof(int32_t))),
                   static_cast<HTREEITEM*>(allocate(records * sizeof(HTREEITEM))),
                   noNode};
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    TreeLoad status = run.records && run.levels && run.parents && run.items
                          ? buildFromRecords(run, database, count, choice)
                          : TreeLoad::unreadable;
    CloseHandle(database);
    release(run.items);
    release(run.parents);
    release(run.levels);
    release(run.records);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    return status;
}

namespace {

// The file work is one read of the database and one write per 1024 records; the tree view is
// read once (tree_snapshot.h) and told only to collapse each folder.
constexpr uint32_t chunkRecords = 1024;

struct SaveRun {
    HWND tree;
    uint8_t* records; // the database's records that a data word can number
    int32_t recordCount;
    HANDLE scratch;
    uint8_t* chunk; // chunkRecords lines waiting to be written
    uint32_t chunkUsed;
};

bool flushChunk(SaveRun& run) {
    bool written = run.chunkUsed == 0 || writeExactly(run.scratch, run.chunk, run.chunkUsed);
    run.chunkUsed = 0;
    return written;
}

// The step's record into the new database at the level the plan gave it (setSaveLevel).
bool writeStep(SaveRun& run, uint32_t word, int32_t level) {
    int32_t number = itemRecordNumber(word);
    if (number < 1 || number > run.recordCount)
        return false;
    RecordBuffer record;
    decodeRecord(run.records + static_cast<size_t>(number - 1) * recordSize, recordSize, record);
    setSaveLevel(record, level);
    encodeRecord(record, run.chunk + run.chunkUsed);
    run.chunkUsed += recordSize;
    return run.chunkUsed < chunkRecords * recordSize || flushChunk(run);
}

// The tree in the save's order (planSave), each folder collapsed as it is written.
bool writeTree(SaveRun& run, const TreeView& view, const WalkStep* steps, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const TreeNode& node = view.nodes[steps[i].node];
        if (isFolderKind(itemKind(node.word)))
            SendMessageA(run.tree, TVM_EXPAND, TVE_COLLAPSE,
                         reinterpret_cast<LPARAM>(view.items[steps[i].node]));
        if (!writeStep(run, node.word, steps[i].level))
            return false;
    }
    return flushChunk(run);
}

// The records a data word can name, in one read, then the bytes after the last whole record:
// no record and never shown, but perhaps what is left of a pilot's entry, so they go to the end
// of the new file as they were.
bool readRecordsAndTail(HANDLE database, SaveRun& run, uint8_t* tail, uint32_t* tailLength) {
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

bool writeScratch(SaveRun& run, const TreeView& view, HANDLE database, int32_t* chosen) {
    uint8_t tail[recordSize];
    uint32_t tailLength = 0;
    if (!readRecordsAndTail(database, run, tail, &tailLength))
        return false;
    run.chunk = static_cast<uint8_t*>(allocate(chunkRecords * recordSize));
    WalkStep* steps = static_cast<WalkStep*>(
        allocate(static_cast<size_t>(view.snapshot.count) * sizeof(WalkStep)));
    bool written = false;
    if (run.chunk && steps) {
        const SavePlan plan = planSave(view.snapshot, steps);
        *chosen = plan.chosen;
        written = writeTree(run, view, steps, plan.count) &&
                  (tailLength == 0 || writeExactly(run.scratch, tail, tailLength)) &&
                  FlushFileBuffers(run.scratch);
    }
    release(steps);
    return written;
}

bool writeNewDatabase(HWND tree, const TreeView& view, int32_t* chosen) {
    *chosen = 0;
    HANDLE database = openDatabase(true);
    if (database == INVALID_HANDLE_VALUE)
        return false;
    SaveRun run = {};
    run.tree = tree;
    makeWritable(scratchFileName); // a leftover copy of a read-only database
    run.scratch = CreateFileA(scratchFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    int32_t planned = 0;
    bool written = false;
    if (run.scratch != INVALID_HANDLE_VALUE) {
        written = writeScratch(run, view, database, &planned);
        CloseHandle(run.scratch);
    }
    CloseHandle(database);
    release(run.chunk);
    release(run.records);
    if (!written) {
        if (run.scratch != INVALID_HANDLE_VALUE)
            discardNewDatabase();
        return false;
    }
    if (!acceptNewDatabase())
        return false;
    *chosen = planned;
    return true;
}

} // namespace

TreeSave saveTree(HWND tree, int32_t* chosen) {
    // Collapsing a folder would move the selection out of it, and whoever follows the selection
    // (the editor) would then read and write while the database is open for the save: the
    // selection is taken off the tree for the walk and put back after it.
    HTREEITEM selected = selectedItem(tree);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    selectItem(tree, nullptr);
    if (HTREEITEM first = treeStep(tree, nullptr, TVGN_ROOT))
        SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(first));
    TreeView view;
    *chosen = 0;
    bool saved = takeSnapshot(tree, nullptr, selected, view);
    if (saved) {
        saved = writeNewDatabase(tree, view, chosen);
        releaseSnapshot(view);
    }
    selectItem(tree, selected);
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return saved ? TreeSave::saved : TreeSave::failed;
}
