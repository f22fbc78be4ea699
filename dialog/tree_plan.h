// The tree's rules over plain values: where the database's records land as the tree is built,
// the order and levels in which the tree is written back, what a copy takes and where a paste
// puts it, and the numbers a tour's items are written with. The dialog reads the tree view into a
// snapshot, asks for a plan and applies it to the view and the files; the rules never touch a
// window, so they run natively on any tree. Pure.
#pragma once
#include <cstdint>

#include "common/db_record.h"
#include "common/record_rules.h"

constexpr int32_t noNode = noParent;

// One tree item: its data word and its neighbours, as indices into the snapshot's nodes.
struct TreeNode {
    uint32_t word;      // record number and kind (db_record.h)
    int32_t parent;     // noNode at the top level
    int32_t firstChild; // noNode when it holds nothing
    int32_t next;       // the next sibling, noNode after the last
};

// The part of the tree an operation needs. The nodes form a forest: following parent or next
// from any node ends at noNode.
struct TreeSnapshot {
    const TreeNode* nodes;
    int32_t count;
    int32_t first;    // the first top-level node, noNode for an empty tree
    int32_t selected; // noNode when nothing is selected
};

// Where the records go as the tree is built from the file, in file order (placeRecord, one
// record at a time, common/record_rules.h). levels[i] is record i's level read leniently
// (recordLevel); parents[i] becomes the index of the folder record that record i is appended to,
// noNode for the top level.
void planLoad(const int32_t* levels, int32_t count, int32_t* parents);

// One record of a walk over the tree: the node and the level it is written with.
struct WalkStep {
    int32_t node;
    int32_t level; // a folder: its depth, 99 at most; an entry: see planSave and planCopy
};

// The new database in tree order: each list's entries first, then each of its folders with its
// depth followed by the folder's own contents. Every node is met once; steps needs room for
// snapshot.count. An entry's level is -1 for the selected one (the current choice) and 0 for
// the others. Returns how many steps were written and the selected entry's record number in the
// new database.
struct SavePlan {
    int32_t count;  // steps written
    int32_t chosen; // the selected entry's record number in the new database, 0 for none
};
SavePlan planSave(const TreeSnapshot& tree, WalkStep* steps);

// The record as the save writes it at a step's level: a folder gets its depth, the choice the
// marker, and every other entry loses a stray marker (and keeps whatever else its level holds).
void setSaveLevel(RecordBuffer& record, int32_t level);

// What the clipboard takes of the item top: an entry alone (level 0), a folder as level 1
// followed by its subtree in the save's order, levels counted from it. Its siblings are never
// visited. Returns how many steps were written; steps needs room for snapshot.count.
int32_t planCopy(const TreeSnapshot& tree, int32_t top, WalkStep* steps);

// The record as the clipboard holds it: a folder its level below the copied one, an entry none.
void setCopyLevel(RecordBuffer& record, int32_t level);

// Where each of count clipboard records goes in a paste, in clipboard order: parents[i] is the
// index of the pasted folder that record i goes into, noNode for the paste's own place. A folder
// becomes the first child of its parent (so sibling folders arrive in reverse order), climbing
// (last level - level + 1) steps from the last folder when it is no deeper, never above the
// paste's place; an entry goes after what its parent already holds. Returns the deepest level
// (0 when only entries), which pasteFolderFits weighs against the place.
int32_t planPaste(const int32_t* levels, int32_t count, int32_t* parents);

// Where a paste onto the snapshot's selection goes: into it when it is a folder, else beside it in
// its group. above is that place's depth (0 for the top level), below which pasted folders nest.
// A single pasted entry becomes the selection's kind (fitToKind). The snapshot needs the
// selection's group and the folders above it.
struct PasteSpot {
    int32_t parent; // noNode for the top level
    bool intoFolder;
    int32_t above;
    bool tour; // the selection is of a tour kind
};
PasteSpot planPasteSpot(const TreeSnapshot& tree);

