#include "editor_dispatch.h"

#include "common/db_record.h"
#include "dialog_resources.h"
#include "item_editor.h"
#include "settings_state.h"
#include "tree_clipboard.h"
#include "tree_edit.h"
#include "tree_items.h"

namespace {

// What an operation hands back, into the editor: the renumbered selection's number first, as
// showing another item stores what the editor shows.
void applyOutcome(HWND dialog, HWND tree, const TreeOutcome& outcome) {
    if (outcome.numbered.item)
        showTourNumber(dialog, outcome.numbered.number);
    showItem(dialog, tree, outcome.show);
}

// Deletes the item with everything in it as planRemovalOf plans it (refused for the only
// top-level item when onlyTopRefused). The editor lets go of it before the selection leaves it:
// the fields of an item that goes are not stored, so that a refused write can neither hold the
// deletion up nor be reported for nothing. Delete, Cut and a drag that moves share it.
TreeOutcome removeTreeItem(HWND tree, HTREEITEM item, bool onlyTopRefused) {
    const Removal removal = planRemovalOf(tree, item, onlyTopRefused);
    if (removal.refused)
        return {nullptr, {nullptr, 0}};
    releaseEditorFrom(tree, item);
    return removeAsPlanned(tree, item, removal);
}

void expand(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// The commands hand back what the editor must show anew; a new item is made, not selected.

TreeOutcome newFolderIn(HWND tree, HTREEITEM selected, bool tour) {
    if (newFolder(tour, tree, selected))
        expand(tree, selected);
    return {nullptr, {nullptr, 0}};
}

TreeOutcome newAirportFolder(HWND tree, HTREEITEM selected) {
    return newFolderIn(tree, selected, false);
}

TreeOutcome newTourFolder(HWND tree, HTREEITEM selected) {
    return newFolderIn(tree, selected, true);
}

// A new entry of the kind inside the selected folder, or beside the selected entry (newEntry
// refuses the other kind).
TreeOutcome newEntryBeside(HWND tree, HTREEITEM selected, bool tour) {
    TreeOutcome outcome = {nullptr, {nullptr, 0}};
    if (newEntry(tour, tree, selected, outcome.numbered) &&
        isFolderKind(itemKind(itemData(tree, selected))))
        expand(tree, selected);
    return outcome;
}

TreeOutcome newAirport(HWND tree, HTREEITEM selected) {
    return newEntryBeside(tree, selected, false);
}

TreeOutcome newTour(HWND tree, HTREEITEM selected) {
    return newEntryBeside(tree, selected, true);
}

// The clipboard takes the item as the editor shows it: the editor is stored into its record
// first, so that a name just typed is not left behind (and lost with a Cut).
bool copySelected(HWND tree, HTREEITEM selected) {
    if (!storeSelectedItem(GetParent(tree), tree))
        return false;
    settings.clipboardSet = 1;
    settings.clipboardSource = selected;
    settings.clipboardFromSource = copyToClipboardFile(tree, selected) ? 1 : 0;
    return settings.clipboardFromSource != 0;
}

TreeOutcome copyItem(HWND tree, HTREEITEM selected) {
    copySelected(tree, selected);
    return {nullptr, {nullptr, 0}};
}

TreeOutcome cutItem(HWND tree, HTREEITEM selected) {
    if (!copySelected(tree, selected))
        return {nullptr, {nullptr, 0}};
    return removeTreeItem(tree, selected, true);
}

// What the clipboard file holds goes in at the selection. Its source item is read again only
// while it exists and the file still holds its copy (after the editor is stored into it, when it
// is the selection itself); after a Cut, or once a drag has replaced the file, the file's own
// record is pasted.
TreeOutcome pasteItem(HWND tree, HTREEITEM selected) {
    TreeOutcome outcome = {nullptr, {nullptr, 0}};
    if (!settings.clipboardSet)
        return outcome;
    HTREEITEM source = settings.clipboardFromSource ? settings.clipboardSource : nullptr;
    if (source == selected && !storeSelectedItem(GetParent(tree), tree))
        return outcome;
    pasteFromClipboardFile(tree, source, selected, outcome.numbered);
    return outcome;
}

TreeOutcome deleteItem(HWND tree, HTREEITEM selected) {
    return removeTreeItem(tree, selected, true);
}

} // namespace

const TreeCommand treeCommands[treeCommandCount] = {
    {IDM_NEW_AIRPORT, IDS_NEW_AIRPORT, false, newAirport},
    {IDM_NEW_AIRPORT_FOLDER, IDS_NEW_AIRPORT_FOLDER, false, newAirportFolder},
    {IDM_NEW_TOUR, IDS_NEW_TOUR, true, newTour},
    {IDM_NEW_TOUR_FOLDER, IDS_NEW_TOUR_FOLDER, false, newTourFolder},
    {IDM_CUT, IDS_CUT, true, cutItem},
    {IDM_COPY, IDS_COPY, false, copyItem},
    {IDM_PASTE, IDS_PASTE, false, pasteItem},
    {IDM_DELETE, IDS_DELETE, true, deleteItem},
};

// Every command acts on the selected item, never on the one under the mouse.
void runTreeCommand(HWND tree, int id) {
    HTREEITEM selected = selectedItem(tree);
    if (!selected)
        return;
    for (const TreeCommand& command : treeCommands) {
        if (command.id == id) {
            applyOutcome(GetParent(tree), tree, command.run(tree, selected));
            return;
        }
    }
}

void dropItem(HWND dialog, HWND tree, const TreeDrop& drop) {
    if (!storeSelectedItem(dialog, tree) || !copyToClipboardFile(tree, drop.source))
        return;
    // The clipboard file now holds the dragged item, no longer what Copy or Cut put there.
    settings.clipboardFromSource = 0;
    TreeOutcome pasted = {nullptr, {nullptr, 0}};
    pasted.show = pasteFromClipboardFile(tree, drop.source, drop.target, pasted.numbered);
    if (!pasted.show)
        return;
    if (pasted.numbered.item)
        showTourNumber(dialog, pasted.numbered.number);
    if (!drop.copy) {
        const TreeOutcome removed = removeTreeItem(tree, drop.source, false);
        if (removed.numbered.item)
            showTourNumber(dialog, removed.numbered.number);
    }
    showItem(dialog, tree, pasted.show);
}
