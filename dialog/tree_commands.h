// The tree's own commands: the popup menu, the keys and the toolbar (whose buttons arrive as
// the same WM_COMMAND ids) all run them through the tree's replacement window procedure.
#pragma once
#include <windows.h>
#include <commctrl.h>

// The eight tree commands, in the order the toolbar shows them (bitmap 169 holds their pictures
// in this order) and the popup menu lists them. Each one's text, the menu entry and the tooltip,
// is the string resource of its button's id.
struct TreeCommand {
    int id;        // what the tree's window receives (IDM_...)
    int button;    // the toolbar button's command id, and the id of its text (IDS_...)
    bool newGroup; // a separator in the toolbar, a new column in the popup menu, before it
    // Returns the item the editor must show anew (the dispatcher shows it), or nullptr.
    HTREEITEM (*run)(HWND tree, HTREEITEM selected);
};
constexpr int treeCommandCount = 8;
extern const TreeCommand treeCommands[treeCommandCount];

// Deletes the item with everything in it as planRemovalOf plans it (refused for the only
// top-level item when onlyTopRefused), the editor first let go of it (releaseEditorFrom). Returns
// the item the editor must show anew, or nullptr. Delete, Cut and a drag that moves share it.
HTREEITEM removeTreeItem(HWND tree, HTREEITEM item, bool onlyTopRefused);

// Installed over the tree view's procedure as the dialog opens (settings.previousTreeProc
// keeps the old one). While an altitude edit holds a bad value it ignores the pilot's keys,
// clicks and commands and only takes the focus, which makes the edit say what is wrong.
LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam);
