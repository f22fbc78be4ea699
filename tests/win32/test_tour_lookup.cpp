// TarvixGetTourItem through the built library, as the gauge calls it, and the file it leaves.
#include <gtest/gtest.h>

#include <cstring>

#include "common/position_units.h"
#include "testkit/db_fixtures.h"
#include "file_faults.h"
#include "testkit/test_support.h"

namespace {

class TourLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        enterFreshFolder();
        ASSERT_TRUE(library.load());
        step = library.getTourItem;
    }

    // Records 1-3 an airport folder and two airports, 4 the tour folder, 5-7 its items, 8 a
    // folder, 9 the last tour's only item.
    std::string sample(const char* markerAt5 = "-1") {
        return folderLine("Airports", 1) + airportLine("AAAA", "One") + airportLine("BBBB", "Two") +
               folderLine("Alps", 1, true) + tourItemLine(1, "Bern", "5000", markerAt5) +
               tourItemLine(2, "Sion", "7000") + tourItemLine(3, "Chur", "6500") +
               folderLine("Solo", 1, true) + tourItemLine(1, "Alone", "300");
    }
    ::testing::AssertionResult choose(int mode, int record) {
        return storeChoice(library, mode, record);
    }
    std::string marked() { return markedRecords(readFileBytes(databaseFileName)); }

    DialogLibrary library;
    TourItemExportFn step = nullptr;
};

TEST_F(TourLookup, StepsAndWrapsBothWaysMovingTheMarker) {
    writeFileBytes(databaseFileName, sample());
    ASSERT_TRUE(choose(1, 5));
    const int forward[] = {6, 7, 5};
    for (int expected : forward) {
        EXPECT_EQ(step(1), expected);
        EXPECT_EQ(marked(), std::to_string(expected));
    }
    const int backward[] = {7, 6, 5};
    for (int expected : backward) {
        EXPECT_EQ(step(0), expected);
        EXPECT_EQ(marked(), std::to_string(expected));
    }
}

TEST_F(TourLookup, ExchangeStateTakesTheNewItem) {
    writeFileBytes(databaseFileName, sample());
    ASSERT_TRUE(choose(1, 5));
    ASSERT_EQ(step(1), 6);
    ExchangeRecord state = {};
    ASSERT_EQ(library.getData(&state), 1);
    EXPECT_STREQ(state.ident, "002  ");
    EXPECT_EQ(std::string(state.name), "Sion" + std::string(21, ' '));
    EXPECT_EQ(state.latitude, latitudeFromTexts("S", "33", "2", "15"));
    EXPECT_EQ(state.longitude, longitudeFromTexts("W", "70", "47", "9"));
    EXPECT_EQ(state.tourAltitude, 7000.0);
    EXPECT_EQ(state.tourAltitudeHold, 1); // kept, whatever the item's own flag
    EXPECT_EQ(state.recordNumber, 6);
}

TEST_F(TourLookup, LoneItemAndLastTourOfTheFileWrapOntoThemselves) {
    std::string database = sample("");
    writeFileBytes(databaseFileName, database);
    ASSERT_TRUE(choose(1, 9));
    EXPECT_EQ(step(1), 9);
    EXPECT_EQ(step(0), 9);
    EXPECT_EQ(marked(), "9");
}

TEST_F(TourLookup, NothingChangesOutsideATourItem) {
    std::string database = sample();
    writeFileBytes(databaseFileName, database);
    const int records[][2] = {{0, 2}, {1, 0}, {1, 10}, {1, -3}, {1, 4}, {1, 2}};
    for (const auto& mode_record : records) {
        ASSERT_TRUE(choose(mode_record[0], mode_record[1]));
        EXPECT_EQ(step(1), -1) << "mode " << mode_record[0] << " record " << mode_record[1];
        EXPECT_EQ(step(0), -1);
        ExchangeRecord state = {};
        library.getData(&state);
        EXPECT_EQ(state.recordNumber, mode_record[1]);
        EXPECT_EQ(readFileBytes(databaseFileName), database);
    }
}

TEST_F(TourLookup, HeldOrMissingDatabaseChangesNothing) {
    std::string database = sample();
    writeFileBytes(databaseFileName, database);
    ASSERT_TRUE(choose(1, 5));
    {
        FileHold hold(databaseFileName);
        ASSERT_TRUE(hold.held());
        EXPECT_EQ(step(1), -1);
    }
    EXPECT_EQ(readFileBytes(databaseFileName), database);
    DeleteFileA(databaseFileName);
    EXPECT_EQ(step(1), -1);
    EXPECT_FALSE(fileExists(databaseFileName));
}

// Each file call of a step failing once, forward and back: the step is refused and the file
// is as it was, or it is done; never a tour without its current item (a refused new marker once
// left the old one taken off).
TEST_F(TourLookup, AStepWithAFailingFileCallIsDoneOrLeavesTheFileAsItWas) {
    ASSERT_TRUE(takeOverFileCalls(library.module()));
    const std::string database = sample();
    for (int forward : {1, 0}) {
        const int expected = forward ? 6 : 7;
        writeFileBytes(databaseFileName, database);
        ASSERT_TRUE(choose(1, 5));
        armFileFaults(FaultMode::count);
        ASSERT_EQ(step(forward), expected);
        const int32_t calls = static_cast<int32_t>(fileCallLog().size());
        disarmFileFaults();
        ASSERT_GT(calls, 3) << fileCallText();
        for (int32_t k = 1; k <= calls; ++k) {
            writeFileBytes(databaseFileName, database);
            ASSERT_TRUE(choose(1, 5));
            armFileFaults(FaultMode::failOnce, k);
            const int result = step(forward);
            const std::string calledText = fileCallText();
            disarmFileFaults();
            SCOPED_TRACE("step " + std::to_string(forward) + ", call " + std::to_string(k) +
                         " failing:\n" + calledText);
            if (result == -1) {
                EXPECT_EQ(readFileBytes(databaseFileName), database);
            } else {
                EXPECT_EQ(result, expected);
                EXPECT_EQ(marked(), std::to_string(expected));
            }
        }
    }
}

TEST_F(TourLookup, BrokenNumberingNeverMarksAFolder) {
    // The first item claims to be number 9 and the last has no number: forward steps never
    // leave the run of items (no higher number follows "009"), and no folder is ever marked.
    std::string database = folderLine("Tour", 1, true) + tourItemLine(9, "Nine") +
                           tourItemLine(10, "Ten") + folderLine("Next", 1);
    database.replace(2 * 64, 5, "     ");
    writeFileBytes(databaseFileName, database);
    ASSERT_TRUE(choose(1, 3));
    EXPECT_EQ(step(1), 2);
    EXPECT_EQ(step(1), 2);
    EXPECT_EQ(step(0), 3);
    EXPECT_EQ(readFileBytes(databaseFileName).substr(0, 64), folderLine("Tour", 1, true));
    EXPECT_EQ(readFileBytes(databaseFileName).substr(3 * 64), folderLine("Next", 1));
}

} // namespace
