// Editing the settings dialog's tree as a pilot does, on the real tree control in the real
// dialog: the commands (which the toolbar, the popup menu and the keys all send to the tree),
// the clipboard, drag and drop, sorting, and what the database file holds afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "testkit/db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "testkit/refused_opens.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"
#include "tests/win32/file_faults.h"

namespace {

// An expected tree, one item a line, each line's leading '>' counting its depth.
std::string outline(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        std::string text(line);
        size_t depth = text.find_first_not_of('>');
        out += std::string(2 * depth, ' ') + text.substr(depth) + "\n";
    }
    return out;
}

// Chicago holds two airports and a folder, Lake a tour of three.
std::string lakeDatabase() {
    return folderLine("Chicago", 1) + airportLine("KMDW", "Midway") +
           airportLine("KORD", "O'Hare") + folderLine("Suburbs", 2) + airportLine("KGYY", "Gary") +
           folderLine("Lake", 1, true) + tourItemLine(1, "Milwaukee", "3000") +
           tourItemLine(2, "Escanaba") + tourItemLine(3, "Muskegon");
}

const std::string lakeTree =
    outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Milwaukee",
             ">002 - Escanaba", ">003 - Muskegon"});

// The tree that a database file makes when it is loaded: folders by their levels, entries in
// the last folder, labels as the tree shows them.
std::string fileOutline(const std::string& bytes) {
    std::string out;
    int depth = 0;
    for (size_t at = 0; at + 64 <= bytes.size(); at += 64) {
        auto field = [&](size_t column, size_t width) {
            std::string text = bytes.substr(at + column, width);
            return text.substr(0, text.find_last_not_of(' ') + 1);
        };
        const int level = std::atoi(field(46, 2).c_str());
        const std::string name = field(5, 24);
        if (level >= 1) {
            depth = level;
            out += std::string(2 * (level - 1), ' ') + " " + name + "\n";
        } else if (field(48, 1) == "1") {
            out += std::string(2 * depth, ' ') + field(0, 5) + " - " + name + "\n";
        } else {
            out += std::string(2 * depth, ' ') + name + "\n";
        }
    }
    return out;
}

// Steps of a pilot's edit, each made from labels, so that a case reads as what the pilot does.
using Steps = std::vector<DialogDriver::Step>;

Steps operator+(Steps a, const Steps& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Steps pick(const char* label, int id) {
    return {[=](HWND dialog) {
        selectLabel(dialog, label);
        command(dialog, id);
    }};
}

// Selects the item and types a new name into the editor, without moving on.
Steps rename(const char* label, const char* name) {
    return {[=](HWND dialog) {
        selectLabel(dialog, label);
        type(dialog, IDC_NAME, name);
    }};
}

Steps drag(const char* source, const char* target, bool control) {
    return {[=](HWND dialog) { startDrag(dialog, source); },
            [=](HWND dialog) { dropOn(dialog, target, control); }};
}

// The tree control refusing one new item, as a control short of memory does: a procedure of the
// test's own in front of the tree's answers the k-th TVM_INSERTITEM from its installation with
// no item.
struct InsertRefusal {
    WNDPROC next = nullptr;
    int insertsLeft = 0;
};
InsertRefusal refusal;

LRESULT CALLBACK refusingTreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TVM_INSERTITEMA && --refusal.insertsLeft == 0)
        return 0;
    return CallWindowProcA(refusal.next, tree, message, wParam, lParam);
}

void refuseInsert(HWND tree, int k) {
    refusal.insertsLeft = k;
    refusal.next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&refusingTreeProc)));
}

Steps refuseInsert(int k) {
    return {[=](HWND dialog) { refuseInsert(treeOf(dialog), k); }};
}

// A case of edits: the tree they leave, and the start of each message they bring, in order.
struct EditCase {
    const char* what;
    std::string database;
    Steps steps;
    std::string tree;
    std::vector<std::string> messages;
};

class TreeEditing : public SettingsSession {
  protected:
    void expectEdits(const EditCase& c) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", c.database);
        std::string tree;
        run(c.steps + Steps{[&](HWND dialog) { tree = treeText(treeOf(dialog)); }, pressCancel});
        EXPECT_EQ(tree, c.tree);
        const std::vector<std::string> seen = boxTexts();
        EXPECT_EQ(seen.size(), c.messages.size());
        for (size_t i = 0; i < seen.size() && i < c.messages.size(); ++i)
            EXPECT_EQ(seen[i].rfind(c.messages[i], 0), 0u) << seen[i];
        EXPECT_EQ(readFileBytes("TarvixDb.dat"), c.database) << "Cancel puts the file back";
    }
};

// A step of a case: select the item with the label, then give the tree the command.
struct Action {
    const char* select;
    int command;
};

struct CommandCase {
    const char* what;
    std::string database;
    std::vector<Action> actions;
    std::string tree;                  // afterwards
    std::vector<std::string> messages; // in order
    const char* selected;              // afterwards, nullptr: not looked at
};

