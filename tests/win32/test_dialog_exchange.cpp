// The dialog library's exchange through its real exports: the record kept in "TarvixMapFile"
// across freeing and reloading the library. Every test runs in a process of its own, so each
// starts without the mapping.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "testkit/db_fixtures.h"
#include "testkit/sample_exchange.h"

namespace {

// The mapping's first 120 bytes as another process (or a later library) sees them.
std::string mappingImage() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, exchangeMappingName);
    if (!mapping)
        return {};
    const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    std::string image = view ? std::string(view, 120) : std::string();
    if (view)
        UnmapViewOfFile(view);
    CloseHandle(mapping);
    return image;
}

TEST(DialogExchange, FreshProcessHasNothingStored) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    ExchangeRecord record;
    std::memset(&record, 0x5A, sizeof record);
    ExchangeRecord before = record;
    EXPECT_EQ(library.getData(&record), 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << "record was touched";
    EXPECT_TRUE(mappingImage().empty()) << "GetData must not create the mapping";
}

TEST(DialogExchange, RecordSurvivesFreeingAndReloadingTheLibrary) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    ExchangeRecord stored = sampleExchangeRecord();
    EXPECT_EQ(library.setData(&stored), 1);
    library.free();
    EXPECT_EQ(GetModuleHandleA(dialogLibraryFileName), nullptr) << "library still loaded";

    ASSERT_TRUE(library.load());
    ExchangeRecord back;
    std::memset(&back, 0x5A, sizeof back);
    EXPECT_EQ(library.getData(&back), 1);
    EXPECT_STREQ(back.ident, "KMDW ");
    EXPECT_STREQ(back.name, "Chicago Midway           ");
    EXPECT_TRUE(sameExchangeNumbers(back, stored));
}

TEST(DialogExchange, MappingImageIsSpacePaddedByteForByte) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    ExchangeRecord stored = sampleExchangeRecord();
    std::strcpy(stored.ident, "EDDFX");
    library.setData(&stored);
    std::string image = mappingImage();
    ASSERT_EQ(image.size(), 120u);
    EXPECT_EQ(image.substr(0, 6), "EDDFX ");
    EXPECT_EQ(image.substr(6, 26), "Chicago Midway            ");
    EXPECT_EQ(std::memcmp(image.data() + 32, reinterpret_cast<const char*>(&stored) + 32, 88), 0);

    ExchangeRecord back{};
    library.getData(&back);
    EXPECT_EQ(std::memcmp(back.ident, "EDDFX\0", 6), 0) << "the gauge's copy ends in a NUL";
}

TEST(DialogExchange, NamesAtTheLimitReachTheGaugeWhole) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    ExchangeRecord stored = sampleExchangeRecord();
    std::strcpy(stored.name, std::string(25, 'Q').c_str());
    library.setData(&stored);
    ExchangeRecord back{};
    library.getData(&back);
    EXPECT_EQ(std::string(back.name), std::string(25, 'Q'));

    std::strcpy(stored.name, std::string(24, 'R').c_str());
    library.setData(&stored);
    library.getData(&back);
    EXPECT_EQ(std::string(back.name), std::string(24, 'R') + " ");
}

TEST(DialogExchange, UnterminatedCallerTextsStayInTheirFields) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    ExchangeRecord stored = sampleExchangeRecord();
    std::memset(stored.ident, 'I', sizeof stored.ident);
    std::memset(stored.name, 'N', sizeof stored.name);
    EXPECT_EQ(library.setData(&stored), 1);
    std::string image = mappingImage();
    EXPECT_EQ(image.substr(0, 6), "IIIII ");
    EXPECT_EQ(image.substr(6, 26), std::string(25, 'N') + " ");
    EXPECT_EQ(std::memcmp(image.data() + 32, reinterpret_cast<const char*>(&stored) + 32, 88), 0)
        << "a text overran into the numbers";

    ExchangeRecord back;
    std::memset(&back, 0x5A, sizeof back);
    library.getData(&back);
    EXPECT_EQ(std::memcmp(back.ident, "IIIII\0", 6), 0);
    EXPECT_EQ(std::string(back.name), std::string(25, 'N'));
    EXPECT_TRUE(sameExchangeNumbers(back, stored));
}

TEST(DialogExchange, TarvixIsExportedAndDoesNothing) {
    DialogLibrary library;
    ASSERT_TRUE(library.load());
    auto tarvix = library.bind(tarvixExport);
    ASSERT_NE(tarvix, nullptr);
    tarvix();
    ExchangeRecord record{};
    EXPECT_EQ(library.getData(&record), 0);
}

} // namespace
