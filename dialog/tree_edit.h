// The tree's editing operations: new items, deletions and the numbering of a tour's items. A new
// item's record is appended to the database at once; saveTree puts the file into tree order at OK.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "../common/db_record.h"

// Whether the database can take `added` more records without passing the 65,535 that an item's
// data word can address; when not, says so (owned by owner) and returns false, so that an
// operation refuses before it appends anything.
bool roomForRecords(HWND owner, int32_t added);

// The record and label of a new folder of the kind, as newFolder makes it; the label needs 32
// bytes.
void newFolderRecord(bool tour, RecordBuffer& record, char* label);

// A new folder of the kind: at the top level for TVI_ROOT, inside item when it is a folder,
// beside it otherwise. Refused ("Can't make a Folder") deeper than 99 levels, and (said) when its
// record cannot be written; returns the folder or nullptr.
HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item);

// A new entry of the kind as the last child of parent (TVI_ROOT for the top level), numbered
// when it is a tour item. Returns it, or nullptr when its record could not be written (said).
HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM parent);

// Deletes the item with everything in it; refused ("Can't delete this item !") for the only
// top-level item, so the tree never becomes empty. Returns what removeFromGroup returns (nullptr
// when refused).
HTREEITEM deleteEntry(HWND tree, HTREEITEM item);

// Deletes the item with everything in it (removeTreeItem); when it was a tour item, the tour
// items left in its group are numbered again. Returns the item the editor must show again (the
// tour item selected instead, whose number may have changed under the editor), or nullptr.
// Delete, Cut and a drag that moves share it.
HTREEITEM removeFromGroup(HWND tree, HTREEITEM item);

// Deletes the item and its subtree. A tour item first moves the selection within its tour (to
// the first item when it had one before it, else to the last); that item is returned, nullptr
// for every other kind (the tree view then chooses). The records stay in the database until OK
// leaves them out.
HTREEITEM removeTreeItem(HWND tree, HTREEITEM item);

// Numbers the tour items of the item's group 001, 002, ... in tree order, in their labels and
// records, all of them or, when the database refuses, none (the labels stay as they were).
enum class TourNumbering { notTour, written, refused };
TourNumbering writeTourNumbers(HWND tree, HTREEITEM item);

// The same, a refusal reported to the pilot; false (nothing done) when the item is not of a
// tour kind.
bool renumberTour(HWND tree, HTREEITEM item);
