// The settings dialog through the library's export, worked through its controls as a pilot
// would: what it shows on opening, what OK writes and hands to the gauge, what Cancel puts back,
// the editor's rules, and the refusals that keep the database whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "settings_session.h"
#include "test_support.h"

namespace {

// A name as the gauge reads it back from the mapping: padded to the field's 25 characters.
std::string padded(const char* name) {
    std::string text(name);
    text.resize(25, ' ');
    return text;
}

bool isChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

std::string sampleDatabase() {
    return folderLine("Chicago", 1) + airportLine("KMDW", "Chicago Midway") +
           airportLine("KORD", "Chicago O'Hare", "-1") + folderLine("Around the lake", 1, true) +
           tourItemLine(1, "Milwaukee", "3000") + tourItemLine(2, "Escanaba", "4500") +
           tourItemLine(3, "Muskegon");
}

class SettingsDialog : public SettingsSession {};

TEST_F(SettingsDialog, AnEmptyDatabaseOpensWithAFolderAndAnAirportAlreadyStored) {
    std::string tree, selected, fileWhileOpen;
    EXPECT_EQ(run({[&](HWND dialog) {
                       tree = treeText(treeOf(dialog));
                       selected = selectedLabel(dialog);
                       fileWhileOpen = readFileBytes("TarvixDb.dat");
                   },
                   pressCancel}),
              1);
    EXPECT_EQ(tree, " New Airport Folder\n  New Airport\n");
    EXPECT_EQ(selected, "New Airport");
    ASSERT_EQ(fileWhileOpen.size(), 128u);
    EXPECT_EQ(fileWhileOpen.substr(5, 18), "New Airport Folder");
    EXPECT_EQ(fileWhileOpen.substr(64 + 5, 11), "New Airport");
    EXPECT_FALSE(fileExists("TarvixDb.dat")) << "Cancel takes back the database it made";
}

TEST_F(SettingsDialog, OpensOnTheMarkedEntryAndCancelPutsEveryByteBack) {
    const std::string database = sampleDatabase();
    writeFileBytes("TarvixDb.dat", database);
    std::string selected, markedWhileOpen;
    run({[&](HWND dialog) {
             selected = selectedLabel(dialog);
             markedWhileOpen = markedRecords(readFileBytes("TarvixDb.dat"));
             selectLabel(dialog, "002 - Escanaba");
             type(dialog, IDC_NAME, "Renamed");
         },
         [](HWND dialog) { selectLabel(dialog, "Chicago Midway"); },
         [](HWND dialog) { pressKey(GetDlgItem(dialog, IDC_NAME), VK_ESCAPE); }});
    EXPECT_EQ(selected, "Chicago O'Hare");
    EXPECT_EQ(markedWhileOpen, "") << "the marker leaves the file while the dialog is open";
    EXPECT_EQ(readFileBytes("TarvixDb.dat"), database);
    EXPECT_EQ(readFileBytes("TarvixDb.bak"), database);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{});
}

TEST_F(SettingsDialog, OkHandsTheGaugeTheChosenEntryUnderItsNewNumber) {
    // The chosen tour item sits behind a folder that the save moves: its number changes.
    writeFileBytes("TarvixDb.dat", folderLine("Around the lake", 1, true) +
                                       folderLine("Chicago", 1) + airportLine("KMDW", "Midway") +
                                       tourItemLine(1, "Milwaukee") +
                                       tourItemLine(2, "Escanaba", "4500", "-1"));
    EXPECT_EQ(run({[](HWND dialog) { clickButton(dialog, IDC_TOUR_AUTOPILOT_ON); },
                   [](HWND dialog) {
                       SetFocus(GetDlgItem(dialog, IDC_NAME));
                       pressKey(GetDlgItem(dialog, IDC_NAME), VK_RETURN); // Enter means OK
                   }}),
              1);
    const std::string saved = readFileBytes("TarvixDb.dat");
    ExchangeRecord chosen = exchange();
    ASSERT_GT(chosen.recordNumber, 0);
    EXPECT_EQ(saved.substr((chosen.recordNumber - 1) * 64 + 5, 8), "Escanaba");
    EXPECT_EQ(markedRecords(saved), std::to_string(chosen.recordNumber));
    EXPECT_EQ(chosen.mode, 1);
    EXPECT_EQ(chosen.tourAutopilot, 1);
    EXPECT_EQ(chosen.name, padded("Escanaba"));
    EXPECT_FALSE(fileExists("TarvixDb.new"));
    EXPECT_FALSE(fileExists("TarvixDb.$$$"));
}

