// The tree, the editor and the database file as a pilot's tools see them from outside, and the
// rules that hold after every operation.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/db_record.h"
#include "dialog/dialog_resources.h"
#include "dialog/tree_items.h"
#include "tests/win32/edit_sequence_parts.h"
#include "testkit/settings_session.h"

bool isFolder(Kind kind) {
    return kind == Kind::airportFolder || kind == Kind::tourFolder;
}

bool isTour(Kind kind) {
    return kind == Kind::tourItem || kind == Kind::tourFolder;
}

Kind kindOfWord(uint32_t word) {
    const uint32_t kind = itemKind(word);
    if (isFolderKind(kind))
        return isTourKind(kind) ? Kind::tourFolder : Kind::airportFolder;
    return isTourKind(kind) ? Kind::tourItem : Kind::airport;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::airport:
        return "airport";
    case Kind::tourItem:
        return "tour item";
    case Kind::airportFolder:
        return "airport folder";
    case Kind::tourFolder:
        return "tour folder";
    }
    return "?";
}

Fields blankFields(const char* name) {
    Fields f{};
    f[fName] = name;
    f[fLatH] = "N";
    f[fLonH] = "E";
    return f;
}

std::vector<Field> fieldsOf(Kind kind) {
    const std::vector<Field> position = {fLatH, fLatD, fLatM, fLatS, fLonH, fLonD, fLonM, fLonS};
    std::vector<Field> out = {fName};
    if (isFolder(kind))
        return out;
    if (kind == Kind::airport)
        out.push_back(fIdent);
    out.insert(out.end(), position.begin(), position.end());
    if (kind == Kind::tourItem) {
        out.push_back(fHold);
        out.push_back(fAltitude);
    }
    return out;
}

Fields savedAs(Fields fields, Kind kind) {
    if (!isTour(kind))
        fields[fHold] = fields[fAltitude] = "";
    return fields;
}

Fields fittedTo(Fields fields, Kind from, Kind to) {
    if (isTour(from) == isTour(to))
        return fields;
    fields[fIdent] = "";
    if (!isTour(to))
        fields[fHold] = fields[fAltitude] = "";
    return fields;
}

Shape pastedShape(const Shape& copied) {
    Shape out{copied.kind, copied.fields, {}, copied.gaps};
    for (auto it = copied.children.rbegin(); it != copied.children.rend(); ++it) {
        if (isFolder(it->kind))
            out.children.push_back(pastedShape(*it));
    }
    for (const Shape& child : copied.children) {
        if (!isFolder(child.kind))
            out.children.push_back(child);
    }
    return out;
}

size_t shapeSize(const Shape& shape) {
    size_t size = 1;
    for (const Shape& child : shape.children)
        size += shapeSize(child);
    return size;
}

int Snapshot::find(HTREEITEM item) const {
    auto at = index.find(item);
    return at == index.end() ? -1 : at->second;
}

const std::vector<int>& Snapshot::group(int parent) const {
    return parent < 0 ? top : nodes[parent].children;
}

std::vector<int> Snapshot::subtree(int root) const {
    std::vector<int> out = {root};
    for (size_t i = 0; i < out.size(); ++i) {
        for (int child : nodes[out[i]].children)
            out.push_back(child);
    }
    return out;
}

static void walk(HWND tree, HTREEITEM first, int parent, int depth, Snapshot& out) {
    for (HTREEITEM item = first; item; item = treeStep(tree, item, TVGN_NEXT)) {
        const int index = static_cast<int>(out.nodes.size());
        out.index[item] = index;
        out.nodes.push_back({item, parent, depth, itemText(tree, item), itemData(tree, item), {}});
        (parent < 0 ? out.top : out.nodes[parent].children).push_back(index);
        walk(tree, treeStep(tree, item, TVGN_CHILD), index, depth + 1, out);
    }
}

Snapshot takeSnapshot(HWND tree) {
    Snapshot out;
    walk(tree, treeStep(tree, nullptr, TVGN_ROOT), -1, 1, out);
    out.selected = treeStep(tree, nullptr, TVGN_CARET);
    return out;
}

