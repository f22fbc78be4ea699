#include "tree_clipboard.h"

#include <cstdio>

#include "common/module_contract.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "db_file.h"
#include "heap_blocks.h"
#include "error_report.h"
#include "tour_numbers.h"
#include "tree_edit.h"
#include "tree_items.h"
#include "tree_plan.h"
#include "tree_snapshot.h"

namespace {

void showCursor(LPCSTR cursor) {
    SetCursor(LoadCursorA(nullptr, cursor));
}

// The walk of one copy: the database to read from, the clipboard file to write, the number of
// the next clipboard record and the record last copied.
struct CopyRun {
    HWND tree;
    HANDLE database;
    HANDLE clipboard;
    int32_t next;
    RecordBuffer record;
};

// The item's record into the next clipboard record at the level the copy's plan gave it.
bool copyRecord(CopyRun& run, uint32_t word, int32_t level) {
    RecordBuffer& r = run.record;
    if (!readRecordFrom(itemRecordNumber(word), run.database, r))
        return false;
    setCopyLevel(r, level);
    if (!writeRecordTo(run.next, run.clipboard, r))
        return false;
    ++run.next;
    return true;
}

// The item and, for a folder, its subtree in the order the save walks the whole tree (planCopy).
bool writeClipboard(CopyRun& run, const TreeView& view, const WalkStep* steps, int32_t count) {
    const bool folder = isFolderKind(itemKind(view.nodes[0].word));
    bool written = true;
    for (int32_t i = 0; i < count && written; ++i) {
        const uint32_t word = view.nodes[steps[i].node].word;
        written = copyRecord(run, word, steps[i].level);
        if (i == 0 && folder && written) {
            // The copied folder is the clipboard's level 1 whatever its depth in the tree, and its
            // data word says so from now on.
            setItemData(run.tree, view.items[0], copiedFolderWord(word));
            showCursor(IDC_WAIT);
        }
    }
    if (folder && count > 0)
        showCursor(IDC_ARROW);
    return written;
}

bool copyRecords(CopyRun& run, HTREEITEM item) {
    TreeView view;
    if (!takeSnapshot(run.tree, item, nullptr, view))
        return false;
    WalkStep* steps = static_cast<WalkStep*>(
        allocate(static_cast<size_t>(view.snapshot.count) * sizeof(WalkStep)));
    const bool written =
        steps && writeClipboard(run, view, steps, planCopy(view.snapshot, 0, steps));
    release(steps);
    releaseSnapshot(view);
    return written;
}

// Where the paste goes (planPasteSpot): into the pasted-on folder, or beside the pasted-on entry
// in its group; above is the depth of that place.
struct PastePlace {
    HTREEITEM parent;
    HTREEITEM target;
    bool intoFolder;
    int32_t above;
    bool tour; // the target's kind, which a single entry takes
};

bool pastePlace(HWND tree, HTREEITEM target, PastePlace& place) {
    TreeView view;
    if (!takeGroupSnapshot(tree, target, false, view))
        return false;
    const PasteSpot spot = planPasteSpot(view.snapshot);
    place = {spot.parent == noNode ? TVI_ROOT : view.items[spot.parent], target, spot.intoFolder,
             spot.above, spot.tour};
    releaseSnapshot(view);
    return true;
}

// The first record as it goes in: a single entry is taken as its item now holds it (when that
// item still exists) and fitted to the target's kind; a folder keeps its kinds. The fitting is
// done in memory only: the clipboard stays as it was copied or cut, so that a second paste into
// a place of the other kind starts again from the whole record (an airport keeps its ID).
bool prepareFirstRecord(HWND tree, HTREEITEM source, bool tour, HANDLE clipboard, HANDLE database,
                        RecordBuffer& first) {
    if (!readRecordFrom(1, clipboard, first))
        return false;
    if (isFolderRecord(first))
        return true;
    if (source) {
        const uint32_t word = itemData(tree, source);
        if (!isFolderKind(itemKind(word)) &&
            !readRecordFrom(itemRecordNumber(word), database, first))
            return false;
        first.level[0] = '\0';
    }
    fitToKind(first, tour);
    return true;
}

// Every record appended to the database first, so that no item is ever inserted for a record
// that is not there; in one write, so that a refused one appends nothing at all. The first
// record is the one fitted in memory, the rest come from the clipboard.
bool appendPastedRecords(HANDLE clipboard, HANDLE database, RecordBuffer& first, int32_t count,
                         int32_t firstNumber) {
    const size_t bytes = static_cast<size_t>(count) * recordSize;
    uint8_t* lines = static_cast<uint8_t*>(allocate(bytes));
    bool appended = lines != nullptr;
    if (appended)
        encodeRecord(first, lines);
    RecordBuffer record;
    for (int32_t i = 2; i <= count && appended; ++i) {
        appended = readRecordFrom(i, clipboard, record);
        encodeRecord(record, lines + static_cast<size_t>(i - 1) * recordSize);
    }
    appended = appended && seekFile(database, static_cast<int64_t>(firstNumber - 1) * recordSize) &&
               writeExactly(database, lines, static_cast<uint32_t>(bytes));
    release(lines);
    return appended;
}

// A paste that stopped part-way takes out what it had put in: every item of the parent whose
// record it appended, with everything inside it. The records themselves are then cut off the
// database again (cutBack).
void takeOutInserted(HWND tree, HTREEITEM parent, int32_t count, int32_t firstNumber) {
    HTREEITEM at = firstChild(tree, parent);
    while (at) {
        HTREEITEM next = treeStep(tree, at, TVGN_NEXT);
        const int32_t number = itemRecordNumber(itemData(tree, at));
        if (number >= firstNumber && number < firstNumber + count)
            SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(at));
        at = next;
    }
}

