// Import and export through the settings dialog's buttons, as a pilot works them: what the tree
// and the database hold after "Ap Imp" and "Tr Imp", what "Exp" writes, the question before an
// overwrite, and the refusals that keep files and database whole.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/module_contract.h"
#include "testkit/db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "testkit/settings_session.h"
#include "testkit/test_support.h"
#include "tests/win32/file_faults.h"

namespace {

// One airport line laid out block by block: ident 6, name 26, then hemisphere 2 and three
// numbers of 4 for each coordinate, two spaces and the line end.
std::string exchangeLine(const char* ident, const char* name, const char* const (&latitude)[4],
                         const char* const (&longitude)[4]) {
    auto block = [](const char* text, size_t width) {
        return (std::string(text) + std::string(width, ' ')).substr(0, width);
    };
    std::string line = block(ident, 6) + block(name, 26);
    for (const auto* coordinate : {&latitude, &longitude}) {
        line += block((*coordinate)[0], 2);
        for (int i = 1; i < 4; ++i)
            line += block((*coordinate)[i], 4);
    }
    return line + "  \r\n";
}

// The position of airportLine() in db_fixtures, as an airport line.
std::string chicagoLine(const char* ident, const char* name) {
    return exchangeLine(ident, name, {"N", "47", "27", "30"}, {"E", "8", "33", "5"});
}

std::string recordAt(const std::string& database, int number) {
    return database.substr(static_cast<size_t>(number - 1) * 64, 64);
}

DialogDriver::Step click(int id) {
    return [id](HWND dialog) { clickButton(dialog, id); };
}

// Chicago (records 1-5, a sub-folder inside), then a tour of three items (6-9).
std::string sampleDatabase() {
    return folderLine("Chicago", 1) + airportLine("KMDW", "Chicago Midway") +
           airportLine("KORD", "Chicago O'Hare") + folderLine("Suburbs", 2) +
           airportLine("KPWK", "Wheeling") + folderLine("Around the lake", 1, true) +
           tourItemLine(1, "Milwaukee", "3000") + tourItemLine(2, "Escanaba", "4500") +
           tourItemLine(3, "Muskegon");
}

const std::string sampleTree = " Chicago [1 1]\n"
                               "  Chicago Midway [2 0]\n"
                               "  Chicago O'Hare [3 0]\n"
                               "   Suburbs [4 2]\n"
                               "    Wheeling [5 0]\n"
                               " Around the lake [6 101]\n"
                               "  001 - Milwaukee [7 100]\n"
                               "  002 - Escanaba [8 100]\n"
                               "  003 - Muskegon [9 100]\n";

class ImportExport : public SettingsSession {
  protected:
    void SetUp() override {
        SettingsSession::SetUp();
        writeFileBytes("TarvixDb.dat", sampleDatabase());
    }

    // Runs the dialog through the steps, then the tree and the database are taken as they are
    // before the last step (OK or Cancel); message boxes are answered in turn.
    void run(std::vector<DialogDriver::Step> steps, std::vector<int> answers = {}) {
        steps.insert(steps.end() - 1, [this](HWND dialog) {
            tree = treeDump(treeOf(dialog));
            database = readFileBytes("TarvixDb.dat");
        });
        SettingsSession::run(std::move(steps), std::move(answers));
        texts = boxTexts();
    }

