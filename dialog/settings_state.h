// The settings dialog's state: module-wide, since there is never more than one such dialog.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "common/db_record.h"

struct SettingsState {
    int initDone = 0; // 1 from the end of the opening to OK or Cancel
    // 0 while the altitude edit holds a value outside 0 to highestAltitudeFeet: OK and Cancel
    // then only move the focus, and the tree ignores the pilot.
    int airportAltitudeValid = 1;
    int tourAltitudeValid = 1;
    HTREEITEM chosenItem = nullptr; // the destination's item
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

    // The item whose record the editor shows: nullptr when none, when its read was refused (so
    // that the blanks shown then are never written over its record), or once it is being
    // removed. The editor stores into no other item (followSelection, saveItemFields).
    HTREEITEM editorItem = nullptr;
    // That record as last read from the file or from the editor's controls.
    RecordBuffer editorRecord = {};

    // The groups of tour items (each named by its folder, TVI_ROOT for the top level) whose
    // renumbering the database refused: the file may leave a number out, or hold numbers the
    // labels do not show when the old ones could not be put back either. OK numbers them again
    // before it saves; once more were refused than the list holds, it numbers every tour.
    HTREEITEM unsettledTours[8] = {};
    int unsettledToursLost = 0;

    // A drag in progress: its image list (nullptr when none), the dragged item, and -1 while the
    // cursor is outside the tree (a drop there does nothing), else 0.
    HIMAGELIST dragImage = nullptr;
    HTREEITEM dragSource = nullptr;
    int dropAllowed = 0;
};

extern SettingsState settings;
