// Between the tree and the editor: the tree's commands and a drop run here, so that what they ask
// of the editor (what it shows stored first, an item that leaves let go of, an item or a tour
// number shown anew) is done by the dialog alone, and the tree's own files never touch the editor.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "tree_drag.h"

// Runs the tree command with the id (tree_commands.h) on the selected item, nothing when none
// is selected, and shows in the editor what it hands back.
void runTreeCommand(HWND tree, int id);

// Carries out a drop that dropTreeDrag let through: the dragged item, stored from the editor so
// that it goes as the pilot sees it, is copied in at the target through the clipboard file; a
// move then takes the original away, only once the whole copy is in. The new item is selected
// and shown in the editor.
void dropItem(HWND dialog, HWND tree, const TreeDrop& drop);
