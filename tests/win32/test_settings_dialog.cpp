// The settings dialog through the library's export, worked through its controls as a pilot
// would: what it shows on opening, what OK writes and hands to the gauge, what Cancel puts back,
// the editor's rules, and the refusals that keep the database whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "testkit/db_fixtures.h"
#include "testkit/import_slots.h"
#include "testkit/refused_opens.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"

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

// The memory the gauge reads the choice from cannot be made (the system refuses it): OK still
// saves the database and closes (the tree no longer matches the saved file, so the dialog cannot
// stay), and says that the gauge was not told, instead of closing as if all went well.
HANDLE WINAPI refusedMapping(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD, LPCSTR) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST_F(SettingsDialog, OkThatCannotHandTheGaugeItsChoiceSaysSo) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    void** slot = importSlot(library.module(), "KERNEL32.dll", "CreateFileMappingA");
    ASSERT_NE(slot, nullptr);
    void* system = replaceImport(slot, reinterpret_cast<void*>(&refusedMapping));
    run({[](HWND dialog) { selectLabel(dialog, "Chicago Midway"); }, pressOk});
    replaceImport(slot, system);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "The waypoint database is saved, but the choice could not be handed "
                              "to the gauge (the system refused the memory they share). Open the "
                              "dialog and press OK again."});
    EXPECT_EQ(markedRecords(readFileBytes("TarvixDb.dat")), "2");
    ExchangeRecord state = {};
    EXPECT_EQ(library.getData(&state), 0) << "the gauge finds no choice";
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
        std::string controls;
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
                controls = text(IDC_LATITUDE_DEGREES) + " " + text(IDC_LATITUDE_MINUTES) + " " +
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
        EXPECT_EQ(controls, c.shownLatLon);
    }
}

TEST_F(SettingsDialog, CurrentReadTakesTheAircraftsPosition) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    aircraft.aircraftLatitude = -5000874;                 // 45 degrees south
    aircraft.aircraftLongitude = 1.5 * 140737488355328.0; // 90 degrees west
    std::string controls;
    run({[&](HWND dialog) {
             selectLabel(dialog, "Chicago Midway");
             clickButton(dialog, IDC_CURRENT_READ);
             auto text = [dialog](int id) { return controlText(dialog, id); };
             controls = std::string(isChecked(dialog, IDC_SOUTH) ? "S " : "N ") +
                        text(IDC_LATITUDE_DEGREES) + " " + text(IDC_LATITUDE_MINUTES) + " " +
                        text(IDC_LATITUDE_SECONDS) + (isChecked(dialog, IDC_WEST) ? " W " : " E ") +
                        text(IDC_LONGITUDE_DEGREES) + " " + text(IDC_LONGITUDE_MINUTES) + " " +
                        text(IDC_LONGITUDE_SECONDS);
         },
         pressCancel});
    EXPECT_EQ(controls, "S 45 0 0 W 90 0 0");
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
        bool sharedRead;  // the hold lets others read (the backup copy then succeeds)
        const char* messageStart;
    };
    std::string tooMany;
    for (int i = 0; i < 65536; ++i)
        tooMany += airportLine("A", "Airport");
    const Refusal refusals[] = {
        {"backup held", sampleDatabase(), "TarvixDb.bak", false,
         "The waypoint database cannot be backed up"},
        {"database held", sampleDatabase(), "TarvixDb.dat", false,
         "The waypoint database cannot be backed up"},
        {"database held for reading", sampleDatabase(), "TarvixDb.dat", true,
         "The waypoint database cannot be read whole"},
        {"too many records", tooMany, nullptr, false,
         "The waypoint database holds more than 65535"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        writeFileBytes("TarvixDb.dat", r.database);
        writeFileBytes("TarvixDb.bak", "old backup");
        int result = 0;
        {
            FileHold hold(r.held ? r.held : "unrelated.txt", r.sharedRead);
            ASSERT_TRUE(!r.held || hold.held());
            result = run({pressOk});
        }
        EXPECT_EQ(result, 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind(r.messageStart, 0), 0u) << boxes[0].text;
        EXPECT_TRUE(readFileBytes("TarvixDb.dat") == r.database) << "database changed";
    }
}

