// Scenario files: what a good one gives, and the message each kind of bad one gets.
#include <gtest/gtest.h>

#include "host/scenario.h"

namespace {

const char* const good = R"({
  "name": "Around the lake",
  "aircraft": {"latitude": "N41 47 12", "longitude": "87 45 08 W", "heading": 360,
               "airspeed": 140, "altitude": 620},
  "wind": {"speed": 20, "from": 270},
  "variation": -2,
  "database": "lake.dat",
  "destination": {"record": 3, "autopilot": true, "altitudeHold": true},
  "clicks": [{"at": 600, "button": "AP"}, {"at": 700.5, "button": "Next"}],
  "duration": 3600,
  "pictureEvery": 120
})";

TEST(Scenario, GoodFileGivesEveryField) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(parseScenario(good, s, error)) << error;
    EXPECT_EQ(s.name, "Around the lake");
    EXPECT_NEAR(s.aircraft.latitude, 41 + 47 / 60.0 + 12 / 3600.0, 1e-12);
    EXPECT_NEAR(s.aircraft.longitude, -(87 + 45 / 60.0 + 8 / 3600.0), 1e-12);
    EXPECT_EQ(s.aircraft.windDirection, 270);
    EXPECT_EQ(s.aircraft.variation, -2);
    EXPECT_EQ(s.frameRate, 18) << "the default frame rate";
    EXPECT_EQ(s.database, "lake.dat");
    EXPECT_TRUE(s.destination.present);
    EXPECT_EQ(s.destination.record, 3);
    EXPECT_TRUE(s.destination.altitudeHold);
    ASSERT_EQ(s.clicks.size(), 2u);
    EXPECT_EQ(s.clicks[1].at, 700.5);
    EXPECT_EQ(s.clicks[1].button, "Next");
    EXPECT_EQ(s.pictureEvery, 120);
    EXPECT_EQ(s.animationEvery, 0);
}

TEST(Scenario, CoordinatesInEitherForm) {
    double d = 0;
    EXPECT_TRUE(parseCoordinate("S33 56", true, d));
    EXPECT_NEAR(d, -(33 + 56 / 60.0), 1e-12);
    EXPECT_TRUE(parseCoordinate(" 151 10 37.5 E ", false, d));
    EXPECT_NEAR(d, 151 + 10 / 60.0 + 37.5 / 3600, 1e-12);
    EXPECT_FALSE(parseCoordinate("E41 00", true, d)) << "E is no latitude hemisphere";
    EXPECT_FALSE(parseCoordinate("N41 75", true, d)) << "75 minutes";
    EXPECT_FALSE(parseCoordinate("N41 10 10 10", true, d));
    EXPECT_FALSE(parseCoordinate("41", true, d)) << "no hemisphere";
}

struct Bad {
    const char* text;
    const char* message;
};

class BadScenario : public ::testing::TestWithParam<Bad> {};

TEST_P(BadScenario, IsRefusedWithAMessageThatNamesTheField) {
    Scenario s;
    std::string error;
    EXPECT_FALSE(parseScenario(GetParam().text, s, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

#define AIRCRAFT                                                                                   \
    R"("aircraft": {"latitude": 41.8, "longitude": -87.7, "heading": 10, "airspeed": 100, "altitude": 600})"

INSTANTIATE_TEST_SUITE_P(
    Messages, BadScenario,
    ::testing::Values(
        Bad{"{ \"duration\": 10, ", "not valid JSON"}, Bad{"[1, 2]", "must be a JSON object"},
        Bad{R"({"duration": 10})", "aircraft: missing"}, Bad{"{" AIRCRAFT "}", "duration: missing"},
        Bad{R"({"aircraft": {"latitude": 95, "longitude": 0, "heading": 1, "airspeed": 1,
            "altitude": 1}, "duration": 5})",
            "aircraft.latitude: 95 is outside -90 to 90"},
        Bad{R"({"aircraft": {"latitude": "N41 70", "longitude": 0, "heading": 1,
            "airspeed": 1, "altitude": 1}, "duration": 5})",
            "aircraft.latitude: must be degrees or a text"},
        Bad{R"({"aircraft": {"latitude": 41, "longitude": -87, "heading": "north",
            "airspeed": 1, "altitude": 1}, "duration": 5})",
            "aircraft.heading: must be a number, not string"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "wind": {"speed": -3}})",
            "wind.speed: -3 is outside 0 to 300"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "OK"}]})",
            "clicks[0].button: must be one of"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 90, "button": "AP"}]})",
            "clicks[0].at: 90 is outside 0 to 60"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "destination": {"record": 2}})",
            "destination: needs a database"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "database": 7})", "database: must be a file name"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "database": "x.dat", "destination":
            {"record": 0}})",
            "destination.record: 0 is outside 1 to 65535"}));

} // namespace
