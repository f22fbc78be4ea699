#include "tree_edit.h"

#include <cstdio>

#include "common/module_contract.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "db_file.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "error_report.h"
#include "tree_items.h"
#include "tour_numbers.h"
#include "tree_plan.h"
#include "tree_snapshot.h"

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

namespace {

// The item the plan's parent names, TVI_ROOT for the top level.
HTREEITEM itemOf(const TreeView& view, int32_t node) {
    return node == noNode ? TVI_ROOT : view.items[node];
}

} // namespace

HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item) {
    TreeView view;
    if (!takeGroupSnapshot(tree, item, false, view))
        return nullptr;
    const NewItemPlan plan = planNewFolder(view.snapshot);
    const HTREEITEM parent = itemOf(view, plan.parent);
    releaseSnapshot(view);
    if (plan.refusal == NewItemRefusal::tooDeep) {
        reportError(tree, "Can't make a Folder");
        return nullptr;
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
    copyBoundedText(r.name, tour ? NEW_TOUR_FOLDER_NAME : NEW_AIRPORT_FOLDER_NAME, sizeof r.name);
    storedLabel(tour ? tourFolderKind : airportFolderKind, r, label, 32);
}

HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM item, NumberShown& numbered) {
    numbered = {nullptr, 0};
    TreeView view;
    if (!takeGroupSnapshot(tree, item, true, view))
        return nullptr;
    const NewItemPlan plan = planNewEntry(view.snapshot, tour);
    const HTREEITEM parent = itemOf(view, plan.parent);
    releaseSnapshot(view);
    if (plan.refusal == NewItemRefusal::otherKind) {
        reportError(tree, tour ? "Please select Tour Item !" : "Please select Airport Item !");
        return nullptr;
    }
    RecordBuffer r;
    clearRecordBuffer(r);
    copyBoundedText(r.tourFlag, tour ? "1" : "", sizeof r.tourFlag);
    copyBoundedText(r.name, tour ? "New Tour" : "New Airport", sizeof r.name);
    // A tour item is written with its number at once: the renumbering after it then changes
    // nothing in a tour that was numbered already, so a refused write there cannot leave it
    // half done.
    if (tour)
        tourNumberText(plan.number, r.ident, sizeof r.ident);
    const ItemKind kind = tour ? tourItemKind : airportKind;
    char label[48];
    storedLabel(kind, r, label, sizeof label);
    HTREEITEM added = appendWithRecord(tree, parent, r, label, kind);
    if (added)
        numbered = renumberTour(tree, added);
    return added;
}

Removal planRemovalOf(HWND tree, HTREEITEM item, bool onlyTopRefused) {
    TreeView view;
    if (!takeGroupSnapshot(tree, item, false, view)) {
        reportError(tree, "The tree could not be read (the system may be short of memory); "
                          "nothing has been deleted.");
        return {true, nullptr, nullptr};
    }
    const RemovalPlan plan = planRemoval(view.snapshot, onlyTopRefused);
    const Removal removal = {
        plan.refused, plan.selectInstead == noNode ? nullptr : view.items[plan.selectInstead],
        plan.renumberFrom == noNode ? nullptr : view.items[plan.renumberFrom]};
    releaseSnapshot(view);
    if (plan.refused)
        reportError(tree, "Can't delete this item !");
    return removal;
}

TreeOutcome removeAsPlanned(HWND tree, HTREEITEM item, const Removal& removal) {
    if (removal.selectInstead)
        selectItem(tree, removal.selectInstead);
    SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    InvalidateRect(tree, nullptr, TRUE);
    TreeOutcome outcome = {removal.selectInstead, {nullptr, 0}};
    if (removal.renumberFrom)
        outcome.numbered = renumberTour(tree, removal.renumberFrom);
    return outcome;
}
