#include "tree_items.h"

#include "db_record.h"
#include "tree_images.h"

uint32_t itemData(HWND tree, HTREEITEM item) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return static_cast<uint32_t>(data.lParam);
}

HTREEITEM treeStep(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void setItemLabel(HWND tree, HTREEITEM item, const char* label) {
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = const_cast<char*>(label);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
}

HTREEITEM selectedItem(HWND tree) {
    return treeStep(tree, nullptr, TVGN_CARET);
}

void setItemData(HWND tree, HTREEITEM item, uint32_t word) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    data.lParam = static_cast<LPARAM>(word);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&data));
}

HTREEITEM parentOrRoot(HWND tree, HTREEITEM item) {
    HTREEITEM parent = treeStep(tree, item, TVGN_PARENT);
    return parent ? parent : TVI_ROOT;
}

HTREEITEM firstSibling(HWND tree, HTREEITEM item) {
    HTREEITEM parent = treeStep(tree, item, TVGN_PARENT);
    return parent ? treeStep(tree, parent, TVGN_CHILD) : treeStep(tree, nullptr, TVGN_ROOT);
}

HTREEITEM firstChild(HWND tree, HTREEITEM parent) {
    return parent == TVI_ROOT ? treeStep(tree, nullptr, TVGN_ROOT)
                              : treeStep(tree, parent, TVGN_CHILD);
}

bool isAncestorOf(HWND tree, HTREEITEM ancestor, HTREEITEM item) {
    for (HTREEITEM up = treeStep(tree, item, TVGN_PARENT); up; up = treeStep(tree, up, TVGN_PARENT)) {
        if (up == ancestor)
            return true;
    }
    return false;
}

HTREEITEM appendTreeItem(HWND tree, HTREEITEM parent, const char* label, uint32_t word) {
    return insertTreeItem(tree, parent, TVI_LAST, label, word);
}

HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* label,
                         uint32_t word) {
    const ItemImages images = itemImages(itemKind(word));
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(label);
    insert.item.lParam = static_cast<LPARAM>(word);
    insert.item.iImage = images.normal;
    insert.item.iSelectedImage = images.selected;
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

int32_t itemDepth(HWND tree, HTREEITEM item) {
    int32_t depth = 1;
    if (!item || item == TVI_ROOT)
        return depth;
    for (HTREEITEM up = treeStep(tree, item, TVGN_PARENT); up; up = treeStep(tree, up, TVGN_PARENT))
        ++depth;
    return depth;
}