Shape shapeOf(const Snapshot& tree, int index, const Model& model) {
    const Node& node = tree.nodes[index];
    auto saved = model.saved.find(node.item);
    Shape out{node.kind(),
              saved != model.saved.end() ? saved->second : Fields{},
              {},
              model.unnumbered.count(node.item) != 0};
    if (node.item == model.selected)
        out.fields = savedAs(model.editor, node.kind());
    for (int child : node.children)
        out.children.push_back(shapeOf(tree, child, model));
    return out;
}

std::string readWholeFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

static Fields fieldsOfRecord(const RecordBuffer& r) {
    return {r.ident,      r.name,       r.latHemisphere,    r.latDegrees,
            r.latMinutes, r.latSeconds, r.lonHemisphere,    r.lonDegrees,
            r.lonMinutes, r.lonSeconds, r.altitudeHoldFlag, r.altitude};
}

std::vector<Fields> databaseRecords(std::string& levels, std::string& tourFlags) {
    const std::string bytes = readWholeFile("TarvixDb.dat");
    std::vector<Fields> out;
    levels.clear();
    tourFlags.clear();
    for (size_t at = 0; at + recordSize <= bytes.size(); at += recordSize) {
        RecordBuffer r;
        decodeRecord(reinterpret_cast<const uint8_t*>(bytes.data() + at), recordSize, r);
        out.push_back(fieldsOfRecord(r));
        levels += std::string(r.level) + "|";
        tourFlags += r.tourFlag[0] ? r.tourFlag[0] : ' ';
    }
    return out;
}

static std::string controlTextCut(HWND dialog, int id, size_t characters) {
    std::string text = controlText(dialog, id).substr(0, characters);
    return text;
}

static std::string trimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

Fields editorFields(HWND dialog) {
    auto checked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    Fields f;
    f[fIdent] = trimmed(controlTextCut(dialog, IDC_IDENT, 5));
    f[fName] = trimmed(controlTextCut(dialog, IDC_NAME, 24));
    f[fLatH] = checked(IDC_NORTH) ? "N" : "S";
    f[fLatD] = trimmed(controlTextCut(dialog, IDC_LATITUDE_DEGREES, 3));
    f[fLatM] = trimmed(controlTextCut(dialog, IDC_LATITUDE_MINUTES, 2));
    f[fLatS] = trimmed(controlTextCut(dialog, IDC_LATITUDE_SECONDS, 2));
    f[fLonH] = checked(IDC_EAST) ? "E" : "W";
    f[fLonD] = trimmed(controlTextCut(dialog, IDC_LONGITUDE_DEGREES, 3));
    f[fLonM] = trimmed(controlTextCut(dialog, IDC_LONGITUDE_MINUTES, 2));
    f[fLonS] = trimmed(controlTextCut(dialog, IDC_LONGITUDE_SECONDS, 2));
    f[fHold] = checked(IDC_TOUR_ALTITUDE_HOLD) ? "1" : "";
    f[fAltitude] = controlTextCut(dialog, IDC_TOUR_ALTITUDE, 5);
    return f;
}

static const char* const fieldNames[fieldCount] = {
    "ident",          "name",        "lat hemisphere", "lat degrees", "lat minutes", "lat seconds",
    "lon hemisphere", "lon degrees", "lon minutes",    "lon seconds", "hold",        "altitude"};

// The first field of the kind that differs, as "name 'a' where 'b' was expected".
static std::string difference(const Fields& seen, const Fields& expected, Kind kind) {
    for (Field f : fieldsOf(kind)) {
        if (seen[f] != expected[f])
            return std::string(fieldNames[f]) + " '" + seen[f] + "' where '" + expected[f] +
                   "' was expected";
    }
    return {};
}

std::string recordText(const Fields& f, Kind kind) {
    std::string out = std::string(kindName(kind)) + " '" + f[fName] + "'";
    if (kind == Kind::airport)
        out += " ident '" + f[fIdent] + "'";
    if (!isFolder(kind))
        out += " " + f[fLatH] + f[fLatD] + " " + f[fLatM] + " " + f[fLatS] + " " + f[fLonH] +
               f[fLonD] + " " + f[fLonM] + " " + f[fLonS];
    if (kind == Kind::tourItem)
        out += " hold '" + f[fHold] + "' altitude '" + f[fAltitude] + "'";
    return out;
}