// The appended records as tree items where the paste's plan puts them (planPaste, pasteSlot).
// All or nothing: when a record cannot be read back or the tree refuses an item, what went in is
// taken out again and nullptr returned.
struct PasteRun {
    HWND tree;
    HANDLE database;
    int32_t count;
    int32_t firstNumber;
    PastePlace place;
    const int32_t* parents; // the paste's plan
    HTREEITEM* items;
};

HTREEITEM insertRecord(PasteRun& run, int32_t index, const RecordBuffer& record) {
    const uint32_t word = itemWord(run.firstNumber + index, recordKind(record));
    char label[48];
    numberedLabel(itemKind(word), record, readWholeNumber(record.ident), label, sizeof label);
    const int32_t parent = run.parents[index];
    const HTREEITEM into = parent == noNode ? run.place.parent : run.items[parent];
    HTREEITEM after = TVI_LAST;
    switch (pasteSlot(recordLevel(record), run.count, run.place.intoFolder)) {
    case PasteSlot::first:
        after = TVI_FIRST;
        break;
    case PasteSlot::afterTarget:
        after = run.place.target;
        break;
    case PasteSlot::last:
        break;
    }
    run.items[index] = insertTreeItem(run.tree, into, after, label, word);
    return run.items[index];
}

HTREEITEM insertRecords(PasteRun& run) {
    run.items =
        static_cast<HTREEITEM*>(allocate(static_cast<size_t>(run.count) * sizeof(HTREEITEM)));
    bool inserted = run.items != nullptr;
    RecordBuffer record;
    for (int32_t i = 0; i < run.count && inserted; ++i)
        inserted = readRecordFrom(run.firstNumber + i, run.database, record) &&
                   insertRecord(run, i, record);
    HTREEITEM first = inserted ? run.items[0] : nullptr;
    release(run.items);
    run.items = nullptr;
    if (!first)
        takeOutInserted(run.tree, run.place.parent, run.count, run.firstNumber);
    return first;
}

// The clipboard's levels, as the paste's plan reads them; a record that cannot be read here
// counts as an entry and is left to the paste's own reads to report.
void readPasteLevels(HANDLE clipboard, int32_t count, int32_t* levels) {
    RecordBuffer record;
    bool read = true;
    for (int32_t i = 0; i < count; ++i) {
        read = read && readRecordFrom(i + 1, clipboard, record);
        levels[i] = read ? recordLevel(record) : 0;
    }
}

// Folders nest at most 99 deep (a deeper level cannot be written, and the next opening would
// flatten it), so a paste whose deepest folder would land below that is refused as a new folder
// there would be.
bool foldersFit(HWND tree, int32_t deepest, int32_t above) {
    if (pasteFolderFits(above, deepest))
        return true;
    reportError(tree, "Can't make a Folder");
    return false;
}

// Why a paste went back out, in the pilot's words.
enum class PasteRefusal { written, inserted, numbered };

void reportPasteRefused(HWND tree, PasteRefusal why) {
    static const char* const reasons[] = {
        "the waypoint database or the clipboard file could not be opened or written (disk "
        "full, or held by another program)",
        "the tree could not take every item, or a record could not be read back from the "
        "waypoint database",
        "the tour's new numbers could not be written to the waypoint database (it may be held "
        "by another program)",
    };
    char text[320];
    std::snprintf(text, sizeof text,
                  "The clipboard could not be pasted: %s. The tree is as it was.",
                  reasons[static_cast<int>(why)]);
    reportError(tree, text);
}

// The database cut back to the records it had before a paste appended to it.
void cutBack(int32_t firstNumber) {
    HANDLE database = openDatabaseRetrying(false);
    if (database == INVALID_HANDLE_VALUE)
        return;
    cutAppendBack(database, firstNumber);
    CloseHandle(database);
}

