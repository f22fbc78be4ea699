// Small questions and changes of tree items that the tree's loading, saving and editing share.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// The item's data word (record number and kind, db_record.h).
uint32_t itemData(HWND tree, HTREEITEM item);
// TVM_GETNEXTITEM: the item in the given relation (TVGN_CHILD, TVGN_NEXT, TVGN_PARENT ...).
HTREEITEM treeStep(HWND tree, HTREEITEM item, WPARAM relation);
void setItemLabel(HWND tree, HTREEITEM item, const char* label);
HTREEITEM selectedItem(HWND tree);
// Selects the item, nullptr for none (the dialog's TVN_SELCHANGED follows either way).
void selectItem(HWND tree, HTREEITEM item);

// Inserts an item into parent (TVI_ROOT for the top level) after the given sibling (or TVI_FIRST,
// TVI_LAST), with the label, data word and the images of its kind. Returns it, or nullptr.
HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* label,
                         uint32_t word);
// The same as the last child of parent.
HTREEITEM appendTreeItem(HWND tree, HTREEITEM parent, const char* label, uint32_t word);
void setItemData(HWND tree, HTREEITEM item, uint32_t word);

// The item's parent, TVI_ROOT for a top-level item.
HTREEITEM parentOrRoot(HWND tree, HTREEITEM item);
// The first item inside parent (for TVI_ROOT the first top-level item), nullptr when it is empty.
HTREEITEM firstChild(HWND tree, HTREEITEM parent);
// Whether ancestor lies above item (an item is not its own ancestor).
bool isAncestorOf(HWND tree, HTREEITEM ancestor, HTREEITEM item);

// Sorts the children of a tour folder, one level, as tour_order.h orders them: the tree's own
// sort knows only labels, which put "1000 - ..." among the 100s.
void sortTourChildren(HWND tree, HTREEITEM parent);
