#include "tree_commands.h"

#include <commctrl.h>

#include "../common/db_record.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "error_report.h"
#include "item_editor.h"
#include "settings_state.h"
#include "tree_clipboard.h"
#include "tree_edit.h"
#include "tree_items.h"

namespace {

uint32_t kindOf(HWND tree, HTREEITEM item) {
    return itemKind(itemData(tree, item));
}

void expand(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

// The commands return the item the editor must show anew (showItem), nullptr when the selection
// and what the editor shows stay as they are: a new item is made, not selected.

HTREEITEM newAirportFolder(HWND tree, HTREEITEM selected) {
    if (newFolder(false, tree, selected))
        expand(tree, selected);
    return nullptr;
}

HTREEITEM newTourFolder(HWND tree, HTREEITEM selected) {
    if (newFolder(true, tree, selected))
        expand(tree, selected);
    return nullptr;
}

// A new entry of the kind inside the selected folder, or beside the selected entry (newEntry
// refuses the other kind).
void newEntryBeside(HWND tree, HTREEITEM selected, bool tour) {
    if (newEntry(tour, tree, selected) && isFolderKind(kindOf(tree, selected)))
        expand(tree, selected);
}

HTREEITEM newAirport(HWND tree, HTREEITEM selected) {
    newEntryBeside(tree, selected, false);
    return nullptr;
}

HTREEITEM newTour(HWND tree, HTREEITEM selected) {
    newEntryBeside(tree, selected, true);
    return nullptr;
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

HTREEITEM copyItem(HWND tree, HTREEITEM selected) {
    copySelected(tree, selected);
    return nullptr;
}

HTREEITEM cutItem(HWND tree, HTREEITEM selected) {
    return copySelected(tree, selected) ? removeTreeItem(tree, selected, true) : nullptr;
}

// What the clipboard file holds goes in at the selection. Its source item is read again only
// while it exists and the file still holds its copy (after the editor is stored into it, when it
// is the selection itself); after a Cut, or once a drag has replaced the file, the file's own
// record is pasted.
HTREEITEM pasteItem(HWND tree, HTREEITEM selected) {
    if (!settings.clipboardSet)
        return nullptr;
    HTREEITEM source = settings.clipboardFromSource ? settings.clipboardSource : nullptr;
    if (source == selected && !storeSelectedItem(GetParent(tree), tree))
        return nullptr;
    pasteFromClipboardFile(tree, source, selected);
    return nullptr;
}

HTREEITEM deleteItem(HWND tree, HTREEITEM selected) {
    return removeTreeItem(tree, selected, true);
}

} // namespace

HTREEITEM removeTreeItem(HWND tree, HTREEITEM item, bool onlyTopRefused) {
    const Removal removal = planRemovalOf(tree, item, onlyTopRefused);
    if (removal.refused)
        return nullptr;
    // Before the selection leaves it: the editor's fields of an item that goes are not stored,
    // so that a refused write can neither hold the deletion up nor be reported for nothing.
    releaseEditorFrom(tree, item);
    return removeAsPlanned(tree, item, removal);
}

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

namespace {

// Every command acts on the selected item, never on the one under the mouse.
void runTreeCommand(HWND tree, int id) {
    HTREEITEM selected = selectedItem(tree);
    if (!selected)
        return;
    for (const TreeCommand& command : treeCommands) {
        if (command.id == id) {
            showItem(GetParent(tree), tree, command.run(tree, selected));
            return;
        }
    }
}

// Made anew on each right-button press: each group after the first begins with a divider that
// breaks the menu into a new column, so the groups stand side by side.
void showTreeMenu(HWND tree, LPARAM clientPoint) {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    for (const TreeCommand& command : treeCommands) {
        if (command.newGroup)
            AppendMenuA(menu, MF_SEPARATOR | MF_MENUBREAK, 0, nullptr);
        char text[32] = "";
        LoadStringA(static_cast<HINSTANCE>(libraryModule), static_cast<UINT>(command.button), text,
                    sizeof text);
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command.id), text);
    }
    POINT at = {static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    ClientToScreen(tree, &at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, tree, nullptr);
    DestroyMenu(menu);
}

bool isPilotInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isPilotInput(message) && (!settings.airportAltitudeValid || !settings.tourAltitudeValid)) {
        SetFocus(tree);
        return 0;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_INSERT) {
            const bool shift = GetKeyState(VK_SHIFT) < 0;
            SendMessageA(tree, WM_COMMAND, shift ? IDM_NEW_AIRPORT_FOLDER : IDM_NEW_AIRPORT, 0);
        } else if (wParam == VK_DELETE) {
            SendMessageA(tree, WM_COMMAND, IDM_DELETE, 0);
        }
        break;
    case WM_COMMAND:
        runTreeCommand(tree, LOWORD(wParam));
        break;
    case WM_RBUTTONDOWN:
        showTreeMenu(tree, lParam);
        break;
    default:
        break;
    }
    return CallWindowProcA(settings.previousTreeProc, tree, message, wParam, lParam);
}