// What a copy takes, how a paste fits and places it and how a tour is numbered are the tree
// plan's and the record rules' (tests/native/test_tree_plan*.cpp, test_record_rules.cpp); the
// rows here show each command reaching them, with what the dialog decides itself: what is
// refused and said, where a new item or a paste goes among the items, what is selected after.
TEST_F(TreeEditing, CommandsActOnTheSelectionWithTheirRules) {
    const std::string only = folderLine("Only", 1) + airportLine("A", "Alpha");
    const CommandCase cases[] = {
        {"the only top-level item is never deleted",
         only,
         {{" Only", IDM_DELETE}},
         outline({" Only", ">Alpha"}),
         {"Can't delete this item !"},
         " Only"},
        {"a Cut of it copies it and refuses the delete; its paste goes first into the folder",
         only,
         {{" Only", IDM_CUT}, {"Alpha", IDM_PASTE}},
         outline({" Only", "> Only", ">>Alpha", ">Alpha"}),
         {"Can't delete this item !"},
         nullptr},
        {"the last item of a folder can go",
         only,
         {{"Alpha", IDM_DELETE}},
         outline({" Only"}),
         {},
         " Only"},
        {"folders of the other kind go anywhere; a tour folder sorts as it opens",
         lakeDatabase(),
         {{" Chicago", IDM_NEW_TOUR_FOLDER}, {" Lake", IDM_NEW_AIRPORT_FOLDER}},
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", "> New Tour Folder",
                  " Lake", "> New Airport Folder", ">001 - Milwaukee", ">002 - Escanaba",
                  ">003 - Muskegon"}),
         {},
         " Lake"},
        {"entries of the other kind are refused",
         lakeDatabase(),
         {{"Midway", IDM_NEW_TOUR}, {"002 - Escanaba", IDM_NEW_AIRPORT}},
         lakeTree,
         {"Please select Tour Item !", "Please select Airport Item !"},
         "002 - Escanaba"},
        {"a new tour item beside a tour item ends the tour with the next number",
         lakeDatabase(),
         {{"001 - Milwaukee", IDM_NEW_TOUR}},
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon", ">004 - New Tour"}),
         {},
         "001 - Milwaukee"},
        {"a new airport beside a top-level airport stays at the top",
         airportLine("A", "Alpha") + folderLine("F", 1) + airportLine("B", "Beta"),
         {{"Alpha", IDM_NEW_AIRPORT}},
         outline({"Alpha", " F", ">Beta", "New Airport"}),
         {},
         "Alpha"},
        {"deleting a tour item selects one of its tour and renumbers",
         lakeDatabase(),
         {{"001 - Milwaukee", IDM_DELETE}},
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Escanaba", ">002 - Muskegon"}),
         {},
         "002 - Muskegon"},
        {"an airport pasted on a tour folder becomes its first tour item",
         lakeDatabase(),
         {{"Midway", IDM_COPY}, {" Lake", IDM_PASTE}},
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Midway",
                  ">002 - Milwaukee", ">003 - Escanaba", ">004 - Muskegon"}),
         {},
         " Lake"},
        {"after a Cut the clipboard's own record is pasted, fitted to the place",
         lakeDatabase(),
         {{"Midway", IDM_CUT}, {"003 - Muskegon", IDM_PASTE}},
         outline({" Chicago", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Milwaukee",
                  ">002 - Escanaba", ">003 - Muskegon", ">004 - Midway"}),
         {},
         "003 - Muskegon"},
        {"Paste before any Copy or Cut does nothing",
         lakeDatabase(),
         {{"Midway", IDM_PASTE}},
         lakeTree,
         {},
         "Midway"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", c.database);
        std::string tree, selected;
        std::vector<DialogDriver::Step> steps;
        for (const Action& action : c.actions) {
            steps.push_back([action](HWND dialog) {
                selectLabel(dialog, action.select);
                command(dialog, action.command);
            });
        }
        steps.push_back([&](HWND dialog) {
            tree = treeText(treeOf(dialog));
            selected = selectedLabel(dialog);
        });
        steps.push_back(pressCancel);
        run(steps);
        EXPECT_EQ(tree, c.tree);
        EXPECT_EQ(boxTexts(), c.messages);
        if (c.selected) {
            EXPECT_EQ(selected, c.selected);
        }
        EXPECT_EQ(readFileBytes("TarvixDb.dat"), c.database) << "Cancel puts the file back";
        EXPECT_FALSE(fileExists("TarvixDb.$$$")) << "Cancel empties the clipboard";
    }
}

TEST_F(TreeEditing, InsertShiftInsertAndDeleteAreTheOnlyKeys) {
    struct KeyCase {
        WPARAM key;
        bool shift;
        std::string tree;
    };
    const KeyCase cases[] = {
        {VK_INSERT, false,
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", ">New Airport", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"})},
        {VK_INSERT, true,
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", "> New Airport Folder",
                  " Lake", ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"})},
        {VK_DELETE, false,
         outline({" Chicago", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Milwaukee",
                  ">002 - Escanaba", ">003 - Muskegon"})},
        {'C', true, lakeTree}, // no key for the tour commands, Cut, Copy or Paste
        {'V', false, lakeTree},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.key);
        writeFileBytes("TarvixDb.dat", lakeDatabase());
        std::string tree;
        run({[&](HWND dialog) {
                 selectLabel(dialog, "Midway");
                 BYTE keys[256];
                 GetKeyboardState(keys);
                 keys[VK_SHIFT] = c.shift ? 0x80 : 0;
                 SetKeyboardState(keys);
                 HWND treeWindow = treeOf(dialog);
                 SendMessageA(treeWindow, WM_KEYDOWN, c.key, 1);
                 SendMessageA(treeWindow, WM_KEYUP, c.key, 0xC0000001);
                 keys[VK_SHIFT] = 0;
                 SetKeyboardState(keys);
                 tree = treeText(treeWindow);
             },
             pressCancel});
        EXPECT_EQ(tree, c.tree);
        EXPECT_TRUE(boxTexts().empty());
    }
}

