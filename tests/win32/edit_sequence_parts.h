// The pieces of the random edit sequences (edit_sequence.h): what the tree looks like from
// outside, what the operations should have left (the model), the rules checked after each
// operation, and the operations themselves.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/message_boxes.h"
#include "tests/win32/edit_sequence.h"

// ---- what an item holds ----

enum Field {
    fIdent,
    fName,
    fLatH,
    fLatD,
    fLatM,
    fLatS,
    fLonH,
    fLonD,
    fLonM,
    fLonS,
    fHold,
    fAltitude,
    fieldCount
};
using Fields = std::array<std::string, fieldCount>;

enum class Kind { airport, tourItem, airportFolder, tourFolder };
bool isFolder(Kind kind);
bool isTour(Kind kind);
Kind kindOfWord(uint32_t word);
const char* kindName(Kind kind);

// A new item's fields: only the name, the hemispheres "N" and "E".
Fields blankFields(const char* name);
// The fields the rules give meaning to for the kind, compared one by one.
std::vector<Field> fieldsOf(Kind kind);
// What the item's record keeps when the editor is saved into it.
Fields savedAs(Fields fields, Kind kind);
// An entry copied onto the other kind: a tour item loses its tour columns and identifier, an
// airport its identifier.
Fields fittedTo(Fields fields, Kind from, Kind to);

// A subtree's content, as a copy carries it.
struct Shape {
    Kind kind;
    Fields fields;
    std::vector<Shape> children;
    bool gaps = false; // an imported tour whose file left numbers out
};
// What a paste of the copied subtree puts in: the folders of each group first, in reverse
// order, then the entries in their order.
Shape pastedShape(const Shape& copied);
size_t shapeSize(const Shape& shape);

// ---- the tree from outside ----

struct Node {
    HTREEITEM item;
    int parent; // index, -1 at the top level
    int depth;  // 1 at the top level
    std::string label;
    uint32_t word;
    std::vector<int> children;
    Kind kind() const { return kindOfWord(word); }
};

struct Snapshot {
    std::vector<Node> nodes; // depth first
    std::vector<int> top;
    HTREEITEM selected = nullptr;
    std::map<HTREEITEM, int> index;
    int find(HTREEITEM item) const; // -1 when absent
    const std::vector<int>& group(int parent) const;
    std::vector<int> subtree(int index) const; // the item and everything inside it
};
Snapshot takeSnapshot(HWND tree);

// ---- what the operations should have left ----

struct Clipboard {
    bool set = false;           // a Copy or Cut was chosen
    HTREEITEM source = nullptr; // the copied item while it exists and the file holds its copy
    Shape copy{};               // as copied
};

// An exchange file as its lines should read; a blank line has every field empty.
struct ExchangeFileModel {
    bool exists = false;
    std::vector<Fields> lines;
};

struct Model {
    std::map<HTREEITEM, Fields> saved; // what each item's record holds
    HTREEITEM selected = nullptr;
    Fields editor{}; // what the editor shows for the selected item
    size_t items = 0;
    int32_t records = 0;
    Clipboard clip;
    std::set<HTREEITEM> unnumbered; // imported tours whose file left numbers out
    int invalidAltitude = 0;        // the altitude edit holding an out-of-range value, or 0
    std::string airportAltitude;    // edit 1016's text
    ExchangeFileModel airportFile, tourFile;
};

// The subtree's content, the selected item's as the editor shows it.
Shape shapeOf(const Snapshot& tree, int index, const Model& model);

// ---- the rules ----

// Reads the editor's controls as the record would take them.
Fields editorFields(HWND dialog);
std::vector<Fields> databaseRecords(std::string& levels, std::string& tourFlags);
// Every rule that holds after any operation; the first broken one, or empty.
std::string checkTree(HWND dialog, const Snapshot& tree, const Model& model);
// Whether an exchange line is left out silently, refused (and counted in the message), or taken.
enum class LineFate { blank, refused, imported };
LineFate lineFate(const Fields& line);
// The position check of OK: 0 fine, 1 latitude error, 2 longitude error.
int positionError(const Fields& fields);
std::string readWholeFile(const char* name);
std::string recordText(const Fields& fields, Kind kind);

// ---- the run ----

struct Run {
    SequencePlan plan;
    SequenceOutcome* outcome;
    std::mt19937 random;
    HWND dialog = nullptr;
    HWND tree = nullptr;
    MessageBoxAnswerer* answerer = nullptr;
    size_t boxesBefore = 0;
    Model model;
    std::string failure;

    uint32_t pick(uint32_t count) { return count ? random() % count : 0; }
    bool chance(int percent) { return static_cast<int>(random() % 100) < percent; }
    void note(const std::string& what); // the running operation's description
    void fail(const std::string& why);
    std::vector<std::string> newBoxes() const;
};

// One random operation that a pilot could do now, run and checked. False once a rule is broken.
bool randomOperation(Run& run);
// OK (mending what refuses it first) or Cancel; the dialog has ended when it returns true. An OK
// that no entry is left to choose for becomes a Cancel, and ok says so.
bool closeDialog(Run& run, bool& ok, Snapshot& shown);
// The altitude edit that holds a value out of range given one in range, as the pilot must before
// OK or Cancel does anything.
bool mendAltitude(Run& run);
// The editor's position typed anew within range; returns what was typed.
std::string typeValidPosition(Run& run);
// What every operation ends with: the selection followed, and the rules of any moment.
bool settle(Run& run, const Snapshot& before, const Snapshot& after,
            const std::set<HTREEITEM>& removed);
// Helpers the operations share.
// The tree's command by its own path, the toolbar or a key, noted as what it does.
void giveCommand(Run& run, int id, const std::string& what);
std::string label(const Snapshot& tree, int index);
// The boxes seen during the operation, exactly: each expected text is the start of one.
bool expectBoxes(Run& run, const std::vector<std::string>& expected);
// Every item that stays keeps its folder, and its order where nothing sorts.
bool expectSurvivors(Run& run, const Snapshot& before, const Snapshot& after,
                     const std::set<HTREEITEM>& removed);
// The new items of the shape, matched to the tree from the given item down, take its fields.
bool adopt(Run& run, const Snapshot& after, int index, const Shape& shape);
void forget(Run& run, const std::set<HTREEITEM>& removed);
std::set<HTREEITEM> itemsOf(const Snapshot& tree, const std::vector<int>& indexes);
void storeEditor(Run& run, const Snapshot& tree);
int randomItem(Run& run, const Snapshot& tree);
std::string digits(Run& run, int low, int high);
std::string randomName(Run& run);
// One of the tree's commands, a drag, an import or export, or an OK that must be refused.
bool treeOperation(Run& run);
