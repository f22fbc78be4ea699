// The settings dialog's state: module-wide, since there is never more than one such dialog.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "../common/db_record.h"

struct SettingsState {
    int initDone = 0; // 1 from the end of the opening to OK or Cancel
    // 0 while the altitude edit holds a value outside 0 to 99996: OK and Cancel then only move
    // the focus, and the tree ignores the pilot.
    int airportAltitudeValid = 1;
    int tourAltitudeValid = 1;
    HTREEITEM chosenItem = nullptr; // the destination's item
    // 1 while OK's save walks the tree, or a renumbering folds its tour away for speed: the
    // folders they collapse move the selection, and the editor must neither save nor load on
    // those moves (the database is open for them).
    int quietSelection = 0;
    HWND toolbar = nullptr;
    HWND tooltip = nullptr;
    HIMAGELIST treeImages = nullptr;
    WNDPROC previousToolbarHostProc = nullptr;
    WNDPROC previousTreeProc = nullptr;

    // The tree's clipboard: the item last copied or cut, while it still exists (the tree's
    // TVN_DELETEITEM clears it, so no record is ever read through a deleted item), and whether
    // the clipboard file still holds that item's copy (a drag replaces it).
    int clipboardSet = 0; // 1 once Copy or Cut was chosen
    HTREEITEM clipboardSource = nullptr;
    int clipboardFromSource = 0;

    // An item removed by the editing: its selection change must not save the editor into it.
    int removing = 0;

    // The item whose record the editor shows: nullptr when none, or when its read was refused,
    // so that the blanks shown then are never written over its record.
    HTREEITEM editorItem = nullptr;
    // That record as last read from the file or from the editor's controls.
    RecordBuffer editorRecord = {};
    // 1 while the editor shows a record: what a record holds is shown as it is, and only what
    // the pilot types into an altitude edit is checked.
    int fillingEditor = 0;

    // A drag in progress: its image list (nullptr when none), the dragged item, and -1 while the
    // cursor is outside the tree (a drop there does nothing), else 0.
    HIMAGELIST dragImage = nullptr;
    HTREEITEM dragSource = nullptr;
    int dropAllowed = 0;
};

extern SettingsState settings;
