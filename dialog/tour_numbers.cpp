// The numbers of a tour's items: 001, 002 ... in tree order, in their labels and their records,
// written all at once after every edit that changes a tour, and the tours whose numbering the
// database refused, numbered again before OK saves.
#include "tour_numbers.h"

#include "common/module_contract.h"
#include "common/record_rules.h"
#include "db_file.h"
#include "error_report.h"
#include "heap_blocks.h"
#include "settings_state.h"
#include "tree_items.h"
#include "tree_plan.h"
#include "tree_snapshot.h"

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

// The group's tour items (planTourGroup) and their record numbers, with room for their lines.
bool gatherTour(HWND tree, HTREEITEM item, TourNumbers& tour) {
    TreeView view;
    if (!takeGroupSnapshot(tree, item, false, view))
        return false;
    int32_t* nodes =
        static_cast<int32_t*>(allocate(static_cast<size_t>(view.snapshot.count) * sizeof(int32_t)));
    tour.count = nodes ? planTourGroup(view.snapshot, nodes) : 0;
    const size_t count = static_cast<size_t>(tour.count);
    tour.items = static_cast<HTREEITEM*>(allocate(count * sizeof(HTREEITEM)));
    tour.records = static_cast<int32_t*>(allocate(count * sizeof(int32_t)));
    tour.lines = static_cast<uint8_t*>(allocate(count * recordSize));
    tour.renumbered = static_cast<uint8_t*>(allocate(count * recordSize));
    tour.runs = static_cast<NumberRun*>(allocate(count * sizeof(NumberRun)));
    const bool gathered =
        nodes && tour.items && tour.records && tour.lines && tour.renumbered && tour.runs;
    for (int32_t i = 0; gathered && i < tour.count; ++i) {
        tour.items[i] = view.items[nodes[i]];
        tour.records[i] = itemRecordNumber(view.nodes[nodes[i]].word);
    }
    release(nodes);
    releaseSnapshot(view);
    return gathered;
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
// old numbers whole: all of them, or astray when a write of the old ones was refused too.
TourNumbering writeNumbers(HANDLE database, const TourNumbers& tour) {
    const int32_t runs =
        planTourNumbers(tour.lines, tour.records, tour.count, tour.renumbered, tour.runs);
    for (int32_t r = 0; r < runs; ++r) {
        const NumberRun run = tour.runs[r];
        if (!writeRun(database, tour, tour.renumbered, run.first, run.count)) {
            bool putBack = true;
            for (int32_t back = 0; back < run.first + run.count; ++back)
                putBack = writeRun(database, tour, tour.lines, back, 1) && putBack;
            return putBack ? TourNumbering::refused : TourNumbering::astray;
        }
    }
    return TourNumbering::written;
}

// The group (by its folder) remembered as one whose numbers OK must write again, or forgotten.
void noteUnsettled(HTREEITEM group, bool unsettled) {
    HTREEITEM* free = nullptr;
    for (HTREEITEM& slot : settings.unsettledTours) {
        if (slot == group) {
            slot = unsettled ? group : nullptr;
            return;
        }
        if (!slot && !free)
            free = &slot;
    }
    if (unsettled && free)
        *free = group;
    else if (unsettled)
        settings.unsettledToursLost = 1;
}

// The first tour item among parent's children (TVI_ROOT: the top level), nullptr when none.
HTREEITEM firstTourItemIn(HWND tree, HTREEITEM parent) {
    HTREEITEM at = firstChild(tree, parent);
    while (at && !isTourItemKind(itemKind(itemData(tree, at))))
        at = treeStep(tree, at, TVGN_NEXT);
    return at;
}

// The group's numbering; the selection's new number, when it is in the group, kept in numbered.
bool numberGroup(HWND tree, HTREEITEM group, NumberShown& numbered) {
    HTREEITEM first = firstTourItemIn(tree, group);
    if (!first) {
        noteUnsettled(group, false);
        return true;
    }
    NumberShown shown = {};
    const bool written = writeTourNumbers(tree, first, shown) == TourNumbering::written;
    if (shown.item)
        numbered = shown;
    return written;
}

bool numberToursUnder(HWND tree, HTREEITEM parent, NumberShown& numbered) {
    bool written = numberGroup(tree, parent, numbered);
    for (HTREEITEM at = firstChild(tree, parent); at; at = treeStep(tree, at, TVGN_NEXT)) {
        if (isFolderKind(itemKind(itemData(tree, at))))
            written = numberToursUnder(tree, at, numbered) && written;
    }
    return written;
}

// The labels take their new numbers; the selected item's number is handed back for the editor.
NumberShown labelNumbers(HWND tree, const TourNumbers& tour, HTREEITEM selected) {
    NumberShown numbered = {nullptr, 0};
    RecordBuffer record;
    for (int32_t i = 0; i < tour.count; ++i) {
        decodeRecord(tour.lines + static_cast<size_t>(i) * recordSize, recordSize, record);
        char label[48];
        numberedLabel(tourItemKind, record, i + 1, label, sizeof label);
        setItemLabel(tree, tour.items[i], label);
        if (tour.items[i] == selected)
            numbered = {selected, i + 1};
    }
    return numbered;
}

} // namespace

TourNumbering writeTourNumbers(HWND tree, HTREEITEM item, NumberShown& numbered) {
    numbered = {nullptr, 0};
    if (!item || !isTourKind(itemKind(itemData(tree, item))))
        return TourNumbering::notTour;
    TourNumbers tour;
    HANDLE database = INVALID_HANDLE_VALUE;
    TourNumbering numbering = TourNumbering::refused;
    if (gatherTour(tree, item, tour)) {
        database = openDatabase(false);
        if (database != INVALID_HANDLE_VALUE && readLines(database, tour))
            numbering = writeNumbers(database, tour);
    }
    if (database != INVALID_HANDLE_VALUE)
        CloseHandle(database);
    const bool renumbered = numbering == TourNumbering::written;
    noteUnsettled(parentOrRoot(tree, item), !renumbered);
    if (renumbered) {
        const FoldedTour fold = foldTour(tree, item);
        numbered = labelNumbers(tree, tour, fold.selected);
        unfoldTour(fold);
    }
    releaseNumbers(tour);
    InvalidateRect(tree, nullptr, TRUE);
    return numbering;
}

void reportTourNumbers(HWND tree, TourNumbering numbering) {
    if (numbering == TourNumbering::refused)
        reportError(tree, "The tour's numbers could not be written to the database (it may be "
                          "held by another program); the tour keeps its old numbers until OK "
                          "writes them.");
    else if (numbering == TourNumbering::astray)
        reportError(tree, "The tour's numbers could not be written to the database, nor its old "
                          "ones put back (it may be held by another program): some of its items "
                          "may hold numbers their labels do not show. OK numbers the tour again "
                          "before it saves.");
}

NumberShown renumberTour(HWND tree, HTREEITEM item) {
    NumberShown numbered = {};
    reportTourNumbers(tree, writeTourNumbers(tree, item, numbered));
    return numbered;
}

bool settleTourNumbers(HWND tree, NumberShown& numbered) {
    numbered = {nullptr, 0};
    if (settings.unsettledToursLost) {
        if (!numberToursUnder(tree, TVI_ROOT, numbered))
            return false;
        settings.unsettledToursLost = 0;
        return true;
    }
    bool settled = true;
    for (HTREEITEM group : settings.unsettledTours) {
        if (group)
            settled = numberGroup(tree, group, numbered) && settled;
    }
    return settled;
}

void forgetUnsettledTour(HTREEITEM group) {
    noteUnsettled(group, false);
}
