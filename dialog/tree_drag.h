// Drag and drop in the settings dialog's tree: the left button drags an item (with its picture)
// onto another to move it there, or with Ctrl held at the drop to copy it. The dialog holds the
// mouse while the drag lasts, so its procedure passes the mouse messages on to here.
#pragma once
#include <windows.h>
#include <commctrl.h>

// TVN_BEGINDRAG, once the dialog has selected the item and the editor shows it: starts the drag.
void beginTreeDrag(HWND dialog, const NMTREEVIEWA& start);

// A drop to carry out: the dragged item goes in at the target, a copy, or moved when copy is
// false. source is nullptr when there is nothing to carry out.
struct TreeDrop {
    HTREEITEM source;
    HTREEITEM target;
    bool copy; // Ctrl was held at the drop
};

// The dialog's WM_MOUSEMOVE, WM_LBUTTONUP and WM_CAPTURECHANGED; false when no drag is in
// progress (the message is then not the drag's). The drop ends the drag and says what to carry
// out (planDrop): nothing outside the tree or on the item itself, and a move into the item's own
// subtree refused ("Can't drag to its own child item !").
bool moveTreeDrag(HWND dialog, LPARAM clientPoint);
bool dropTreeDrag(HWND dialog, WPARAM keys, TreeDrop& drop);
// The mouse taken away by another window (a message box, a switch to another program): the drag
// ends without a drop, so that its picture does not stay behind.
bool abandonTreeDrag(HWND dialog);