static std::string tourLabel(const std::string& ident, const std::string& name) {
    char numbered[48];
    std::snprintf(numbered, sizeof numbered, "%03d - %s", std::atoi(ident.c_str()), name.c_str());
    return numbered;
}

// The label the item's kind gives its record. The label takes the name as typed, the record
// without its trailing spaces, which no one sees.
static bool labelFits(const Node& node, const Fields& record) {
    std::string label = node.label;
    label.erase(label.find_last_not_of(' ') + 1);
    switch (node.kind()) {
    case Kind::airportFolder:
    case Kind::tourFolder:
        return label == " " + record[fName] || (record[fName].empty() && label.empty());
    case Kind::airport:
        return label == record[fName];
    case Kind::tourItem:
        return label == record[fIdent] + " - " + record[fName] ||
               label == tourLabel(record[fIdent], record[fName]);
    }
    return false;
}

static std::string checkItems(const Snapshot& tree, const Model& model,
                              const std::vector<Fields>& records, const std::string& tourFlags) {
    std::set<int32_t> named;
    for (const Node& node : tree.nodes) {
        const int32_t number = itemRecordNumber(node.word);
        const std::string item = std::string(kindName(node.kind())) + " '" + node.label + "'";
        if (number < 1 || number > static_cast<int32_t>(records.size()))
            return item + " names record " + std::to_string(number) + " of " +
                   std::to_string(records.size());
        if (!named.insert(number).second)
            return item + " names record " + std::to_string(number) + ", as another item does";
        const Fields& record = records[number - 1];
        if ((tourFlags[number - 1] == '1') != isTour(node.kind()))
            return item + ": its record's tour flag is '" + tourFlags[number - 1] + "'";
        if (!labelFits(node, record))
            return item + ": its record reads " + recordText(record, node.kind());
        auto expected = model.saved.find(node.item);
        if (expected == model.saved.end())
            return item + " was not made by any operation";
        std::string wrong = difference(record, expected->second, node.kind());
        // The item being edited may have taken the editor already (a paste of it, an export).
        if (!wrong.empty() && node.item == model.selected &&
            difference(record, savedAs(model.editor, node.kind()), node.kind()).empty())
            wrong.clear();
        if (!wrong.empty())
            return item + ": its record holds " + wrong;
    }
    return {};
}

// Tour items count 001, 002 ... in every group, airports and folders between them not counted.
static std::string checkNumbering(const Snapshot& tree, const Model& model) {
    auto groupOf = [&](int parent) -> std::string {
        if (parent >= 0 && model.unnumbered.count(tree.nodes[parent].item))
            return {};
        int number = 0;
        for (int index : tree.group(parent)) {
            const Node& node = tree.nodes[index];
            if (node.kind() != Kind::tourItem)
                continue;
            char expected[16];
            std::snprintf(expected, sizeof expected, "%03d - ", ++number);
            if (node.label.rfind(expected, 0) != 0)
                return "tour item '" + node.label + "' is number " + std::to_string(number) +
                       " of its group" +
                       (parent >= 0 ? " in '" + tree.nodes[parent].label + "'" : "");
        }
        return {};
    };
    std::string wrong = groupOf(-1);
    for (size_t i = 0; i < tree.nodes.size() && wrong.empty(); ++i)
        wrong = groupOf(static_cast<int>(i));
    return wrong;
}

