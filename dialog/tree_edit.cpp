#include "tree_edit.h"

#include <cstdio>

#include "../common/module_contract.h"
#include "../common/text_fields.h"
#include "db_file.h"
#include "dialog_state.h"
#include "error_report.h"
#include "item_editor.h"
#include "settings_state.h"
#include "tree_items.h"

namespace {

constexpr int32_t deepestFolder = 99;

// Appends recordBuffer to the database and the item to the tree; the item is taken back when
// the record cannot be written, so that no item ever names a record that is not there.
HTREEITEM appendWithRecord(HWND tree, HTREEITEM parent, const char* label, uint32_t kind) {
    if (!roomForRecords(tree, 1))
        return nullptr;
    const int32_t number = recordCount(databaseFileName) + 1;
    HTREEITEM item = appendTreeItem(tree, parent, label, itemWord(number, kind));
    if (!item)
        return nullptr;
    if (writeRecord(number, databaseFileName, recordBuffer) != 1) {
        SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
        reportError(tree, "The new item could not be written to the waypoint database (disk "
                          "full, or the file is held by another program). Nothing has been "
                          "added.");
        return nullptr;
    }
    return item;
}

} // namespace

bool roomForRecords(HWND owner, int32_t added) {
    const int32_t count = recordCount(databaseFileName);
    if (added <= maxTreeRecordNumber - count)
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
    char label[32];
    newFolderRecord(tour, recordBuffer, label);
    return appendWithRecord(tree, parent, label, tour ? 101 : 1);
}

void newFolderRecord(bool tour, RecordBuffer& r, char* label) {
    clearRecordBuffer(r);
    copyBoundedText(r.level, "1", sizeof r.level);
    copyBoundedText(r.tourFlag, tour ? "1" : "", sizeof r.tourFlag);
    copyBoundedText(r.name, tour ? "New Tour Folder" : "New Airport Folder", sizeof r.name);
    std::snprintf(label, 32, " %s", r.name);
}

HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM parent) {
    RecordBuffer& r = recordBuffer;
    clearRecordBuffer(r);
    copyBoundedText(r.tourFlag, tour ? "1" : "", sizeof r.tourFlag);
    copyBoundedText(r.name, tour ? "New Tour" : "New Airport", sizeof r.name);
    char label[32];
    if (tour)
        std::snprintf(label, sizeof label, "%03d - %s", 0, r.name);
    else
        std::snprintf(label, sizeof label, "%s", r.name);
    HTREEITEM item = appendWithRecord(tree, parent, label, tour ? 100 : 0);
    if (item)
        renumberTour(tree, item);
    return item;
}

namespace {

// A tree view (Wine's, at least) re-measures every shown item each time a shown label changes,
// which makes a long tour's renumbering quadratic. The tour is therefore folded away while its
// labels change and unfolded after, with the selection and the scroll position as they were.
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
    settings.quietSelection = 1;
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(fold.folder));
    return fold;
}

void unfoldTour(const FoldedTour& fold) {
    if (!fold.folder)
        return;
    SendMessageA(fold.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(fold.folder));
    if (fold.selected)
        SendMessageA(fold.tree, TVM_SELECTITEM, TVGN_CARET,
                     reinterpret_cast<LPARAM>(fold.selected));
    if (fold.firstShown)
        SendMessageA(fold.tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE,
                     reinterpret_cast<LPARAM>(fold.firstShown));
    settings.quietSelection = 0;
    SendMessageA(fold.tree, WM_SETREDRAW, TRUE, 0);
}

} // namespace

bool renumberTour(HWND tree, HTREEITEM item) {
    if (!item || !isTourKind(itemKind(itemData(tree, item))))
        return false;
    HANDLE database = openDatabase(false);
    bool written = database != INVALID_HANDLE_VALUE;
    const FoldedTour fold = foldTour(tree, item);
    int number = 0;
    for (HTREEITEM at = firstSibling(tree, item); at && written;
         at = treeStep(tree, at, TVGN_NEXT)) {
        const uint32_t word = itemData(tree, at);
        const uint32_t kind = itemKind(word);
        if (isFolderKind(kind) || !isTourKind(kind))
            continue;
        ++number;
        RecordBuffer& r = recordBuffer;
        written = readRecordFrom(itemRecordNumber(word), database, r) == 1;
        std::snprintf(r.ident, sizeof r.ident, "%03d", number);
        written = written && writeRecordTo(itemRecordNumber(word), database, r) == 1;
        if (written) {
            char label[48];
            std::snprintf(label, sizeof label, "%03d - %s", number, r.name);
            setItemLabel(tree, at, label);
        }
    }
    if (database != INVALID_HANDLE_VALUE)
        CloseHandle(database);
    unfoldTour(fold);
    InvalidateRect(tree, nullptr, TRUE);
    if (!written)
        reportError(tree, "The tour's numbers could not be written to the database (it may be "
                          "held by another program); the labels show what the database holds.");
    return true;
}

bool deleteEntry(HWND tree, HTREEITEM item) {
    if (!treeStep(tree, item, TVGN_PARENT) && !treeStep(tree, item, TVGN_PREVIOUS) &&
        !treeStep(tree, item, TVGN_NEXT)) {
        reportError(tree, "Can't delete this item !");
        return false;
    }
    if (HTREEITEM next = removeTreeItem(tree, item)) {
        renumberTour(tree, next);
        loadItemFields(GetParent(tree), tree, next);
    }
    return true;
}

HTREEITEM removeTreeItem(HWND tree, HTREEITEM item) {
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
            SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(chosen));
    }
    settings.removing = 1;
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    settings.removing = 0;
    InvalidateRect(tree, nullptr, TRUE);
    return chosen;
}