bool readOnly(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A database copied from a CD keeps its read-only mark, and the copies a library makes of it
// take the mark too. The pilot's own file keeps it, and the dialog says why it does not open;
// the library's copies left read-only by an earlier session never stop a later one.
TEST_F(SettingsDialog, AReadOnlyDatabaseIsNamedAndReadOnlyLeftoversNeverStopASession) {
    struct Case {
        const char* readOnly; // the file carrying the mark as the dialog opens
        const DialogDriver::Step& close;
        const char* messageStart; // the one message, or nullptr for none
    };
    const Case cases[] = {
        {"TarvixDb.dat", pressOk, "The waypoint database \"TarvixDb.dat\" is read-only"},
        {"TarvixDb.bak", pressCancel, nullptr},
        {"TarvixDb.bak", pressOk, nullptr},
        {"TarvixDb.new", pressOk, nullptr},
        {"TarvixDb.new", pressCancel, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readOnly);
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        writeFileBytes(c.readOnly, sampleDatabase());
        ASSERT_TRUE(SetFileAttributesA(c.readOnly, FILE_ATTRIBUTE_READONLY));
        const std::string before = readFileBytes("TarvixDb.dat");
        boxes.clear();
        run({c.close});
        if (c.messageStart) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text.rfind(c.messageStart, 0), 0u) << boxes[0].text;
        } else {
            EXPECT_TRUE(boxes.empty()) << ::testing::PrintToString(boxTexts());
        }
        EXPECT_EQ(readOnly("TarvixDb.dat"), c.messageStart != nullptr);
        EXPECT_FALSE(readOnly("TarvixDb.bak") && c.messageStart == nullptr);
        if (&c.close == &pressCancel || c.messageStart) {
            EXPECT_TRUE(readFileBytes("TarvixDb.dat") == before) << "database changed";
        }
        for (const char* name : {"TarvixDb.dat", "TarvixDb.bak", "TarvixDb.new"})
            SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
    }
}

// The files as a crash leaves them: taken while the dialog is open, put back once it is gone.
struct DiskAtCrash {
    std::vector<std::pair<const char*, std::string>> files;
    void take() {
        for (const char* name : {"TarvixDb.dat", "TarvixDb.bak", "TarvixDb.ses"})
            files.emplace_back(name, readFileBytes(name));
    }
    void putBack() const {
        for (const auto& [name, bytes] : files)
            writeFileBytes(name, bytes);
    }
};

// The simulator stopped while the dialog was open, after an edit: the next opening puts the
// accepted database back and says so; without the backup it keeps what there is and says that;
// while the backup is held it changes nothing and opens only once it can put it back.
TEST_F(SettingsDialog, AnOpeningAfterACrashPutsTheAcceptedDatabaseBackAndSaysSo) {
    struct Case {
        const char* what;
        bool removeBackup, holdBackup;
        const char* messageStart;
        bool accepted; // the database is the one accepted before the crash, else the working copy
    };
    const Case cases[] = {
        {"as the crash left it", false, false, "The settings dialog did not close properly", true},
        {"backup gone", true, false,
         "The settings dialog did not close properly the last "
         "time, and the copy taken",
         false},
        {"backup held", false, true,
         "The settings dialog did not close properly the last "
         "time, and the waypoint database cannot be put back",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        DiskAtCrash disk;
        run({[&](HWND dialog) {
                 selectLabel(dialog, "Chicago Midway");
                 command(dialog, IDM_NEW_AIRPORT);
                 disk.take();
             },
             pressCancel});
        disk.putBack();
        if (c.removeBackup)
            DeleteFileA("TarvixDb.bak");
        const std::string working = readFileBytes("TarvixDb.dat");
        {
            FileHold hold(c.holdBackup ? "TarvixDb.bak" : "unrelated.txt");
            run({pressCancel});
        }
        ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxTexts());
        EXPECT_EQ(boxes[0].text.rfind(c.messageStart, 0), 0u) << boxes[0].text;
        EXPECT_TRUE(readFileBytes("TarvixDb.dat") == (c.accepted ? sampleDatabase() : working));
        // Once nothing holds it, the next opening puts back what the held one could not.
        run({pressCancel});
        EXPECT_EQ(boxes.size(), c.holdBackup ? 1u : 0u);
        EXPECT_TRUE(readFileBytes("TarvixDb.dat") == (c.removeBackup ? working : sampleDatabase()));
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
             // The entry's own record is written; the save's open of the database is refused.
             RefusedDatabaseOpens refused(library.module(), 2, 2);
             clickButton(dialog, IDOK);
         },
         [&](HWND dialog) {
             fileAfterRefusal = readFileBytes("TarvixDb.dat");
             editorAfterRefusal = selectedLabel(dialog) + "/" + controlText(dialog, IDC_NAME);
         },
         pressOk});
    ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxTexts());
    EXPECT_EQ(boxes[0].text.rfind("The waypoint database could not be written", 0), 0u);
    const std::string renamed = "Midway Renamed"; // as long as the name it replaces
    EXPECT_EQ(fileAfterRefusal,
              fileBefore.replace(fileBefore.find("Chicago Midway"), renamed.size(), renamed));
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

