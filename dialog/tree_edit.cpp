#include "tree_edit.h"

#include <cstdio>
#include <cstring>

#include "../common/module_contract.h"
#include "../common/record_rules.h"
#include "../common/text_fields.h"
#include "heap_blocks.h"
#include "db_file.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "error_report.h"
#include "item_editor.h"
#include "settings_state.h"
#include "tree_items.h"
#include "tree_plan.h"

namespace {

constexpr int32_t deepestFolder = 99;

// Appends the record to the database, then the item to the tree, so that no item ever names a
// record that is not there. The record's number is the count of the file as the writing
// handle sees it: a count taken apart from the write could miss records (another program's hold
// ending in between) and turn the append into an overwrite of one of them.
HTREEITEM appendWithRecord(HWND tree, HTREEITEM parent, RecordBuffer& record, const char* label,
                           uint32_t kind) {
    if (!roomForRecords(tree, 1))
        return nullptr;
    HANDLE database = openDatabase(true);
    int32_t number = 0;
    if (database != INVALID_HANDLE_VALUE) {
        if (fileByteSize(database) >= 0)
            number = recordCountOf(database) + 1;
        if (number > 0 && !writeRecordTo(number, database, record)) {
            cutAppendBack(database, number);
            number = 0;
        }
        CloseHandle(database);
    }
    if (number == 0) {
        reportError(tree, "The new item could not be written to the waypoint database (disk "
                          "full, or the file is held by another program). Nothing has been "
                          "added.");
        return nullptr;
    }
    // A record no item names is left out at OK.
    return appendTreeItem(tree, parent, label, itemWord(number, kind));
}

} // namespace

bool roomForRecords(HWND owner, int32_t added) {
    const int32_t count = recordCount(databaseFileName);
    if (roomForMore(count, added))
        return true;
    char text[160];
    std::snprintf(text, sizeof text,
                  "The database holds %ld records; %ld more would pass the 65535 the tree can "
                  "address. Nothing has been added.",
                  static_cast<long>(count), static_cast<long>(added));
    reportError(owner, text);
    return false;
}

HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item) {
    if (itemDepth(tree, item) + 1 > deepestFolder) {
        reportError(tree, "Can't make a Folder");
        return nullptr;
    }
    HTREEITEM parent = TVI_ROOT;
    if (item && item != TVI_ROOT) {
        if (isFolderKind(itemKind(itemData(tree, item))))
            parent = item;
        else if (HTREEITEM up = treeStep(tree, item, TVGN_PARENT))
            parent = up;
    }
    RecordBuffer record;
    char label[32];
    newFolderRecord(tour, record, label);
    return appendWithRecord(tree, parent, record, label, tour ? tourFolderKind : airportFolderKind);
}

void newFolderRecord(bool tour, RecordBuffer& r, char* label) {
    clearRecordBuffer(r);
    copyBoundedText(r.level, "1", sizeof r.level);
    copyBoundedText(r.tourFlag, tour ? "1" : "", sizeof r.tourFlag);
    copyBoundedText(r.name, tour ? "New Tour Folder" : "New Airport Folder", sizeof r.name);
    storedLabel(tour ? tourFolderKind : airportFolderKind, r, label, 32);
}

static int32_t tourItemsIn(HWND tree, HTREEITEM parent) {
    int32_t count = 0;
    HTREEITEM first = parent == TVI_ROOT ? treeStep(tree, nullptr, TVGN_ROOT)
                                         : treeStep(tree, parent, TVGN_CHILD);
    for (HTREEITEM at = first; at; at = treeStep(tree, at, TVGN_NEXT)) {
        const uint32_t kind = itemKind(itemData(tree, at));
        count += isTourKind(kind) && !isFolderKind(kind) ? 1 : 0;
    }
    return count;
}

HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM parent) {
    RecordBuffer r;
    clearRecordBuffer(r);
    copyBoundedText(r.tourFlag, tour ? "1" : "", sizeof r.tourFlag);
    copyBoundedText(r.name, tour ? "New Tour" : "New Airport", sizeof r.name);
    char label[48];
    if (tour) {
        // Written with its number at once: the renumbering after it then changes nothing in a
        // tour that was numbered already, so a refused write there cannot leave it half done.
        tourNumberText(tourItemsIn(tree, parent) + 1, r.ident, sizeof r.ident);
    }
    const ItemKind kind = tour ? tourItemKind : airportKind;
    storedLabel(kind, r, label, sizeof label);
    HTREEITEM item = appendWithRecord(tree, parent, r, label, kind);
    if (item)
        renumberTour(tree, item);
    return item;
}

