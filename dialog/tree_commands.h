// The tree's own commands: the popup menu, the keys and the toolbar (whose buttons arrive as
// the same WM_COMMAND ids) all run them through the tree's replacement window procedure.
#pragma once
#include <windows.h>

// Installed over the tree view's procedure as the dialog opens (settings.previousTreeProc
// keeps the old one). While an altitude edit holds a bad value it ignores the pilot's keys,
// clicks and commands and only takes the focus, which makes the edit say what is wrong.
LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