// Whatever opens of the database another program's hold refuses as the dialog opens, OK never
// leaves it with less than it had: the dialog refuses to open, or it opens on the whole tree.
TEST_F(SettingsDialog, AHoldOnTheDatabaseAsItOpensNeverCostsARecord) {
    const std::string database = sampleDatabase();
    const char* names[] = {"Chicago",   "Chicago Midway", "Chicago O'Hare", "Around the lake",
                           "Milwaukee", "Escanaba",       "Muskegon"};
    for (int first = 1; first <= 6; ++first) {
        SCOPED_TRACE("opens " + std::to_string(first) + " to " + std::to_string(first + 2) +
                     " refused");
        writeFileBytes("TarvixDb.dat", database);
        {
            RefusedDatabaseOpens refused(library.module(), first, first + 2);
            run({pressOk, pressCancel});
        }
        const std::string after = readFileBytes("TarvixDb.dat");
        for (const char* name : names)
            EXPECT_NE(after.find(name), std::string::npos) << name << " lost:\n" << after;
        EXPECT_EQ(after.size(), database.size());
    }
}

TEST_F(SettingsDialog, AnEntryWhoseReadIsRefusedIsNeverWrittenBlank) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    std::string shownName;
    run({[&](HWND dialog) {
             // The first open stores the entry left, the second reads the one chosen.
             RefusedDatabaseOpens refused(library.module(), 2, 2);
             selectLabel(dialog, "Chicago Midway");
             shownName = controlText(dialog, IDC_NAME);
         },
         pressOk, // the chosen entry was never read: not handed to the gauge
         [](HWND dialog) { selectLabel(dialog, "Chicago O'Hare"); },
         [](HWND dialog) { selectLabel(dialog, "Chicago Midway"); }, pressOk});
    ASSERT_EQ(boxes.size(), 2u) << ::testing::PrintToString(boxTexts());
    EXPECT_EQ(boxes[0].text.rfind("This entry could not be read", 0), 0u);
    EXPECT_EQ(boxes[1].text.rfind("The chosen entry could not be read", 0), 0u);
    EXPECT_EQ(shownName, "");
    const std::string saved = readFileBytes("TarvixDb.dat");
    EXPECT_EQ(saved.substr(64, 64), airportLine("KMDW", "Chicago Midway", "-1"));
    EXPECT_EQ(exchange().name, padded("Chicago Midway"));
}

