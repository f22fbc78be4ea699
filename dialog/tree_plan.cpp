#include "tree_plan.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/record_rules.h"

namespace {

bool isFolderNode(const TreeSnapshot& tree, int32_t node) {
    return isFolderKind(itemKind(tree.nodes[node].word));
}

int32_t firstFolderFrom(const TreeSnapshot& tree, int32_t node) {
    while (node != noNode && !isFolderNode(tree, node))
        node = tree.nodes[node].next;
    return node;
}

struct Walk {
    const TreeSnapshot& tree;
    WalkStep* steps;
    int32_t count;
};

void emit(Walk& walk, int32_t node, int32_t level) {
    if (walk.count < walk.tree.count)
        walk.steps[walk.count++] = {node, level > deepestFolderLevel ? deepestFolderLevel : level};
}

void emitEntries(Walk& walk, int32_t node) {
    for (; node != noNode; node = walk.tree.nodes[node].next) {
        if (!isFolderNode(walk.tree, node))
            emit(walk, node, 0);
    }
}

// The list that starts at head, lying in owner (noNode for the top level) at the given depth, in
// file order: its entries, then each folder followed by its own contents, and on up through the
// lists above it until the list of stop is done. Without a stack: a finished list hands over to
// the folder after its owner, so no depth of nesting can exhaust anything.
void walkLists(Walk& walk, int32_t head, int32_t owner, int32_t depth, int32_t stop) {
    const TreeNode* nodes = walk.tree.nodes;
    emitEntries(walk, head);
    int32_t folder = firstFolderFrom(walk.tree, head);
    for (;;) {
        while (folder == noNode) {
            if (owner == stop)
                return;
            folder = firstFolderFrom(walk.tree, nodes[owner].next);
            owner = nodes[owner].parent;
            --depth;
        }
        emit(walk, folder, depth);
        const int32_t child = nodes[folder].firstChild;
        if (child == noNode) {
            folder = firstFolderFrom(walk.tree, nodes[folder].next);
            continue;
        }
        owner = folder;
        ++depth;
        emitEntries(walk, child);
        folder = firstFolderFrom(walk.tree, child);
    }
}

// A folder's level as its two columns hold it.
void writeFolderLevel(RecordBuffer& record, int32_t level) {
    std::snprintf(record.level, sizeof record.level, "%d",
                  static_cast<int>(level > deepestFolderLevel ? deepestFolderLevel : level));
}

} // namespace

void planLoad(const int32_t* levels, int32_t count, int32_t* parents) {
    LoadPlace cursor;
    for (int32_t i = 0; i < count; ++i)
        parents[i] = placeRecord(cursor, parents, i, levels[i]);
}

SavePlan planSave(const TreeSnapshot& tree, WalkStep* steps) {
    Walk walk = {tree, steps, 0};
    if (tree.first != noNode)
        walkLists(walk, tree.first, noNode, 1, noNode);
    SavePlan plan = {walk.count, 0};
    for (int32_t i = 0; i < walk.count; ++i) {
        if (steps[i].node == tree.selected && !isFolderNode(tree, steps[i].node)) {
            steps[i].level = currentChoiceLevel;
            plan.chosen = i + 1;
        }
    }
    return plan;
}

void setSaveLevel(RecordBuffer& record, int32_t level) {
    if (level > 0)
        writeFolderLevel(record, level);
    else if (level < 0 || isCurrentChoice(record))
        markCurrentChoice(record, level < 0);
}

int32_t planCopy(const TreeSnapshot& tree, int32_t top, WalkStep* steps) {
    Walk walk = {tree, steps, 0};
    if (top == noNode)
        return 0;
    if (!isFolderNode(tree, top)) {
        emit(walk, top, 0);
        return walk.count;
    }
    emit(walk, top, 1);
    if (tree.nodes[top].firstChild != noNode)
        walkLists(walk, tree.nodes[top].firstChild, top, 2, top);
    return walk.count;
}

void setCopyLevel(RecordBuffer& record, int32_t level) {
    if (level > 0)
        writeFolderLevel(record, level);
    else
        record.level[0] = '\0';
}

int32_t planPaste(const int32_t* levels, int32_t count, int32_t* parents) {
    int32_t current = noNode;
    int32_t lastLevel = 0;
    int32_t deepest = 0;
    for (int32_t i = 0; i < count; ++i) {
        parents[i] = current;
        if (levels[i] <= 0)
            continue;
        deepest = std::max(deepest, levels[i]);
        for (int32_t up = folderClimb(lastLevel, levels[i]); up > 0 && current != noNode; --up)
            current = parents[current];
        parents[i] = current;
        lastLevel = levels[i];
        current = i;
    }
    return deepest;
}

PasteSpot planPasteSpot(const TreeSnapshot& tree) {
    const int32_t at = tree.selected;
    const bool intoFolder = isFolderNode(tree, at);
    const int32_t parent = intoFolder ? at : tree.nodes[at].parent;
    return {parent, intoFolder, nodeDepth(tree, parent), isTourKind(itemKind(tree.nodes[at].word))};
}

