// The tree's commands, drag and drop, the imports and the export, and OK and Cancel, as
// operations of the random edit sequences: each works out from the tree before it what the
// dialog's rules make of it, does it as a pilot would, and checks what it left.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/airport_line.h"
#include "common/db_record.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "tests/win32/edit_sequence_parts.h"
#include "testkit/settings_session.h"

namespace {

// Paste, Ctrl-drag and the imports grow the tree; past this size they give way to a deletion,
// so that a sequence's time stays bounded.
constexpr size_t largestTree = 400;
constexpr int deepestPaste = 60;

int selectedIndex(Run& run, const Snapshot& tree) {
    return tree.find(run.model.selected);
}

int shapeDepth(const Shape& shape) {
    int deepest = 0;
    for (const Shape& child : shape.children)
        deepest = std::max(deepest, shapeDepth(child));
    return deepest + 1;
}

// ---- new items ----

struct NewCommand {
    int id;
    Kind kind;
    const char* name;
};
const NewCommand newCommands[] = {
    {IDM_NEW_AIRPORT, Kind::airport, "New Airport"},
    {IDM_NEW_AIRPORT_FOLDER, Kind::airportFolder, "New Airport Folder"},
    {IDM_NEW_TOUR, Kind::tourItem, "New Tour"},
    {IDM_NEW_TOUR_FOLDER, Kind::tourFolder, "New Tour Folder"},
};

bool newItemStep(Run& run, const NewCommand& made) {
    const Snapshot before = takeSnapshot(run.tree);
    const int s = selectedIndex(run, before);
    const Node& selected = before.nodes[s];
    const bool intoSelected = isFolder(selected.kind());
    std::string refusal;
    if (!isFolder(made.kind) && isTour(made.kind) != isTour(selected.kind()))
        refusal = isTour(made.kind) ? "Please select Tour Item !" : "Please select Airport Item !";
    if (isFolder(made.kind) && selected.depth + 1 > 99)
        refusal = "Can't make a Folder";
    const int parent = intoSelected ? s : selected.parent;
    giveCommand(run, made.id, made.name + std::string(" with ") + label(before, s) + " selected");
    const Snapshot after = takeSnapshot(run.tree);
    if (!expectBoxes(run, refusal.empty() ? std::vector<std::string>{}
                                          : std::vector<std::string>{refusal}) ||
        !expectSurvivors(run, before, after, {}))
        return false;
    if (refusal.empty()) {
        const int parentAfter = parent < 0 ? -1 : after.find(before.nodes[parent].item);
        const std::vector<int>& group = after.group(parentAfter);
        auto made_ = std::find_if(group.begin(), group.end(),
                                  [&](int i) { return before.find(after.nodes[i].item) < 0; });
        if (made_ == group.end()) {
            run.fail(std::string("no new item in ") + label(before, parent));
            return false;
        }
        const bool sorted = parent >= 0 && isTour(before.nodes[parent].kind());
        if (!sorted && *made_ != group.back()) {
            run.fail("the new item is not the last of " + label(before, parent));
            return false;
        }
        if (!adopt(run, after, *made_, Shape{made.kind, blankFields(made.name), {}}))
            return false;
        ++run.model.items;
        ++run.model.records;
    }
    return settle(run, before, after, {});
}

// ---- delete, cut, copy, paste ----

void takeCopy(Run& run, const Snapshot& tree, int s) {
    storeEditor(run, tree);
    run.model.clip.set = true;
    run.model.clip.copy = shapeOf(tree, s, run.model);
    run.model.clip.source = tree.nodes[s].item;
}

bool copyStep(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const int s = selectedIndex(run, before);
    giveCommand(run, IDM_COPY, "Copy " + label(before, s));
    takeCopy(run, before, s);
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {}) && expectSurvivors(run, before, after, {}) &&
           settle(run, before, after, {});
}