// A refused write of what the pilot typed is said, and the entry stays selected with the typing
// kept, its label and the gauge keeping to what the record holds meanwhile: whatever would have
// left the entry (a click, a key, a drag's start, OK), so that the next try stores the typing.
TEST_F(SettingsDialog, ARefusedWriteOfTheEditorIsSaidAndTheTypingKept) {
    const char* const leaving = "The changes to this entry could not be written";
    const struct {
        const char* what;
        DialogDriver::Step leave;
        const char* message;
    } cases[] = {
        {"a click on another entry", [](HWND dialog) { selectLabel(dialog, "Chicago O'Hare"); },
         leaving},
        {"the down key", [](HWND dialog) { SendMessageA(treeOf(dialog), WM_KEYDOWN, VK_DOWN, 1); },
         leaving},
        {"a drag's start",
         [](HWND dialog) {
             startDrag(dialog, "Chicago O'Hare");
             holdLeftButton(false);
         },
         leaving},
        {"OK", pressOk, "The chosen entry could not be written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        std::string labelAfter, fileAfter, selectedAfter, typedAfter;
        bool openAfter = false;
        run({[&](HWND dialog) {
                 selectLabel(dialog, "Chicago Midway");
                 type(dialog, IDC_NAME, "Midway Renamed");
                 RefusedDatabaseOpens refused(library.module(), 1, 1);
                 c.leave(dialog);
                 openAfter = IsWindowVisible(dialog) != 0;
                 labelAfter =
                     itemText(treeOf(dialog), findTreeItem(treeOf(dialog), "Chicago Midway"));
                 fileAfter = readFileBytes("TarvixDb.dat");
                 selectedAfter = selectedLabel(dialog);
                 typedAfter = controlText(dialog, IDC_NAME);
             },
             pressOk, pressCancel});
        ASSERT_EQ(boxes.size(), 1u) << ::testing::PrintToString(boxTexts());
        EXPECT_EQ(boxes[0].text.rfind(c.message, 0), 0u) << boxes[0].text;
        EXPECT_TRUE(openAfter);
        EXPECT_EQ(labelAfter, "Chicago Midway");
        EXPECT_EQ(fileAfter.find("Midway Renamed"), std::string::npos);
        EXPECT_EQ(selectedAfter, "Chicago Midway");
        EXPECT_EQ(typedAfter, "Midway Renamed");
        EXPECT_EQ(exchange().name, padded("Midway Renamed")) << "the second OK";
        EXPECT_EQ(readFileBytes("TarvixDb.dat").substr(64, 64),
                  airportLine("KMDW", "Midway Renamed", "-1"));
    }
}

// A tour item whose stored altitude is out of range (an import or a hand-edited file) is shown
// without a check, so the tree, Cancel and OK keep working, even right after the pilot typed
// into the edit that shows it; a bad altitude the pilot typed stops holding the dialog once its
// edit is disabled.
TEST_F(SettingsDialog, AnAltitudeOutOfRangeNeverLocksTheDialog) {
    const struct {
        const char* what;
        const char* stored;
        const char* nextStored; // a fifth item after "004 - High", nullptr for none
        int tourAutopilot;
        DialogDriver::Step act;
        const char* selectedAfter; // once the pilot has pressed the up key in the tree
    } cases[] = {
        {"99999 stored, autopilot off", "99999", nullptr, 0,
         [](HWND dialog) { selectLabel(dialog, "004 - High"); }, "003 - Muskegon"},
        {"-5 stored, autopilot off", "-5", nullptr, 0,
         [](HWND dialog) { selectLabel(dialog, "004 - High"); }, "003 - Muskegon"},
        {"99999 stored, edit enabled", "99999", nullptr, 1,
         [](HWND dialog) { selectLabel(dialog, "004 - High"); }, "003 - Muskegon"},
        {"3000 typed, then 99999 shown with the focus still in the edit", "2000", "99999", 1,
         [](HWND dialog) {
             selectLabel(dialog, "004 - High");
             type(dialog, IDC_TOUR_ALTITUDE, "3000");
             selectLabel(dialog, "005 - Higher");
         },
         "004 - High"},
        {"99999 typed, then autopilot off", "2000", nullptr, 1,
         [](HWND dialog) {
             selectLabel(dialog, "004 - High");
             type(dialog, IDC_TOUR_ALTITUDE, "99999");
             CheckRadioButton(dialog, IDC_TOUR_AUTOPILOT_ON, IDC_TOUR_AUTOPILOT_OFF,
                              IDC_TOUR_AUTOPILOT_OFF);
             SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TOUR_AUTOPILOT_OFF, BN_CLICKED),
                          reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_TOUR_AUTOPILOT_OFF)));
         },
         "003 - Muskegon"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LineFields high;
        high.ident = "004";
        high.name = "High";
        high.tourFlag = "1";
        high.altitudeHoldFlag = "1";
        high.altitude = c.stored;
        std::string database = sampleDatabase() + recordLine(high);
        if (c.nextStored) {
            high.ident = "005";
            high.name = "Higher";
            high.altitude = c.nextStored;
            database += recordLine(high);
        }
        writeFileBytes("TarvixDb.dat", database);
        ExchangeRecord options{};
        options.tourAutopilot = c.tourAutopilot;
        ASSERT_EQ(library.setData(&options), 1);
        std::string selectedAfter;
        run({c.act,
             [&](HWND dialog) {
                 SendMessageA(treeOf(dialog), WM_KEYDOWN, VK_UP, 0); // as the pilot moves on
                 selectedAfter = selectedLabel(dialog);
             },
             pressCancel});
        EXPECT_EQ(selectedAfter, c.selectedAfter);
        EXPECT_FALSE(fileExists("TarvixDb.$$$"));
    }
}

// Six openings and closings: each time the tree and the toolbar's host are destroyed with their
// own window procedures, and the tree's own clean-up deletes every item.
int deletedItems = 0;
std::vector<std::string> foreignProcedures;
LRESULT CALLBACK watchDestruction(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT& sent = *reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent.message == WM_NOTIFY) {
        const UINT notification = reinterpret_cast<NMHDR*>(sent.lParam)->code;
        if (notification == TVN_DELETEITEMA || notification == TVN_DELETEITEMW)
            ++deletedItems;
    }
    if (code == HC_ACTION && (sent.message == WM_DESTROY || sent.message == WM_NCDESTROY)) {
        const int id = GetDlgCtrlID(sent.hwnd);
        if ((id == IDC_TREE || id == IDC_TOOLBAR_HOST) &&
            GetWindowLongPtrA(sent.hwnd, GWLP_WNDPROC) !=
                static_cast<LONG_PTR>(GetClassLongPtrA(sent.hwnd, GCLP_WNDPROC)))
            foreignProcedures.push_back(std::to_string(id));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SettingsDialog, TheTreeAndTheToolbarHostCleanUpWithTheirOwnProcedures) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    deletedItems = 0;
    foreignProcedures.clear();
    HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, &watchDestruction, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const int openings = 6;
    for (int i = 0; i < openings; ++i)
        run({i % 2 ? pressOk : pressCancel});
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(foreignProcedures, std::vector<std::string>{});
    EXPECT_EQ(deletedItems, openings * 7);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{});
}