TEST_F(SettingsDialog, OkOnAFolderAsksForAnEntryAndKeepsTheFolderName) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    std::string labelAfter;
    bool openAfter = false;
    run({[](HWND dialog) {
             selectLabel(dialog, " Chicago");
             type(dialog, IDC_NAME, "Windy City");
         },
         pressOk,
         [&](HWND dialog) {
             openAfter = IsWindowVisible(dialog) != 0;
             labelAfter = selectedLabel(dialog);
         },
         pressCancel});
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(labelAfter, " Windy City");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please select Airport or Tour Item !"});
}

struct PositionCase {
    const char* what;
    const char *latDegrees, *latMinutes, *latSeconds, *lonDegrees, *lonMinutes, *lonSeconds;
    const char* message;     // nullptr when OK closes the dialog
    const char* shownLatLon; // the controls after OK: "89 30 0/180 0 0"
};

TEST_F(SettingsDialog, PositionRulesAtOk) {
    const PositionCase cases[] = {
        {"the pole", "90", "15", "40", "10", "0", "0", nullptr, "89 30 0/10 0 0"},
        {"the date line", "10", "0", "0", "180", "59", "59", nullptr, "10 0 0/180 0 0"},
        {"59 passes", "10", "59", "59", "20", "59", "59", nullptr, "10 59 59/20 59 59"},
        {"a degree short of the pole and of the date line stays", "89", "59", "59", "179", "59",
         "59", nullptr, "89 59 59/179 59 59"},
        {"91 degrees", "91", "0", "0", "10", "0", "0", "Latitude Data Error !", nullptr},
        {"60 minutes", "10", "60", "0", "10", "0", "0", "Latitude Data Error !", nullptr},
        {"181 degrees", "10", "0", "0", "181", "0", "0", "Longitude Data Error !", nullptr},
        {"60 seconds", "10", "0", "0", "10", "0", "60", "Longitude Data Error !", nullptr},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        std::string shown;
        std::vector<DialogDriver::Step> steps = {
            [&](HWND dialog) {
                selectLabel(dialog, "Chicago Midway");
                SetDlgItemTextA(dialog, IDC_LATITUDE_DEGREES, c.latDegrees);
                SetDlgItemTextA(dialog, IDC_LATITUDE_MINUTES, c.latMinutes);
                SetDlgItemTextA(dialog, IDC_LATITUDE_SECONDS, c.latSeconds);
                SetDlgItemTextA(dialog, IDC_LONGITUDE_DEGREES, c.lonDegrees);
                SetDlgItemTextA(dialog, IDC_LONGITUDE_MINUTES, c.lonMinutes);
                SetDlgItemTextA(dialog, IDC_LONGITUDE_SECONDS, c.lonSeconds);
                clickButton(dialog, IDOK);
                auto text = [dialog](int id) { return controlText(dialog, id); };
                shown = text(IDC_LATITUDE_DEGREES) + " " + text(IDC_LATITUDE_MINUTES) + " " +
                        text(IDC_LATITUDE_SECONDS) + "/" + text(IDC_LONGITUDE_DEGREES) + " " +
                        text(IDC_LONGITUDE_MINUTES) + " " + text(IDC_LONGITUDE_SECONDS);
            },
        };
        if (c.message)
            steps.push_back(pressCancel);
        run(steps);
        if (c.message) {
            EXPECT_EQ(boxTexts(), std::vector<std::string>{c.message});
            continue;
        }
        EXPECT_EQ(boxTexts(), std::vector<std::string>{});
        EXPECT_EQ(shown, c.shownLatLon);
    }
}

