// libFuzzer target: any bytes as a database, built into a tree by the load's placement and
// written back in the save's order, as opening the settings dialog and pressing OK do. Whatever
// the file holds: every record lands in the tree and is written once, no item names a record
// that is not there, only the level columns change (folders take their depths, the choice keeps
// the one marker and other entries lose theirs), the bytes after the last whole record follow
// unchanged, and a file written this way loads and saves to the same bytes again. Each group's
// tour items renumbered from the file's bytes change only their ident columns, the planned runs
// cover every changed line, each run's records follow one another in the file, and the
// renumbered lines plan nothing more. A drop on any item refuses a move from the folders above it.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dialog/tree_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr size_t levelColumn = 46;

struct Opened {
    std::vector<RecordBuffer> records; // as the load leaves them in the file: no marker
    std::vector<TreeNode> nodes;
    int32_t first = noNode;
    int32_t choice = noNode;
};

// The tree as the dialog builds it: each record appended to its planned parent.
Opened load(const uint8_t* data, size_t size) {
    Opened opened;
    const size_t count = size / recordSize;
    std::vector<int32_t> levels(count);
    for (size_t i = 0; i < count; ++i) {
        RecordBuffer record;
        decodeRecord(data + i * recordSize, recordSize, record);
        levels[i] = recordLevel(record);
        opened.records.push_back(record);
    }
    std::vector<int32_t> parents(count);
    planLoad(levels.data(), static_cast<int32_t>(count), parents.data());
    std::vector<int32_t> lastChild(count, noNode);
    int32_t lastTop = noNode;
    for (size_t i = 0; i < count; ++i) {
        const int32_t index = static_cast<int32_t>(i);
        const int32_t parent = parents[i];
        if (parent != noNode && (parent >= index || levels[static_cast<size_t>(parent)] < 1))
            std::abort(); // only an earlier folder can hold a record
        const uint32_t word = itemWord(index + 1, recordKind(opened.records[i]));
        opened.nodes.push_back({word, parent, noNode, noNode});
        int32_t& previous = parent == noNode ? lastTop : lastChild[static_cast<size_t>(parent)];
        if (previous != noNode)
            opened.nodes[static_cast<size_t>(previous)].next = index;
        else if (parent != noNode)
            opened.nodes[static_cast<size_t>(parent)].firstChild = index;
        else
            opened.first = index;
        previous = index;
        if (levels[i] < 0) {
            opened.choice = index;
            opened.records[i].level[0] = '\0';
        }
    }
    return opened;
}

// OK with the choice still selected: the new file's bytes.
std::vector<uint8_t> save(const Opened& opened, const uint8_t* tail, size_t tailLength,
                          std::vector<WalkStep>& steps) {
    const TreeSnapshot tree = {opened.nodes.data(), static_cast<int32_t>(opened.nodes.size()),
                               opened.first, opened.choice};
    steps.assign(opened.nodes.size(), WalkStep{noNode, 0});
    const SavePlan plan = planSave(tree, steps.data());
    if (plan.count != tree.count)
        std::abort();
    if ((plan.chosen != 0) != (opened.choice != noNode))
        std::abort();
    std::vector<uint8_t> bytes(steps.size() * recordSize);
    std::vector<bool> written(opened.nodes.size(), false);
    for (size_t i = 0; i < steps.size(); ++i) {
        const int32_t node = steps[i].node;
        if (node < 0 || node >= tree.count || written[static_cast<size_t>(node)])
            std::abort();
        written[static_cast<size_t>(node)] = true;
        const int32_t number = itemRecordNumber(opened.nodes[static_cast<size_t>(node)].word);
        if (number < 1 || number > tree.count)
            std::abort();
        RecordBuffer record = opened.records[static_cast<size_t>(number - 1)];
        setSaveLevel(record, steps[i].level);
        encodeRecord(record, bytes.data() + i * recordSize);
    }
    bytes.insert(bytes.end(), tail, tail + tailLength);
    return bytes;
}

// Each written record is its source record but for the level, which says what the step said.
void checkRecords(const uint8_t* data, const Opened& opened, const std::vector<WalkStep>& steps,
                  const std::vector<uint8_t>& bytes) {
    int32_t markers = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const size_t source = static_cast<size_t>(steps[i].node);
        RecordBuffer original;
        decodeRecord(data + source * recordSize, recordSize, original);
        uint8_t before[recordSize];
        encodeRecord(original, before);
        const uint8_t* after = bytes.data() + i * recordSize;
        if (std::memcmp(before, after, levelColumn) != 0 ||
            std::memcmp(before + levelColumn + 2, after + levelColumn + 2,
                        recordSize - levelColumn - 2) != 0)
            std::abort();
        RecordBuffer now;
        decodeRecord(after, recordSize, now);
        const int32_t level = recordLevel(now);
        const bool folder = recordLevel(original) >= 1;
        if (folder && (level < 1 || level != steps[i].level))
            std::abort();
        if (!folder && level < 0 && (level != -1 || opened.choice != steps[i].node))
            std::abort();
        if (!folder && level >= 0 && recordLevel(original) >= 0 &&
            std::memcmp(now.level, original.level, sizeof now.level) != 0)
            std::abort();
        markers += level < 0 ? 1 : 0;
    }
    if (markers != (opened.choice != noNode ? 1 : 0))
        std::abort();
}

