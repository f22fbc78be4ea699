// The position check of the settings dialog's OK, on the fields as the editor's controls give
// them: what is refused, what is put right, and the raw position (worked by hand: 90 degrees of
// latitude = 10001748 units; longitude half-turns times 2^47, west as 2 minus, plus 0.01).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog/position_check.h"

namespace {

struct Fields {
    const char *latHemisphere, *latDegrees, *latMinutes, *latSeconds;
    const char *lonHemisphere, *lonDegrees, *lonMinutes, *lonSeconds;
};

// Each text must fit its field, as the editor's reading (3 characters of degrees, 2 of minutes
// and seconds) guarantees.
template <size_t N> void put(char (&field)[N], const char* text) {
    ASSERT_LT(std::strlen(text), N) << text;
    std::strcpy(field, text);
}

RecordBuffer recordOf(const Fields& f) {
    RecordBuffer r{};
    put(r.latHemisphere, f.latHemisphere);
    put(r.latDegrees, f.latDegrees);
    put(r.latMinutes, f.latMinutes);
    put(r.latSeconds, f.latSeconds);
    put(r.lonHemisphere, f.lonHemisphere);
    put(r.lonDegrees, f.lonDegrees);
    put(r.lonMinutes, f.lonMinutes);
    put(r.lonSeconds, f.lonSeconds);
    return r;
}

constexpr double halfTurn = 140737488355328.0; // 2^47

struct Case {
    const char* what;
    Fields in;
    PositionCheck result;
    double latitude = 0, longitude = 0; // when accepted
};

TEST(PositionCheck, RefusesWhatIsNoPositionAndConvertsTheRest) {
    const Case cases[] = {
        {"empty fields: north, east, 0",
         {"N", "", "", "", "E", "", "", ""},
         PositionCheck::accepted,
         0,
         0.01},
        {"45 S 90 W",
         {"S", "45", "0", "0", "W", "90", "0", "0"},
         PositionCheck::accepted,
         -5000874,
         1.5 * halfTurn + 0.01},
        {"59 minutes and seconds pass",
         {"N", "10", "59", "59", "E", "10", "59", "59"},
         PositionCheck::accepted,
         (10 + 59 / 60.0 + 59 / 3600.0) / 90 * 10001748,
         (10 + 59 / 60.0 + 59 / 3600.0) / 180 * halfTurn + 0.01},
        {"91 degrees", {"N", "91", "0", "0", "E", "0", "0", "0"}, PositionCheck::latitudeError},
        {"60 minutes", {"N", "1", "60", "0", "E", "0", "0", "0"}, PositionCheck::latitudeError},
        {"60 seconds", {"N", "1", "0", "60", "E", "0", "0", "0"}, PositionCheck::latitudeError},
        {"negative degrees",
         {"N", "-1", "0", "0", "E", "0", "0", "0"},
         PositionCheck::latitudeError},
        {"181 degrees", {"N", "0", "0", "0", "E", "181", "0", "0"}, PositionCheck::longitudeError},
        {"minus longitude minutes",
         {"N", "0", "0", "0", "W", "1", "-1", "0"},
         PositionCheck::longitudeError},
        {"60 longitude minutes",
         {"N", "0", "0", "0", "W", "1", "60", "0"},
         PositionCheck::longitudeError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordBuffer fields = recordOf(c.in);
        CheckedPosition out;
        ASSERT_EQ(checkPosition(fields, out), c.result);
        if (c.result != PositionCheck::accepted)
            continue;
        EXPECT_NEAR(out.latitude, c.latitude, 1e-6);
        EXPECT_NEAR(out.longitude, c.longitude, 1e-3);
        EXPECT_FALSE(out.latitudeAtPole || out.longitudeAtDateLine);
    }
}

TEST(PositionCheck, PutsThePoleAndTheDateLineRightInTheFields) {
    RecordBuffer fields = recordOf({"N", "90", "15", "40", "W", "180", "59", "59"});
    CheckedPosition out;
    ASSERT_EQ(checkPosition(fields, out), PositionCheck::accepted);
    EXPECT_TRUE(out.latitudeAtPole);
    EXPECT_TRUE(out.longitudeAtDateLine);
    EXPECT_EQ(std::string(fields.latDegrees) + fields.latMinutes + "/" + fields.latSeconds,
              "8930/0");
    EXPECT_EQ(std::string(fields.lonDegrees) + "/" + fields.lonMinutes + "/" + fields.lonSeconds,
              "180/0/0");
    EXPECT_NEAR(out.latitude, 89.5 / 90 * 10001748, 1e-6);
    EXPECT_NEAR(out.longitude, 1.0 * halfTurn + 0.01, 1e-3); // 180 W: 2 - 1 half-turns
}

TEST(PositionCheck, ALongitudeErrorStillGivesTheCheckedLatitude) {
    RecordBuffer fields = recordOf({"S", "45", "0", "0", "E", "200", "0", "0"});
    CheckedPosition out;
    ASSERT_EQ(checkPosition(fields, out), PositionCheck::longitudeError);
    EXPECT_NEAR(out.latitude, -5000874, 1e-6);
}

} // namespace