    std::string tree, database;
    std::vector<std::string> texts; // what the message boxes said, in turn
};

TEST_F(ImportExport, AirportImportTakesTheGoodLinesAndNamesTheOthers) {
    const std::string frankfurt =
        exchangeLine("EDDFXY", "Frankfurt Main", {"N", "50", "2", "0"}, {"E", "8", "34", "14"});
    const std::string paris =
        exchangeLine("LFPG", "Charles de Gaulle", {"N", "49", "0", "35"}, {"E", "2", "32", "52"});
    writeFileBytes(
        "Tarvix.dat",
        exchangeLine("KJFK", "John F Kennedy Intl", {"N", "40", "38", "23"},
                     {"W", "73", "46", "44"}) +
            frankfurt + std::string(62, ' ') + "\r\n" +          // a blank line
            std::string(32, ' ') + "N " + std::string(12, ' ') + // hemispheres only
            "E \r\n" + "EGLL  Heathrow                  N 51  28  39  W 0   27  41\n" +
            exchangeLine("XXXX", "Nowhere", {"N", "95", "0", "0"}, {"E", "1", "0", "0"}) +
            "KSFO\tSan Francisco\tN 37 37 08 W 122 22 30\n" + paris.substr(0, 62));
    run({click(IDC_AIRPORT_IMPORT), [](HWND dialog) { selectLabel(dialog, "Chicago Midway"); },
         click(IDOK)});
    EXPECT_EQ(tree, sampleTree + " New Airport Folder [10 1]\n"
                                 "  John F Kennedy Intl [11 0]\n"
                                 "  Frankfurt Main [12 0]\n"
                                 "  Heathrow [13 0]\n"
                                 "  Charles de Gaulle [14 0]\n");
    EXPECT_EQ(texts, std::vector<std::string>{
                         "2 lines of 'Tarvix.dat' were not imported, as they give no position to "
                         "fly to: line 6 (latitude out of range), line 7 (a tab instead of "
                         "spaces). 4 airports were imported."});
    ASSERT_EQ(database.size(), 14u * 64);
    LineFields f;
    f.ident = "EDDFX";
    f.name = "Frankfurt Main";
    const char* north[4] = {"N", "50", "2", "0"};
    const char* east[4] = {"E", "8", "34", "14"};
    std::copy(north, north + 4, f.latitude);
    std::copy(east, east + 4, f.longitude);
    EXPECT_EQ(recordAt(database, 12), recordLine(f));
    EXPECT_EQ(recordAt(database, 13).substr(30, 16), "N51 2839W0  2741");
    EXPECT_NE(readFileBytes("TarvixDb.dat").find(recordLine(f)), std::string::npos)
        << "OK keeps what was imported";
}

TEST_F(ImportExport, ExportWritesTheWholeFolderFromLineOneOnceThePilotSaysYes) {
    const std::string older = std::string(5, 'x') + std::string(57, ' ') + "\r\n";
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        writeFileBytes("Tarvix.dat", older + older + older + older); // longer than the export
        run({[](HWND dialog) {
                 selectLabel(dialog, "Chicago O'Hare");
                 SetDlgItemTextA(dialog, IDC_NAME, "O'Hare Intl"); // not yet stored
             },
             click(IDC_EXPORT), click(IDCANCEL)},
            {answer});
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "'Tarvix.dat' exist !");
        EXPECT_EQ(boxes[0].text, "Over write 'Tarvix.dat' OK ?");
        EXPECT_EQ(boxes[0].buttons, (std::vector<std::string>{"&Yes", "&No"}));
        EXPECT_EQ(boxes[0].icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_EXCLAMATION)));
        EXPECT_EQ(readFileBytes("Tarvix.dat"),
                  answer == IDYES
                      ? chicagoLine("KMDW", "Chicago Midway") + chicagoLine("KORD", "O'Hare Intl")
                      : older + older + older + older);
        EXPECT_FALSE(fileExists("TarvixEx.$$$"));
    }
    // What the export wrote reads back as the same airports.
    writeFileBytes("Tarvix.dat",
                   chicagoLine("KMDW", "Chicago Midway") + chicagoLine("KORD", "O'Hare Intl"));
    run({click(IDC_AIRPORT_IMPORT), click(IDCANCEL)});
    EXPECT_EQ(texts, std::vector<std::string>{});
    EXPECT_EQ(recordAt(database, 11), airportLine("KMDW", "Chicago Midway"));
    EXPECT_EQ(recordAt(database, 12), airportLine("KORD", "O'Hare Intl"));
}