bool deleteStep(Run& run, bool cut) {
    const Snapshot before = takeSnapshot(run.tree);
    const int s = selectedIndex(run, before);
    const Node& selected = before.nodes[s];
    const bool only = selected.parent < 0 && before.top.size() == 1;
    giveCommand(run, cut ? IDM_CUT : IDM_DELETE,
                std::string(cut ? "Cut " : "Delete ") + label(before, s));
    if (cut)
        takeCopy(run, before, s);
    const Snapshot after = takeSnapshot(run.tree);
    if (only)
        return expectBoxes(run, {"Can't delete this item !"}) &&
               expectSurvivors(run, before, after, {}) && settle(run, before, after, {});
    const std::set<HTREEITEM> removed = itemsOf(before, before.subtree(s));
    if (!expectBoxes(run, {}) || !expectSurvivors(run, before, after, removed))
        return false;
    // A tour item gives the selection to the first of its group, or to the last when it was
    // the first itself.
    const std::vector<int>& group = before.group(selected.parent);
    if (selected.kind() == Kind::tourItem && group.size() > 1) {
        const HTREEITEM expected =
            before.nodes[group.front() != s ? group.front() : group.back()].item;
        if (after.selected != expected) {
            run.fail("the selection went to '" + itemText(run.tree, after.selected) + "', not to " +
                     label(before, before.find(expected)));
            return false;
        }
    }
    forget(run, removed);
    return settle(run, before, after, removed);
}

// Where a paste or drop onto the target puts its first item, in the tree after it: the group and
// the index in it.
struct Placement {
    int parent; // index in the tree before, -1 for the top level
    bool first; // first of the group, else right after the target
};

Placement placementFor(const Snapshot& before, int target, const Shape& shape) {
    const bool folderTarget = isFolder(before.nodes[target].kind());
    const int parent = folderTarget ? target : before.nodes[target].parent;
    return {parent, folderTarget || isFolder(shape.kind)};
}

// The shape that a paste or drop of the copy onto the target puts in.
Shape shapeOnto(const Shape& copy, Kind targetKind) {
    if (isFolder(copy.kind))
        return pastedShape(copy);
    const Kind kind = isTour(targetKind) ? Kind::tourItem : Kind::airport;
    return Shape{kind, fittedTo(copy.fields, copy.kind, kind), {}};
}

// The pasted or dropped items are where the rules put them, with the content expected.
bool expectPlaced(Run& run, const Snapshot& before, const Snapshot& after, int target,
                  const Shape& shape) {
    const Placement place = placementFor(before, target, shape);
    const int parentAfter = place.parent < 0 ? -1 : after.find(before.nodes[place.parent].item);
    const std::vector<int>& group = after.group(parentAfter);
    int at = 0;
    if (place.parent >= 0 && isTour(before.nodes[place.parent].kind())) {
        // A tour folder sorts itself as it opens: the new item is the one the group did not hold.
        while (at < static_cast<int>(group.size()) && before.find(after.nodes[group[at]].item) >= 0)
            ++at;
    } else if (!place.first) {
        const int targetAfter = after.find(before.nodes[target].item);
        at = static_cast<int>(std::find(group.begin(), group.end(), targetAfter) - group.begin()) +
             1;
    }
    if (at >= static_cast<int>(group.size()) || before.find(after.nodes[group[at]].item) >= 0) {
        run.fail(std::string("no new item ") + (place.first ? "first in " : "right after ") +
                 (place.first ? label(before, place.parent) : label(before, target)));
        return false;
    }
    if (!adopt(run, after, group[at], shape))
        return false;
    run.model.items += shapeSize(shape);
    run.model.records += static_cast<int32_t>(shapeSize(shape));
    return true;
}

bool pasteStep(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const int s = selectedIndex(run, before);
    const Clipboard& clip = run.model.clip;
    if (clip.source == run.model.selected)
        storeEditor(run, before);
    Shape copy = clip.copy;
    if (clip.source && !isFolder(copy.kind)) // a copied entry is pasted as its record now reads
        copy.fields = run.model.saved[clip.source];
    const Shape shape = shapeOnto(copy, before.nodes[s].kind());
    if (clip.set && (before.nodes.size() + shapeSize(shape) > largestTree ||
                     before.nodes[s].depth + shapeDepth(shape) > deepestPaste))
        return copyStep(run);
    giveCommand(run, IDM_PASTE, "Paste onto " + label(before, s));
    const Snapshot after = takeSnapshot(run.tree);
    if (!expectBoxes(run, {}) || !expectSurvivors(run, before, after, {}))
        return false;
    if (clip.set && !expectPlaced(run, before, after, s, shape))
        return false;
    return settle(run, before, after, {});
}

// ---- drag and drop ----