TEST_F(TreeEditing, FoldersNestNinetyNineDeep) {
    std::string database;
    for (int level = 1; level <= 98; ++level)
        database += folderLine(("L" + std::to_string(level)).c_str(), level);
    database += airportLine("A", "Deep");
    writeFileBytes("TarvixDb.dat", database);
    HTREEITEM made = nullptr;
    int depthOfMade = 0;
    run({[&](HWND dialog) {
             selectLabel(dialog, " L98");
             command(dialog, IDM_NEW_AIRPORT_FOLDER);
             HWND tree = treeOf(dialog);
             made = findTreeItem(tree, " New Airport Folder");
             for (HTREEITEM up = made; up; up = treeStep(tree, up, TVGN_PARENT))
                 ++depthOfMade;
         },
         [&](HWND dialog) {
             SendMessageA(treeOf(dialog), TVM_SELECTITEM, TVGN_CARET,
                          reinterpret_cast<LPARAM>(made));
             command(dialog, IDM_NEW_AIRPORT_FOLDER);
             command(dialog, IDM_NEW_TOUR_FOLDER);
         },
         pressCancel});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(depthOfMade, 99);
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Can't make a Folder", "Can't make a Folder"}));
}

TEST_F(TreeEditing, ExpandingSortsTourFoldersOnly) {
    writeFileBytes("TarvixDb.dat", folderLine("Tour", 1, true) + tourItemLine(2, "Bravo") +
                                       tourItemLine(1, "Alpha") + folderLine("Sub", 2, true) +
                                       folderLine("Airports", 1) + airportLine("Z", "Zulu") +
                                       airportLine("A", "Alpha"));
    std::string tree;
    run({[&](HWND dialog) {
             // Opened by the pilot with the keyboard, which the tree tells its dialog about.
             selectLabel(dialog, " Tour");
             SendMessageA(treeOf(dialog), WM_KEYDOWN, VK_RIGHT, 1);
             selectLabel(dialog, " Airports");
             SendMessageA(treeOf(dialog), WM_KEYDOWN, VK_RIGHT, 1);
             tree = treeText(treeOf(dialog));
         },
         pressCancel});
    EXPECT_EQ(tree, outline({" Tour", "> Sub", ">001 - Alpha", ">002 - Bravo", " Airports", ">Zulu",
                             ">Alpha"}));
}

// Tours pass item 999: opening one sorts its items by their number, not by their labels (which
// put "1000 - ..." among the 100s). The order itself is tour_order's, tested natively; here the
// tree's sort on expand is shown to use it, on items whose labels alone would sort otherwise.
TEST_F(TreeEditing, ATourOfMoreThan999ItemsSortsByNumber) {
    writeFileBytes("TarvixDb.dat", folderLine("Tour", 1, true) + tourItemLine(1000, "Item") +
                                       tourItemLine(999, "Item") + tourItemLine(100, "Item") +
                                       tourItemLine(1001, "Item") + folderLine("Sub", 2, true));
    std::string tree;
    run({[&](HWND dialog) {
             selectLabel(dialog, " Tour");
             SendMessageA(treeOf(dialog), WM_KEYDOWN, VK_RIGHT, 1);
             tree = treeText(treeOf(dialog));
         },
         pressCancel});
    EXPECT_EQ(tree, outline({" Tour", "> Sub", ">100 - Item", ">999 - Item", ">1000 - Item",
                             ">1001 - Item"}));
}

struct DragCase {
    const char* what;
    const char* source;
    const char* target; // a label, or "outside"
    bool control;
    std::string tree;
    std::vector<std::string> messages;
    const char* selected;
};

TEST_F(TreeEditing, DragAndDropMovesOrCopiesWithItsRefusals) {
    const DragCase cases[] = {
        {"onto an entry: after it",
         "Gary",
         "Midway",
         false,
         outline({" Chicago", ">Midway", ">Gary", ">O'Hare", "> Suburbs", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {},
         "Gary"},
        {"onto a folder: its first child",
         "Midway",
         " Suburbs",
         false,
         outline({" Chicago", ">O'Hare", "> Suburbs", ">>Midway", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {},
         "Midway"},
        {"with Ctrl: a copy",
         "Midway",
         "003 - Muskegon",
         true,
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon", ">004 - Midway"}),
         {},
         "004 - Midway"},
        {"within a tour: renumbered",
         "001 - Milwaukee",
         "003 - Muskegon",
         false,
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Escanaba", ">002 - Muskegon", ">003 - Milwaukee"}),
         {},
         "003 - Milwaukee"},
        {"a move into its own subtree is refused",
         " Chicago",
         "Gary",
         false,
         lakeTree,
         {"Can't drag to its own child item !"},
         " Chicago"},
        {"a copy into its own subtree is made once",
         " Chicago",
         " Suburbs",
         true,
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">> Chicago", ">>> Suburbs",
                  ">>>>Gary", ">>>Midway", ">>>O'Hare", ">>Gary", " Lake", ">001 - Milwaukee",
                  ">002 - Escanaba", ">003 - Muskegon"}),
         {},
         " Chicago"},
        {"on itself: nothing", "Midway", "Midway", false, lakeTree, {}, "Midway"},
        {"outside the tree: nothing", "Midway", "outside", false, lakeTree, {}, "Midway"},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", lakeDatabase());
        std::string tree, selected;
        run({[&](HWND dialog) { startDrag(dialog, c.source); },
             [&](HWND dialog) { dropOn(dialog, c.target, c.control); },
             [&](HWND dialog) {
                 tree = treeText(treeOf(dialog));
                 selected = selectedLabel(dialog);
             },
             pressCancel});
        EXPECT_EQ(tree, c.tree);
        EXPECT_EQ(boxTexts(), c.messages);
        EXPECT_EQ(selected, c.selected);
    }
}

TEST_F(TreeEditing, ThePopupMenuHasFourColumnsAndSendsItsChoiceToTheTree) {
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    std::vector<std::string> entries;
    std::vector<bool> breaks;
    std::string tree;
    run({[](HWND dialog) {
             selectLabel(dialog, "Midway");
             HWND treeWindow = treeOf(dialog);
             // Clicked on another item: the command still acts on the selection.
             const POINT at = labelCentre(treeWindow, findTreeItem(treeWindow, "001 - Milwaukee"));
             PostMessageA(treeWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
         },
         [&](HWND) {
             HWND popup = FindWindowA("#32768", nullptr);
             ASSERT_NE(popup, nullptr) << "no menu open";
             HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
             for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                 char text[32] = "";
                 GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
                 const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
                 entries.push_back((state & MF_SEPARATOR) ? "|" : text);
                 breaks.push_back((state & MF_MENUBREAK) != 0);
             }
             // The second entry, chosen with the keyboard.
             PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
             PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
             PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
         },
         [&](HWND dialog) { tree = treeText(treeOf(dialog)); }, pressCancel});
    EXPECT_EQ(entries, (std::vector<std::string>{"New Airport", "New Airport Folder", "|",
                                                 "New Tour", "New Tour Folder", "|", "Cut", "Copy",
                                                 "Paste", "|", "Delete"}));
    EXPECT_EQ(breaks, (std::vector<bool>{false, false, true, false, false, true, false, false,
                                         false, true, false}));
    EXPECT_EQ(tree, outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary",
                             "> New Airport Folder", " Lake", ">001 - Milwaukee", ">002 - Escanaba",
                             ">003 - Muskegon"}));
}