// The options as the gauge stored them: the hold box and the altitude follow "On" for the first
// item selected when no entry is marked, and an altitude that is no number shows as 0.
TEST_F(SettingsDialog, TheAirportOptionsShowAsStoredForTheFirstItem) {
    const struct {
        double stored;
        const char* shown;
    } cases[] = {{3500.7, "3500"}, {std::nan(""), "0"}, {1e300, "0"}, {-HUGE_VAL, "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        writeFileBytes("TarvixDb.dat", airportLine("KMDW", "Chicago Midway") +
                                           folderLine("Around the lake", 1, true) +
                                           tourItemLine(1, "Milwaukee"));
        ExchangeRecord options{};
        options.airportAutopilot = 1;
        options.airportAltitudeHold = 1;
        options.airportAltitude = c.stored;
        ASSERT_EQ(library.setData(&options), 1);
        std::string controls;
        run({[&](HWND dialog) {
                 controls = selectedLabel(dialog) +
                            (isEnabled(dialog, IDC_AIRPORT_ALTITUDE_HOLD) ? " hold enabled"
                                                                          : " hold grey") +
                            (isEnabled(dialog, IDC_AIRPORT_ALTITUDE) ? " altitude enabled "
                                                                     : " altitude grey ") +
                            controlText(dialog, IDC_AIRPORT_ALTITUDE);
             },
             pressCancel});
        EXPECT_EQ(controls, std::string("Chicago Midway hold enabled altitude enabled ") + c.shown);
    }
}

// Digits typed one by one, as the edit receives them from the keyboard.
void typeKeys(HWND dialog, int id, const char* keys) {
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SetWindowTextA(edit, "");
    for (const char* key = keys; *key; ++key)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*key), 0);
}

// Whether the edit shows its whole text inside its room: "whole", or what it shows instead.
std::string shownWhole(HWND dialog, int id) {
    HWND edit = GetDlgItem(dialog, id);
    RECT room{};
    SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    const std::string text = controlText(dialog, id);
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    const int start = static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0)));
    if (start >= room.left && start + extent.cx <= room.right)
        return "whole";
    return text + " from " + std::to_string(start) + " over " + std::to_string(extent.cx) +
           " pixels in " + std::to_string(room.left) + ".." + std::to_string(room.right);
}

// Every digit the pilot types reaches the edit whatever font the system draws the dialog with
// (the template's face is missing on most systems and here), and as many digits as the field
// holds show whole; a sixth altitude digit scrolls, and is read as the first five.
TEST_F(SettingsDialog, EveryDigitTypedReachesTheEditAndTheFieldsWidthShowsWhole) {
    writeFileBytes("TarvixDb.dat", sampleDatabase());
    ASSERT_TRUE(storeAirportAltitudeHold());
    const struct {
        int id;
        const char* typed;
        bool whole;
    } cases[] = {
        {IDC_AIRPORT_ALTITUDE, "10000", true},   {IDC_AIRPORT_ALTITUDE, "88888", true},
        {IDC_AIRPORT_ALTITUDE, "123456", false}, {IDC_LATITUDE_DEGREES, "888", true},
        {IDC_LONGITUDE_DEGREES, "180", true},    {IDC_LATITUDE_MINUTES, "88", true},
        {IDC_LONGITUDE_SECONDS, "59", true},
    };
    std::vector<std::string> typed, whole;
    run({[&](HWND dialog) {
             selectLabel(dialog, "Chicago Midway");
             for (const auto& c : cases) {
                 typeKeys(dialog, c.id, c.typed);
                 typed.push_back(controlText(dialog, c.id));
                 if (c.whole)
                     whole.push_back(shownWhole(dialog, c.id));
             }
         },
         pressCancel});
    std::vector<std::string> wantTyped, wantShown;
    for (const auto& c : cases) {
        wantTyped.push_back(c.typed);
        if (c.whole)
            wantShown.push_back("whole");
    }
    EXPECT_EQ(typed, wantTyped);
    EXPECT_EQ(whole, wantShown);
}

} // namespace
