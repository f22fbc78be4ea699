#include "tree_items.h"

#include <algorithm>

#include "common/db_record.h"
#include "heap_blocks.h"
#include "tour_order.h"
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

void selectItem(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
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

HTREEITEM firstChild(HWND tree, HTREEITEM parent) {
    return parent == TVI_ROOT ? treeStep(tree, nullptr, TVGN_ROOT)
                              : treeStep(tree, parent, TVGN_CHILD);
}

bool isAncestorOf(HWND tree, HTREEITEM ancestor, HTREEITEM item) {
    for (HTREEITEM up = treeStep(tree, item, TVGN_PARENT); up;
         up = treeStep(tree, up, TVGN_PARENT)) {
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

namespace {

// One child's key, taken once before the sort; the comparison finds it by the child's data word,
// the one thing the tree hands it.
struct SortedChild {
    LPARAM word;
    TourOrderKey key;
    char label[64];
};

struct SortTable {
    SortedChild* children; // by word
    int32_t count;
};

const SortedChild* childOf(const SortTable& table, LPARAM word) {
    const SortedChild* begin = table.children;
    const SortedChild* end = begin + table.count;
    const SortedChild* found = std::lower_bound(
        begin, end, word, [](const SortedChild& c, LPARAM w) { return c.word < w; });
    return found != end && found->word == word ? found : nullptr;
}

int CALLBACK compareChildren(LPARAM a, LPARAM b, LPARAM context) {
    const SortTable& table = *reinterpret_cast<const SortTable*>(context);
    const SortedChild* first = childOf(table, a);
    const SortedChild* second = childOf(table, b);
    if (!first || !second)
        return 0;
    int32_t order = compareTourOrder(first->key, second->key);
    return order != 0 ? order : lstrcmpiA(first->label, second->label);
}

} // namespace

void sortTourChildren(HWND tree, HTREEITEM parent) {
    int32_t count = 0;
    for (HTREEITEM at = treeStep(tree, parent, TVGN_CHILD); at; at = treeStep(tree, at, TVGN_NEXT))
        ++count;
    if (count < 2)
        return;
    auto* children =
        static_cast<SortedChild*>(allocate(sizeof(SortedChild) * static_cast<size_t>(count)));
    if (!children) // unsorted is only untidy: the save writes the tree's order either way
        return;
    SortedChild* next = children;
    for (HTREEITEM at = treeStep(tree, parent, TVGN_CHILD); at && next < children + count;
         at = treeStep(tree, at, TVGN_NEXT), ++next) {
        TVITEMA data = {};
        data.mask = TVIF_PARAM | TVIF_TEXT;
        data.hItem = at;
        data.pszText = next->label;
        data.cchTextMax = sizeof next->label;
        next->label[0] = '\0';
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        next->word = data.lParam;
        next->key =
            tourOrderKey(isFolderKind(itemKind(static_cast<uint32_t>(data.lParam))), next->label);
    }
    SortTable table = {children, static_cast<int32_t>(next - children)};
    std::sort(children, next,
              [](const SortedChild& a, const SortedChild& b) { return a.word < b.word; });
    TVSORTCB sort = {parent, compareChildren, reinterpret_cast<LPARAM>(&table)};
    SendMessageA(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    release(children);
}
