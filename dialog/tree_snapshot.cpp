#include "tree_snapshot.h"

#include <algorithm>

#include "heap_blocks.h"
#include "tree_items.h"

namespace {

// Appends the list that starts at first, in parent (noNode for the top level), as nodes; false
// when the view holds more items than there is room for.
bool addList(HWND tree, TreeView& view, int32_t capacity, HTREEITEM first, int32_t parent) {
    int32_t previous = noNode;
    for (HTREEITEM item = first; item; item = treeStep(tree, item, TVGN_NEXT)) {
        const int32_t index = view.snapshot.count;
        if (index == capacity)
            return false;
        view.nodes[index] = {itemData(tree, item), parent, noNode, noNode};
        view.items[index] = item;
        if (previous != noNode)
            view.nodes[previous].next = index;
        else if (parent != noNode)
            view.nodes[parent].firstChild = index;
        previous = index;
        ++view.snapshot.count;
    }
    return true;
}

// The nodes list by list, each folder's list appended when the walk over the nodes reaches the
// folder: no stack, so no depth of nesting can exhaust one.
bool readNodes(HWND tree, HTREEITEM top, TreeView& view, int32_t capacity) {
    if (top) {
        if (capacity < 1)
            return false;
        view.nodes[0] = {itemData(tree, top), noNode, noNode, noNode};
        view.items[0] = top;
        view.snapshot.count = 1;
    } else if (!addList(tree, view, capacity, treeStep(tree, nullptr, TVGN_ROOT), noNode)) {
        return false;
    }
    view.snapshot.first = view.snapshot.count > 0 ? 0 : noNode;
    for (int32_t i = 0; i < view.snapshot.count; ++i) {
        if (!isFolderKind(itemKind(view.nodes[i].word)))
            continue;
        HTREEITEM child = treeStep(tree, view.items[i], TVGN_CHILD);
        if (child && !addList(tree, view, capacity, child, i))
            return false;
    }
    return true;
}

// Room for every item of the tree; the capacity, or -1 when memory runs out.
int32_t startView(HWND tree, TreeView& view) {
    const int32_t capacity = static_cast<int32_t>(SendMessageA(tree, TVM_GETCOUNT, 0, 0));
    const size_t room = static_cast<size_t>(capacity > 0 ? capacity : 0);
    view = {};
    view.snapshot.first = noNode;
    view.snapshot.selected = noNode;
    view.snapshot.nodes = view.nodes = static_cast<TreeNode*>(allocate(room * sizeof(TreeNode)));
    view.items = static_cast<HTREEITEM*>(allocate(room * sizeof(HTREEITEM)));
    return view.nodes && view.items ? capacity : -1;
}

// The folders above item, top first, each the only child of the one before; the index of the
// item's parent, noNode at the top level.
int32_t readHolders(HWND tree, HTREEITEM item, TreeView& view, int32_t capacity) {
    int32_t count = 0;
    for (HTREEITEM up = treeStep(tree, item, TVGN_PARENT); up && count < capacity;
         up = treeStep(tree, up, TVGN_PARENT))
        view.items[count++] = up;
    std::reverse(view.items, view.items + count);
    for (int32_t i = 0; i < count; ++i)
        view.nodes[i] = {itemData(tree, view.items[i]), i - 1, i + 1 < count ? i + 1 : noNode,
                         noNode};
    view.snapshot.count = count;
    view.snapshot.first = count > 0 ? 0 : noNode;
    return count - 1;
}

bool readGroup(HWND tree, HTREEITEM item, bool contents, TreeView& view, int32_t capacity) {
    const int32_t parent = item ? readHolders(tree, item, view, capacity) : noNode;
    const int32_t start = view.snapshot.count;
    const HTREEITEM first = parent == noNode ? treeStep(tree, nullptr, TVGN_ROOT)
                                             : treeStep(tree, view.items[parent], TVGN_CHILD);
    if (!addList(tree, view, capacity, first, parent))
        return false;
    if (parent == noNode)
        view.snapshot.first = view.snapshot.count > start ? start : noNode;
    for (int32_t i = start; i < view.snapshot.count; ++i) {
        if (view.items[i] == item)
            view.snapshot.selected = i;
    }
    const int32_t at = view.snapshot.selected;
    if (!contents || at == noNode || !isFolderKind(itemKind(view.nodes[at].word)))
        return true;
    HTREEITEM child = treeStep(tree, item, TVGN_CHILD);
    return !child || addList(tree, view, capacity, child, at);
}

} // namespace

bool takeGroupSnapshot(HWND tree, HTREEITEM item, bool contents, TreeView& view) {
    const int32_t capacity = startView(tree, view);
    if (capacity < 0 ||
        !readGroup(tree, item == TVI_ROOT ? nullptr : item, contents, view, capacity)) {
        releaseSnapshot(view);
        return false;
    }
    return true;
}

bool takeSnapshot(HWND tree, HTREEITEM top, HTREEITEM selected, TreeView& view) {
    const int32_t capacity = startView(tree, view);
    if (capacity < 0 || !readNodes(tree, top, view, capacity)) {
        releaseSnapshot(view);
        return false;
    }
    for (int32_t i = 0; i < view.snapshot.count; ++i) {
        if (view.items[i] == selected)
            view.snapshot.selected = i;
    }
    return true;
}

void releaseSnapshot(TreeView& view) {
    release(view.items);
    release(view.nodes);
    view = {};
}