TreeSnapshot selecting(const Opened& opened, int32_t selected) {
    return {opened.nodes.data(), static_cast<int32_t>(opened.nodes.size()), opened.first, selected};
}

// The group's tour items as the renumbering takes them: each tour item among the first node's
// siblings, once and in tree order, and nothing else.
std::vector<int32_t> tourGroup(const Opened& opened, int32_t first) {
    std::vector<int32_t> items(opened.nodes.size());
    items.resize(static_cast<size_t>(planTourGroup(selecting(opened, first), items.data())));
    size_t next = 0;
    for (int32_t at = first; at != noNode; at = opened.nodes[static_cast<size_t>(at)].next) {
        if (!isTourItemKind(itemKind(opened.nodes[static_cast<size_t>(at)].word)))
            continue;
        if (next >= items.size() || items[next] != at)
            std::abort();
        ++next;
    }
    if (next != items.size())
        std::abort();
    return items;
}

// A drop on the node: nothing from itself, a move from any folder above it refused, a copy from
// there let through.
void checkDrops(const Opened& opened, int32_t target) {
    const TreeSnapshot tree = selecting(opened, target);
    if (planDrop(tree, target, false) != DropPlan::nothing)
        std::abort();
    for (int32_t up = opened.nodes[static_cast<size_t>(target)].parent; up != noNode;
         up = opened.nodes[static_cast<size_t>(up)].parent) {
        if (planDrop(tree, up, false) != DropPlan::intoOwnChild ||
            planDrop(tree, up, true) != DropPlan::go)
            std::abort();
    }
}

// The tour items among the first node's siblings, renumbered as the dialog renumbers a group.
void checkRenumbering(const uint8_t* data, const Opened& opened, int32_t first) {
    constexpr size_t identWidth = 5;
    std::vector<int32_t> records;
    std::vector<uint8_t> lines;
    for (int32_t at : tourGroup(opened, first)) {
        const int32_t number = itemRecordNumber(opened.nodes[static_cast<size_t>(at)].word);
        records.push_back(number);
        const uint8_t* line = data + static_cast<size_t>(number - 1) * recordSize;
        lines.insert(lines.end(), line, line + recordSize);
    }
    const int32_t count = static_cast<int32_t>(records.size());
    std::vector<uint8_t> renumbered(lines.size());
    std::vector<NumberRun> runs(records.size() + 1);
    const int32_t planned =
        planTourNumbers(lines.data(), records.data(), count, renumbered.data(), runs.data());
    std::vector<bool> covered(records.size(), false);
    int32_t end = 0;
    for (int32_t r = 0; r < planned; ++r) {
        const NumberRun run = runs[static_cast<size_t>(r)];
        if (run.first < end || run.count < 1 || run.first + run.count > count)
            std::abort();
        for (int32_t i = run.first; i < run.first + run.count; ++i) {
            covered[static_cast<size_t>(i)] = true;
            if (i > run.first &&
                records[static_cast<size_t>(i)] != records[static_cast<size_t>(i - 1)] + 1)
                std::abort();
        }
        end = run.first + run.count;
    }
    for (size_t i = 0; i < records.size(); ++i) {
        const uint8_t* before = lines.data() + i * recordSize;
        const uint8_t* after = renumbered.data() + i * recordSize;
        if (std::memcmp(before + identWidth, after + identWidth, recordSize - identWidth) != 0)
            std::abort();
        if (!covered[i] && std::memcmp(before, after, identWidth) != 0)
            std::abort();
    }
    std::vector<uint8_t> twice(lines.size());
    if (planTourNumbers(renumbered.data(), records.data(), count, twice.data(), runs.data()) != 0 ||
        twice != renumbered)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t whole = size / recordSize * recordSize;
    const Opened opened = load(data, size);
    std::vector<WalkStep> steps;
    const std::vector<uint8_t> saved = save(opened, data + whole, size - whole, steps);
    if (saved.size() != size)
        std::abort();
    checkRecords(data, opened, steps, saved);
    if (opened.first != noNode)
        checkRenumbering(data, opened, opened.first);
    for (const TreeNode& node : opened.nodes)
        if (node.firstChild != noNode)
            checkRenumbering(data, opened, node.firstChild);
    for (int32_t node = 0; node < static_cast<int32_t>(opened.nodes.size()); ++node)
        checkDrops(opened, node);
    if (!std::equal(saved.begin() + static_cast<std::ptrdiff_t>(whole), saved.end(), data + whole))
        std::abort();
    const Opened again = load(saved.data(), saved.size());
    std::vector<WalkStep> stepsAgain;
    const std::vector<uint8_t> savedAgain =
        save(again, saved.data() + whole, size - whole, stepsAgain);
    if (savedAgain != saved)
        std::abort();
    return 0;
}