bool dragStep(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const int source = randomItem(run, before);
    const int roll = static_cast<int>(run.pick(100));
    const int target = roll < 10 ? -1 : roll < 16 ? source : randomItem(run, before);
    const bool copy = run.chance(40);
    const std::vector<int> moved = before.subtree(source);
    const bool intoItself =
        target >= 0 && target != source && std::count(moved.begin(), moved.end(), target);
    const Shape taken = shapeOf(before, source, run.model);
    const Shape shape = target >= 0 ? shapeOnto(taken, before.nodes[target].kind()) : taken;
    if (copy && (before.nodes.size() + shapeSize(shape) > largestTree ||
                 (target >= 0 && before.nodes[target].depth + shapeDepth(shape) > deepestPaste)))
        return copyStep(run);
    run.note(std::string(copy ? "Ctrl-drag " : "drag ") + label(before, source) + " onto " +
             (target < 0 ? std::string("the dialog outside the tree") : label(before, target)));
    // The drag selects what it takes: the editor leaves the item it showed.
    const int left = before.find(run.model.selected);
    if (before.nodes[source].item != run.model.selected) {
        run.model.saved[run.model.selected] = savedAs(run.model.editor, before.nodes[left].kind());
        run.model.selected = before.nodes[source].item;
        run.model.editor = run.model.saved[run.model.selected];
    }
    startDrag(run.dialog, before.nodes[source].item);
    dropOn(run.dialog, target < 0 ? nullptr : before.nodes[target].item, copy);
    const Snapshot after = takeSnapshot(run.tree);
    if (target < 0 || target == source)
        return expectBoxes(run, {}) && expectSurvivors(run, before, after, {}) &&
               settle(run, before, after, {});
    if (intoItself && !copy)
        return expectBoxes(run, {"Can't drag to its own child item !"}) &&
               expectSurvivors(run, before, after, {}) && settle(run, before, after, {});
    storeEditor(run, before);
    const std::set<HTREEITEM> removed = copy ? std::set<HTREEITEM>{} : itemsOf(before, moved);
    if (!expectBoxes(run, {}) || !expectSurvivors(run, before, after, removed) ||
        !expectPlaced(run, before, after, target, shape))
        return false;
    run.model.clip.copy = taken; // a drop fits its entry in memory: the clipboard keeps it whole
    run.model.clip.source = nullptr;
    forget(run, removed);
    if (before.find(after.selected) >= 0 || after.find(after.selected) < 0) {
        run.fail("the dropped item is not selected");
        return false;
    }
    return settle(run, before, after, removed);
}

// ---- import and export ----

struct ExchangeKind {
    bool tour;
    const char* fileName;
    int button;
    const char* folderName;
};
const ExchangeKind airportExchange = {false, "Tarvix.dat", IDC_AIRPORT_IMPORT,
                                      "New Airport Folder"};
const ExchangeKind tourExchange = {true, "TarvixTr.dat", IDC_TOUR_IMPORT, "New Tour Folder"};

ExchangeFileModel& fileModel(Run& run, const ExchangeKind& kind) {
    return kind.tour ? run.model.tourFile : run.model.airportFile;
}

bool importStep(Run& run, const ExchangeKind& kind) {
    const Snapshot before = takeSnapshot(run.tree);
    const ExchangeFileModel& file = fileModel(run, kind);
    Shape folder{
        kind.tour ? Kind::tourFolder : Kind::airportFolder, blankFields(kind.folderName), {}};
    int refused = 0;
    for (const Fields& line : file.lines) {
        const LineFate fate = lineFate(line);
        refused += fate == LineFate::refused;
        if (fate != LineFate::imported)
            continue;
        const Kind entry = kind.tour ? Kind::tourItem : Kind::airport;
        folder.children.push_back({entry, savedAs(line, entry), {}});
        char number[16];
        std::snprintf(number, sizeof number, "%d", static_cast<int>(folder.children.size()));
        folder.gaps =
            folder.gaps || (kind.tour && std::atoi(line[fIdent].c_str()) != std::atoi(number));
    }
    const bool missing = !file.exists || file.lines.empty();
    if (!missing && before.nodes.size() + shapeSize(folder) > largestTree)
        return deleteStep(run, false);
    run.note(std::string(kind.tour ? "Tr Imp" : "Ap Imp") + " of " +
             std::to_string(file.lines.size()) + " lines");
    clickButton(run.dialog, kind.button);
    const Snapshot after = takeSnapshot(run.tree);
    std::vector<std::string> boxes;
    if (missing)
        boxes.push_back(std::string("Not exist '") + kind.fileName + "' !");
    else if (refused > 0)
        boxes.push_back(std::to_string(refused) + (refused == 1 ? " line of '" : " lines of '") +
                        kind.fileName + "' ");
    if (!expectBoxes(run, boxes) || !expectSurvivors(run, before, after, {}))
        return false;
    if (!missing) {
        if (after.top.size() != before.top.size() + 1) {
            run.fail("the import made no new folder at the end of the top level");
            return false;
        }
        if (!adopt(run, after, after.top.back(), folder))
            return false;
        run.model.items += shapeSize(folder);
        run.model.records += static_cast<int32_t>(shapeSize(folder));
    }
    return settle(run, before, after, {});
}

