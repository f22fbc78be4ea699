// The tree's editing operations: new items and deletions (a tour's numbers are tour_numbers'). A
// new item's record is appended to the database at once; saveTree puts the file into tree order
// at OK.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "common/db_record.h"
#include "tour_numbers.h"

// What an edit of the tree leaves for the editor, which the dialog alone applies: the item it
// must show anew (nullptr: none) and the number a renumbering gave the selected item.
struct TreeOutcome {
    HTREEITEM show;
    NumberShown numbered;
};

// Whether a database of count records can take `added` more without passing the 65,535 that an
// item's data word can address; when not, says so (owned by owner) and returns false, so that an
// operation refuses before it appends anything.
bool roomForRecords(HWND owner, int32_t count, int32_t added);

// The start of an append of `added` records: the database opened (waiting out another program's
// brief hold) and the number its first new record takes, the count of the file as this handle
// sees it. A count taken through another open could miss records (a hold ending between the two)
// and number a record past the limit, or over one that is there. first is 0 (database invalid)
// when the file cannot be opened or sized, which the caller says; -1 when the records would pass
// the limit, which is said here. Otherwise the caller writes and closes the database.
struct AppendStart {
    HANDLE database;
    int32_t first;
};
AppendStart startAppend(HWND owner, int32_t added);

// The record and label of a new folder of the kind, as newFolder makes it; the label needs 32
// bytes.
void newFolderRecord(bool tour, RecordBuffer& record, char* label);

// A new folder of the kind: at the top level for TVI_ROOT, inside item when it is a folder,
// beside it otherwise (planNewFolder). Refused ("Can't make a Folder") deeper than 99 levels, and
// (said) when its record cannot be written; returns the folder or nullptr.
HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item);

// A new entry of the kind as the last child of item when it is a folder, beside it otherwise
// (planNewEntry), numbered when it is a tour item. Refused ("Please select Tour Item !", "Please
// select Airport Item !") when item is of the other kind. Returns it, or nullptr when refused or
// when its record could not be written (said); numbered is what its tour's renumbering gave the
// selection.
HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM item, NumberShown& numbered);

// What deleting the item with everything in it does (planRemoval): refused ("Can't delete this
// item !", said) for the only top-level item when onlyTopRefused, so the tree never becomes
// empty; a tour item first hands the selection to its own tour, and the tour items left in its
// group are numbered again.
struct Removal {
    bool refused;
    HTREEITEM selectInstead; // nullptr: the tree view chooses
    HTREEITEM renumberFrom;  // nullptr: no tour to number again
};
Removal planRemovalOf(HWND tree, HTREEITEM item, bool onlyTopRefused);
// Deletes the item as planned, once the editor has let go of it. The records stay in the database
// until OK leaves them out. The editor must show again the tour item selected instead, whose
// number may have changed under it.
TreeOutcome removeAsPlanned(HWND tree, HTREEITEM item, const Removal& removal);