TEST_F(SettingsDialog, CurrentReadTakesTheAircraftsPosition) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    aircraft.aircraftLatitude = -5000874;                 // 45 degrees south
    aircraft.aircraftLongitude = 1.5 * 140737488355328.0; // 90 degrees west
    std::string shown;
    run({[&](HWND dialog) {
             selectLabel(dialog, "Chicago Midway");
             clickButton(dialog, IDC_CURRENT_READ);
             auto text = [dialog](int id) { return controlText(dialog, id); };
             shown = std::string(isChecked(dialog, IDC_SOUTH) ? "S " : "N ") +
                     text(IDC_LATITUDE_DEGREES) + " " + text(IDC_LATITUDE_MINUTES) + " " +
                     text(IDC_LATITUDE_SECONDS) + (isChecked(dialog, IDC_WEST) ? " W " : " E ") +
                     text(IDC_LONGITUDE_DEGREES) + " " + text(IDC_LONGITUDE_MINUTES) + " " +
                     text(IDC_LONGITUDE_SECONDS);
         },
         pressCancel});
    EXPECT_EQ(shown, "S 45 0 0 W 90 0 0");
}

struct EnableCase {
    const char* label;
    int airportAutopilot, airportHold, tourAutopilot;
    // ident, Cur. Read, airport On, hold, altitude, tour On, hold, altitude: 1 enabled, 0 not
    const char* enabled;
};

TEST_F(SettingsDialog, EnableRulesFollowTheKindAndTheOptions) {
    const EnableCase cases[] = {
        {" Chicago", 1, 1, 1, "00000000"},        {"Chicago Midway", 0, 1, 1, "11100000"},
        {"Chicago Midway", 1, 0, 0, "11110000"},  {"Chicago Midway", 1, 1, 0, "11111000"},
        {"001 - Milwaukee", 1, 1, 0, "01000100"}, {"001 - Milwaukee", 0, 0, 1, "01000110"},
        {"004 - Held", 0, 0, 1, "01000111"},
    };
    const int controls[] = {IDC_IDENT,
                            IDC_CURRENT_READ,
                            IDC_AIRPORT_AUTOPILOT_ON,
                            IDC_AIRPORT_ALTITUDE_HOLD,
                            IDC_AIRPORT_ALTITUDE,
                            IDC_TOUR_AUTOPILOT_ON,
                            IDC_TOUR_ALTITUDE_HOLD,
                            IDC_TOUR_ALTITUDE};
    LineFields held;
    held.ident = "004";
    held.name = "Held";
    held.tourFlag = "1";
    held.altitudeHoldFlag = "1";
    held.altitude = "2000";
    for (const EnableCase& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + c.enabled);
        writeFileBytes("TarvixDb.dat", sampleDatabase() + recordLine(held));
        ExchangeRecord options{};
        options.airportAutopilot = c.airportAutopilot;
        options.airportAltitudeHold = c.airportHold;
        options.tourAutopilot = c.tourAutopilot;
        ASSERT_EQ(library.setData(&options), 1);
        std::string enabled;
        run({[&](HWND dialog) {
                 selectLabel(dialog, c.label);
                 for (int id : controls)
                     enabled += isEnabled(dialog, id) ? "1" : "0";
             },
             pressCancel});
        EXPECT_EQ(enabled, c.enabled);
    }
}

TEST_F(SettingsDialog, AltitudeEditsBeepWhileTypingAndReportWhenLeft) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    ASSERT_TRUE(storeAirportAltitudeHold());
    bool openAfterBadOk = false;
    run({[](HWND dialog) {
             selectLabel(dialog, "Chicago Midway");
             type(dialog, IDC_AIRPORT_ALTITUDE, "99997");
         },
         pressOk, [&](HWND dialog) { openAfterBadOk = IsWindowVisible(dialog) != 0; },
         [](HWND dialog) { type(dialog, IDC_AIRPORT_ALTITUDE, "99996"); }, pressOk});
    EXPECT_TRUE(openAfterBadOk);
    ASSERT_FALSE(boxTexts().empty());
    for (const std::string& text : boxTexts())
        EXPECT_EQ(text, "Please Enter from 0 to 99996 ft.!");
    ExchangeRecord chosen = exchange();
    EXPECT_EQ(chosen.airportAltitude, 99996);
    EXPECT_EQ(chosen.name, padded("Chicago Midway"));
    // Inside the first folder, which the save collapses first: still the one marked.
    EXPECT_EQ(chosen.recordNumber, 2);
    EXPECT_EQ(markedRecords(readFileBytes("TarvixDb.dat")), "2");
}

