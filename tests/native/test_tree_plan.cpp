// The tree's rules on plain snapshots: the load's placement, the save's and the copy's order
// and levels, the paste's placement and its limits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog/tree_plan.h"

namespace {

// A tree given item by item, each after its parent and after its earlier siblings; item i has
// record number i + 1, so that plans read as record numbers.
struct Item {
    uint32_t kind;
    int32_t parent;
};

struct Tree {
    std::vector<TreeNode> nodes;
    TreeSnapshot snapshot;
};

Tree build(const std::vector<Item>& items, int32_t selected = noNode) {
    Tree tree;
    std::vector<int32_t> last(items.size() + 1, noNode); // last child, the top level at the end
    int32_t first = noNode;
    for (size_t i = 0; i < items.size(); ++i) {
        const int32_t index = static_cast<int32_t>(i);
        const int32_t parent = items[i].parent;
        tree.nodes.push_back({itemWord(index + 1, items[i].kind), parent, noNode, noNode});
        int32_t& previous = last[parent == noNode ? items.size() : static_cast<size_t>(parent)];
        if (previous != noNode)
            tree.nodes[static_cast<size_t>(previous)].next = index;
        else if (parent != noNode)
            tree.nodes[static_cast<size_t>(parent)].firstChild = index;
        else
            first = index;
        previous = index;
    }
    tree.snapshot = {tree.nodes.data(), static_cast<int32_t>(tree.nodes.size()), first, selected};
    return tree;
}

// Steps as "record:level" texts, which a failure shows whole.
std::vector<std::string> shown(const Tree& tree, const std::vector<WalkStep>& steps,
                               int32_t count) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < count; ++i) {
        const WalkStep& s = steps[static_cast<size_t>(i)];
        out.push_back(
            std::to_string(itemRecordNumber(tree.nodes[static_cast<size_t>(s.node)].word)) + ":" +
            std::to_string(s.level));
    }
    return out;
}

std::vector<int32_t> loaded(const std::vector<int32_t>& levels) {
    std::vector<int32_t> parents(levels.size(), 1234);
    planLoad(levels.data(), static_cast<int32_t>(levels.size()), parents.data());
    return parents;
}

constexpr int32_t top = noNode;

