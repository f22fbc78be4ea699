// The exchange record's copies and the mapping image: bounded texts, numeric fields intact.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "common/exchange_record.h"
#include "common/module_contract.h"
#include "common/text_fields.h"
#include "dialog/exchange_image.h"
#include "testkit/sample_exchange.h"

namespace {

TEST(ExchangeCopy, CarriesEveryFieldReservedIncluded) {
    ExchangeRecord from = sampleExchangeRecord(), to{};
    copyExchangeRecord(to, from);
    EXPECT_STREQ(to.ident, "KMDW");
    EXPECT_STREQ(to.name, "Chicago Midway");
    EXPECT_TRUE(sameExchangeNumbers(to, from));
}

TEST(ExchangeCopy, LeavesBytesBehindTheNulAlone) {
    ExchangeRecord from = sampleExchangeRecord(), to{};
    std::memset(to.name, '#', sizeof to.name);
    copyExchangeRecord(to, from);
    EXPECT_EQ(to.name[std::strlen("Chicago Midway") + 1], '#');
}

TEST(ExchangeCopy, UnterminatedTextsStayInsideTheirFields) {
    ExchangeRecord from = sampleExchangeRecord(), to{};
    std::memset(from.ident, 'I', sizeof from.ident); // runs into name
    std::memset(from.name, 'N', sizeof from.name);   // runs into latitude
    copyExchangeRecord(to, from);
    EXPECT_STREQ(to.ident, "IIIII");
    EXPECT_EQ(std::string(to.name), std::string(25, 'N'));
    EXPECT_TRUE(sameExchangeNumbers(to, from));
}

TEST(ModeAutopilot, TheModeChoosesItsOwnFields) {
    ExchangeRecord r{};
    r.airportAutopilot = 1;
    r.airportAltitude = 100;
    r.tourAltitudeHold = 1;
    r.tourAltitude = 200;
    ModeAutopilot airport = modeAutopilot(r);
    EXPECT_TRUE(airport.couples);
    EXPECT_FALSE(airport.holdsAltitude);
    EXPECT_EQ(airport.altitude, 100);
    r.mode = tourMode;
    ModeAutopilot tour = modeAutopilot(r);
    EXPECT_FALSE(tour.couples);
    EXPECT_TRUE(tour.holdsAltitude);
    EXPECT_EQ(tour.altitude, 200);
    r.mode = 2;
    r.tourAutopilot = 1;
    EXPECT_FALSE(modeAutopilot(r).couples) << "no other mode couples";
}

TEST(MappingImage, TextsArePaddedWithSpacesWithoutNul) {
    ExchangeRecord state = sampleExchangeRecord();
    uint8_t image[namedMappingSize];
    std::memset(image, 0xAA, sizeof image);
    encodeExchangeImage(state, image);
    EXPECT_EQ(std::memcmp(image, "KMDW  ", 6), 0);
    EXPECT_EQ(std::memcmp(image + 6, "Chicago Midway            ", 26), 0);
    EXPECT_EQ(std::memcmp(image + 32, reinterpret_cast<const uint8_t*>(&state) + 32, 88), 0);
    EXPECT_EQ(image[120], 0xAA); // the rest of the mapping is not the image's
}

TEST(MappingImage, FiveCharacterIdentLeavesByteFiveASpace) {
    ExchangeRecord state = sampleExchangeRecord();
    std::strcpy(state.ident, "EDDFX");
    uint8_t image[exchangeImageSize];
    encodeExchangeImage(state, image);
    EXPECT_EQ(std::memcmp(image, "EDDFX ", 6), 0);
    ExchangeRecord back;
    std::memset(&back, 0x55, sizeof back);
    decodeExchangeImage(image, back);
    EXPECT_EQ(std::memcmp(back.ident, "EDDFX\0", 6), 0);
}

TEST(MappingImage, ReadBackIsPaddedToFiveAndTwentyFive) {
    ExchangeRecord state = sampleExchangeRecord();
    uint8_t image[exchangeImageSize];
    encodeExchangeImage(state, image);
    ExchangeRecord back{};
    decodeExchangeImage(image, back);
    EXPECT_STREQ(back.ident, "KMDW ");
    EXPECT_STREQ(back.name, "Chicago Midway           ");
    EXPECT_EQ(std::strlen(back.name), 25u);
    EXPECT_TRUE(sameExchangeNumbers(back, state));
}

TEST(MappingImage, NameLengthsAtTheLimit) {
    ExchangeRecord state = sampleExchangeRecord();
    uint8_t image[exchangeImageSize];
    ExchangeRecord back{};
    std::strcpy(state.name, std::string(24, 'a').c_str());
    encodeExchangeImage(state, image);
    decodeExchangeImage(image, back);
    EXPECT_EQ(std::string(back.name), std::string(24, 'a') + " ");
    std::strcpy(state.name, std::string(25, 'b').c_str());
    encodeExchangeImage(state, image);
    decodeExchangeImage(image, back);
    EXPECT_EQ(std::string(back.name), std::string(25, 'b'));
    EXPECT_EQ(image[31], ' ');
}

TEST(TextFields, VisibleTextIgnoresSpacesAndStopsAtCapacity) {
    EXPECT_EQ(hasVisibleText(""), 0);
    EXPECT_EQ(hasVisibleText("     "), 0);
    EXPECT_EQ(hasVisibleText("   x "), 1);
    const char unterminated[3] = {' ', ' ', ' '};
    EXPECT_EQ(hasVisibleText(unterminated, sizeof unterminated), 0);
    EXPECT_EQ(hasVisibleText("  x", 2), 0);
}

TEST(TextFields, WholeNumbersReadLikeAtolAndSaturate) {
    EXPECT_EQ(readWholeNumber("  -12abc"), -12);
    EXPECT_EQ(readWholeNumber("+7"), 7);
    EXPECT_EQ(readWholeNumber(""), 0);
    EXPECT_EQ(readWholeNumber("x12"), 0);
    EXPECT_EQ(readWholeNumber("99999999999999"), INT32_MAX);
    EXPECT_EQ(readWholeNumber("-99999999999999"), INT32_MIN);
    EXPECT_EQ(readWholeNumber("12345", 3), 123); // a fixed-width field without its NUL
}

TEST(TextFields, WholeFeetTruncateAndTakeWhatDoesNotFitAsZero) {
    const struct {
        double feet;
        int32_t whole;
    } cases[] = {
        {3500.9, 3500},
        {-12.7, -12},
        {2147483647.5, INT32_MAX},
        {-2147483648.9, INT32_MIN},
        {2147483648.0, 0},
        {-2147483649.0, 0},
        {1e300, 0},
        {-HUGE_VAL, 0},
        {HUGE_VAL, 0},
        {std::nan(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wholeFeetOrZero(c.feet), c.whole) << c.feet;
}

TEST(TextFields, RealNumbersRejectWhatIsNotFinite) {
    EXPECT_DOUBLE_EQ(readRealNumber(" 12.75s"), 12.75);
    EXPECT_EQ(readRealNumber("nan"), 0.0);
    EXPECT_EQ(readRealNumber("inf"), 0.0);
    EXPECT_EQ(readRealNumber("1e999"), 0.0);
    EXPECT_DOUBLE_EQ(readRealNumber("1.5999", 3), 1.5);
}

} // namespace