// An airport altitude the editor shows without the pilot typing it (from the mapping, which
// another program or an older version may have filled) is checked at OK like a typed one: the
// gauge never gets more than 99,996 ft.
TEST_F(SettingsDialog, OkRefusesAnAirportAltitudeAbove99996WhereverItCameFrom) {
    const struct {
        double mapped;
        bool accepted;
    } cases[] = {{99996, true}, {99997, false}, {99999, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapped);
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        ExchangeRecord options{};
        options.airportAutopilot = 1;
        options.airportAltitudeHold = 1;
        options.airportAltitude = c.mapped;
        ASSERT_EQ(library.setData(&options), 1);
        bool stillOpen = false;
        std::vector<DialogDriver::Step> steps = {
            [](HWND dialog) { selectLabel(dialog, "Chicago Midway"); }, pressOk};
        if (!c.accepted) {
            steps.push_back([&](HWND dialog) { stillOpen = IsWindowVisible(dialog) != 0; });
            steps.push_back(pressCancel);
        }
        run(steps);
        if (c.accepted) {
            EXPECT_EQ(boxTexts(), std::vector<std::string>{});
            EXPECT_EQ(exchange().airportAltitude, c.mapped);
            continue;
        }
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please Enter from 0 to 99996 ft.!"});
        EXPECT_EQ(exchange().airportAltitude, c.mapped) << "Cancel hands the gauge nothing new";
    }
}

TEST_F(SettingsDialog, AfterCancelTheGaugeReadsWhatItStoredBefore) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    ExchangeRecord before{};
    std::strcpy(before.ident, "KORD");
    std::strcpy(before.name, "Chicago O'Hare");
    before.airportAltitude = 3500;
    before.recordNumber = 3;
    ASSERT_EQ(library.setData(&before), 1);
    run({[](HWND dialog) {
             clickButton(dialog, IDC_AIRPORT_AUTOPILOT_ON);
             selectLabel(dialog, "001 - Milwaukee");
         },
         pressCancel});
    ExchangeRecord after = exchange();
    EXPECT_EQ(after.name, padded("Chicago O'Hare"));
    EXPECT_EQ(after.airportAutopilot, 0);
    EXPECT_EQ(after.recordNumber, 3);
    EXPECT_EQ(after.mode, 0);
}

TEST_F(SettingsDialog, RefusesToOpenWhenTheDatabaseCannotBeKeptWhole) {
    struct Refusal {
        const char* what;
        std::string database;
        const char* held; // a file another program holds, or nullptr
        const char* messageStart;
    };
    std::string tooMany;
    for (int i = 0; i < 65536; ++i)
        tooMany += airportLine("A", "Airport");
    const Refusal refusals[] = {
        {"backup held", sampleDatabase(), "TarvixDb.bak",
         "The waypoint database cannot be backed up"},
        {"database held", sampleDatabase(), "TarvixDb.dat",
         "The waypoint database cannot be backed up"},
        {"too many records", tooMany, nullptr, "The waypoint database holds more than 65535"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        writeFileBytes("TarvixDb.dat", r.database);
        writeFileBytes("TarvixDb.bak", "old backup");
        int result = 0;
        {
            FileHold hold(r.held ? r.held : "unrelated.txt");
            result = run({pressOk});
        }
        EXPECT_EQ(result, 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind(r.messageStart, 0), 0u) << boxes[0].text;
        EXPECT_TRUE(readFileBytes("TarvixDb.dat") == r.database) << "database changed";
    }
}

TEST_F(SettingsDialog, ASaveRefusedAtOkLeavesTheDatabaseAndTheDialogForAnotherTry) {
    const std::string database = sampleDatabase();
    writeFileBytes("TarvixDb.dat", database);
    std::string fileBefore, fileAfterRefusal, editorAfterRefusal;
    run({[&](HWND dialog) {
             selectLabel(dialog, "Chicago Midway");
             type(dialog, IDC_NAME, "Midway Renamed");
             fileBefore = readFileBytes("TarvixDb.dat");
             FileHold hold("TarvixDb.dat");
             clickButton(dialog, IDOK);
         },
         [&](HWND dialog) {
             fileAfterRefusal = readFileBytes("TarvixDb.dat");
             editorAfterRefusal = selectedLabel(dialog) + "/" + controlText(dialog, IDC_NAME);
         },
         pressOk});
    ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxTexts());
    EXPECT_EQ(boxes[0].text.rfind("The waypoint database could not be written", 0), 0u);
    EXPECT_EQ(fileAfterRefusal, fileBefore);
    EXPECT_EQ(editorAfterRefusal, "Midway Renamed/Midway Renamed");
    ExchangeRecord chosen = exchange();
    EXPECT_EQ(chosen.name, padded("Midway Renamed"));
    EXPECT_EQ(chosen.recordNumber, 2);
}

