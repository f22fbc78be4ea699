// The tree's editing operations that make new items. Each appends the new item's record to the
// database at once; saveTree puts the file into tree order at OK.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Whether the database can take added more records without passing the 65,535 that an item's
// data word can address; when not, says so (owned by owner) and returns false, so that an
// operation refuses before it appends anything.
bool roomForRecords(HWND owner, int32_t added);

// A new folder of the kind: at the top level for TVI_ROOT, inside item when it is a folder,
// beside it otherwise. Refused ("Can't make a Folder") deeper than 99 levels, and when its
// record cannot be written; returns the folder or nullptr.
HTREEITEM newFolder(bool tour, HWND tree, HTREEITEM item);

// A new entry of the kind as the last child of parent (TVI_ROOT for the top level), numbered
// when it is a tour item. Returns it, or nullptr when its record could not be written.
HTREEITEM newEntry(bool tour, HWND tree, HTREEITEM parent);

// Numbers the tour items of the item's group 001, 002, ... in tree order, in their labels and
// records; false (nothing done) when the item is not of a tour kind.
bool renumberTour(HWND tree, HTREEITEM item);