// The exchange file as the export must have written it.
bool expectExchangeFile(Run& run, const ExchangeKind& kind) {
    const std::string bytes = readWholeFile(kind.fileName);
    const std::vector<Fields>& lines = fileModel(run, kind).lines;
    if (bytes.size() != lines.size() * recordSize) {
        run.fail(std::string(kind.fileName) + " holds " + std::to_string(bytes.size()) +
                 " bytes for " + std::to_string(lines.size()) + " lines");
        return false;
    }
    const Kind entry = kind.tour ? Kind::tourItem : Kind::airport;
    for (size_t i = 0; i < lines.size(); ++i) {
        RecordBuffer r;
        clearRecordBuffer(r);
        const auto* line = reinterpret_cast<const uint8_t*>(bytes.data() + i * recordSize);
        if (kind.tour)
            decodeRecord(line, recordSize, r);
        else
            readAirportLine(line, recordSize, r);
        const Fields read = {r.ident,      r.name,       r.latHemisphere,    r.latDegrees,
                             r.latMinutes, r.latSeconds, r.lonHemisphere,    r.lonDegrees,
                             r.lonMinutes, r.lonSeconds, r.altitudeHoldFlag, r.altitude};
        std::vector<Field> compared = fieldsOf(Kind::airport);
        if (kind.tour)
            compared = {fIdent, fName, fLatH, fLatD, fLatM, fLatS,
                        fLonH,  fLonD, fLonM, fLonS, fHold, fAltitude};
        for (Field f : compared) {
            if (read[f] != lines[i][f]) {
                run.fail(std::string(kind.fileName) + " line " + std::to_string(i + 1) +
                         " reads '" + read[f] + "' where '" + lines[i][f] + "' was exported, in " +
                         recordText(lines[i], entry));
                return false;
            }
        }
        if (kind.tour && std::string(r.tourFlag) != "1") {
            run.fail(std::string(kind.fileName) + " line " + std::to_string(i + 1) +
                     " has no tour flag");
            return false;
        }
    }
    return true;
}

bool exportStep(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const int s = selectedIndex(run, before);
    const Kind kind = before.nodes[s].kind();
    storeEditor(run, before);
    const ExchangeKind& exchange = isTour(kind) ? tourExchange : airportExchange;
    ExchangeFileModel& file = fileModel(run, exchange);
    const bool asked = !isFolder(kind) && file.exists && !file.lines.empty();
    const bool yes = !asked || run.chance(75);
    run.answerer->setAnswers({yes ? IDYES : IDNO});
    run.note("Exp with " + label(before, s) + " selected" +
             (asked ? (yes ? ", answered Yes" : ", answered No") : ""));
    clickButton(run.dialog, IDC_EXPORT);
    run.answerer->setAnswers({});
    const Snapshot after = takeSnapshot(run.tree);
    std::vector<std::string> boxes;
    if (isFolder(kind)) {
        boxes.push_back("Do not select Folder Item !");
    } else {
        if (asked)
            boxes.push_back(std::string("Over write '") + exchange.fileName + "' OK ?");
        std::vector<Fields> lines;
        int otherKind = 0;
        for (int i : before.group(before.nodes[s].parent)) {
            const Node& node = before.nodes[i];
            if (isFolder(node.kind()))
                continue;
            if (isTour(node.kind()) != isTour(kind)) {
                ++otherKind;
                continue;
            }
            Fields line = run.model.saved[node.item];
            line[fIdent] =
                isTour(kind) ? node.label.substr(0, node.label.find(" - ")) : line[fIdent];
            lines.push_back(line);
        }
        if (yes) {
            file.exists = true;
            file.lines = lines;
            if (otherKind > 0)
                boxes.push_back(std::to_string(otherKind) + " " +
                                (isTour(kind) ? (otherKind == 1 ? "airport" : "airports")
                                              : (otherKind == 1 ? "tour item" : "tour items")) +
                                " of this folder");
        }
    }
    if (!expectBoxes(run, boxes) || !expectSurvivors(run, before, after, {}))
        return false;
    if (!isFolder(kind) && yes && !expectExchangeFile(run, exchange))
        return false;
    return settle(run, before, after, {});
}

