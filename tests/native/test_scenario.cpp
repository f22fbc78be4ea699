// Scenario files: what a good one gives, and the message each kind of bad one gets.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

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

// A DLG step as the editor takes it: the settings in the order a person works the editor,
// whatever the file's order, positions as hemisphere and whole degrees, minutes and seconds.
TEST(Scenario, DialogStepGivesWhatIsTypedInTheEditor) {
    const char* text = R"({"aircraft": {"latitude": 41, "longitude": -87, "heading": 1,
      "airspeed": 1, "altitude": 1}, "duration": 60,
      "clicks": [{"at": 5, "button": "DLG", "select": "Around the lake/Escanaba",
                  "set": {"altitude": 4500, "autopilot": true, "longitude": "W087 05 37.6",
                          "latitude": "S45 43 22", "altitudeHold": true},
                  "close": ["OK", "Cancel"], "expectMessages": "Latitude Data Error !",
                  "press": ["Exp", "Tr Imp"], "answers": ["No", "OK"], "timeLimit": 3},
                 {"at": 9, "button": "INF", "close": "OK"}]})";
    Scenario s;
    std::string error;
    ASSERT_TRUE(parseScenario(text, s, error)) << error;
    ASSERT_EQ(s.clicks.size(), 2u);
    const ScenarioClick& dlg = s.clicks[0];
    EXPECT_EQ(dlg.select, "Around the lake/Escanaba");
    std::vector<DialogField> order;
    for (const DialogSetting& setting : dlg.settings)
        order.push_back(setting.field);
    EXPECT_EQ(order, (std::vector<DialogField>{DialogField::latitude, DialogField::longitude,
                                               DialogField::autopilot, DialogField::altitudeHold,
                                               DialogField::altitude}));
    EXPECT_FALSE(dlg.settings[0].position.northOrEast);
    EXPECT_EQ(dlg.settings[0].position.degrees + " " + dlg.settings[0].position.minutes + " " +
                  dlg.settings[0].position.seconds,
              "45 43 22");
    EXPECT_EQ(dlg.settings[1].position.seconds, "38") << "rounded to the whole second";
    EXPECT_EQ(dlg.settings[4].text, "4500");
    EXPECT_EQ(dlg.close, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(dlg.expectMessages, std::vector<std::string>{"Latitude Data Error !"});
    EXPECT_EQ(dlg.press, (std::vector<std::string>{"Exp", "Tr Imp"}));
    EXPECT_EQ(dlg.answers, (std::vector<std::string>{"No", "OK"}));
    EXPECT_EQ(dlg.timeLimit, 3);
    EXPECT_EQ(s.clicks[1].close, std::vector<std::string>{"OK"});
    EXPECT_EQ(s.clicks[1].timeLimit, defaultDialogTimeLimit);
    EXPECT_EQ(stepName(0, dlg), "clicks[0] (DLG at 0:00:05)");
}

struct CoordinateCase {
    const char* text;
    bool latitude;
    bool accepted;
    double degrees;
};

