// The one home of positions, units and limits: decimal degrees and degrees, minutes, seconds
// agree both ways, a coordinate's range is judged where it is read, the host's and the tool's
// distance is the gauge's, and the current-choice mark reads back as it was set.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "common/coordinate_text.h"
#include "common/db_record.h"
#include "common/great_circle.h"
#include "common/position_units.h"
#include "gauge/nav_math.h"

namespace {

TEST(DecimalAndDms, AgreeToHalfASecondBothWays) {
    std::mt19937 random(29);
    std::uniform_real_distribution<double> any(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        const bool latitude = i % 2 == 0;
        const double degrees = any(random) * coordinateLimit(latitude);
        DmsAngle angle{};
        std::string reason;
        ASSERT_TRUE(latitude ? latitudeFromDecimal(degrees, angle, reason)
                             : longitudeFromDecimal(degrees, angle, reason))
            << reason;
        EXPECT_LE(std::fabs(decimalFromDms(angle) - degrees) * 3600, 0.5 + 1e-9) << degrees;
        EXPECT_TRUE(angle.minutes < 60 && angle.seconds < 60) << degrees;
        // The record's texts say what the angle says.
        char hemisphere[2], whole[4], minutes[3], seconds[3];
        putDms(angle, hemisphere, whole, minutes, seconds);
        EXPECT_EQ(decimalFromTexts(hemisphere, latitude ? 'S' : 'W', whole, minutes, seconds),
                  decimalFromDms(angle));
    }
}

TEST(DecimalAndDms, HemispheresAndEdges) {
    const struct {
        double degrees;
        bool latitude;
        const char* listing;
        const char* window;
        const char* scenario;
    } cases[] = {
        {41.786389, true, "N 41\u00B047'11\"", "N41\u00B047'11\"", "N41 47 11"},
        {-87.752222, false, "W  87\u00B045'08\"", "W087\u00B045'08\"", "W087 45 08"},
        {-0.0001, true, "N  0\u00B000'00\"", "N00\u00B000'00\"", "N00 00 00"}, // rounds to 0
        {-0.0002, false, "W   0\u00B000'01\"", "W000\u00B000'01\"", "W000 00 01"},
        {59.99999, true, "N 60\u00B000'00\"", "N60\u00B000'00\"", "N60 00 00"}, // carries
        {180.0, false, "E 180\u00B000'00\"", "E180\u00B000'00\"", "E180 00 00"},
    };
    for (const auto& c : cases) {
        DmsAngle angle = dmsFromDecimal(c.degrees, c.latitude);
        EXPECT_EQ(formatDms(angle), c.listing) << c.degrees;
        EXPECT_EQ(formatDms(angle, DmsForm::window), c.window) << c.degrees;
        EXPECT_EQ(formatDms(angle, DmsForm::scenario), c.scenario) << c.degrees;
    }
    EXPECT_EQ(formatDms(dmsFromDecimal(std::nan(""), false)), "E   0\u00B000'00\"");
}

TEST(CoordinateRange, IsJudgedWhereTheTextIsRead) {
    const struct {
        const char* text;
        bool latitude;
        CoordinateRead read;
    } cases[] = {
        {"90", true, CoordinateRead::read},
        {"-90.0", true, CoordinateRead::read},
        {"90.0001", true, CoordinateRead::outOfRange},
        {"S90 0 1", true, CoordinateRead::outOfRange},
        {"W180 00 00", false, CoordinateRead::read},
        {"180.5", false, CoordinateRead::outOfRange},
        {"95", false, CoordinateRead::read},
        {"north", true, CoordinateRead::notCoordinate},
        {"", false, CoordinateRead::notCoordinate},
    };
    for (const auto& c : cases) {
        double degrees = 0;
        EXPECT_EQ(readCoordinate(c.text, c.latitude, degrees), c.read) << c.text;
    }
    DmsAngle angle{};
    std::string reason;
    EXPECT_FALSE(latitudeFromDecimal(-91, angle, reason));
    EXPECT_EQ(reason, "latitude -91.000000 is outside -90 to 90");
    EXPECT_FALSE(longitudeFromDecimal(INFINITY, angle, reason));
    EXPECT_EQ(reason, "longitude not a number");
}

// The gauge keeps its own formula and calibration; the host and the tool measure on its sphere.
TEST(EarthRadius, TheGaugeTheHostAndTheToolMeasureAlike) {
    std::mt19937 random(1852);
    std::uniform_real_distribution<double> latitude(-80.0, 80.0), longitude(-179.0, 179.0);
    for (int i = 0; i < 2000; ++i) {
        double lat1 = latitude(random), lon1 = longitude(random);
        double lat2 = latitude(random), lon2 = longitude(random);
        double gauge = greatCircle(latitudeFromDegrees(lat1), longitudeFromDegrees(lon1),
                                   latitudeFromDegrees(lat2), longitudeFromDegrees(lon2), 0.0)
                           .distance;
        EXPECT_NEAR(sphereDistance(lat1, lon1, lat2, lon2), gauge, 1e-3 + gauge * 1e-6)
            << lat1 << "," << lon1 << " to " << lat2 << "," << lon2;
    }
    EXPECT_NEAR(sphereDistance(0, 0, 1, 0), earthRadiusNm * 3.141592653589793 / 180, 1e-9);
}

TEST(CurrentChoice, TheMarkReadsBackAsSet) {
    RecordBuffer record;
    clearRecordBuffer(record);
    EXPECT_FALSE(isCurrentChoice(record));
    markCurrentChoice(record, true);
    EXPECT_STREQ(record.level, "-1");
    EXPECT_TRUE(isCurrentChoice(record));
    EXPECT_EQ(recordLevel(record), currentChoiceLevel);
    EXPECT_FALSE(isFolderRecord(record));
    markCurrentChoice(record, false);
    EXPECT_STREQ(record.level, "");
    EXPECT_FALSE(isCurrentChoice(record));
}

} // namespace