// The clipboard's records appended to the database and inserted as items, and the tour they
// went into numbered: all of it, or none of it and the pilot told.
HTREEITEM appendAndInsert(HWND tree, HTREEITEM source, HANDLE clipboard, int32_t count,
                          PastePlace place, const int32_t* parents, NumberShown& numbered) {
    const AppendStart start = startAppend(tree, count);
    const HANDLE database = start.database;
    const int32_t firstNumber = start.first;
    if (firstNumber <= 0) {
        if (firstNumber == 0)
            reportPasteRefused(tree, PasteRefusal::written);
        return nullptr;
    }
    RecordBuffer firstRecord;
    const bool appended =
        prepareFirstRecord(tree, source, place.tour, clipboard, database, firstRecord) &&
        appendPastedRecords(clipboard, database, firstRecord, count, firstNumber);
    PasteRun run = {tree, database, count, firstNumber, place, parents, nullptr};
    HTREEITEM first = appended ? insertRecords(run) : nullptr;
    CloseHandle(database); // the renumbering opens the database itself
    PasteRefusal why = appended ? PasteRefusal::inserted : PasteRefusal::written;
    const TourNumbering numbering =
        first ? writeTourNumbers(tree, first, numbered) : TourNumbering::notTour;
    if (first && (numbering == TourNumbering::notTour || numbering == TourNumbering::written))
        return first;
    if (numbering == TourNumbering::astray)
        reportTourNumbers(tree, numbering);
    if (first) {
        takeOutInserted(tree, place.parent, count, firstNumber);
        why = PasteRefusal::numbered;
    }
    cutBack(firstNumber);
    reportPasteRefused(tree, why);
    return nullptr;
}

HTREEITEM pasteRecords(HWND tree, HTREEITEM source, HTREEITEM target, NumberShown& numbered) {
    HANDLE clipboard = openRecordFileRetrying(clipboardFileName, false);
    if (clipboard == INVALID_HANDLE_VALUE) {
        // Nothing copied yet is nothing to paste; a clipboard file that is there and cannot be
        // opened is a paste refused.
        if (GetFileAttributesA(clipboardFileName) != INVALID_FILE_ATTRIBUTES)
            reportPasteRefused(tree, PasteRefusal::written);
        return nullptr;
    }
    const int32_t count = recordCountOf(clipboard);
    PastePlace place = {};
    const bool placed = pastePlace(tree, target, place);
    const size_t records = static_cast<size_t>(count > 0 ? count : 0);
    int32_t* levels = static_cast<int32_t*>(allocate(records * sizeof(int32_t)));
    int32_t* parents = static_cast<int32_t*>(allocate(records * sizeof(int32_t)));
    HTREEITEM first = nullptr;
    const bool planned = placed && levels && parents;
    int32_t deepest = 0;
    if (count >= 1 && planned) {
        readPasteLevels(clipboard, count, levels);
        deepest = planPaste(levels, count, parents);
    }
    if (count >= 1 && planned && foldersFit(tree, deepest, place.above)) {
        showCursor(IDC_WAIT);
        first = appendAndInsert(tree, source, clipboard, count, place, parents, numbered);
        showCursor(IDC_ARROW);
    } else if (count >= 1 && !planned) {
        reportPasteRefused(tree, PasteRefusal::inserted);
    }
    release(parents);
    release(levels);
    CloseHandle(clipboard);
    return first;
}

} // namespace

bool copyToClipboardFile(HWND tree, HTREEITEM item) {
    if (!item)
        return false;
    DeleteFileA(clipboardFileName);
    // Both opens wait out another program's brief hold, as a pilot's copy should not fail on a
    // virus scanner's look at a file.
    CopyRun run = {tree, openDatabaseRetrying(false), INVALID_HANDLE_VALUE, 1, {}};
    if (run.database != INVALID_HANDLE_VALUE)
        run.clipboard = openRecordFileRetrying(clipboardFileName, true);
    const bool copied = run.clipboard != INVALID_HANDLE_VALUE && copyRecords(run, item);
    if (run.clipboard != INVALID_HANDLE_VALUE)
        CloseHandle(run.clipboard);
    if (run.database != INVALID_HANDLE_VALUE)
        CloseHandle(run.database);
    if (copied)
        return true;
    DeleteFileA(clipboardFileName);
    reportError(tree, "The item could not be copied: the waypoint database could not be read or "
                      "the clipboard file \"TarvixDb.$$$\" could not be written. Nothing has been "
                      "changed.");
    return false;
}

HTREEITEM pasteFromClipboardFile(HWND tree, HTREEITEM source, HTREEITEM target,
                                 NumberShown& numbered) {
    numbered = {nullptr, 0};
    if (!target)
        return nullptr;
    LockWindowUpdate(tree);
    HTREEITEM first = pasteRecords(tree, source, target, numbered);
    LockWindowUpdate(nullptr);
    return first;
}
