// The tree's own commands: the popup menu, the keys and the toolbar (whose buttons arrive as
// the same WM_COMMAND ids) all reach the tree's replacement window procedure, which hands them
// to the dialog's dispatcher (editor_dispatch.h, which holds the table of commands).
#pragma once
#include <windows.h>
#include <commctrl.h>

// Installed over the tree view's procedure as the dialog opens (settings.previousTreeProc
// keeps the old one). While an altitude edit holds a bad value it ignores the pilot's keys,
// clicks and commands and only takes the focus, which makes the edit say what is wrong.
LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
