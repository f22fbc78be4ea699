// The settings dialog's tree view and the database file, both ways. Each item's data word
// (db_record.h) holds its record number and kind.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Results of loadTree.
constexpr int32_t treeLoaded = 1; // built from the database; a missing or empty one adds nothing
constexpr int32_t treeUnreadable = 0; // another program holds the database, or a read failed
constexpr int32_t treeTooLarge = -1;  // more records than the data word can number: nothing
                                      // added, the file untouched
constexpr int32_t treeSaveFailed = -1;

// Appends the database's items to the tree in file order: entries into the last folder read,
// folders by their levels (see folderParent). Removes the current-choice marker from the file;
// *choice becomes the marked entry (the last one, when several carry a marker) or nullptr.
int32_t loadTree(HWND tree, HTREEITEM* choice);

// Rewrites the database in tree order: each list's entries first, then each of its folders with
// the folder's depth (99 at most) followed by the folder's own contents. The selected entry gets
// the marker. The new database is written and flushed in the scratch file, then replaces the old
// one in a single rename, so that a crash or a full disk never leaves it missing or half
// written. Returns the selected entry's new record number, 0 when no entry is selected, or
// treeSaveFailed when anything was refused; then the database is as it was.
int32_t saveTree(HWND tree);
