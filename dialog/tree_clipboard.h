// The tree's clipboard: a file in database record layout ("TarvixDb.$$$") whose first record is
// the copied item and, for a folder, the records after it its contents with their levels counted
// from the copied folder (level 1). Copy, Cut, Paste and drag and drop all go through it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "tour_numbers.h"

// The clipboard file holds the item: an entry as one record, a folder followed by its subtree
// in the order the save writes the database (each list's entries, then each folder and its own
// contents). False with no file left when there is no item or a record cannot be read or
// written (then said).
bool copyToClipboardFile(HWND tree, HTREEITEM item);

// Inserts what the clipboard holds at the target: into the target when it is a folder, into the
// target's folder when it is an entry (a single entry right after it). Folders take their places
// from their levels, each as the first child of its parent (so sibling folders arrive in reverse
// order), entries keep their order, and every record is appended to the database. A single
// entry is made to fit the target's kind and, when source is that entry and still in the tree,
// taken as the database holds it now.
// The clipboard file itself is never changed by a paste. Returns the item of the first record,
// or nullptr: nothing to paste, folders that would nest deeper than 99 levels ("Can't make a
// Folder"), no room for the records (said), or a record that could not be written or read back,
// an item the tree refused or a tour whose new numbers could not be written (said, and whatever
// went in taken out of the tree and the database again). The tour the paste went into is
// numbered 001, 002, ... with it, and numbered gets what that gave the selection.
HTREEITEM pasteFromClipboardFile(HWND tree, HTREEITEM source, HTREEITEM target,
                                 NumberShown& numbered);