TEST_F(TreeEditing, ABadAltitudeStopsEveryInputToTheTree) {
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    ASSERT_TRUE(storeAirportAltitudeHold());
    std::string tree;
    bool treeHasFocus = false;
    run({[](HWND dialog) {
             selectLabel(dialog, "Midway");
             type(dialog, IDC_AIRPORT_ALTITUDE, "99997");
         },
         [&](HWND dialog) {
             HWND treeWindow = treeOf(dialog);
             command(dialog, IDM_NEW_AIRPORT);
             SendMessageA(treeWindow, WM_KEYDOWN, VK_DELETE, 1);
             const POINT at = labelCentre(treeWindow, findTreeItem(treeWindow, "O'Hare"));
             SendMessageA(treeWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
             SendMessageA(treeWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
             tree = treeText(treeWindow);
             treeHasFocus = GetFocus() == treeWindow;
         },
         [](HWND dialog) { type(dialog, IDC_AIRPORT_ALTITUDE, "500"); }, pressCancel});
    EXPECT_EQ(tree, lakeTree);
    ASSERT_FALSE(boxTexts().empty());
    for (const std::string& text : boxTexts())
        EXPECT_EQ(text, "Please Enter from 0 to 99996 ft.!");
    EXPECT_FALSE(treeHasFocus) << "the altitude edit takes the focus back";
}

TEST_F(TreeEditing, AfterEditsAndOkTheFileHoldsExactlyTheTree) {
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    std::string tree;
    run({[](HWND dialog) {
             selectLabel(dialog, " Suburbs");
             command(dialog, IDM_NEW_TOUR_FOLDER);
             selectLabel(dialog, "002 - Escanaba");
             command(dialog, IDM_CUT);
             selectLabel(dialog, " New Tour Folder");
             command(dialog, IDM_PASTE);
             selectLabel(dialog, "Midway");
             command(dialog, IDM_DELETE);
         },
         [](HWND dialog) { startDrag(dialog, "O'Hare"); },
         [](HWND dialog) { dropOn(dialog, "001 - Milwaukee", true); },
         [&](HWND dialog) {
             selectLabel(dialog, "003 - Muskegon");
             tree = treeText(treeOf(dialog));
         },
         pressOk});
    EXPECT_TRUE(boxTexts().empty());
    const std::string saved = readFileBytes("TarvixDb.dat");
    EXPECT_EQ(fileOutline(saved), tree);
    EXPECT_EQ(saved.size(), 64u * 10) << "deleted and cut items are left out";
    EXPECT_EQ(markedRecords(saved), "10");
    EXPECT_FALSE(fileExists("TarvixDb.$$$"));
}

TEST_F(TreeEditing, TheClipboardSurvivesAFailedOkAndAPasteAfterADragTakesTheDraggedItem) {
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    std::optional<FileHold> hold;
    std::string tree;
    run({[&](HWND dialog) {
             selectLabel(dialog, "Midway");
             command(dialog, IDM_COPY);
             hold.emplace("TarvixDb.dat");
         },
         pressOk, // refused: the database is held
         [&](HWND dialog) {
             hold.reset();
             selectLabel(dialog, " Lake");
             command(dialog, IDM_PASTE);
         },
         [](HWND dialog) { startDrag(dialog, "Gary"); },
         [](HWND dialog) { dropOn(dialog, "O'Hare", true); },
         [&](HWND dialog) {
             selectLabel(dialog, "004 - Muskegon");
             command(dialog, IDM_PASTE);
             tree = treeText(treeOf(dialog));
         },
         pressCancel});
    ASSERT_EQ(boxTexts().size(), 1u);
    EXPECT_EQ(tree, outline({" Chicago", ">Midway", ">O'Hare", ">Gary", "> Suburbs", ">>Gary",
                             " Lake", ">001 - Midway", ">002 - Milwaukee", ">003 - Escanaba",
                             ">004 - Muskegon", ">005 - Gary"}));
}

// The limit itself is roomForMore's, tested natively at its edges; here each command that adds
// records is shown to ask it first, in one opening: every one is refused, so none changes what
// the next one meets. Each meets another program's hold of the database that ends after the
// command's first open, so the limit is checked on the count the appending handle gives.
TEST_F(TreeEditing, NothingIsAddedPastTheRecordsAnItemCanNumber) {
    struct RoomCase {
        int records;        // in the file once the dialog is open
        const char* select; // before the hold, nullptr: nothing
        int command;        // a tree command, or the button 3 ("Tr Imp")
    };
    const RoomCase cases[] = {
        {65535, "Midway", IDM_NEW_AIRPORT},
        {65535, " Chicago", IDM_NEW_TOUR_FOLDER},
        {65531, " Lake", IDM_PASTE}, // the copied folder is five records
        {65535, nullptr, IDC_TOUR_IMPORT},
    };
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    writeFileBytes("TarvixTr.dat", tourItemLine(1, "Duluth"));
    std::vector<std::string> trees;
    std::vector<bool> appended;
    const HMODULE module = library.module();
    run({[&](HWND dialog) {
             selectLabel(dialog, " Chicago");
             command(dialog, IDM_COPY);
             for (const RoomCase& c : cases) {
                 // Records that no item shows, as deletions leave them until OK.
                 std::string bytes = readFileBytes("TarvixDb.dat").substr(0, lakeDatabase().size());
                 const std::string pad = airportLine("PAD", "Deleted");
                 while (bytes.size() < 64u * c.records)
                     bytes += pad;
                 writeFileBytes("TarvixDb.dat", bytes);
                 if (c.select)
                     selectLabel(dialog, c.select);
                 RefusedDatabaseOpens held(module, 1, 1);
                 if (c.command == IDC_TOUR_IMPORT)
                     clickButton(dialog, IDC_TOUR_IMPORT);
                 else
                     command(dialog, c.command);
                 trees.push_back(treeText(treeOf(dialog)));
                 appended.push_back(readFileBytes("TarvixDb.dat") != bytes);
             }
         },
         pressCancel});
    EXPECT_EQ(trees, std::vector<std::string>(4, lakeTree));
    EXPECT_EQ(appended, std::vector<bool>(4, false));
    ASSERT_EQ(boxTexts().size(), 4u);
    for (const std::string& text : boxTexts())
        EXPECT_NE(text.find("65535"), std::string::npos) << text;
}

TEST_F(TreeEditing, ARefusedWriteIsSaidAndTheTreeStaysWithTheFile) {
    struct HeldCase {
        const char* what;
        std::vector<Action> before; // while the database is free
        Action held;                // while another program holds it
        const char* message;        // the start of what the pilot is told
        std::string tree;
    };
    const HeldCase cases[] = {
        {"a new entry",
         {},
         {"Midway", IDM_NEW_AIRPORT},
         "The new item could not be written",
         lakeTree},
        {"a copy", {}, {"Midway", IDM_COPY}, "The selected item could not be written", lakeTree},
        {"a paste",
         {{"Midway", IDM_COPY}},
         {" Lake", IDM_PASTE},
         "The clipboard could not be",
         lakeTree},
        {"a renumbering after a delete",
         {},
         {"001 - Milwaukee", IDM_DELETE},
         "The tour's numbers could not be written",
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">002 - Escanaba", ">003 - Muskegon"})},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", lakeDatabase());
        std::string tree;
        std::vector<DialogDriver::Step> steps;
        for (const Action& action : c.before) {
            steps.push_back([action](HWND dialog) {
                selectLabel(dialog, action.select);
                command(dialog, action.command);
            });
        }
        steps.push_back([&](HWND dialog) {
            // Selected first: the editor's own save of the item it leaves is not under test.
            selectLabel(dialog, c.held.select);
            FileHold hold("TarvixDb.dat");
            ASSERT_TRUE(hold.held());
            command(dialog, c.held.command);
            tree = treeText(treeOf(dialog));
        });
        steps.push_back(pressCancel);
        run(steps);
        EXPECT_EQ(tree, c.tree);
        // A delete also shows the entry selected instead, whose read the hold refuses too.
        const std::vector<std::string> told = boxTexts();
        EXPECT_TRUE(std::any_of(told.begin(), told.end(), [&](const std::string& text) {
            return text.rfind(c.message, 0) == 0;
        })) << ::testing::PrintToString(told);
    }
}

