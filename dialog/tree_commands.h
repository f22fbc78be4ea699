// The tree's own commands: the popup menu, the keys and the toolbar (whose buttons arrive as
// the same WM_COMMAND ids) all reach the tree's replacement window procedure, which hands them
// to the dialog's dispatcher (editor_dispatch.h).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "tree_edit.h"

// The eight tree commands, in the order the toolbar shows them (bitmap 169 holds their pictures
// in this order) and the popup menu lists them. Each one's text, the menu entry and the tooltip,
// is the string resource of its button's id. Defined beside their handlers, in the dispatcher.
struct TreeCommand {
    int id;        // what the tree's window receives (IDM_...)
    int button;    // the toolbar button's command id, and the id of its text (IDS_...)
    bool newGroup; // a separator in the toolbar, a new column in the popup menu, before it
    // Returns what the editor must show anew; the dispatcher shows it.
    TreeOutcome (*run)(HWND tree, HTREEITEM selected);
};
constexpr int treeCommandCount = 8;
extern const TreeCommand treeCommands[treeCommandCount];

// Installed over the tree view's procedure as the dialog opens (settings.previousTreeProc
// keeps the old one). While an altitude edit holds a bad value it ignores the pilot's keys,
// clicks and commands and only takes the focus, which makes the edit say what is wrong.
LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
