// The settings dialog's state: module-wide, since there is never more than one such dialog.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct SettingsState {
    int initDone = 0; // 1 from the end of the opening to OK or Cancel
    // 0 while the altitude edit holds a value outside 0 to 99996: OK and Cancel then only move
    // the focus, and the tree ignores the pilot.
    int airportAltitudeValid = 1;
    int tourAltitudeValid = 1;
    HTREEITEM chosenItem = nullptr; // the destination's item
    // 1 while OK's save walks the tree: the folders it collapses move the selection, and the
    // editor must neither save nor load on those moves (the database is open for the save).
    int saving = 0;
    HWND toolbar = nullptr;
    HWND tooltip = nullptr;
    HIMAGELIST treeImages = nullptr;
    WNDPROC previousToolbarHostProc = nullptr;
    WNDPROC previousTreeProc = nullptr;
};

extern SettingsState settings;
