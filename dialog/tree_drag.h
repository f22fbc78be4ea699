// Drag and drop in the settings dialog's tree: the left button drags an item (with its picture)
// onto another to move it there, or with Ctrl held at the drop to copy it. The dialog holds the
// mouse while the drag lasts, so its procedure passes the mouse messages on to here.
#pragma once
#include <windows.h>
#include <commctrl.h>

// TVN_BEGINDRAG: selects the item and starts the drag.
void beginTreeDrag(HWND dialog, const NMTREEVIEWA& start);

// The dialog's WM_MOUSEMOVE, WM_LBUTTONUP and WM_CAPTURECHANGED; false when no drag is in
// progress (the message is then not the drag's).
bool moveTreeDrag(HWND dialog, LPARAM clientPoint);
bool dropTreeDrag(HWND dialog, WPARAM keys);
// The mouse taken away by another window (a message box, a switch to another program): the drag
// ends without a drop, so that its picture does not stay behind.
bool abandonTreeDrag(HWND dialog);
