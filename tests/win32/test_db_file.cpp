// Records by number in a named file: counting, reading, writing, and what is refused.
#include <gtest/gtest.h>

#include <cstring>

#include "dialog/db_file.h"
#include "testkit/db_fixtures.h"
#include "testkit/test_support.h"

namespace {

class DbFile : public ::testing::Test {
  protected:
    void SetUp() override { enterFreshFolder(); }
    RecordBuffer record = {};
};

TEST_F(DbFile, CountsWholeRecordsOnly) {
    EXPECT_EQ(recordCount("TarvixDb.dat"), 0);
    writeFileBytes("TarvixDb.dat",
                   airportLine("AAAA", "One") + airportLine("BBBB", "Two") + "\r\n");
    EXPECT_EQ(recordCount("TarvixDb.dat"), 2);
    EXPECT_FALSE(readRecord(3, "TarvixDb.dat", record)); // the two trailing bytes are no record
    EXPECT_TRUE(readRecord(2, "TarvixDb.dat", record));
    EXPECT_STREQ(record.ident, "BBBB");
}

TEST_F(DbFile, WritesAppendDirectlyAfterTheLastRecordAndNowhereElse) {
    clearRecordBuffer(record);
    std::strcpy(record.name, "ABCDEFGHIJKLMNOPQRSTUVWX"); // 24: kept whole
    EXPECT_TRUE(writeRecord(1, "new.dat", record));
    std::strcpy(record.name, "  ABCDEFGHIJKLMNOPQRSTUVWXY"); // leading spaces, 27
    EXPECT_TRUE(writeRecord(2, "new.dat", record));
    EXPECT_FALSE(writeRecord(4, "new.dat", record));
    EXPECT_FALSE(writeRecord(0, "new.dat", record));
    EXPECT_EQ(recordCount("new.dat"), 2);
    readRecord(1, "new.dat", record);
    EXPECT_STREQ(record.name, "ABCDEFGHIJKLMNOPQRSTUVWX");
    readRecord(2, "new.dat", record);
    EXPECT_STREQ(record.name, "  ABCDEFGHIJKLMNOPQRSTUV");
}

TEST_F(DbFile, ReadingAMissingFileCreatesItEmpty) {
    EXPECT_FALSE(readRecord(1, "fresh.dat", record));
    EXPECT_TRUE(fileExists("fresh.dat"));
    EXPECT_EQ(readFileBytes("fresh.dat"), "");
    EXPECT_STREQ(record.latHemisphere, "N"); // a cleared buffer, not the last record
    EXPECT_STREQ(record.name, "");
}

TEST_F(DbFile, HeldFileIsNeitherReadNorWritten) {
    std::string database = airportLine("AAAA", "One");
    writeFileBytes("TarvixDb.dat", database);
    {
        FileHold hold("TarvixDb.dat");
        ASSERT_TRUE(hold.held());
        EXPECT_EQ(recordCount("TarvixDb.dat"), 0);
        EXPECT_FALSE(readRecord(1, "TarvixDb.dat", record));
        EXPECT_FALSE(writeRecord(1, "TarvixDb.dat", record));
        EXPECT_FALSE(writeRecord(2, "TarvixDb.dat", record));
    }
    EXPECT_EQ(readFileBytes("TarvixDb.dat"), database);
}

} // namespace
