// Between the tree and the editor: the tree's commands and a drop run here, so that what they ask
// of the editor (what it shows stored first, an item that leaves let go of, an item or a tour
// number shown anew) is done by the dialog alone, and the tree's own files never touch the editor.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "tree_drag.h"
#include "tree_edit.h"

// The eight tree commands, in the order the toolbar shows them (bitmap 169 holds their pictures
// in this order) and the popup menu lists them. Each one's text, the menu entry and the tooltip,
// is the string resource of its button's id.
struct TreeCommand {
    int id;        // what the tree's window receives (IDM_...)
    int button;    // the toolbar button's command id, and the id of its text (IDS_...)
    bool newGroup; // a separator in the toolbar, a new column in the popup menu, before it
    // Returns what the editor must show anew; the dispatcher shows it.
    TreeOutcome (*run)(HWND tree, HTREEITEM selected);
};
constexpr int treeCommandCount = 8;
extern const TreeCommand treeCommands[treeCommandCount];

// Runs the tree command with the id on the selected item, nothing when none is selected, and
// shows in the editor what it hands back.
void runTreeCommand(HWND tree, int id);

// Carries out a drop that dropTreeDrag let through: the dragged item, stored from the editor so
// that it goes as the pilot sees it, is copied in at the target through the clipboard file; a
// move then takes the original away, only once the whole copy is in. The new item is selected
// and shown in the editor.
void dropItem(HWND dialog, HWND tree, const TreeDrop& drop);
