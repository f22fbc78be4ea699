#include "tree_edit.h"

#include <cstdio>

#include "../common/module_contract.h"
#include "../common/record_rules.h"
#include "../common/text_fields.h"
#include "db_file.h"
#include "dialog_state.h"
#include "error_report.h"
#include "item_editor.h"
#include "tree_items.h"
#include "tour_numbers.h"
#include "tree_plan.h"

namespace {

// Appends the record to the database, then the item to the tree, so that no item ever names a
// record that is not there.
HTREEITEM appendWithRecord(HWND tree, HTREEITEM parent, RecordBuffer& record, const char* label,
                           uint32_t kind) {
    const AppendStart start = startAppend(tree, 1);
    if (start.first < 0)
        return nullptr;
    int32_t number = start.first;
    if (number > 0) {
        if (!writeRecordTo(number, start.database, record)) {
            cutAppendBack(start.database, number);
            number = 0;
        }
        CloseHandle(start.database);
    }
    if (number == 0) {
        reportError(tree, "The new item could not be written to the waypoint database (disk "
                          "full, or the file is held by another program). Nothing has been "
                          "added.");
        return nullptr;
    }
    HTREEITEM item = appendTreeItem(tree, parent, label, itemWord(number, kind));
    if (!item)
        reportError(tree, "The tree could not show the new item (the system may be short of "
                          "memory), so it was not added. Its record stays in the database file "
                          "until OK leaves it out.");
    return item;
}

} // namespace

AppendStart startAppend(HWND owner, int32_t added) {
    AppendStart start = {openDatabaseRetrying(true), 0};
    if (start.database == INVALID_HANDLE_VALUE)
        return start;
    const bool sized = fileByteSize(start.database) >= 0;
    const int32_t count = recordCountOf(start.database);
    if (sized && roomForMore(count, added)) {
        start.first = count + 1;
        return start;
    }
    CloseHandle(start.database); // not held while the pilot reads why
    start.database = INVALID_HANDLE_VALUE;
    if (sized) {
        roomForRecords(owner, count, added);
        start.first = -1;
    }
    return start;
}

bool roomForRecords(HWND owner, int32_t count, int32_t added) {
    if (roomForMore(count, added))
        return true;
    char text[160];
    std::snprintf(text, sizeof text,
                  "The database holds %ld records; %ld more would pass the %ld the tree can "
                  "address. Nothing has been added.",
                  static_cast<long>(count), static_cast<long>(added),
                  static_cast<long>(maxTreeRecordNumber));
    reportError(owner, text);
    return false;
}

HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item) {
    if (itemDepth(tree, item) + 1 > deepestFolderLevel) {
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
        renumberTour(tree, firstTourItemIn(tree, parent));
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
