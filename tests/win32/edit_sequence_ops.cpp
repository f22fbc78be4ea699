// The operations of the random edit sequences, each through the controls a pilot uses, with
// what it must have done checked before the rules that hold after any operation.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "tests/win32/edit_sequence_parts.h"
#include "testkit/settings_session.h"

namespace {

const char* const altitudeMessage = "Please Enter from 0 to 99996 ft.!";

} // namespace

// ---- input as a pilot gives it ----

// Clicks, types (testkit's type) and keys go where the pilot's would.

static void keyToTree(HWND tree, WPARAM key, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(tree, WM_KEYDOWN, key, 1);
    SendMessageA(tree, WM_KEYUP, key, 0xC0000001);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

// A toolbar button pressed with the mouse; position as the toolbar lays the buttons out.
static void toolbarClick(HWND dialog, int position) {
    HWND toolbar = GetDlgItem(GetDlgItem(dialog, IDC_TOOLBAR_HOST), IDC_TOOLBAR);
    RECT r = {};
    SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(toolbar, WM_LBUTTONUP, 0, at);
}

namespace {
struct TreeCommandWay {
    int command;
    int toolbarPosition;
    WPARAM key; // 0 when no key gives it
    bool shift;
};
const TreeCommandWay commandWays[] = {
    {IDM_NEW_AIRPORT, 0, VK_INSERT, false},
    {IDM_NEW_AIRPORT_FOLDER, 1, VK_INSERT, true},
    {IDM_NEW_TOUR, 3, 0, false},
    {IDM_NEW_TOUR_FOLDER, 4, 0, false},
    {IDM_CUT, 6, 0, false},
    {IDM_COPY, 7, 0, false},
    {IDM_PASTE, 8, 0, false},
    {IDM_DELETE, 10, VK_DELETE, false},
};
} // namespace

// The command through the tree's own path (as the popup menu sends it), the toolbar or the key,
// chosen at random; the operation is noted with the way before it runs.
void giveCommand(Run& run, int id, const std::string& what) {
    for (const TreeCommandWay& way : commandWays) {
        if (way.command != id)
            continue;
        const uint32_t how = run.pick(way.key ? 3 : 2);
        run.note(what + (how == 0 ? " by command" : how == 1 ? " by toolbar" : " by key"));
        if (how == 0)
            command(run.dialog, id);
        else if (how == 1)
            toolbarClick(run.dialog, way.toolbarPosition);
        else
            keyToTree(run.tree, way.key, way.shift);
    }
}

// ---- expectations shared by the operations ----

std::string label(const Snapshot& tree, int index) {
    return index < 0 ? std::string("(top level)") : "'" + tree.nodes[index].label + "'";
}

// The boxes seen during the operation, exactly: each expected text is the start of one.
bool expectBoxes(Run& run, const std::vector<std::string>& expected) {
    const std::vector<std::string> seen = run.newBoxes();
    bool fits = seen.size() == expected.size();
    for (size_t i = 0; fits && i < seen.size(); ++i)
        fits = seen[i].rfind(expected[i], 0) == 0;
    if (fits)
        return true;
    std::string text = "message boxes [";
    for (const std::string& s : seen)
        text += "\"" + s + "\" ";
    text += "] where [";
    for (const std::string& s : expected)
        text += "\"" + s + "...\" ";
    run.fail(text + "] were expected");
    return false;
}

// Every item that stays keeps its folder, and its order where nothing sorts.
bool expectSurvivors(Run& run, const Snapshot& before, const Snapshot& after,
                     const std::set<HTREEITEM>& removed) {
    std::map<HTREEITEM, std::vector<HTREEITEM>> groupsBefore, groupsAfter;
    for (const Node& node : before.nodes) {
        if (removed.count(node.item))
            continue;
        const int at = after.find(node.item);
        if (at < 0) {
            run.fail("'" + node.label + "' is gone from the tree");
            return false;
        }
        const HTREEITEM parent = node.parent < 0 ? nullptr : before.nodes[node.parent].item;
        const int parentAfter = after.nodes[at].parent;
        if (parent != (parentAfter < 0 ? nullptr : after.nodes[parentAfter].item)) {
            run.fail("'" + node.label + "' moved from " + label(before, node.parent) + " to " +
                     label(after, parentAfter));
            return false;
        }
        if (node.parent < 0 || !isTour(before.nodes[node.parent].kind()))
            groupsBefore[parent].push_back(node.item);
    }
    for (const Node& node : after.nodes) {
        const HTREEITEM parent = node.parent < 0 ? nullptr : after.nodes[node.parent].item;
        if (groupsBefore.count(parent) && before.find(node.item) >= 0 && !removed.count(node.item))
            groupsAfter[parent].push_back(node.item);
    }
    for (const auto& group : groupsBefore) {
        if (groupsAfter[group.first] != group.second) {
            run.fail("the order of the items in " + label(before, before.find(group.first)) +
                     " changed");
            return false;
        }
    }
    return true;
}

// The new items of the shape, matched to the tree from the given item down, take its fields.
bool adopt(Run& run, const Snapshot& after, int index, const Shape& shape) {
    const Node& node = after.nodes[index];
    if (node.kind() != shape.kind || node.children.size() != shape.children.size()) {
        run.fail("'" + node.label + "' is a " + kindName(node.kind()) + " of " +
                 std::to_string(node.children.size()) + " items where a " + kindName(shape.kind) +
                 " of " + std::to_string(shape.children.size()) + " was expected");
        return false;
    }
    run.model.saved[node.item] = shape.fields;
    if (shape.gaps)
        run.model.unnumbered.insert(node.item);
    for (size_t i = 0; i < shape.children.size(); ++i) {
        if (!adopt(run, after, node.children[i], shape.children[i]))
            return false;
    }
    return true;
}

void forget(Run& run, const std::set<HTREEITEM>& removed) {
    for (HTREEITEM item : removed) {
        run.model.saved.erase(item);
        run.model.unnumbered.erase(item);
        if (run.model.clip.source == item)
            run.model.clip.source = nullptr;
    }
    run.model.items -= removed.size();
}

std::set<HTREEITEM> itemsOf(const Snapshot& tree, const std::vector<int>& indexes) {
    std::set<HTREEITEM> out;
    for (int i : indexes)
        out.insert(tree.nodes[i].item);
    return out;
}

// The item the editor's selection moved to takes the editor; the one it left keeps it.
static void followSelection(Run& run, const Snapshot& before, const Snapshot& after,
                            const std::set<HTREEITEM>& removed) {
    if (after.selected == run.model.selected)
        return;
    const int left = before.find(run.model.selected);
    if (left >= 0 && !removed.count(run.model.selected))
        run.model.saved[run.model.selected] = savedAs(run.model.editor, before.nodes[left].kind());
    run.model.selected = after.selected;
    auto shown = run.model.saved.find(after.selected);
    if (shown != run.model.saved.end())
        run.model.editor = shown->second;
}

bool settle(Run& run, const Snapshot& before, const Snapshot& after,
            const std::set<HTREEITEM>& removed) {
    followSelection(run, before, after, removed);
    for (auto it = run.model.unnumbered.begin(); it != run.model.unnumbered.end();) {
        const int at = after.find(*it);
        bool clean = true;
        int number = 0;
        for (int child : after.nodes[at].children) {
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "%03d - ", ++number);
            if (after.nodes[child].kind() != Kind::tourItem)
                --number;
            else
                clean = clean && after.nodes[child].label.rfind(prefix, 0) == 0;
        }
        it = clean ? run.model.unnumbered.erase(it) : std::next(it);
    }
    const std::string wrong = checkTree(run.dialog, after, run.model);
    if (!wrong.empty())
        run.fail(wrong);
    return wrong.empty();
}

