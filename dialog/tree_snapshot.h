// The tree view read into plain nodes for the tree's rules (tree_plan.h), each node's item handle
// beside it so that a plan's steps can be applied to the view.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "tree_plan.h"

struct TreeView {
    TreeSnapshot snapshot;
    TreeNode* nodes;
    HTREEITEM* items; // the item of each node
};

// Reads the whole tree (top nullptr) or top's subtree; selected becomes the snapshot's selection
// (taken by the caller, as collapsing a folder moves the selection out of it). Wine's tree view
// looks every item handle it is given up in a list of all items, so each message costs time in
// proportion to the tree's size: each item is asked for its data word and next sibling, each
// folder for its first child, and nothing more. False (nothing held) when memory runs out or the
// view holds more items than it counted.
bool takeSnapshot(HWND tree, HTREEITEM top, HTREEITEM selected, TreeView& view);

// What an edit at one item needs, at the cost of its group rather than the whole tree: the
// folders that hold the item, from the top level down (each with the next as its only child),
// every item of its group and, with contents, what the item holds when it is a folder. The item
// is the snapshot's selection; nullptr reads the top level with nothing selected. False (nothing
// held) as takeSnapshot.
bool takeGroupSnapshot(HWND tree, HTREEITEM item, bool contents, TreeView& view);
void releaseSnapshot(TreeView& view);