// ---- OK ----

// OK's position check puts the pole and the date line right in the editor first.
void atPoleAndDateLine(Fields& editor) {
    const int wrong = positionError(editor);
    if (wrong != 1 && std::atoi(editor[fLatD].c_str()) > 89) {
        editor[fLatD] = "89";
        editor[fLatM] = "30";
        editor[fLatS] = "0";
    }
    if (wrong == 0 && std::atoi(editor[fLonD].c_str()) == 180)
        editor[fLonM] = editor[fLonS] = "0";
}

// What OK says for the selection now: its refusal, or empty when it closes the dialog.
std::string okRefusal(Run& run, const Snapshot& tree) {
    const Kind kind = tree.nodes[selectedIndex(run, tree)].kind();
    switch (positionError(run.model.editor)) {
    case 1:
        return "Latitude Data Error !";
    case 2:
        return "Longitude Data Error !";
    default:
        return isFolder(kind) ? "Please select Airport or Tour Item !" : "";
    }
}

// An OK that the dialog must refuse: the dialog stays open and says why.
bool refusedOk(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const std::string refusal = okRefusal(run, before);
    if (refusal.empty())
        return copyStep(run);
    run.note("OK with " + label(before, selectedIndex(run, before)) + " selected");
    clickButton(run.dialog, IDOK);
    atPoleAndDateLine(run.model.editor);
    if (refusal == "Please select Airport or Tour Item !")
        storeEditor(run, before);
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {refusal}) && expectSurvivors(run, before, after, {}) &&
           settle(run, before, after, {});
}

} // namespace

bool treeOperation(Run& run) {
    const uint32_t roll = run.pick(100);
    if (roll < 26)
        return newItemStep(run, newCommands[roll % 4]);
    if (roll < 36)
        return deleteStep(run, false);
    if (roll < 44)
        return deleteStep(run, true);
    if (roll < 54)
        return copyStep(run);
    if (roll < 68)
        return pasteStep(run);
    if (roll < 82)
        return dragStep(run);
    if (roll < 86)
        return importStep(run, tourExchange);
    if (roll < 90)
        return importStep(run, airportExchange);
    if (roll < 96)
        return exportStep(run);
    return refusedOk(run);
}

bool closeDialog(Run& run, bool& ok, Snapshot& shown) {
    if (run.model.invalidAltitude && !mendAltitude(run))
        return false;
    if (!ok) {
        run.note("Cancel");
        clickButton(run.dialog, IDCANCEL);
        return expectBoxes(run, {});
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        const Snapshot before = takeSnapshot(run.tree);
        const std::string refusal = okRefusal(run, before);
        if (refusal.empty()) {
            run.note("OK with " + label(before, selectedIndex(run, before)) + " selected");
            atPoleAndDateLine(run.model.editor);
            storeEditor(run, before);
            shown = before;
            clickButton(run.dialog, IDOK);
            return expectBoxes(run, {});
        }
        if (!refusedOk(run))
            return false;
        const Snapshot now = takeSnapshot(run.tree);
        if (refusal[0] == 'P') {
            std::vector<int> entries;
            for (size_t i = 0; i < now.nodes.size(); ++i) {
                if (!isFolder(now.nodes[i].kind()))
                    entries.push_back(static_cast<int>(i));
            }
            if (entries.empty()) {
                ok = false;
                return closeDialog(run, ok, shown);
            }
            const int entry = entries[run.pick(static_cast<uint32_t>(entries.size()))];
            run.note("select " + label(now, entry));
            SendMessageA(run.tree, TVM_SELECTITEM, TVGN_CARET,
                         reinterpret_cast<LPARAM>(now.nodes[entry].item));
        } else {
            run.note("type the position " + typeValidPosition(run));
        }
        if (!expectBoxes(run, {}) || !settle(run, now, takeSnapshot(run.tree), {}))
            return false;
    }
    run.fail("OK was refused four times");
    return false;
}