PasteSlot pasteSlot(int32_t level, int32_t count, bool intoFolder) {
    if (level > 0)
        return PasteSlot::first;
    if (count == 1)
        return intoFolder ? PasteSlot::first : PasteSlot::afterTarget;
    return PasteSlot::last;
}

int32_t nodeDepth(const TreeSnapshot& tree, int32_t node) {
    int32_t depth = 0;
    for (; node != noNode; node = tree.nodes[node].parent)
        ++depth;
    return depth;
}

NewItemPlan planNewFolder(const TreeSnapshot& tree) {
    const int32_t at = tree.selected;
    if (nodeDepth(tree, at) + 1 > deepestFolderLevel)
        return {NewItemRefusal::tooDeep, noNode, 0};
    if (at == noNode || isFolderNode(tree, at))
        return {NewItemRefusal::none, at, 0};
    return {NewItemRefusal::none, tree.nodes[at].parent, 0};
}

NewItemPlan planNewEntry(const TreeSnapshot& tree, bool tour) {
    const int32_t at = tree.selected;
    NewItemPlan plan = {NewItemRefusal::none, noNode, 0};
    if (at != noNode) {
        if (isTourKind(itemKind(tree.nodes[at].word)) != tour)
            return {NewItemRefusal::otherKind, noNode, 0};
        plan.parent = isFolderNode(tree, at) ? at : tree.nodes[at].parent;
    }
    if (!tour)
        return plan;
    int32_t node = plan.parent == noNode ? tree.first : tree.nodes[plan.parent].firstChild;
    for (; node != noNode; node = tree.nodes[node].next)
        plan.number += isTourItemKind(itemKind(tree.nodes[node].word)) ? 1 : 0;
    ++plan.number;
    return plan;
}

RemovalPlan planRemoval(const TreeSnapshot& tree, bool onlyTopRefused) {
    const int32_t at = tree.selected;
    const TreeNode& node = tree.nodes[at];
    const int32_t first = node.parent == noNode ? tree.first : tree.nodes[node.parent].firstChild;
    if (onlyTopRefused && node.parent == noNode && first == at && node.next == noNode)
        return {true, noNode, noNode};
    RemovalPlan plan = {false, noNode, noNode};
    if (!isTourItemKind(itemKind(node.word)))
        return plan;
    for (int32_t i = node.next; first == at && i != noNode; i = tree.nodes[i].next)
        plan.selectInstead = i;
    if (first != at)
        plan.selectInstead = first;
    for (int32_t i = first; i != noNode && plan.renumberFrom == noNode; i = tree.nodes[i].next) {
        if (i != at && isTourItemKind(itemKind(tree.nodes[i].word)))
            plan.renumberFrom = i;
    }
    return plan;
}

DropPlan planDrop(const TreeSnapshot& tree, int32_t source, bool copy) {
    if (source == tree.selected)
        return DropPlan::nothing;
    for (int32_t up = tree.nodes[tree.selected].parent; !copy && up != noNode;
         up = tree.nodes[up].parent) {
        if (up == source)
            return DropPlan::intoOwnChild;
    }
    return DropPlan::go;
}

uint32_t copiedFolderWord(uint32_t word) {
    const uint32_t kind = isTourKind(itemKind(word)) ? tourFolderKind : airportFolderKind;
    return itemWord(itemRecordNumber(word), kind);
}

bool pasteFolderFits(int32_t above, int32_t deepest) {
    return above + deepest <= deepestFolderLevel;
}

bool roomForMore(int32_t count, int32_t added) {
    return added <= maxTreeRecordNumber - count;
}

int32_t planTourGroup(const TreeSnapshot& tree, int32_t* items) {
    const int32_t parent = tree.nodes[tree.selected].parent;
    int32_t count = 0;
    for (int32_t node = parent == noNode ? tree.first : tree.nodes[parent].firstChild;
         node != noNode; node = tree.nodes[node].next) {
        if (isTourItemKind(itemKind(tree.nodes[node].word)))
            items[count++] = node;
    }
    return count;
}

int32_t planTourNumbers(const uint8_t* lines, const int32_t* records, int32_t count,
                        uint8_t* renumbered, NumberRun* runs) {
    constexpr size_t column = sizeof(RecordLine::ident);
    if (count <= 0)
        return 0;
    const size_t bytes = static_cast<size_t>(count) * recordSize;
    std::memcpy(renumbered, lines, bytes);
    for (int32_t i = 0; i < count; ++i) {
        char digits[16];
        tourNumberText(i + 1, digits, sizeof digits);
        const size_t length = std::min(std::strlen(digits), column);
        uint8_t* ident = renumbered + static_cast<size_t>(i) * recordSize;
        std::memset(ident, ' ', column);
        std::memcpy(ident, digits, length);
    }
    int32_t written = 0;
    for (int32_t first = 0; first < count;) {
        int32_t length = 1;
        while (first + length < count && static_cast<int64_t>(records[first + length]) ==
                                             static_cast<int64_t>(records[first + length - 1]) + 1)
            ++length;
        const size_t at = static_cast<size_t>(first) * recordSize;
        if (std::memcmp(renumbered + at, lines + at, static_cast<size_t>(length) * recordSize) != 0)
            runs[written++] = {first, length};
        first += length;
    }
    return written;
}
