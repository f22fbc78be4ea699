// loadTree and saveTree on a real tree view, against databases laid out column by column.
#include <gtest/gtest.h>

#include "dialog/db_file.h"
#include "dialog/tree_map.h"
#include "tests/win32/db_fixtures.h"
#include "tests/win32/test_support.h"

namespace {

class TreeMap : public ::testing::Test {
  protected:
    void SetUp() override { enterFreshFolder(); }
    std::string load(const std::string& database) {
        writeFileBytes(databaseFileName, database);
        EXPECT_EQ(loadTree(view.tree(), &choice), treeLoaded);
        return view.dump();
    }
    TreeWindow view;
    HTREEITEM choice = nullptr;
};

TEST_F(TreeMap, FolderLevelsGiveTheTreeShape) {
    std::string tree =
        load(airportLine("AAAA", "Top airport") + folderLine("One", 1) + folderLine("Three", 3) +
             airportLine("BBBB", "In three") + folderLine("Two", 2) + folderLine("Next one", 1) +
             folderLine("Tour", 1, true) + tourItemLine(1, "Start"));
    EXPECT_EQ(tree, "Top airport [1 0]\n"
                    " One [2 1]\n"
                    "   Three [3 3]\n"
                    "    In three [4 0]\n"
                    " Two [5 2]\n"
                    " Next one [6 1]\n"
                    " Tour [7 101]\n"
                    "  001 - Start [8 100]\n");
    EXPECT_EQ(choice, nullptr);
}

TEST_F(TreeMap, HostileLevelsStillPlaceEveryRecord) {
    std::string tree =
        load(folderLine("Seven", 7) + folderLine("Ninety-nine", 99) + airportLine("CCCC", "Deep") +
             folderLine("Back to one", 1) + airportLine("DDDD", "Letters", "x7") +
             airportLine("EEEE", "Zero", "0"));
    EXPECT_EQ(tree, " Seven [1 7]\n"
                    "   Ninety-nine [2 99]\n"
                    "    Deep [3 0]\n"
                    " Back to one [4 1]\n"
                    "  Letters [5 0]\n"
                    "  Zero [6 0]\n");
}

TEST_F(TreeMap, MarkersAreTakenOffTheFileAndTheLastIsTheChoice) {
    std::string database = airportLine("AAAA", "First", "-1") +
                           airportLine("BBBB", "Second", "-5") + airportLine("CCCC", "Third");
    load(database);
    EXPECT_EQ(choice, view.find("Second"));
    EXPECT_EQ(readFileBytes(databaseFileName), airportLine("AAAA", "First") +
                                                   airportLine("BBBB", "Second") +
                                                   airportLine("CCCC", "Third"));
}

TEST_F(TreeMap, MoreRecordsThanTheDataWordCanNumberAreRefusedUntouched) {
    std::string line = airportLine("AAAA", "Airport", "-1");
    std::string database;
    database.reserve(65536 * 64);
    for (int i = 0; i < 65536; ++i)
        database += line;
    writeFileBytes(databaseFileName, database);
    EXPECT_EQ(loadTree(view.tree(), &choice), treeTooLarge);
    EXPECT_EQ(view.dump(), "");
    EXPECT_EQ(readFileBytes(databaseFileName), database);
}

TEST_F(TreeMap, HeldDatabaseIsNeitherLoadedNorSaved) {
    std::string database = airportLine("AAAA", "Airport", "-1");
    writeFileBytes(databaseFileName, database);
    FileHold hold(databaseFileName);
    ASSERT_TRUE(hold.held());
    EXPECT_EQ(loadTree(view.tree(), &choice), treeUnreadable);
    view.select(view.append(nullptr, "Airport", 1));
    EXPECT_EQ(saveTree(view.tree()), treeSaveFailed);
    EXPECT_FALSE(fileExists(scratchFileName));
}

TEST_F(TreeMap, SaveWritesTreeOrderWithDepthsAndTheMarker) {
    // The database in an order the pilot's edits left it in; the tree decides the new order.
    writeFileBytes(databaseFileName, folderLine("A", 4) + airportLine("AAAA", "In A") +
                                         folderLine("B", 1, true) + tourItemLine(1, "In B") +
                                         airportLine("TTTT", "Top") + airportLine("XXXX", "Gone"));
    HTREEITEM a = view.append(nullptr, " A", 0x00010001);
    HTREEITEM b = view.append(a, " B", 0x00650003);
    view.append(b, "001 - In B", 0x00640004);
    view.append(a, "In A", 2);
    HTREEITEM top = view.append(nullptr, "Top", 5);
    view.select(top);
    EXPECT_EQ(saveTree(view.tree()), 1);
    EXPECT_EQ(readFileBytes(databaseFileName),
              airportLine("TTTT", "Top", "-1") + folderLine("A", 1) + airportLine("AAAA", "In A") +
                  folderLine("B", 2, true) + tourItemLine(1, "In B"));
    EXPECT_FALSE(fileExists(scratchFileName));
}

TEST_F(TreeMap, FoldersDeeperThanNinetyNineAreWrittenAtNinetyNine) {
    std::string database;
    HTREEITEM parent = nullptr;
    for (int depth = 1; depth <= 101; ++depth) {
        database += folderLine("F", depth > 99 ? 99 : depth);
        parent = view.append(parent, " F", 0x00010000u | depth);
    }
    writeFileBytes(databaseFileName, folderLine("F", 1) + database.substr(64));
    view.select(parent);
    EXPECT_EQ(saveTree(view.tree()), 0); // a folder selected: no marker anywhere
    EXPECT_EQ(readFileBytes(databaseFileName), database);
}

TEST_F(TreeMap, RoundTripChangesOnlyTheMarkerAndKeepsTrailingBytes) {
    std::string tail = "KSFO San Fr"; // what a cut-off copy left of one more record
    std::string before = airportLine("AAAA", "First", "-1") + folderLine("Tours", 1, true) +
                         tourItemLine(1, "One") + tourItemLine(2, "Two", "4500") +
                         folderLine("Sub", 2) + airportLine("BBBB", "Second") + tail;
    load(before);
    EXPECT_EQ(choice, view.find("First"));
    view.select(view.find("002 - Two"));
    EXPECT_EQ(saveTree(view.tree()), 4);
    EXPECT_EQ(readFileBytes(databaseFileName),
              airportLine("AAAA", "First") + folderLine("Tours", 1, true) + tourItemLine(1, "One") +
                  tourItemLine(2, "Two", "4500", "-1") + folderLine("Sub", 2) +
                  airportLine("BBBB", "Second") + tail);
}

TEST_F(TreeMap, ItemWithoutItsRecordFailsTheSaveAndKeepsTheDatabase) {
    std::string database = airportLine("AAAA", "Only");
    writeFileBytes(databaseFileName, database);
    view.append(nullptr, "Only", 1);
    view.append(nullptr, "Lost", 9);
    EXPECT_EQ(saveTree(view.tree()), treeSaveFailed);
    EXPECT_EQ(readFileBytes(databaseFileName), database);
    EXPECT_FALSE(fileExists(scratchFileName));
}

} // namespace
