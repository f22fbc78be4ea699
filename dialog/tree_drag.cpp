#include "tree_drag.h"

#include <cstring>

#include "dialog_resources.h"
#include "error_report.h"
#include "settings_state.h"
#include "tree_items.h"
#include "tree_plan.h"
#include "tree_snapshot.h"

namespace {

HWND treeOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_TREE);
}

// The drag image is drawn relative to the dialog's whole window, caption and border included.
POINT inDialogWindow(HWND dialog, POINT screen) {
    RECT frame;
    GetWindowRect(dialog, &frame);
    return {screen.x - frame.left, screen.y - frame.top};
}

void showCursor(LPCSTR cursor) {
    SetCursor(LoadCursorA(nullptr, cursor));
}

// Outside the tree the drop is not allowed, the picture is hidden and the tree scrolls one step
// towards the cursor: above and below first, so one move scrolls one way only.
bool scrollTowards(HWND tree, POINT screen) {
    RECT area;
    GetWindowRect(tree, &area);
    UINT message = WM_VSCROLL;
    WPARAM step;
    if (screen.y < area.top)
        step = SB_LINEUP;
    else if (screen.y > area.bottom)
        step = SB_LINEDOWN;
    else if (screen.x < area.left)
        message = WM_HSCROLL, step = SB_LINELEFT;
    else if (screen.x > area.right)
        message = WM_HSCROLL, step = SB_LINERIGHT;
    else
        return false;
    settings.dropAllowed = -1;
    ImageList_DragShowNolock(FALSE);
    showCursor(IDC_NO);
    SendMessageA(tree, message, step, 0);
    return true;
}

HTREEITEM itemAt(HWND tree, POINT screen) {
    TVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(tree, &hit.pt);
    SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON))
               ? hit.hItem
               : nullptr;
}

void endImageDrag(HWND dialog) {
    ImageList_DragLeave(dialog);
    ImageList_EndDrag();
    ImageList_Destroy(settings.dragImage);
    settings.dragImage = nullptr;
}

// What dropping the source on the target does, by the tree's rules over the target's group and
// the folders above it (planDrop); nothing (said) when the tree cannot be read.
DropPlan planDropOn(HWND tree, HTREEITEM source, HTREEITEM target, bool copy) {
    TreeView view;
    if (!takeGroupSnapshot(tree, target, false, view)) {
        reportError(tree, "The tree could not be read (the system may be short of memory); "
                          "nothing has been dropped.");
        return DropPlan::nothing;
    }
    int32_t sourceNode = noNode;
    for (int32_t i = 0; i < view.snapshot.count && sourceNode == noNode; ++i)
        sourceNode = view.items[i] == source ? i : noNode;
    const DropPlan plan = planDrop(view.snapshot, sourceNode, copy);
    releaseSnapshot(view);
    return plan;
}

} // namespace

void beginTreeDrag(HWND dialog, const NMTREEVIEWA& start) {
    HWND tree = start.hdr.hwndFrom;
    HTREEITEM item = start.itemNew.hItem;
    settings.dragImage = reinterpret_cast<HIMAGELIST>(
        SendMessageA(tree, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)));
    if (!settings.dragImage)
        return;
    // The picture starts where the item's icon is, so it keeps its place under the cursor.
    RECT label = {};
    static_assert(sizeof(HTREEITEM) <= sizeof(RECT), "TVM_GETITEMRECT takes the item in the rect");
    std::memcpy(&label, &item, sizeof item);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
    int iconWidth = 16, iconHeight = 16;
    ImageList_GetIconSize(settings.treeImages, &iconWidth, &iconHeight);
    const int iconLeft = label.left - (iconWidth + 3);
    ImageList_BeginDrag(settings.dragImage, 0, start.ptDrag.x - iconLeft,
                        start.ptDrag.y - label.top);
    POINT screen = start.ptDrag;
    ClientToScreen(tree, &screen);
    const POINT at = inDialogWindow(dialog, screen);
    ImageList_DragEnter(dialog, at.x, at.y);
    settings.dragSource = item;
    settings.dropAllowed = 0;
    SetCapture(dialog);
}

bool moveTreeDrag(HWND dialog, LPARAM clientPoint) {
    if (!settings.dragImage)
        return false;
    HWND tree = treeOf(dialog);
    POINT screen = {static_cast<short>(LOWORD(clientPoint)),
                    static_cast<short>(HIWORD(clientPoint))};
    ClientToScreen(dialog, &screen);
    if (scrollTowards(tree, screen))
        return true;
    settings.dropAllowed = 0;
    const POINT at = inDialogWindow(dialog, screen);
    showCursor(IDC_ARROW);
    HTREEITEM under = itemAt(tree, screen);
    if (under == treeStep(tree, nullptr, TVGN_DROPHILITE)) {
        ImageList_DragShowNolock(TRUE);
        ImageList_DragMove(at.x, at.y);
        return true;
    }
    ImageList_DragShowNolock(FALSE);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(under));
    ImageList_DragMove(at.x, at.y);
    ImageList_DragShowNolock(TRUE);
    return true;
}

bool dropTreeDrag(HWND dialog, WPARAM keys, TreeDrop& drop) {
    drop = {nullptr, nullptr, false};
    if (!settings.dragImage)
        return false;
    const bool copy = (keys & MK_CONTROL) != 0;
    HWND tree = treeOf(dialog);
    endImageDrag(dialog);
    ReleaseCapture();
    HTREEITEM target = treeStep(tree, nullptr, TVGN_DROPHILITE);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    HTREEITEM source = settings.dragSource;
    const DropPlan plan = settings.dropAllowed == -1 || !target || !source
                              ? DropPlan::nothing
                              : planDropOn(tree, source, target, copy);
    if (plan == DropPlan::intoOwnChild) {
        reportError(tree, "Can't drag to its own child item !");
        return true;
    }
    if (plan == DropPlan::go)
        drop = {source, target, copy};
    else
        InvalidateRect(tree, nullptr, TRUE);
    return true;
}

bool abandonTreeDrag(HWND dialog) {
    if (!settings.dragImage)
        return false;
    endImageDrag(dialog);
    SendMessageA(treeOf(dialog), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
    return true;
}