TEST(TreePlan, LoadPlacesEachRecordByItsLevel) {
    struct Case {
        const char* what;
        std::vector<int32_t> levels;
        std::vector<int32_t> parents;
    };
    const Case cases[] = {
        {"entries before any folder stay at the top", {0, 0, 1, 0}, {top, top, top, 2}},
        {"a marked entry is an entry", {1, -1, 0}, {top, 0, 0}},
        {"a deeper folder goes into the last one, whatever the jump", {1, 3, 0}, {top, 0, 1}},
        {"two level 1 folders are both at the top", {1, 0, 1, 0}, {top, 0, top, 2}},
        {"level 2 after level 3 climbs two steps: beside the level 3 folder's parent",
         {1, 3, 2},
         {top, 0, top}},
        {"same level: beside", {1, 2, 2, 0}, {top, 0, 0, 2}},
        {"a first folder of level 2 has nothing to go into", {2, 0, 2}, {top, 0, top}},
        {"a fall from 99 to 2 climbs 98 steps: past the top", {1, 2, 99, 2}, {top, 0, 1, top}},
        {"a first folder of level 7 goes to the top, one of 99 into it",
         {7, 99, 0, 1, 0, 0},
         {top, 0, 1, top, 3, 3}},
        {"a climb past the top stops there", {1, 2, 3, 1, 3, 2}, {top, 0, 1, top, 3, top}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(loaded(c.levels), c.parents) << c.what;
}

struct SaveCase {
    const char* what;
    std::vector<Item> items;
    int32_t selected;
    std::vector<std::string> order;
    int32_t chosen;
};

TEST(TreePlan, SaveWritesEntriesFirstThenEachFolderWithItsContents) {
    const SaveCase cases[] = {
        {"top airport; A holding an airport and B with a tour item",
         {{airportKind, top},
          {airportFolderKind, top},
          {airportKind, 1},
          {tourFolderKind, 1},
          {tourItemKind, 3}},
         noNode,
         {"1:0", "2:1", "3:0", "4:2", "5:0"},
         0},
        {"entries listed after folders still come first",
         {{airportFolderKind, top},
          {airportKind, top},
          {tourFolderKind, 0},
          {tourItemKind, 0},
          {airportKind, top}},
         noNode,
         {"2:0", "5:0", "1:1", "4:0", "3:2"},
         0},
        {"folders in list order, each with its own contents before the next",
         {{airportFolderKind, top},
          {airportFolderKind, 0},
          {airportKind, 1},
          {airportFolderKind, 0},
          {airportKind, 3},
          {airportFolderKind, top}},
         noNode,
         {"1:1", "2:2", "3:0", "4:2", "5:0", "6:1"},
         0},
        {"the selected entry is the choice",
         {{airportFolderKind, top}, {airportKind, 0}, {airportKind, 0}},
         2,
         {"1:1", "2:0", "3:-1"},
         3},
        {"a selected folder carries no marker",
         {{airportFolderKind, top}, {airportKind, 0}},
         0,
         {"1:1", "2:0"},
         0},
        {"empty folders",
         {{tourFolderKind, top}, {tourFolderKind, 0}, {tourFolderKind, top}},
         noNode,
         {"1:1", "2:2", "3:1"},
         0},
        {"an empty tree", {}, noNode, {}, 0},
    };
    for (const SaveCase& c : cases) {
        const Tree tree = build(c.items, c.selected);
        std::vector<WalkStep> steps(c.items.size() + 1);
        const SavePlan plan = planSave(tree.snapshot, steps.data());
        EXPECT_EQ(shown(tree, steps, plan.count), c.order) << c.what;
        EXPECT_EQ(plan.chosen, c.chosen) << c.what;
    }
}

// A chain of folders deeper than a record can say, an entry at the bottom: every level past 99
// is written as 99, and the walk climbs back out of any depth.
TEST(TreePlan, SaveAndCopyCapDepthsAt99) {
    std::vector<Item> items;
    for (int32_t i = 0; i < 120; ++i)
        items.push_back({airportFolderKind, i == 0 ? top : i - 1});
    items.push_back({airportKind, 119});
    items.push_back({airportKind, top});
    const Tree tree = build(items);
    std::vector<WalkStep> steps(items.size());
    const SavePlan plan = planSave(tree.snapshot, steps.data());
    ASSERT_EQ(plan.count, 122);
    EXPECT_EQ(steps[0].node, 121);
    for (int32_t depth = 1; depth <= 120; ++depth)
        EXPECT_EQ(steps[static_cast<size_t>(depth)].level, depth > 99 ? 99 : depth) << depth;
    EXPECT_EQ(steps[121].node, 120);

    ASSERT_EQ(planCopy(tree.snapshot, 10, steps.data()), 111);
    EXPECT_EQ(steps[0].level, 1);
    EXPECT_EQ(steps[99].level, 99);
    EXPECT_EQ(steps[109].level, 99);
    EXPECT_EQ(steps[110].node, 120);
}

// Loading a file the save wrote and saving it again changes nothing: the levels are the depths
// and the order is the file's.
TEST(TreePlan, ASavedFileLoadsAndSavesUnchanged) {
    const std::vector<std::vector<int32_t>> files = {
        {0, 0, 1, 0, 2, 0, 3, 2, 0, 1, 0},
        {1, 2, 3, 4, 5, 1},
        {0, 1, 1, 1},
    };
    for (const std::vector<int32_t>& levels : files) {
        const std::vector<int32_t> parents = loaded(levels);
        std::vector<Item> items;
        for (size_t i = 0; i < levels.size(); ++i)
            items.push_back({levels[i] > 0 ? airportFolderKind : airportKind, parents[i]});
        const Tree tree = build(items);
        std::vector<WalkStep> steps(levels.size());
        ASSERT_EQ(planSave(tree.snapshot, steps.data()).count, static_cast<int32_t>(levels.size()));
        for (size_t i = 0; i < levels.size(); ++i) {
            EXPECT_EQ(steps[i].node, static_cast<int32_t>(i));
            EXPECT_EQ(steps[i].level, levels[i]);
        }
    }
}

// The paste's placement applied as the tree view applies it, each record in the slot pasteSlot
// gives it (pasted onto a folder). Each node shows as its index, a folder with its contents in
// brackets.
std::string pasted(const std::vector<int32_t>& levels) {
    std::vector<int32_t> parents(levels.size(), 1234);
    planPaste(levels.data(), static_cast<int32_t>(levels.size()), parents.data());
    std::vector<std::vector<int32_t>> children(levels.size() + 1);
    for (size_t i = 0; i < levels.size(); ++i) {
        std::vector<int32_t>& list =
            children[parents[i] == noNode ? levels.size() : static_cast<size_t>(parents[i])];
        const int32_t count = static_cast<int32_t>(levels.size());
        if (pasteSlot(levels[i], count, true) == PasteSlot::first)
            list.insert(list.begin(), static_cast<int32_t>(i));
        else
            list.push_back(static_cast<int32_t>(i));
    }
    std::string out;
    auto show = [&](auto& self, size_t list) -> void {
        for (int32_t child : children[list]) {
            out += std::to_string(child);
            if (levels[static_cast<size_t>(child)] > 0) {
                out += "[";
                self(self, static_cast<size_t>(child));
                out += "]";
            }
            out += " ";
        }
    };
    show(show, levels.size());
    return out;
}

// The cases run in turn on one tree, an entry before the folder that holds it: the plan reads
// nothing but the snapshot, so an earlier copy leaves nothing that a later one would skip. Each
// copy is pasted back too, as the clipboard's levels place it: the same shape, with sibling
// folders in reverse order ahead of the entries.
TEST(TreePlan, CopyTakesTheItemAndOnlyItsSubtree) {
    // 0 F (1 a, 2 G (3 b), 4 c), 5 d, 6 H (7 e, 8 I (9 f), 10 J (11 g))
    const std::vector<Item> items = {
        {tourFolderKind, top}, {tourItemKind, 0},  {airportFolderKind, 0}, {airportKind, 2},
        {tourItemKind, 0},     {airportKind, top}, {tourFolderKind, top},  {tourItemKind, 6},
        {tourFolderKind, 6},   {tourItemKind, 8},  {tourFolderKind, 6},    {tourItemKind, 10}};
    const Tree tree = build(items);
    struct Case {
        const char* what;
        int32_t top;
        std::vector<std::string> order;
        std::string pasted; // as pasted(): clipboard indices, a folder's contents in brackets
    };
    const Case cases[] = {
        {"an entry alone, without a level", 1, {"2:0"}, "0 "},
        {"a top-level entry", 5, {"6:0"}, "0 "},
        {"a folder counts from 1, entries before subfolders",
         0,
         {"1:1", "2:0", "5:0", "3:2", "4:0"},
         "0[3[4 ] 1 2 ] "},
        {"a subfolder is level 1 itself; its siblings stay out", 2, {"3:1", "4:0"}, "0[1 ] "},
        {"the last folder, without the tree before it: each subfolder with its own entry",
         6,
         {"7:1", "8:0", "9:2", "10:0", "11:2", "12:0"},
         "0[4[5 ] 2[3 ] 1 ] "},
        {"nothing", noNode, {}, ""},
    };
    for (const Case& c : cases) {
        std::vector<WalkStep> steps(items.size());
        const int32_t count = planCopy(tree.snapshot, c.top, steps.data());
        EXPECT_EQ(shown(tree, steps, count), c.order) << c.what;
        std::vector<int32_t> levels;
        for (int32_t i = 0; i < count; ++i)
            levels.push_back(steps[static_cast<size_t>(i)].level);
        EXPECT_EQ(pasted(levels), c.pasted) << c.what;
    }
}

TEST(TreePlan, LevelsAsTheSaveAndTheClipboardWriteThem) {
    struct Case {
        const char* before;
        int32_t level;
        const char* saved;
        const char* copied;
    };
    const Case cases[] = {
        {"1", 7, "7", "7"}, {"", 99, "99", "99"}, {"-1", -1, "-1", ""},
        {"", -1, "-1", ""}, {"-1", 0, "", ""},    {"-5", 0, "", ""},
        {"0", 0, "0", ""},  {"ab", 0, "ab", ""},  {"", 0, "", ""},
    };
    for (const Case& c : cases) {
        RecordBuffer saved;
        clearRecordBuffer(saved);
        std::strcpy(saved.level, c.before);
        RecordBuffer copied = saved;
        setSaveLevel(saved, c.level);
        setCopyLevel(copied, c.level);
        EXPECT_STREQ(saved.level, c.saved) << c.before << " at " << c.level;
        EXPECT_STREQ(copied.level, c.copied) << c.before << " at " << c.level;
    }
}

TEST(TreePlan, PastePlacesFoldersFirstAndEntriesInOrder) {
    struct Case {
        const char* what;
        std::vector<int32_t> levels;
        std::string tree;
    };
    const Case cases[] = {
        {"one entry", {0}, "0 "},
        {"subfolders A and B arrive as B, A, then the entries in order",
         {1, 0, 0, 2, 0, 2},
         "0[5[] 3[4 ] 1 2 ] "},
        {"a deeper level after a shallower one nests", {1, 2, 3, 0}, "0[1[2[3 ] ] ] "},
        {"a climb never leaves the paste's place", {1, 2, 1, 0}, "2[3 ] 0[1[] ] "},
        {"levels that jump nest; a fall climbs as far as it says", {1, 5, 0, 2}, "3[] 0[1[2 ] ] "},
        {"each subfolder keeps the entries that follow it",
         {1, 0, 0, 2, 0, 2, 0},
         "0[5[6 ] 3[4 ] 1 2 ] "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pasted(c.levels), c.tree) << c.what;
}

// Among its new siblings: folders first, entries after them, and one entry alone where it was
// pasted (a folder's first child, right after an entry).
TEST(TreePlan, PasteSlotsAmongSiblings) {
    struct Case {
        int32_t level, count;
        bool intoFolder;
        PasteSlot slot;
    };
    const Case cases[] = {
        {1, 1, false, PasteSlot::first},        {3, 5, true, PasteSlot::first},
        {0, 1, true, PasteSlot::first},         {0, 1, false, PasteSlot::afterTarget},
        {-1, 1, false, PasteSlot::afterTarget}, {0, 2, false, PasteSlot::last},
        {0, 4, true, PasteSlot::last},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pasteSlot(c.level, c.count, c.intoFolder), c.slot)
            << c.level << " of " << c.count << (c.intoFolder ? " into a folder" : " beside");
}

// One tree for the edits at one item: an airport folder holding an airport and a tour folder of
// three tour items with an empty tour folder between the second and the third, and an airport.
const std::vector<Item> editedTree = {
    {airportFolderKind, top}, {airportKind, 0},        {tourFolderKind, 0}, {tourItemKind, 2},
    {tourItemKind, 2},        {tourFolderKind + 1, 2}, {tourItemKind, 2},   {airportKind, top},
};

TEST(TreePlan, NewItemsGoIntoTheSelectedFolderOrBesideTheSelectedEntry) {
    struct Case {
        int32_t selected;
        bool folder, tour;
        NewItemPlan plan;
    };
    const NewItemRefusal none = NewItemRefusal::none;
    const Case cases[] = {
        {1, false, false, {none, 0, 0}},
        {1, false, true, {NewItemRefusal::otherKind, top, 0}},
        {2, false, false, {NewItemRefusal::otherKind, top, 0}},
        {2, false, true, {none, 2, 4}},
        {4, false, true, {none, 2, 4}},
        {5, false, true, {none, 5, 1}},
        {top, false, false, {none, top, 0}},
        {1, true, false, {none, 0, 0}},
        {0, true, true, {none, 0, 0}},
        {7, true, false, {none, top, 0}},
        {top, true, true, {none, top, 0}},
    };
    for (const Case& c : cases) {
        const Tree tree = build(editedTree, c.selected);
        const NewItemPlan plan =
            c.folder ? planNewFolder(tree.snapshot) : planNewEntry(tree.snapshot, c.tour);
        EXPECT_EQ(plan.refusal, c.plan.refusal) << c.selected << (c.folder ? " folder" : " entry");
        EXPECT_EQ(plan.parent, c.plan.parent) << c.selected;
        EXPECT_EQ(plan.number, c.plan.number) << c.selected;
    }
    std::vector<Item> chain;
    for (int32_t depth = 1; depth <= deepestFolderLevel; ++depth)
        chain.push_back({airportFolderKind, depth - 2});
    EXPECT_EQ(planNewFolder(build(chain, 97).snapshot).refusal, none) << "the 99th level";
    EXPECT_EQ(planNewFolder(build(chain, 98).snapshot).refusal, NewItemRefusal::tooDeep);
    EXPECT_EQ(nodeDepth(build(chain).snapshot, 98), deepestFolderLevel);
}

TEST(TreePlan, ARemovedTourItemHandsTheSelectionToItsTour) {
    struct Case {
        int32_t selected;
        RemovalPlan plan;
    };
    const Case cases[] = {
        {4, {false, 3, 3}},     // the first of its group, which is numbered from there
        {3, {false, 6, 4}},     // the first item: the last of the group
        {6, {false, 3, 3}},     //
        {2, {false, top, top}}, // a folder: the tree view chooses
        {1, {false, top, top}}, // an airport
    };
    for (const Case& c : cases) {
        const RemovalPlan plan = planRemoval(build(editedTree, c.selected).snapshot, true);
        EXPECT_EQ(plan.refused, c.plan.refused) << c.selected;
        EXPECT_EQ(plan.selectInstead, c.plan.selectInstead) << c.selected;
        EXPECT_EQ(plan.renumberFrom, c.plan.renumberFrom) << c.selected;
    }
    const Tree alone = build({{tourItemKind, top}}, 0);
    EXPECT_TRUE(planRemoval(alone.snapshot, true).refused) << "the tree never becomes empty";
    EXPECT_FALSE(planRemoval(alone.snapshot, false).refused) << "a move takes it away";
}

// The renumbering's tour: the tour items of the group alone, in tree order, whichever is selected.
TEST(TreePlan, ATourIsItsGroupsTourItemsInTreeOrder) {
    const std::vector<Item> topLevel = {
        {tourItemKind, top}, {airportKind, top}, {tourFolderKind, top}, {tourItemKind, top}};
    const struct {
        const std::vector<Item>& items;
        int32_t selected;
        std::vector<int32_t> tour;
    } cases[] = {
        {editedTree, 3, {3, 4, 6}}, {editedTree, 6, {3, 4, 6}}, {editedTree, 5, {3, 4, 6}},
        {editedTree, 1, {}},        {editedTree, 7, {}},        {topLevel, 1, {0, 3}},
    };
    for (const auto& c : cases) {
        const Tree tree = build(c.items, c.selected);
        std::vector<int32_t> items(tree.nodes.size(), 1234);
        items.resize(static_cast<size_t>(planTourGroup(tree.snapshot, items.data())));
        EXPECT_EQ(items, c.tour) << c.selected;
    }
}

TEST(TreePlan, APasteGoesIntoAFolderOrBesideAnEntry) {
    struct Case {
        int32_t selected;
        PasteSpot spot;
    };
    const Case cases[] = {
        {2, {2, true, 2, true}},
        {4, {2, false, 2, true}},
        {7, {top, false, 0, false}},
        {0, {0, true, 1, false}},
    };
    for (const Case& c : cases) {
        const PasteSpot spot = planPasteSpot(build(editedTree, c.selected).snapshot);
        EXPECT_EQ(spot.parent, c.spot.parent) << c.selected;
        EXPECT_EQ(spot.intoFolder, c.spot.intoFolder) << c.selected;
        EXPECT_EQ(spot.above, c.spot.above) << c.selected;
        EXPECT_EQ(spot.tour, c.spot.tour) << c.selected << ": the kind a single entry takes";
    }
    EXPECT_EQ(copiedFolderWord(itemWord(5, tourFolderKind + 2)), itemWord(5, tourFolderKind));
    EXPECT_EQ(copiedFolderWord(itemWord(9, 42)), itemWord(9, airportFolderKind));
}

// A move may go anywhere but into its own subtree; a copy anywhere; a drop on itself is nothing.
TEST(TreePlan, ADropIntoItsOwnSubtreeIsRefusedForAMoveOnly) {
    struct Case {
        int32_t source, target;
        bool copy;
        DropPlan plan;
    };
    const Case cases[] = {
        {2, 4, false, DropPlan::intoOwnChild}, {2, 4, true, DropPlan::go},
        {0, 5, false, DropPlan::intoOwnChild}, {4, 2, false, DropPlan::go},
        {3, 4, false, DropPlan::go},           {1, 7, false, DropPlan::go},
        {top, 6, false, DropPlan::go},         {4, 4, false, DropPlan::nothing},
        {2, 2, true, DropPlan::nothing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(planDrop(build(editedTree, c.target).snapshot, c.source, c.copy), c.plan)
            << c.source << " onto " << c.target << (c.copy ? ", a copy" : ", a move");
}

TEST(TreePlan, PasteAndNewRecordsStayWithinTheirLimits) {
    const struct {
        std::vector<int32_t> levels;
        int32_t deepest;
    } pastes[] = {{{0}, 0}, {{1, 2, 3, 0}, 3}, {{1, 5, 0, 2}, 5}, {{0, -1, 0}, 0}};
    for (const auto& p : pastes) {
        std::vector<int32_t> parents(p.levels.size());
        EXPECT_EQ(planPaste(p.levels.data(), static_cast<int32_t>(p.levels.size()), parents.data()),
                  p.deepest);
    }
    EXPECT_TRUE(pasteFolderFits(96, 3));
    EXPECT_FALSE(pasteFolderFits(97, 3));
    EXPECT_TRUE(pasteFolderFits(99, 0)); // entries only
    EXPECT_TRUE(pasteFolderFits(0, 99));

    EXPECT_TRUE(roomForMore(0, maxTreeRecordNumber));
    EXPECT_TRUE(roomForMore(65534, 1));
    EXPECT_FALSE(roomForMore(65535, 1));
    EXPECT_FALSE(roomForMore(100, 65436));
}

} // namespace