// Stands between the tree and its window procedure, noting the commands it is sent.
std::vector<int> treeCommands;
WNDPROC treeProcedure = nullptr;
LRESULT CALLBACK noteTreeCommand(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND)
        treeCommands.push_back(LOWORD(wParam));
    return CallWindowProcA(treeProcedure, tree, message, wParam, lParam);
}

TEST_F(SettingsDialog, ToolbarButtonsReachTheTreeAsItsCommandsWithTheirTooltips) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    const std::pair<int, const char*> expected[] = {
        {IDM_NEW_AIRPORT, "New Airport"},
        {IDM_NEW_AIRPORT_FOLDER, "New Airport Folder"},
        {IDM_NEW_TOUR, "New Tour"},
        {IDM_NEW_TOUR_FOLDER, "New Tour Folder"},
        {IDM_CUT, "Cut"},
        {IDM_COPY, "Copy"},
        {IDM_PASTE, "Paste"},
        {IDM_DELETE, "Delete"},
    };
    int buttons = 0;
    std::vector<std::string> tips;
    treeCommands.clear();
    run({[&](HWND dialog) {
             HWND toolbar = GetDlgItem(GetDlgItem(dialog, IDC_TOOLBAR_HOST), IDC_TOOLBAR);
             ASSERT_NE(toolbar, nullptr);
             buttons = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
             HWND tooltip = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
             HWND tree = treeOf(dialog);
             treeProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                 tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&noteTreeCommand)));
             for (int i = 0; i < buttons; ++i) {
                 TBBUTTON button{};
                 SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
                 if (button.fsStyle & TBSTYLE_SEP)
                     continue;
                 char text[64] = "";
                 TOOLINFOA tool{};
                 tool.cbSize = TTTOOLINFOA_V1_SIZE;
                 tool.hwnd = toolbar;
                 tool.uId = static_cast<UINT_PTR>(button.idCommand);
                 tool.lpszText = text;
                 SendMessageA(tooltip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
                 tips.push_back(text);
                 RECT r{};
                 SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
                 LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
                 SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, centre);
                 SendMessageA(toolbar, WM_LBUTTONUP, 0, centre);
             }
             SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProcedure));
         },
         pressCancel});
    EXPECT_EQ(buttons, 11);
    std::vector<int> wantCommands;
    std::vector<std::string> wantTips;
    for (const auto& [command, tip] : expected) {
        wantCommands.push_back(command);
        wantTips.push_back(tip);
    }
    EXPECT_EQ(treeCommands, wantCommands);
    EXPECT_EQ(tips, wantTips);
}

TEST_F(SettingsDialog, TheTreeShowsEachKindWithItsPictures) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    std::string images;
    run({[&](HWND dialog) {
             HWND tree = treeOf(dialog);
             HIMAGELIST list = reinterpret_cast<HIMAGELIST>(
                 SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
             int cx = 0, cy = 0;
             ImageList_GetIconSize(list, &cx, &cy);
             images = std::to_string(ImageList_GetImageCount(list)) + " of " + std::to_string(cx) +
                      "x" + std::to_string(cy) + ":";
             SendMessageA(tree, TVM_EXPAND, TVE_EXPAND,
                          reinterpret_cast<LPARAM>(treeStep(tree, nullptr, TVGN_ROOT)));
             for (const char* label :
                  {" Chicago", "Chicago Midway", " Around the lake", "001 - Milwaukee"}) {
                 HTREEITEM item = findTreeItem(tree, label);
                 TVITEMA data{};
                 data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
                 data.hItem = item;
                 SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
                 images +=
                     " " + std::to_string(data.iImage) + "/" + std::to_string(data.iSelectedImage);
             }
         },
         pressCancel});
    // Folders ask for their picture: the expanded airport folder is open (1), the collapsed
    // tour folder closed (4).
    EXPECT_EQ(images, "8 of 16x16: 1/1 2/3 4/5 6/7");
}

} // namespace
