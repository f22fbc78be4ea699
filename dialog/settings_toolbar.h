// The settings dialog's toolbar: a button for each of the eight tree commands, in groups split by
// separators, in the static control that hosts it, with tooltips, whose commands reach the tree as
// the tree's own commands.
#pragma once
#include <windows.h>

// Creates the toolbar and its tooltip window in the host control and gives the host
// toolbarHostProc; the handles go into the dialog's state. False when either window fails.
bool createSettingsToolbar(HWND dialog, HWND host, HINSTANCE library);

// The tree command a toolbar command stands for, or 0.
int treeCommandOf(int toolbarCommand);

LRESULT CALLBACK toolbarHostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam);