namespace {

// A tree view (Wine's, at least) re-measures every shown item each time a shown label changes,
// which makes a long tour's renumbering quadratic. The tour is therefore folded away while its
// labels change and unfolded after, with the selection and the scroll position as they were.
// The selection is off the tree meanwhile, so that the fold never moves it (and the editor,
// which follows it, keeps its item and what the pilot typed).
struct FoldedTour {
    HWND tree;
    HTREEITEM folder; // nullptr when the tour was not shown, or lies at the top level
    HTREEITEM selected;
    HTREEITEM firstShown;
};

FoldedTour foldTour(HWND tree, HTREEITEM item) {
    FoldedTour fold = {tree, treeStep(tree, item, TVGN_PARENT), selectedItem(tree),
                       treeStep(tree, nullptr, TVGN_FIRSTVISIBLE)};
    const LRESULT state = fold.folder
                              ? SendMessageA(tree, TVM_GETITEMSTATE,
                                             reinterpret_cast<WPARAM>(fold.folder), TVIS_EXPANDED)
                              : 0;
    if (!(state & TVIS_EXPANDED)) {
        fold.folder = nullptr;
        return fold;
    }
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    selectItem(tree, nullptr);
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(fold.folder));
    return fold;
}

void unfoldTour(const FoldedTour& fold) {
    if (!fold.folder)
        return;
    SendMessageA(fold.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(fold.folder));
    selectItem(fold.tree, fold.selected);
    if (fold.firstShown)
        SendMessageA(fold.tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
                     reinterpret_cast<LPARAM>(fold.firstShown));
    SendMessageA(fold.tree, WM_SETREDRAW, TRUE, 0);
}

} // namespace

namespace {

bool isTourItem(uint32_t kind) {
    return isTourKind(kind) && !isFolderKind(kind);
}

// The tour items of one group with their records as the file holds them: renumbering changes
// only their number columns (planTourNumbers), all of them or, when a write is refused, none.
struct TourNumbers {
    int32_t count = 0;
    HTREEITEM* items = nullptr;
    int32_t* records = nullptr;
    uint8_t* lines = nullptr;      // count records of 64 bytes
    uint8_t* renumbered = nullptr; // the same with their new numbers
    NumberRun* runs = nullptr;     // the writes that store them
};

void releaseNumbers(TourNumbers& tour) {
    release(tour.items);
    release(tour.records);
    release(tour.lines);
    release(tour.renumbered);
    release(tour.runs);
}

bool gatherTour(HWND tree, HTREEITEM item, TourNumbers& tour) {
    HTREEITEM first = firstSibling(tree, item);
    for (HTREEITEM at = first; at; at = treeStep(tree, at, TVGN_NEXT))
        tour.count += isTourItem(itemKind(itemData(tree, at))) ? 1 : 0;
    const size_t count = static_cast<size_t>(tour.count);
    tour.items = static_cast<HTREEITEM*>(allocate(count * sizeof(HTREEITEM)));
    tour.records = static_cast<int32_t*>(allocate(count * sizeof(int32_t)));
    tour.lines = static_cast<uint8_t*>(allocate(count * recordSize));
    tour.renumbered = static_cast<uint8_t*>(allocate(count * recordSize));
    tour.runs = static_cast<NumberRun*>(allocate(count * sizeof(NumberRun)));
    if (!tour.items || !tour.records || !tour.lines || !tour.renumbered || !tour.runs)
        return false;
    int32_t i = 0;
    for (HTREEITEM at = first; at; at = treeStep(tree, at, TVGN_NEXT)) {
        const uint32_t word = itemData(tree, at);
        if (isTourItem(itemKind(word))) {
            tour.items[i] = at;
            tour.records[i++] = itemRecordNumber(word);
        }
    }
    return true;
}

bool seekRecord(HANDLE file, int32_t number) {
    return seekFile(file, (static_cast<int64_t>(number) - 1) * static_cast<int64_t>(recordSize));
}

bool readLines(HANDLE database, TourNumbers& tour) {
    for (int32_t i = 0; i < tour.count; ++i) {
        if (!seekRecord(database, tour.records[i]) ||
            !readExactly(database, tour.lines + static_cast<size_t>(i) * recordSize, recordSize))
            return false;
    }
    return true;
}

// Lines first to first + count - 1 of the buffer (records numbered one after another) in one
// write.
bool writeRun(HANDLE database, const TourNumbers& tour, const uint8_t* lines, int32_t first,
              int32_t count) {
    return seekRecord(database, tour.records[first]) &&
           writeExactly(database, lines + static_cast<size_t>(first) * recordSize,
                        static_cast<uint32_t>(count) * recordSize);
}

// Writes the plan's runs; a refused write puts back what was already written, the refused run
// included (a write cut short may have changed part of it), so that the file keeps the tour's
// old numbers whole.
bool writeNumbers(HANDLE database, const TourNumbers& tour) {
    const int32_t runs =
        planTourNumbers(tour.lines, tour.records, tour.count, tour.renumbered, tour.runs);
    for (int32_t r = 0; r < runs; ++r) {
        const NumberRun run = tour.runs[r];
        if (!writeRun(database, tour, tour.renumbered, run.first, run.count)) {
            for (int32_t back = 0; back < run.first + run.count; ++back)
                writeRun(database, tour, tour.lines, back, 1);
            return false;
        }
    }
    return true;
}

// The editor shows the selected item's new number too: it stores what it shows when the
// selection moves on, and an old number would come back.
void labelNumbers(HWND tree, const TourNumbers& tour, HTREEITEM selected) {
    RecordBuffer record;
    for (int32_t i = 0; i < tour.count; ++i) {
        decodeRecord(tour.lines + static_cast<size_t>(i) * recordSize, recordSize, record);
        char label[48];
        numberedLabel(tourItemKind, record, i + 1, label, sizeof label);
        setItemLabel(tree, tour.items[i], label);
        if (tour.items[i] == selected) {
            char number[8];
            tourNumberText(i + 1, number, sizeof number);
            SetDlgItemTextA(GetParent(tree), IDC_IDENT, number);
        }
    }
}

} // namespace