TEST_F(ImportExport, TourExportedAndImportedAgainGivesTheSameItemsInOrder) {
    std::string exported;
    run({[](HWND dialog) { selectLabel(dialog, "002 - Escanaba"); }, click(IDC_EXPORT),
         [&](HWND) { exported = readFileBytes("TarvixTr.dat"); }, click(IDC_TOUR_IMPORT),
         click(IDCANCEL)});
    EXPECT_EQ(texts, std::vector<std::string>{}) << "no file yet: no question";
    const std::string items = tourItemLine(1, "Milwaukee", "3000") +
                              tourItemLine(2, "Escanaba", "4500") + tourItemLine(3, "Muskegon");
    EXPECT_EQ(exported, items);
    EXPECT_EQ(tree, sampleTree + " New Tour Folder [10 101]\n"
                                 "  001 - Milwaukee [11 100]\n"
                                 "  002 - Escanaba [12 100]\n"
                                 "  003 - Muskegon [13 100]\n");
    EXPECT_EQ(database.substr(10 * 64), items);
}

// What "New Airport" and "New Tour" make has no position yet (six blank numbers): exported and
// imported again it comes back in its place, as every other entry does.
TEST_F(ImportExport, EntriesWithoutAPositionYetComeBackFromTheirFile) {
    const struct {
        const char* what;
        const char* select;
        int newEntry, import;
        const char* added; // from the import's folder on
    } cases[] = {
        {"airports", "Chicago Midway", IDM_NEW_AIRPORT, IDC_AIRPORT_IMPORT,
         " New Airport Folder [11 1]\n  Chicago Midway [12 0]\n  Chicago O'Hare [13 0]\n"
         "  New Airport [14 0]\n"},
        {"tour items", "002 - Escanaba", IDM_NEW_TOUR, IDC_TOUR_IMPORT,
         " New Tour Folder [11 101]\n  001 - Milwaukee [12 100]\n  002 - Escanaba [13 100]\n"
         "  003 - Muskegon [14 100]\n  004 - New Tour [15 100]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        enterFreshFolder();
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        run({[&](HWND dialog) {
                 selectLabel(dialog, c.select);
                 command(dialog, c.newEntry);
             },
             click(IDC_EXPORT), click(c.import), click(IDCANCEL)});
        EXPECT_EQ(texts, std::vector<std::string>{});
        const size_t folder =
            tree.find(c.import == IDC_TOUR_IMPORT ? " New Tour Folder" : " New Airport Folder");
        ASSERT_NE(folder, std::string::npos) << tree;
        EXPECT_EQ(tree.substr(folder), c.added);
    }
}

// The message names the first five lines it left out and counts the rest.
TEST_F(ImportExport, TheLeftOutLinesAreCountedToTheLast) {
    const std::string outOfRange =
        exchangeLine("XXXX", "Nowhere", {"N", "95", "0", "0"}, {"E", "1", "0", "0"});
    const struct {
        int leftOut;
        const char* message;
    } cases[] = {
        {5, "5 lines of 'Tarvix.dat' were not imported, as they give no position to fly to: "
            "line 2 (latitude out of range), line 3 (latitude out of range), line 4 (latitude "
            "out of range), line 5 (latitude out of range), line 6 (latitude out of range). 1 "
            "airports were imported."},
        {7, "7 lines of 'Tarvix.dat' were not imported, as they give no position to fly to: "
            "line 2 (latitude out of range), line 3 (latitude out of range), line 4 (latitude "
            "out of range), line 5 (latitude out of range), line 6 (latitude out of range) and 2 "
            "more. 1 airports were imported."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.leftOut);
        std::string lines = chicagoLine("KMDW", "Chicago Midway");
        for (int i = 0; i < c.leftOut; ++i)
            lines += outOfRange;
        writeFileBytes("Tarvix.dat", lines);
        run({click(IDC_AIRPORT_IMPORT), click(IDCANCEL)});
        EXPECT_EQ(texts, std::vector<std::string>{c.message});
    }
}

// The records are sized by the lines kept, not by every line of the file: 16 MB of line ends
// asked for 1 GiB before, which a 32-bit process does not have.
TEST_F(ImportExport, BlankLinesCostTheImportNoMemory) {
    writeFileBytes("Tarvix.dat", chicagoLine("KMDW", "Chicago Midway") +
                                     std::string(16 * 1024 * 1024 - 64, '\n'));
    run({click(IDC_AIRPORT_IMPORT), click(IDCANCEL)});
    EXPECT_EQ(texts, std::vector<std::string>{});
    EXPECT_EQ(tree, sampleTree + " New Airport Folder [10 1]\n  Chicago Midway [11 0]\n");
}

TEST_F(ImportExport, ATourLineWithoutItsTourFlagIsStoredAsItIs) {
    LineFields f;
    f.ident = "001";
    f.name = "Lighthouse";
    const char* south[4] = {"S", "33", "1", "15"};
    std::copy(south, south + 4, f.latitude);
    writeFileBytes("TarvixTr.dat", recordLine(f));
    run({click(IDC_TOUR_IMPORT), [](HWND dialog) { selectLabel(dialog, "Chicago Midway"); },
         click(IDOK)});
    EXPECT_NE(tree.find("  001 - Lighthouse [11 100]\n"), std::string::npos) << tree;
    EXPECT_EQ(recordAt(database, 11), readFileBytes("TarvixTr.dat"));
    run({click(IDCANCEL)});
    EXPECT_NE(tree.find("  Lighthouse [11 0]\n"), std::string::npos) << "an airport after OK\n"
                                                                     << tree;
}

TEST_F(ImportExport, ImportsOfMissingEmptyBlankOrHeldFiles) {
    const struct {
        const char* what;
        const char* file;
        const char* bytes; // nullptr: no file
        bool hold;
        int button;
        std::vector<std::string> boxes;
        std::string added; // to the tree
    } cases[] = {
        {"no tour file",
         "TarvixTr.dat",
         nullptr,
         false,
         IDC_TOUR_IMPORT,
         {"Not exist 'TarvixTr.dat' !"},
         ""},
        {"an empty airport file",
         "Tarvix.dat",
         "",
         false,
         IDC_AIRPORT_IMPORT,
         {"Not exist 'Tarvix.dat' !"},
         ""},
        {"blank lines only",
         "Tarvix.dat",
         "   \r\n\r\n      \n",
         false,
         IDC_AIRPORT_IMPORT,
         {},
         " New Airport Folder [10 1]\n"},
        {"held by another program",
         "TarvixTr.dat",
         "001",
         true,
         IDC_TOUR_IMPORT,
         {"'TarvixTr.dat' cannot be read: another program may hold it. Nothing was imported."},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        enterFreshFolder();
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        if (c.bytes)
            writeFileBytes(c.file, c.bytes);
        FileHold hold(c.hold ? c.file : "no such file");
        run({click(c.button), click(IDCANCEL)});
        EXPECT_EQ(texts, c.boxes);
        EXPECT_EQ(tree, sampleTree + c.added);
        EXPECT_EQ(database.size(), sampleDatabase().size() + (c.added.empty() ? 0 : 64));
    }
}

TEST_F(ImportExport, AnImportPastTheLastRecordNumberAddsNothing) {
    std::string lines;
    for (int i = 0; i < 65530; ++i)
        lines += chicagoLine("KMDW", "Chicago Midway");
    writeFileBytes("Tarvix.dat", lines);
    run({click(IDC_AIRPORT_IMPORT), click(IDCANCEL)});
    EXPECT_EQ(texts, std::vector<std::string>{
                         "The database holds 9 records; 65531 more would pass the 65535 the "
                         "tree can address. Nothing has been added."});
    EXPECT_EQ(tree, sampleTree);
    EXPECT_EQ(database, sampleDatabase());
}

TEST_F(ImportExport, ExportRefusalsLeaveTheOldFile) {
    writeFileBytes("Tarvix.dat", "old");
    writeFileBytes("TarvixTr.dat", "old tour");
    {
        FileHold hold("Tarvix.dat");
        run({[](HWND dialog) { selectLabel(dialog, " Suburbs"); }, click(IDC_EXPORT),
             [](HWND dialog) { selectLabel(dialog, "Wheeling"); }, click(IDC_EXPORT),
             click(IDCANCEL)},
            {IDOK, IDYES});
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Do not select Folder Item !", "Over write 'Tarvix.dat' OK ?",
                         "'Tarvix.dat' could not be written: another program may hold it, or "
                         "the disk is full. The old file is unchanged."}));
    EXPECT_EQ(readFileBytes("Tarvix.dat"), "old");
    EXPECT_FALSE(fileExists("TarvixEx.$$$"));

    // A folder of both kinds: the airport export leaves the tour file alone, and says so.
    writeFileBytes("TarvixDb.dat", folderLine("Mixed", 1) + airportLine("KMDW", "Chicago Midway") +
                                       tourItemLine(1, "Milwaukee"));
    run({[](HWND dialog) { selectLabel(dialog, "Chicago Midway"); }, click(IDC_EXPORT),
         click(IDCANCEL)},
        {IDYES});
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Over write 'Tarvix.dat' OK ?",
                         "1 tour item of this folder was not written to 'Tarvix.dat', which holds "
                         "airports only. Export from one of them to write 'TarvixTr.dat'."}));
    EXPECT_EQ(readFileBytes("Tarvix.dat"), chicagoLine("KMDW", "Chicago Midway"));
    EXPECT_EQ(readFileBytes("TarvixTr.dat"), "old tour");
}