TEST_F(TreeEditing, EditsKeepWhatThePilotSeesAndNumbersWithoutGaps) {
    const std::string pasteRefused = "The clipboard could not be pasted";
    const std::string mixed = folderLine("Mixed", 1, true) + tourItemLine(1, "Alpha") +
                              tourItemLine(2, "Bravo") + airportLine("Z", "Zulu");
    const EditCase cases[] = {
        // The editor's fields go with the item, not the record as the file held it.
        {"a Cut takes the name just typed",
         lakeDatabase(),
         rename("Midway", "Midway Intl") + pick("Midway", IDM_CUT) + pick("O'Hare", IDM_PASTE),
         outline({" Chicago", ">O'Hare", ">Midway Intl", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"so does a Copy whose item is deleted before the paste",
         lakeDatabase(),
         rename("Midway", "Midway Intl") + pick("Midway", IDM_COPY) +
             pick("Midway Intl", IDM_DELETE) + pick(" Lake", IDM_PASTE),
         outline({" Chicago", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Midway Intl",
                  ">002 - Milwaukee", ">003 - Escanaba", ">004 - Muskegon"}),
         {}},
        {"and a drag that moves",
         lakeDatabase(),
         rename("Midway", "Midway Intl") + drag("Midway", " Suburbs", false),
         outline({" Chicago", ">O'Hare", "> Suburbs", ">>Midway Intl", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"or copies",
         lakeDatabase(),
         rename("Midway", "Midway Intl") + drag("Midway", "003 - Muskegon", true),
         outline({" Chicago", ">Midway Intl", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon", ">004 - Midway Intl"}),
         {}},
        // A copy of one entry leaves nothing on the tree that a later copy of its folder would
        // skip. What a copy takes is planned from the tree's items alone (tested natively); these
        // rows show those items, after an earlier copy, still give a Cut and a Copy the whole
        // folder.
        {"an airport copied alone, then its folder cut and pasted",
         lakeDatabase(),
         pick("O'Hare", IDM_COPY) + pick(" Chicago", IDM_CUT) + pick(" Lake", IDM_PASTE),
         outline({" Lake", "> Chicago", ">> Suburbs", ">>>Gary", ">>Midway", ">>O'Hare",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"a tour item copied alone, then its tour copied",
         lakeDatabase(),
         pick("002 - Escanaba", IDM_COPY) + pick(" Lake", IDM_COPY) + pick("Midway", IDM_PASTE),
         outline({" Chicago", "> Lake", ">>001 - Milwaukee", ">>002 - Escanaba", ">>003 - Muskegon",
                  ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake", ">001 - Milwaukee",
                  ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        // The old group is numbered from its first tour item left, whatever is selected instead.
        {"a deleted tour item after a folder of the other kind",
         lakeDatabase(),
         pick(" Lake", IDM_NEW_AIRPORT_FOLDER) + pick("002 - Escanaba", IDM_DELETE),
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  "> New Airport Folder", ">001 - Milwaukee", ">002 - Muskegon"}),
         {}},
        {"a tour item dragged out from beside it",
         lakeDatabase(),
         pick(" Lake", IDM_NEW_AIRPORT_FOLDER) + drag("002 - Escanaba", "Midway", false),
         outline({" Chicago", ">Midway", ">Escanaba", ">O'Hare", "> Suburbs", ">>Gary", " Lake",
                  "> New Airport Folder", ">001 - Milwaukee", ">002 - Muskegon"}),
         {}},
        {"the first tour item deleted before an airport",
         mixed,
         pick("001 - Alpha", IDM_DELETE),
         outline({" Mixed", ">001 - Bravo", ">Zulu"}),
         {}},
        // A paste the tree stops part-way is taken out whole, and a move keeps its original.
        {"a folder pasted",
         lakeDatabase(),
         pick(" Chicago", IDM_COPY) + refuseInsert(3) + pick(" Lake", IDM_PASTE),
         lakeTree,
         {pasteRefused}},
        {"a folder moved by a drag",
         lakeDatabase(),
         refuseInsert(2) + drag(" Suburbs", "Midway", false),
         lakeTree,
         {pasteRefused}},
        {"a folder copied by a drag",
         lakeDatabase(),
         refuseInsert(4) + drag(" Chicago", "003 - Muskegon", true),
         lakeTree,
         {pasteRefused}},
    };
    for (const EditCase& c : cases)
        expectEdits(c);
}

TEST_F(TreeEditing, EveryPasteOfACutEntryStartsFromTheRecordAsCut) {
    writeFileBytes("TarvixDb.dat", lakeDatabase());
    // Into a tour (no ID there) and then back among airports: the ID comes back too.
    run(pick("Midway", IDM_CUT) + pick("003 - Muskegon", IDM_PASTE) + pick("O'Hare", IDM_PASTE) +
        Steps{[](HWND dialog) { selectLabel(dialog, "004 - Midway"); }, pressOk});
    EXPECT_TRUE(boxTexts().empty());
    std::vector<std::string> midways; // ID and tour flag of each record named Midway
    const std::string saved = readFileBytes("TarvixDb.dat");
    for (size_t at = 0; at + 64 <= saved.size(); at += 64) {
        if (saved.compare(at + 5, 25, std::string("Midway") + std::string(19, ' ')) == 0)
            midways.push_back(saved.substr(at, 5) + "|" + saved.substr(at + 48, 1));
    }
    EXPECT_EQ(midways, (std::vector<std::string>{"KMDW | ", "004  |1"}));
}

// The renumbering after a drop hands the dragged item's new number to the editor, which stores
// it as the copy is selected: an old number there would come back into the file.
TEST_F(TreeEditing, ATourItemCopiedWithinItsTourKeepsTheNumberItWasGiven) {
    writeFileBytes("TarvixDb.dat", folderLine("Tour", 1, true) + tourItemLine(1, "Alpha") +
                                       tourItemLine(2, "Bravo") + tourItemLine(3, "Charlie"));
    std::string tree;
    const Steps look = {[&](HWND dialog) {
        tree = treeText(treeOf(dialog));
        selectLabel(dialog, "001 - Alpha");
    }};
    run(drag("003 - Charlie", "001 - Alpha", true) + look + Steps{pressOk});
    EXPECT_TRUE(boxTexts().empty());
    EXPECT_EQ(tree, outline({" Tour", ">001 - Alpha", ">002 - Charlie", ">003 - Bravo",
                             ">004 - Charlie"}));
    std::vector<std::string> charlies; // the ident of each record named Charlie
    const std::string saved = readFileBytes("TarvixDb.dat");
    for (size_t at = 0; at + 64 <= saved.size(); at += 64) {
        if (saved.compare(at + 5, 7, "Charlie") == 0)
            charlies.push_back(saved.substr(at, 5));
    }
    EXPECT_EQ(charlies, (std::vector<std::string>{"002  ", "004  "}));
}

TEST_F(TreeEditing, ExportStoresNothingWhileAnAltitudeIsBad) {
    LineFields held;
    held.ident = "001";
    held.name = "Milwaukee";
    held.tourFlag = "1";
    held.altitudeHoldFlag = "1";
    held.altitude = "3000";
    const std::string database = folderLine("Lake", 1, true) + recordLine(held);
    writeFileBytes("TarvixDb.dat", database);
    ExchangeRecord options{};
    options.tourAutopilot = 1;
    ASSERT_EQ(library.setData(&options), 1);
    std::string fileAfterExport;
    run({[](HWND dialog) {
             selectLabel(dialog, "001 - Milwaukee");
             type(dialog, IDC_NAME, "Renamed");
             type(dialog, IDC_TOUR_ALTITUDE, "99997");
         },
         [&](HWND dialog) {
             clickButton(dialog, IDC_EXPORT);
             fileAfterExport = readFileBytes("TarvixDb.dat");
         },
         [](HWND dialog) { type(dialog, IDC_TOUR_ALTITUDE, "3000"); }, pressCancel});
    EXPECT_EQ(fileAfterExport, database);
    EXPECT_FALSE(fileExists("TarvixTr.dat"));
    ASSERT_FALSE(boxTexts().empty());
    for (const std::string& text : boxTexts())
        EXPECT_EQ(text, "Please Enter from 0 to 99996 ft.!");
}

// At opening the tree is subclassed as it is made, before the dialog fills it.
HHOOK openingHook = nullptr;
int refusedAtOpening = 0;

LRESULT CALLBACK refuseInNewTree(int code, WPARAM wParam, LPARAM lParam) {
    char name[32] = "";
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && GetClassNameA(window, name, sizeof name) &&
        std::strcmp(name, WC_TREEVIEWA) == 0)
        refuseInsert(window, refusedAtOpening);
    return CallNextHookEx(openingHook, code, wParam, lParam);
}

TEST_F(TreeEditing, AnItemTheTreeRefusesAtOpeningKeepsTheDialogShut) {
    const std::string database = folderLine("Chicago", 1) + airportLine("KMDW", "Midway", "-1") +
                                 folderLine("Lake", 1, true) + tourItemLine(1, "Milwaukee");
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        writeFileBytes("TarvixDb.dat", database);
        refusedAtOpening = k;
        openingHook = SetWindowsHookExA(WH_CBT, &refuseInNewTree, nullptr, GetCurrentThreadId());
        ASSERT_NE(openingHook, nullptr);
        bool opened = false;
        run({[&](HWND dialog) {
            opened = true;
            pressOk(dialog);
        }});
        UnhookWindowsHookEx(openingHook);
        EXPECT_FALSE(opened) << "an OK would write the partial tree over the database";
        ASSERT_EQ(boxTexts().size(), 1u);
        EXPECT_EQ(boxTexts()[0].rfind("The waypoint database cannot be read whole", 0), 0u);
        EXPECT_EQ(readFileBytes("TarvixDb.dat"), database) << "the marker is back";
    }
}

// How deep pasted folders may go is pasteFolderFits', tested natively at its edge; here the paste
// and both drops are shown to ask it with the depth of the place they put the folders in: a paste
// that ends at 99 goes in, and one level deeper the paste and each drop are refused (in one
// opening, as a refusal changes nothing for the next).
TEST_F(TreeEditing, PastesAndDropsNestFoldersNoDeeperThanNinetyNine) {
    // L2 holds 97 levels of folders; O2 and O3 lie at depths 2 and 3 of another branch.
    std::string database;
    for (int level = 1; level <= 98; ++level)
        database += folderLine(("L" + std::to_string(level)).c_str(), level);
    database += airportLine("A", "Deep") + folderLine("Other", 1) + folderLine("O2", 2) +
                folderLine("O3", 3) + airportLine("T", "Third");
    struct DepthCase {
        const char* what;
        Steps steps;
        int deepestFolder;
        std::vector<std::string> messages;
    };
    const DepthCase cases[] = {
        {"a paste that ends at 99", pick(" L2", IDM_COPY) + pick(" O2", IDM_PASTE), 99, {}},
        {"one deeper: a paste, a drop that moves and one that copies beside an entry",
         pick(" L2", IDM_COPY) + pick(" O3", IDM_PASTE) + drag(" L2", " O3", false) +
             drag(" L2", "Third", true),
         98, std::vector<std::string>(3, "Can't make a Folder")},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", database);
        int deepest = 0;
        run(c.steps + Steps{[&](HWND dialog) {
                                // Two spaces a level, and a folder's label starts with one.
                                std::istringstream lines(treeText(treeOf(dialog)));
                                for (std::string line; std::getline(lines, line);) {
                                    const size_t indent = line.find_first_not_of(' ');
                                    if (indent % 2 == 1)
                                        deepest = std::max(deepest, int(indent / 2) + 1);
                                }
                            },
                            pressCancel});
        EXPECT_EQ(deepest, c.deepestFolder);
        EXPECT_EQ(boxTexts(), c.messages);
    }
}

// Another program's hold of the database for the first opens of a command (first to last).
Steps whileHeld(HMODULE library, int first, int last, const Steps& steps) {
    return {[=](HWND dialog) {
        RefusedDatabaseOpens held(library, first, last);
        for (const DialogDriver::Step& step : steps)
            step(dialog);
    }};
}

Steps select(const char* label) {
    return {[=](HWND dialog) { selectLabel(dialog, label); }};
}

Steps give(int id) {
    return {[=](HWND dialog) { command(dialog, id); }};
}

// A short hold (a virus scanner's look at the file) is waited out by every command that appends
// or copies; a drag starts only while its button is down and the editor holds what is dragged;
// a tree that cannot show a new item says so.
TEST_F(TreeEditing, AShortHoldOrAStartGoneWrongLosesNothing) {
    const HMODULE lib = library.module();
    const Steps tourFile = {
        [](HWND) { writeFileBytes("TarvixTr.dat", tourItemLine(1, "Duluth")); }};
    const EditCase cases[] = {
        {"a new airport",
         lakeDatabase(),
         select("Midway") + whileHeld(lib, 1, 2, give(IDM_NEW_AIRPORT)),
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", ">New Airport", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"a new folder",
         lakeDatabase(),
         select(" Chicago") + whileHeld(lib, 1, 2, give(IDM_NEW_AIRPORT_FOLDER)),
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Gary", "> New Airport Folder",
                  " Lake", ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"a copy, held after the editor stored its entry",
         lakeDatabase(),
         select("Midway") + whileHeld(lib, 2, 3, give(IDM_COPY)) + pick("O'Hare", IDM_PASTE),
         outline({" Chicago", ">Midway", ">O'Hare", ">Midway", "> Suburbs", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"a paste",
         lakeDatabase(),
         pick("Midway", IDM_COPY) + select(" Suburbs") + whileHeld(lib, 1, 2, give(IDM_PASTE)),
         outline({" Chicago", ">Midway", ">O'Hare", "> Suburbs", ">>Midway", ">>Gary", " Lake",
                  ">001 - Milwaukee", ">002 - Escanaba", ">003 - Muskegon"}),
         {}},
        {"an import",
         lakeDatabase(),
         tourFile +
             whileHeld(lib, 1, 2, {[](HWND dialog) { clickButton(dialog, IDC_TOUR_IMPORT); }}),
         lakeTree + outline({" New Tour Folder", ">001 - Duluth"}),
         {}},
        // The next click after a drag that never started must not drop anything.
        {"a drag heard of with the button up already",
         lakeDatabase(),
         Steps{[](HWND dialog) { startDrag(dialog, "Midway", false); },
               [](HWND dialog) { dropOn(dialog, "Gary", false); }},
         lakeTree,
         {}},
        {"a drag whose start could not store the entry left",
         lakeDatabase(),
         rename("Midway", "Midway Intl") +
             whileHeld(lib, 1, 1, {[](HWND dialog) {
                           startDrag(dialog, "O'Hare");
                           holdLeftButton(false); // let go while the message was shown
                       }}) +
             Steps{[](HWND dialog) { dropOn(dialog, "Gary", false); }},
         lakeTree,
         {"The changes to this entry could not be written"}},
        {"a new airport the tree refuses",
         lakeDatabase(),
         refuseInsert(1) + pick("Midway", IDM_NEW_AIRPORT),
         lakeTree,
         {"The tree could not show the new item"}},
    };
    for (const EditCase& c : cases)
        expectEdits(c);
}

// A renumbering stopped at any file call, its putting back stopped with it, never has OK write
// a tour with a number left out or given twice. Lake's first item is deleted while every file
// call from the k-th on fails (its new last item lies apart from the others in the file, so that
// the renumbering writes two runs); then the calls work again and the pilot presses OK elsewhere.
TEST_F(TreeEditing, OKNeverWritesATourWithANumberLeftOutOrTwice) {
    ASSERT_TRUE(takeOverFileCalls(library.module()));
    const std::string database = folderLine("Lake", 1, true) + tourItemLine(1, "Milwaukee") +
                                 tourItemLine(2, "Escanaba") + tourItemLine(3, "Muskegon") +
                                 folderLine("Chicago", 1) + airportLine("KMDW", "Midway");
    const std::string saved = outline(
        {" Lake", ">001 - Escanaba", ">002 - Muskegon", ">003 - New Tour", " Chicago", ">Midway"});
    const Steps before = pick("001 - Milwaukee", IDM_NEW_TOUR) + select("001 - Milwaukee");
    auto deleteFailingFrom = [](FaultMode mode, int32_t k) {
        return Steps{[=](HWND dialog) {
            armFileFaults(mode, k);
            command(dialog, IDM_DELETE);
            disarmFileFaults();
        }};
    };
    writeFileBytes("TarvixDb.dat", database);
    run(before + deleteFailingFrom(FaultMode::count, 0) + Steps{pressCancel});
    const int32_t calls = static_cast<int32_t>(fileCallLog().size());
    ASSERT_GT(calls, 3);
    for (int32_t k = 1; k <= calls; ++k) {
        SCOPED_TRACE(k);
        writeFileBytes("TarvixDb.dat", database);
        run(before + deleteFailingFrom(FaultMode::failFrom, k) + select("Midway") +
            Steps{pressOk, pressCancel});
        // The tour saved, or the database as it was when the dialog opened.
        const std::string after = fileOutline(readFileBytes("TarvixDb.dat"));
        EXPECT_TRUE(after == saved || after == fileOutline(database)) << after << fileCallText();
    }
}

} // namespace