// Which of the editor's controls a pilot can reach for the selected item's kind.
static std::string checkEnabled(HWND dialog, Kind kind) {
    auto enabled = [dialog](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
    auto checked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    const bool entry = !isFolder(kind), airport = kind == Kind::airport,
               tour = kind == Kind::tourItem;
    const std::pair<int, bool> rules[] = {
        {IDC_NAME, true},
        {IDC_NORTH, entry},
        {IDC_LATITUDE_DEGREES, entry},
        {IDC_LONGITUDE_SECONDS, entry},
        {IDC_CURRENT_READ, entry},
        {IDC_IDENT, airport},
        {IDC_AIRPORT_AUTOPILOT_ON, airport},
        {IDC_AIRPORT_AUTOPILOT_OFF, airport},
        {IDC_AIRPORT_ALTITUDE_HOLD, airport && checked(IDC_AIRPORT_AUTOPILOT_ON)},
        {IDC_AIRPORT_ALTITUDE,
         airport && checked(IDC_AIRPORT_AUTOPILOT_ON) && checked(IDC_AIRPORT_ALTITUDE_HOLD)},
        {IDC_TOUR_AUTOPILOT_ON, tour},
        {IDC_TOUR_AUTOPILOT_OFF, tour},
        {IDC_TOUR_ALTITUDE_HOLD, tour && checked(IDC_TOUR_AUTOPILOT_ON)},
        {IDC_TOUR_ALTITUDE,
         tour && checked(IDC_TOUR_AUTOPILOT_ON) && checked(IDC_TOUR_ALTITUDE_HOLD)},
    };
    for (const auto& rule : rules) {
        if (enabled(rule.first) != rule.second)
            return "control " + std::to_string(rule.first) + " is " +
                   (rule.second ? "disabled" : "enabled") + " for a selected " + kindName(kind);
    }
    return {};
}

std::string checkTree(HWND dialog, const Snapshot& tree, const Model& model) {
    if (tree.nodes.size() != model.items)
        return "the tree shows " + std::to_string(tree.nodes.size()) + " items where " +
               std::to_string(model.items) + " should be";
    std::string levels, tourFlags;
    const std::vector<Fields> records = databaseRecords(levels, tourFlags);
    if (static_cast<int32_t>(records.size()) != model.records)
        return "the database holds " + std::to_string(records.size()) + " records where " +
               std::to_string(model.records) + " should be";
    if (tree.selected != model.selected)
        return "the selection is on '" + itemText(GetDlgItem(dialog, IDC_TREE), tree.selected) +
               "', not on the item the operations left selected";
    std::string wrong = checkItems(tree, model, records, tourFlags);
    if (wrong.empty())
        wrong = checkNumbering(tree, model);
    const int selected = tree.find(tree.selected);
    if (wrong.empty() && selected >= 0) {
        const Kind kind = tree.nodes[selected].kind();
        wrong = difference(editorFields(dialog), model.editor, kind);
        if (!wrong.empty())
            wrong = "the editor of " + std::string(kindName(kind)) + " '" +
                    tree.nodes[selected].label + "' shows " + wrong;
        else
            wrong = checkEnabled(dialog, kind);
    }
    return wrong;
}

static int wholeNumber(const std::string& text) {
    return std::atoi(text.c_str());
}

// 0 within range, 1 past it (degrees above the highest, minutes or seconds above 59, or past
// the pole or the date line).
static bool outOfRange(const Fields& f, Field degrees, int highest) {
    const int d = wholeNumber(f[degrees]), m = wholeNumber(f[degrees + 1]),
              s = wholeNumber(f[degrees + 2]);
    return d > highest || m > 59 || s > 59 || (d == highest && (m > 0 || s > 0));
}

LineFate lineFate(const Fields& line) {
    bool visible = false;
    for (Field f : {fIdent, fName, fLatD, fLatM, fLatS, fLonD, fLonM, fLonS})
        visible = visible || line[f].find_first_not_of(' ') != std::string::npos;
    if (!visible)
        return LineFate::blank;
    if (outOfRange(line, fLatD, 90) || outOfRange(line, fLonD, 180))
        return LineFate::refused;
    bool zero = true, blank = true;
    for (Field f : {fLatD, fLatM, fLatS, fLonD, fLonM, fLonS}) {
        zero = zero && wholeNumber(line[f]) == 0;
        blank = blank && line[f].empty();
    }
    return zero && !blank ? LineFate::refused : LineFate::imported;
}

int positionError(const Fields& f) {
    auto wrong = [&f](Field degrees, int highest) {
        return wholeNumber(f[degrees]) > highest || wholeNumber(f[degrees + 1]) > 59 ||
               std::atof(f[degrees + 2].c_str()) > 59;
    };
    if (wrong(fLatD, 90))
        return 1;
    return wrong(fLonD, 180) ? 2 : 0;
}