// Where the system has no one-step replace (Windows 95, 98 and ME) an export sets the old file
// aside while it renames; an export cut short there leaves it aside. The other file's export
// never takes that file for its own, and the import of the file finds it again.
TEST_F(ImportExport, AFileLeftAsideByAnExportCutShortIsNeitherLostNorMissed) {
    ASSERT_TRUE(takeOverFileCalls(library.module()));
    withoutMoveFileEx(true);
    const std::string oldTour = tourItemLine(1, "Green Bay") + tourItemLine(2, "Door County");
    const std::string oldAirports = chicagoLine("KGYY", "Gary");
    const struct {
        const char* what;
        const char* aside;    // holds the old file, whose own name is gone
        const char* target;   // that old file's name
        std::string bytes;    // its contents
        const char* other;    // the file the other export writes, there already
        const char* exported; // the entry whose folder the other export writes
        int import;
        const char* imported; // the first entry the import adds
    } cases[] = {
        {"a tour file aside, airports exported", tourExchangeAsideFileName, "TarvixTr.dat", oldTour,
         "Tarvix.dat", "Chicago Midway", IDC_TOUR_IMPORT, "001 - Green Bay"},
        {"an airport file aside, a tour exported", airportExchangeAsideFileName, "Tarvix.dat",
         oldAirports, "TarvixTr.dat", "001 - Milwaukee", IDC_AIRPORT_IMPORT, "Gary"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        enterFreshFolder();
        writeFileBytes("TarvixDb.dat", sampleDatabase());
        writeFileBytes(c.aside, c.bytes);
        writeFileBytes(c.other, "older");
        run({[&](HWND dialog) { selectLabel(dialog, c.exported); }, click(IDC_EXPORT),
             click(c.import), click(IDCANCEL)},
            {IDYES});
        EXPECT_EQ(texts,
                  std::vector<std::string>{std::string("Over write '") + c.other + "' OK ?"});
        EXPECT_NE(tree.find(c.imported), std::string::npos) << tree;
        EXPECT_EQ(readFileBytes(c.target), c.bytes);
    }
    withoutMoveFileEx(false);
}

} // namespace