// Where a pasted record goes among its new siblings: a folder first, an entry after what they
// hold already, and a paste of one entry alone at the pasted-on item (the first child of a
// folder, right after an entry). intoFolder: the paste went onto a folder, not beside an entry.
enum class PasteSlot { first, last, afterTarget };
PasteSlot pasteSlot(int32_t level, int32_t count, bool intoFolder);

// Whether pasted folders whose deepest level is deepest, placed below a parent at depth above
// (0 for the top level), stay within the 99 levels a record can hold.
bool pasteFolderFits(int32_t above, int32_t deepest);

// Where a new item goes, for the snapshot's selection (noNode: nothing chosen, the top level): a
// folder into the selected folder or beside the selected entry, refused when it would lie deeper
// than deepestFolderLevel below the selection; an entry of the kind into the selected folder or
// beside the selected entry, refused when the selection is of the other kind, and a tour item
// numbered after the tour items already there. The snapshot needs the selection's group and the
// folders above it, and for an entry what a selected folder holds.
enum class NewItemRefusal { none, otherKind, tooDeep };
struct NewItemPlan {
    NewItemRefusal refusal;
    int32_t parent; // the node it goes into as the last child, noNode for the top level
    int32_t number; // a tour item's number in its tour, 0 for every other kind
};
NewItemPlan planNewFolder(const TreeSnapshot& tree);
NewItemPlan planNewEntry(const TreeSnapshot& tree, bool tour);

// 1 for a top-level node, one more for each folder above; 0 for noNode (the top level itself).
int32_t nodeDepth(const TreeSnapshot& tree, int32_t node);

// Deleting the selected node with everything in it: refused for the only top-level node (the
// tree never becomes empty; only when onlyTopRefused). A tour item hands the selection to its own
// tour, the first of its group when it had an item before it, else the last; selectInstead is
// noNode for every other kind (the tree view then chooses). renumberFrom is the first tour item
// left in a tour item's group, whose tour is numbered again, noNode when there is none or the
// node is no tour item. The snapshot needs the selection's group.
struct RemovalPlan {
    bool refused;
    int32_t selectInstead;
    int32_t renumberFrom;
};
RemovalPlan planRemoval(const TreeSnapshot& tree, bool onlyTopRefused);

// What dropping the source node on the snapshot's selection does: nothing on itself, a move
// into the source's own subtree refused, anything else a copy to the selection (and, for a move,
// the source's removal). source is noNode when the snapshot does not hold it (then it lies
// nowhere above the selection). The snapshot needs the folders above the selection.
enum class DropPlan { nothing, intoOwnChild, go };
DropPlan planDrop(const TreeSnapshot& tree, int32_t source, bool copy);

// The data word of a folder once copied: the clipboard's level 1, whatever its depth in the tree.
uint32_t copiedFolderWord(uint32_t word);

// Whether a database of count records can take added more without passing the record numbers a
// data word can hold.
bool roomForMore(int32_t count, int32_t added);

// The tour items of the selection's group in tree order, the ones a renumbering numbers 001,
// 002 ... (its folders and, at the top level, airports are left out): their nodes into items,
// which needs room for the group, and how many. The snapshot needs the selection's group.
int32_t planTourGroup(const TreeSnapshot& tree, int32_t* items);

// A run of a tour's items, from the first'th, whose records follow one another in the file, so
// that one write stores them.
struct NumberRun {
    int32_t first;
    int32_t count;
};

// The renumbering of one tour. lines holds its items' records as the file holds them (count
// lines of recordSize bytes, in tree order), records their record numbers. renumbered gets the
// same lines with item i's ident column holding its place in the tour, tourNumberText(i + 1)
// padded with spaces to the column's five; nothing else changes. runs gets the writes that store
// them: items whose records follow one another in the file form one run, and only runs in which
// some line changes are written, so that a tour the save wrote is one write and a tour numbered
// already none. Returns how many runs; runs needs room for count.
int32_t planTourNumbers(const uint8_t* lines, const int32_t* records, int32_t count,
                        uint8_t* renumbered, NumberRun* runs);