// The editor's fields into the selected item's record, as Cut, Copy, a drag and Export do first.
void storeEditor(Run& run, const Snapshot& tree) {
    const int at = tree.find(run.model.selected);
    if (at >= 0)
        run.model.saved[run.model.selected] = savedAs(run.model.editor, tree.nodes[at].kind());
}

int randomItem(Run& run, const Snapshot& tree) {
    return static_cast<int>(run.pick(static_cast<uint32_t>(tree.nodes.size())));
}

namespace {

// ---- selection and the editor ----

bool selectItem(Run& run) {
    const Snapshot before = takeSnapshot(run.tree);
    const int at = randomItem(run, before);
    run.note("select " + label(before, at));
    SendMessageA(run.tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(before.nodes[at].item));
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {}) && expectSurvivors(run, before, after, {}) &&
           settle(run, before, after, {});
}

bool treeKey(Run& run) {
    const WPARAM keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END};
    const char* names[] = {"Up", "Down", "Left", "Right", "Home", "End"};
    const uint32_t which = run.pick(6);
    const Snapshot before = takeSnapshot(run.tree);
    run.note(std::string("key ") + names[which] + " in the tree");
    keyToTree(run.tree, keys[which], false);
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {}) && expectSurvivors(run, before, after, {}) &&
           settle(run, before, after, {});
}

} // namespace

std::string digits(Run& run, int low, int high) {
    return std::to_string(low + static_cast<int>(run.pick(static_cast<uint32_t>(high - low + 1))));
}

