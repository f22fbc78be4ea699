// The settings dialog's tree view and the database file, both ways. Each item's data word
// (db_record.h) holds its record number and kind.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

enum class TreeLoad {
    loaded,     // built from the database; a missing or empty one (opened and sized) adds
                // nothing
    unreadable, // another program holds the database, or a read failed: the tree may be partial
                // and must not be saved over the database
    tooLarge,   // more records than the data word can number: nothing added, the file untouched
};

// Appends the database's items to the tree in file order: entries into the last folder read,
// folders by their levels (planLoad, tree_plan.h). Removes the current-choice marker from the
// file; *choice becomes the marked entry (the last one, when several carry a marker) or nullptr.
[[nodiscard]] TreeLoad loadTree(HWND tree, HTREEITEM* choice);

enum class TreeSave {
    saved,  // the database holds the tree
    failed, // a read or write was refused, or an item has no record: the database is as it was
};

// Rewrites the database in tree order: each list's entries first, then each of its folders with
// the folder's depth (99 at most) followed by the folder's own contents. The selected entry gets
// the marker and every other entry loses any it had. The new database is written and flushed in
// the scratch file, then takes the old one's place (acceptNewDatabase, which ends the settings
// session), so that a crash or a full disk never leaves it missing or half written. *chosen becomes the selected entry's new record
// number, or 0 when no entry is selected or the save failed.
[[nodiscard]] TreeSave saveTree(HWND tree, int32_t* chosen);