// The forms people write, the same value whichever marks they use; anything half-understood is
// refused rather than read as far as it goes.
TEST(Scenario, CoordinatesAreReadWholeOrRefused) {
    const double n414710 = 41 + 47 / 60.0 + 10 / 3600.0;
    const CoordinateCase cases[] = {
        {"N41 47 10", true, true, n414710},
        {"41 47 10 N", true, true, n414710},
        {"N41\xC2\xB0"
         "47\xE2\x80\xB2"
         "10\xE2\x80\xB3",
         true, true, n414710},
        {"41\xC2\xB0"
         "47'10\"N",
         true, true, n414710},
        {"N41\xC2\xB0 47' 10\"", true, true, n414710},
        {"41.786111", true, true, 41.786111},
        {"-87.5", false, true, -87.5},
        {"S33 56", true, true, -(33 + 56 / 60.0)},
        {"N41 47.5", true, true, 41 + 47.5 / 60},
        {" 151 10 37.5 E ", false, true, 151 + 10 / 60.0 + 37.5 / 3600},
        {"N41\xC2\xB0"
         "47\xE2\x80\xB2"
         "10",
         true, true, n414710},
        {"-1\xC2\xB0"
         "14.04\xE2\x80\xB2",
         false, true, -(1 + 14.04 / 60)},
        {"-1\xC2\xB0"
         "14\xE2\x80\xB2"
         "2.4\xE2\x80\xB3",
         false, true, -(1 + 14 / 60.0 + 2.4 / 3600)},
        {"-41 47 10", true, true, -n414710},
        {"09-25S", true, true, -(9 + 25 / 60.0)},
        {"160-03E", false, true, 160 + 3 / 60.0},
        {"02-03-43S", true, true, -(2 + 3 / 60.0 + 43 / 3600.0)},
        {"09-25", true, false, 0},   // hyphens without a hemisphere
        {"-09-25S", true, false, 0}, // a sign and a hemisphere
        {"09--25S", true, false, 0},
        {"E41 00", true, false, 0}, // E is no latitude hemisphere
        {"N41 75", true, false, 0}, // 75 minutes
        {"N41 10 10 10", true, false, 0},
        {"41 47 10", true, false, 0}, // parts without a hemisphere
        {"N41.5 30", true, false, 0}, // a fraction before another part
        {"N41'47", true, false, 0},   // the minute sign on the degrees
        {"-N41", true, false, 0},
        {"N41 47 10 S", true, false, 0}, // two hemispheres
        {"N41x", true, false, 0},
        {"1e3", true, false, 0},
        {"", true, false, 0},
    };
    for (const CoordinateCase& c : cases) {
        double degrees = 0;
        EXPECT_EQ(parseCoordinate(c.text, c.latitude, degrees), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_NEAR(degrees, c.degrees, 1e-12) << c.text;
        }
    }
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

// Named by the field each message names and the case's place, so that a case keeps its name from
// one build to the next.
std::string badName(const ::testing::TestParamInfo<Bad>& bad) {
    std::string name = "Case" + std::to_string(bad.index) + "_";
    for (const char* c = bad.param.message; *c && *c != ':' && *c != ' '; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
    return name;
}

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
            "destination.record: 0 is outside 1 to 65535"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "database": "x.dat", "destination":
            {"record": 2.5}})",
            "destination.record: 2.5 is not a whole number"},
        Bad{R"({"aircraft": {"latitude": 41, "longitude": -87, "heading": 1, "airspeed": 1,
            "altitude": 1, "altitdue": 5}, "duration": 5})",
            "aircraft.altitdue: unknown field (aircraft has latitude, longitude"},
        Bad{"{" AIRCRAFT R"(, "duraton": 60})", "duraton: unknown field (the scenario has name"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "wind": {"speed": 5, "direction": 90}})",
            "wind.direction: unknown field"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "AP", "x": 1}]})",
            "clicks[0].x: unknown field"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "stopAtArrival": "yes"})",
            "stopAtArrival: must be true or false"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "name": 7})", "name: must be a text"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "AP",
            "close": "OK"}]})",
            "clicks[0].close: only a DLG or INF press opens a dialog to work (this one presses "
            "AP)"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "INF",
            "select": "A/B"}]})",
            "clicks[0].select: only a DLG press opens a dialog"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "INF",
            "close": "Cancel"}]})",
            "clicks[0].close: 'Cancel' is not OK (the About box has no other button)"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "close": ["OK", "Apply"]}]})",
            "clicks[0].close: 'Apply' is not OK or Cancel"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "select": "Folder//Entry"}]})",
            "clicks[0].select: 'Folder//Entry' is not a label path"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"nmae": "x"}}]})",
            "clicks[0].set.nmae: unknown field (clicks[0].set has ident, name"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"ident": "KMKEXX"}}]})",
            "clicks[0].set.ident: 'KMKEXX' is longer than 5 characters"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"latitude": "N45 61"}}]})",
            "clicks[0].set.latitude: 'N45 61' is not a position"},
        // Sixty minutes or seconds make the next degree or minute, never a position as written.
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"latitude": "N45 60"}}]})",
            "clicks[0].set.latitude: 'N45 60' is not a position"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"longitude": "W087 59 60"}}]})",
            "clicks[0].set.longitude: 'W087 59 60' is not a position"},
        Bad{R"({"aircraft": {"latitude": "N41 60", "longitude": 0, "heading": 1,
            "airspeed": 1, "altitude": 1}, "duration": 5})",
            "aircraft.latitude: must be degrees or a text"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "set": {"altitude": 100000}}]})",
            "clicks[0].set.altitude: 100000 is outside 0 to 99999"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "timeLimit": 0}]})",
            "clicks[0].timeLimit: 0 is outside 1 to 600"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "press": "Import"}]})",
            "clicks[0].press: 'Import' is not one of \"Tr Imp\", \"Ap Imp\", \"Exp\""},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "INF",
            "press": "Exp"}]})",
            "clicks[0].press: only a DLG press opens a dialog"},
        Bad{"{" AIRCRAFT R"(, "duration": 60, "clicks": [{"at": 5, "button": "DLG",
            "answers": ["Yes", "Maybe"]}]})",
            "clicks[0].answers: 'Maybe' is not Yes, No, OK or Cancel"}),
    badName);

} // namespace