std::string randomName(Run& run) {
    static const char* const words[] = {"Lake",   "Field", "North",  "Bay", "Ridge", "Muni", "St.",
                                        "O'Hare", "Port",  "Valley", "Gap", "Intl",  "Mesa"};
    std::string name = words[run.pick(13)];
    while (run.chance(55))
        name += std::string(" ") + words[run.pick(13)];
    if (run.chance(30))
        name += " " + digits(run, 1, 999);
    if (run.chance(10))
        name += "  ";
    return name;
}

namespace {

struct EditTarget {
    int id;
    Field field;
    size_t width;
    const char* name;
};
const EditTarget editTargets[] = {
    {IDC_IDENT, fIdent, 5, "ident"},
    {IDC_NAME, fName, 24, "name"},
    {IDC_LATITUDE_DEGREES, fLatD, 3, "latitude degrees"},
    {IDC_LATITUDE_MINUTES, fLatM, 2, "latitude minutes"},
    {IDC_LATITUDE_SECONDS, fLatS, 2, "latitude seconds"},
    {IDC_LONGITUDE_DEGREES, fLonD, 3, "longitude degrees"},
    {IDC_LONGITUDE_MINUTES, fLonM, 2, "longitude minutes"},
    {IDC_LONGITUDE_SECONDS, fLonS, 2, "longitude seconds"},
    {IDC_TOUR_ALTITUDE, fAltitude, 5, "tour altitude"},
    {IDC_AIRPORT_ALTITUDE, fieldCount, 5, "airport altitude"},
};

// A value for the field, in range or (less often) out of it, as a pilot might type it.
std::string typedValue(Run& run, const EditTarget& target) {
    const bool wrong = run.chance(20);
    switch (target.field) {
    case fIdent: {
        std::string ident;
        const uint32_t length = 1 + run.pick(wrong ? 7 : 5);
        for (uint32_t i = 0; i < length; ++i)
            ident += "ABCDEFGHJKLMNPQRSTUVWXYZ0123456789kxy"[run.pick(37)];
        return ident;
    }
    case fName:
        return wrong ? randomName(run) + " Regional Airfield Complex" : randomName(run);
    case fLatD:
        return wrong ? digits(run, 91, 999) : (run.chance(5) ? "90" : digits(run, 0, 89));
    case fLonD:
        return wrong ? digits(run, 181, 999) : (run.chance(5) ? "180" : digits(run, 0, 179));
    case fAltitude:
    case fieldCount:
        if (wrong)
            return run.chance(50) ? digits(run, 99997, 99999) : digits(run, 100000, 999999);
        return digits(run, 0, run.chance(30) ? 99996 : 9999);
    default:
        if (wrong)
            return run.chance(50) ? digits(run, 60, 99) : digits(run, 100, 599);
        return run.chance(10) ? digits(run, 0, 5) + "x" : digits(run, 0, 59);
    }
}

// What the record takes from the control after the typing.
std::string fieldValue(const EditTarget& target, const std::string& typed) {
    std::string text;
    for (char c : typed) {
        if (target.id == IDC_NAME)
            text += c;
        else if (target.id == IDC_IDENT)
            text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        else if (std::isdigit(static_cast<unsigned char>(c)))
            text += c;
    }
    text = text.substr(0, target.width);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool altitudeInRange(const std::string& value) {
    return std::atoi(value.c_str()) <= 99996;
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool typeField(Run& run, const EditTarget& target, const std::string& typed) {
    const Snapshot before = takeSnapshot(run.tree);
    run.note("type '" + typed + "' into the " + target.name);
    type(run.dialog, target.id, typed);
    const std::string value = fieldValue(target, typed);
    if (target.field == fieldCount)
        run.model.airportAltitude = value;
    else
        run.model.editor[target.field] = value;
    if (target.id == IDC_AIRPORT_ALTITUDE || target.id == IDC_TOUR_ALTITUDE)
        run.model.invalidAltitude = altitudeInRange(value) ? 0 : target.id;
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {}) && settle(run, before, after, {});
}

bool clickOption(Run& run, int id, const char* name) {
    const Snapshot before = takeSnapshot(run.tree);
    run.note(std::string("click ") + name);
    const bool wasChecked = IsDlgButtonChecked(run.dialog, id) == BST_CHECKED;
    clickButton(run.dialog, id);
    Fields& editor = run.model.editor;
    switch (id) {
    case IDC_NORTH:
    case IDC_SOUTH:
        editor[fLatH] = id == IDC_NORTH ? "N" : "S";
        break;
    case IDC_EAST:
    case IDC_WEST:
        editor[fLonH] = id == IDC_EAST ? "E" : "W";
        break;
    case IDC_TOUR_ALTITUDE_HOLD:
        editor[fHold] = wasChecked ? "" : "1";
        break;
    case IDC_CURRENT_READ: // the aircraft waits at 45 degrees south, 90 west
        editor[fLatH] = "S";
        editor[fLatD] = "45";
        editor[fLatM] = editor[fLatS] = editor[fLonM] = editor[fLonS] = "0";
        editor[fLonH] = "W";
        editor[fLonD] = "90";
        break;
    default:
        break;
    }
    const Snapshot after = takeSnapshot(run.tree);
    return expectBoxes(run, {}) && settle(run, before, after, {});
}

bool editSomething(Run& run) {
    std::vector<const EditTarget*> edits;
    for (const EditTarget& target : editTargets) {
        if (enabled(run.dialog, target.id))
            edits.push_back(&target);
    }
    static const std::pair<int, const char*> options[] = {
        {IDC_NORTH, "N"},
        {IDC_SOUTH, "S"},
        {IDC_EAST, "E"},
        {IDC_WEST, "W"},
        {IDC_AIRPORT_AUTOPILOT_ON, "airport autopilot On"},
        {IDC_AIRPORT_AUTOPILOT_OFF, "airport autopilot Off"},
        {IDC_AIRPORT_ALTITUDE_HOLD, "airport altitude hold"},
        {IDC_TOUR_AUTOPILOT_ON, "tour autopilot On"},
        {IDC_TOUR_AUTOPILOT_OFF, "tour autopilot Off"},
        {IDC_TOUR_ALTITUDE_HOLD, "tour altitude hold"},
        {IDC_CURRENT_READ, "Cur. Read"},
    };
    std::vector<std::pair<int, const char*>> clicks;
    for (const auto& option : options) {
        if (enabled(run.dialog, option.first))
            clicks.push_back(option);
    }
    if (!clicks.empty() && (edits.empty() || run.chance(35))) {
        const auto& option = clicks[run.pick(static_cast<uint32_t>(clicks.size()))];
        return clickOption(run, option.first, option.second);
    }
    const EditTarget& target = *edits[run.pick(static_cast<uint32_t>(edits.size()))];
    return typeField(run, target, typedValue(run, target));
}

// While an altitude edit holds a value out of range, whatever the pilot does elsewhere brings
// its message back and changes nothing; typing a value in range mends it.
bool whileAltitudeInvalid(Run& run) {
    const int edit = run.model.invalidAltitude;
    if (run.chance(40))
        return mendAltitude(run);
    const Snapshot before = takeSnapshot(run.tree);
    const std::string editorBefore = controlText(run.dialog, edit);
    switch (run.pick(4)) {
    case 0:
        run.note("(altitude out of range) tree command New Airport");
        command(run.dialog, IDM_NEW_AIRPORT);
        break;
    case 1:
        run.note("(altitude out of range) key Down in the tree");
        keyToTree(run.tree, VK_DOWN, false);
        break;
    case 2:
        run.note("(altitude out of range) OK");
        clickButton(run.dialog, IDOK);
        break;
    default:
        run.note("(altitude out of range) Cancel");
        clickButton(run.dialog, IDCANCEL);
        break;
    }
    const Snapshot after = takeSnapshot(run.tree);
    const std::vector<std::string> seen = run.newBoxes();
    if (seen.empty() || std::any_of(seen.begin(), seen.end(),
                                    [](const std::string& s) { return s != altitudeMessage; }))
        return expectBoxes(run, {altitudeMessage});
    if (!IsWindowVisible(run.dialog) || controlText(run.dialog, edit) != editorBefore) {
        run.fail("the dialog closed or the altitude changed while the altitude was out of range");
        return false;
    }
    if (after.nodes.size() != before.nodes.size() || after.selected != before.selected) {
        run.fail("the tree changed while the altitude was out of range");
        return false;
    }
    return settle(run, before, after, {});
}

} // namespace

bool mendAltitude(Run& run) {
    const int edit = run.model.invalidAltitude;
    const EditTarget& target = *std::find_if(std::begin(editTargets), std::end(editTargets),
                                             [edit](const EditTarget& t) { return t.id == edit; });
    return typeField(run, target, digits(run, 0, 99996));
}

bool randomOperation(Run& run) {
    if (run.model.invalidAltitude)
        return whileAltitudeInvalid(run);
    const uint32_t roll = run.pick(100);
    if (roll < 22)
        return selectItem(run);
    if (roll < 28)
        return treeKey(run);
    if (roll < 55)
        return editSomething(run);
    return treeOperation(run);
}

std::string typeValidPosition(Run& run) {
    const EditTarget* latitude = &editTargets[2];
    const EditTarget* longitude = &editTargets[5];
    std::string all;
    for (const EditTarget* first : {latitude, longitude}) {
        for (int i = 0; i < 3; ++i) {
            const EditTarget& target = first[i];
            const std::string value = digits(run, 1, i == 0 ? 80 : 59);
            type(run.dialog, target.id, value);
            run.model.editor[target.field] = value;
            all += value + " ";
        }
    }
    return all;
}