TourNumbering writeTourNumbers(HWND tree, HTREEITEM item) {
    if (!item || !isTourKind(itemKind(itemData(tree, item))))
        return TourNumbering::notTour;
    TourNumbers tour;
    HANDLE database = INVALID_HANDLE_VALUE;
    bool renumbered = gatherTour(tree, item, tour);
    if (renumbered) {
        database = openDatabase(false);
        renumbered = database != INVALID_HANDLE_VALUE && readLines(database, tour) &&
                     writeNumbers(database, tour);
    }
    if (database != INVALID_HANDLE_VALUE)
        CloseHandle(database);
    if (renumbered) {
        const FoldedTour fold = foldTour(tree, item);
        labelNumbers(tree, tour, fold.selected);
        unfoldTour(fold);
    }
    releaseNumbers(tour);
    InvalidateRect(tree, nullptr, TRUE);
    return renumbered ? TourNumbering::written : TourNumbering::refused;
}

bool renumberTour(HWND tree, HTREEITEM item) {
    const TourNumbering numbering = writeTourNumbers(tree, item);
    if (numbering == TourNumbering::refused)
        reportError(tree, "The tour's numbers could not be written to the database (it may be "
                          "held by another program); the tour keeps its old numbers.");
    return numbering != TourNumbering::notTour;
}

HTREEITEM deleteEntry(HWND tree, HTREEITEM item) {
    if (!treeStep(tree, item, TVGN_PARENT) && !treeStep(tree, item, TVGN_PREVIOUS) &&
        !treeStep(tree, item, TVGN_NEXT)) {
        reportError(tree, "Can't delete this item !");
        return nullptr;
    }
    return removeFromGroup(tree, item);
}

HTREEITEM removeFromGroup(HWND tree, HTREEITEM item) {
    const uint32_t kind = itemKind(itemData(tree, item));
    HTREEITEM parent = parentOrRoot(tree, item);
    HTREEITEM next = removeTreeItem(tree, item);
    if (isTourKind(kind) && !isFolderKind(kind)) {
        // Counted from the first tour item left: the item selected instead may be a folder or
        // an airport of the group, which a renumbering from it would not count from.
        HTREEITEM at = firstChild(tree, parent);
        for (; at; at = treeStep(tree, at, TVGN_NEXT)) {
            const uint32_t atKind = itemKind(itemData(tree, at));
            if (isTourKind(atKind) && !isFolderKind(atKind))
                break;
        }
        renumberTour(tree, at);
    }
    return next;
}

HTREEITEM removeTreeItem(HWND tree, HTREEITEM item) {
    // Before the selection leaves it: the editor's fields of an item that goes are not stored,
    // so that a refused write can neither hold the deletion up nor be reported for nothing.
    releaseEditorFrom(tree, item);
    HTREEITEM chosen = nullptr;
    const uint32_t kind = itemKind(itemData(tree, item));
    if (isTourKind(kind) && !isFolderKind(kind)) {
        // A deleted tour item hands the selection to its own tour: the first item when it had
        // one before it, else the last.
        if (treeStep(tree, item, TVGN_PREVIOUS)) {
            chosen = firstSibling(tree, item);
        } else {
            for (HTREEITEM at = treeStep(tree, item, TVGN_NEXT); at;
                 at = treeStep(tree, at, TVGN_NEXT))
                chosen = at;
        }
        if (chosen)
            selectItem(tree, chosen);
    }
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    InvalidateRect(tree, nullptr, TRUE);
    return chosen;
}
