// Scenario flights end to end: tarvix-host.exe flies a scenario file and leaves its logs,
// pictures and summary; the checks read them as a pilot would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "testkit/db_fixtures.h"
#include "testkit/test_support.h"

// stb's own code, not ours: built without the warnings it was not written for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-declarations"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wconversion"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb/stb_image.h"
#pragma GCC diagnostic pop

namespace {

std::string hostProgram() {
    return binFolder() + "\\tarvix-host.exe";
}

// scenarios/ of the source tree, which the build copies beside the programs.
std::string scenarioFolder() {
    return binFolder() + "\\scenarios";
}

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A Windows path as JSON text: forward slashes need no escaping and Windows takes them.
std::string jsonPath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The default tour as shipped, with its work bounded: the same aircraft, wind, database and
// destination, fewer frames a second, few pictures, and an end at the last arrival. About a
// third of the shipped flight's frames, so that a loaded machine still has a wide margin.
std::string boundedDefaultTour() {
    std::string text = readAll(scenarioFolder() + "\\lake-michigan.json");
    auto replace = [&](const std::string& from, const std::string& to) {
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
    };
    replace("\"lake-michigan.dat\"", "\"" + jsonPath(scenarioFolder()) + "/lake-michigan.dat\"");
    replace("\"pictureEvery\": 1800", "\"pictureEvery\": 7200");
    replace("\"animationEvery\": 60", "\"animationEvery\": 1800, \"frameRate\": 6, "
                                      "\"stopAtArrival\": true");
    return text;
}

TEST(ScenarioFlight, DefaultTourSequencesEveryWaypointInOrderAndStopsAtTheLast) {
    enterFreshFolder();
    writeFile("tour.json", boundedDefaultTour());
    ProgramRun run = runProgram("\"" + hostProgram() + "\" tour.json", 100000);
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* line :
         {"waypoints reached in order: 001 Milwaukee Mitchell, 002 Green Bay Austin Field, 003 "
          "Escanaba Delta County, 004 Traverse City Cherry Cpt, 005 Muskegon County, 006 South "
          "Bend, 007 Chicago Midway\n",
          "skipped by button: none\n", "not reached: none\n",
          "last arrival: 007 Chicago Midway at ", ", where the flight ended\n"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
    for (const char* file : {"panel.png", "track.png", "flight.gif", "flight-log.csv",
                             "key-events.csv", "TarvixDb.dat", "frames\\panel-0001.png"})
        EXPECT_TRUE(exists(file)) << file;
    EXPECT_NE(run.output.find("001 Milwaukee Mitchell reached, next 002 Green Bay Austin Field"),
              std::string::npos)
        << "progress names the waypoints: " << run.output;
    // The last item stays active to the end of the log.
    std::string log = readAll("flight-log.csv");
    std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
    EXPECT_NE(last.find(",20,007,"), std::string::npos) << last;
    // Against the 22-knot crosswind the track stays within a couple of miles of the route (the
    // turns are anticipated); drifting, it would end tens of miles downwind.
    size_t at = run.output.find("at most ");
    ASSERT_NE(at, std::string::npos) << run.output;
    EXPECT_LT(std::stod(run.output.substr(at + 8)), 3.0) << run.output;
}

// Next leaves the first item before it is reached: the summary says so instead of counting it.
TEST(ScenarioFlight, SummaryTellsSkippedFromReached) {
    enterFreshFolder();
    writeFile("skip.json", R"({
      "aircraft": {"latitude": "N41 47 10", "longitude": "W087 45 08", "heading": 310,
                   "airspeed": 160, "altitude": 620},
      "database": ")" + jsonPath(scenarioFolder()) +
                               R"(/lake-michigan.dat",
      "destination": {"record": 14, "autopilot": true},
      "clicks": [{"at": 10, "button": "Next"}],
      "duration": 60
    })");
    ProgramRun run = runProgram("\"" + hostProgram() + "\" skip.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* line :
         {"waypoints reached in order: none\n", "skipped by button: 001 Milwaukee Mitchell\n",
          "not reached: 002 Green Bay Austin Field, 003 Escanaba Delta County, 004 Traverse City "
          "Cherry Cpt, 005 Muskegon County, 006 South Bend, 007 Chicago Midway\n",
          "last arrival: none; the last waypoint, 007 Chicago Midway, was not reached",
          "Next: 001 Milwaukee Mitchell -> 002 Green Bay Austin Field"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
}

TEST(ScenarioFlight, AirportScenarioArrives) {
    enterFreshFolder();
    writeFile("airport.json", R"({
      "aircraft": {"latitude": "N41 47 10", "longitude": "W087 45 08", "heading": 90,
                   "airspeed": 150, "altitude": 620},
      "wind": {"speed": 30, "from": 90},
      "database": ")" + jsonPath(scenarioFolder()) +
                                  R"(/lake-michigan.dat",
      "destination": {"record": 5, "autopilot": true, "altitudeHold": true, "altitude": 5500},
      "duration": 2400
    })");
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --scenario airport.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("last arrival: KMKE Milwaukee Mitchell at "), std::string::npos)
        << run.output;
    std::string log = readAll("flight-log.csv");
    double closest = 1e9;
    std::istringstream lines(log);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line))
        closest = std::min(closest, std::stod(line.substr(line.rfind(',') + 1)));
    EXPECT_LT(closest, 0.5) << "nm from Milwaukee at the closest";
}

// A tour item of a test database: ident, name, and the position as the dialog's editor has it.
std::string itemLine(const char* ident, const char* name, std::array<const char*, 4> latitude,
                     std::array<const char*, 4> longitude) {
    LineFields f;
    f.ident = ident;
    f.name = name;
    for (size_t i = 0; i < 4; ++i) {
        f.latitude[i] = latitude[i];
        f.longitude[i] = longitude[i];
    }
    f.tourFlag = "1";
    return recordLine(f);
}

// The flown track's extent in the track picture, in pixels: its red, wherever it was drawn.
int trackExtent(const char* picture) {
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(picture, &width, &height, &channels, 3);
    if (!rgb)
        return 0;
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = rgb + (size_t(y) * width + x) * 3;
            if (p[0] == 220 && p[1] == 30 && p[2] == 30) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    stbi_image_free(rgb);
    return right < 0 ? 0 : std::max(right - left, bottom - top);
}

// Tours across the date line (round Vanua Levu, Fiji) and across the prime meridian (south-east
// England): the summary measures the track against the legs the short way round, and the
// picture spreads the track over the map instead of squeezing it into a corner.
TEST(ScenarioFlight, ToursAcrossTheDateLineAndThePrimeMeridianAreMeasuredAndDrawnTrue) {
    const struct {
        const char* tour;
        const char* start[2];
        std::vector<std::string> items;
        const char* reached;
    } tours[] = {
        {"Vanua Levu",
         {"S16 30 00", "W179 45 00"},
         {itemLine("001", "Matei", {"S", "16", "41", "25"}, {"W", "179", "52", "36"}),
          itemLine("002", "Savusavu", {"S", "16", "48", "10"}, {"E", "179", "20", "26"}),
          itemLine("003", "Labasa", {"S", "16", "28", "0"}, {"E", "179", "20", "24"}),
          itemLine("004", "Udu Point", {"S", "16", "8", "0"}, {"W", "179", "57", "0"})},
         "001 Matei, 002 Savusavu, 003 Labasa, 004 Udu Point"},
        {"Kent and Sussex",
         {"N51 20 00", "W000 20 00"},
         {itemLine("001", "Biggin Hill", {"N", "51", "19", "50"}, {"E", "0", "1", "57"}),
          itemLine("002", "Lydd", {"N", "50", "57", "22"}, {"E", "0", "56", "21"}),
          itemLine("003", "Shoreham", {"N", "50", "50", "9"}, {"W", "0", "17", "50"}),
          itemLine("004", "Redhill", {"N", "51", "12", "48"}, {"W", "0", "8", "18"})},
         "001 Biggin Hill, 002 Lydd, 003 Shoreham, 004 Redhill"},
    };
    for (const auto& t : tours) {
        SCOPED_TRACE(t.tour);
        enterFreshFolder();
        std::string database = folderLine(t.tour, 1, true);
        for (const std::string& item : t.items)
            database += item;
        writeFileBytes("tour.dat", database);
        writeFile("tour.json", std::string(R"({"aircraft": {"latitude": ")") + t.start[0] +
                                   R"(", "longitude": ")" + t.start[1] +
                                   R"(", "heading": 270, "airspeed": 160, "altitude": 2000},
          "database": "tour.dat", "destination": {"record": 2, "autopilot": true},
          "frameRate": 6, "duration": 7200, "stopAtArrival": true})");
        ProgramRun run = runProgram("\"" + hostProgram() + "\" tour.json", 100000);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find(std::string("waypoints reached in order: ") + t.reached),
                  std::string::npos)
            << run.output;
        size_t at = run.output.find("at most ");
        ASSERT_NE(at, std::string::npos) << run.output;
        EXPECT_LT(std::stod(run.output.substr(at + 8)), 3.0) << run.output;
        EXPECT_GT(trackExtent("track.png"), 400) << "the track spread over the map";
    }
}

TEST(ScenarioFlight, ClickingAutopilotOffMidFlightStopsTheTurn) {
    enterFreshFolder();
    writeFile("off.json", R"({
      "aircraft": {"latitude": "N41 47 10", "longitude": "W087 45 08", "heading": 180,
                   "airspeed": 150, "altitude": 620},
      "database": ")" + jsonPath(scenarioFolder()) +
                              R"(/lake-michigan.dat",
      "destination": {"record": 5, "autopilot": true},
      "clicks": [{"at": 20, "button": "AP"}],
      "duration": 120
    })");
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --scenario off.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    std::istringstream lines(readAll("flight-log.csv"));
    std::string line;
    std::getline(lines, line);
    double turning = 0, after = -1;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');)
            f.push_back(cell);
        double time = std::stod(f[0]), heading = std::stod(f[4]);
        if (time == 10)
            turning = heading;
        if (time == 22)
            after = heading;
        if (time > 22) {
            EXPECT_EQ(f[6], "0") << line;
            // Only the meridians it crosses turn it, by hundredths of a degree a minute here;
            // the autopilot would turn three degrees a second.
            EXPECT_NEAR(heading, after, 0.15) << "no more turning: " << line;
        }
    }
    EXPECT_GT(std::fabs(turning - 180), 20) << "it was turning toward Milwaukee";
}

// A scenario from Chicago Midway over the sample database; rest holds its other fields.
std::string fromMidway(int heading, int airspeed, const std::string& rest) {
    return R"({"aircraft": {"latitude": "N41 47 10", "longitude": "W087 45 08", "heading": )" +
           std::to_string(heading) + R"(, "airspeed": )" + std::to_string(airspeed) +
           R"(, "altitude": 620}, "database": ")" + jsonPath(scenarioFolder()) +
           "/lake-michigan.dat\", " + rest + "}";
}

// The destination chosen as a pilot does, in the real settings dialog: the flight goes there.
TEST(ScenarioFlight, DestinationChosenThroughTheDialogIsReached) {
    enterFreshFolder();
    writeFile("chosen.json", fromMidway(90, 180, R"(
      "clicks": [{"at": 2, "button": "DLG", "select": "Around the lake/Milwaukee Mitchell",
                  "set": {"autopilot": true, "altitudeHold": true, "altitude": 3000},
                  "close": "OK"}],
      "frameRate": 6, "duration": 1800, "stopAtArrival": true, "pictureEvery": 1800)"));
    ProgramRun run = runProgram("\"" + hostProgram() + "\" chosen.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* line :
         {"clicks[0] (DLG at 0:00:02): selected 'Around the lake/Milwaukee Mitchell'",
          "destination chosen in the settings dialog at 0:00:02: KMKE Milwaukee Mitchell, "
          "airport mode, autopilot on, altitude hold on",
          "last arrival: KMKE Milwaukee Mitchell at ", ", where the flight ended"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
    std::string log = readAll("flight-log.csv");
    std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
    EXPECT_NE(last.find(",3000,"), std::string::npos)
        << "climbed to the dialog's altitude: " << last;
    EXPECT_TRUE(exists("frames\\panel-0001.png")) << "the panel as the dialog closed";
}

// The database's last record as the destination, named by the scenario or chosen in the
// settings dialog during the flight: both fly there.
TEST(ScenarioFlight, TheLastRecordIsADestinationLikeAnyOther) {
    const LineFields last{"KCGX", "Lakefront", {"N", "41", "57", "0"}, {"W", "87", "45", "8"}};
    const std::string database =
        folderLine("Field", 1) + airportLine("KMDW", "Midway") + recordLine(last);
    const struct {
        const char* how;
        const char* destination;
        const char* said;
    } cases[] = {
        {"by the scenario", R"("destination": {"record": 3, "autopilot": true})",
         "last arrival: KCGX Lakefront at "},
        {"in the dialog", R"("destination": {"record": 2},
          "clicks": [{"at": 2, "button": "DLG", "select": "Field/Lakefront",
                      "set": {"autopilot": true}, "close": "OK"}])",
         "destination chosen in the settings dialog at 0:00:02: KCGX Lakefront"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        enterFreshFolder();
        writeFileBytes("field.dat", database);
        writeFile("last.json",
                  std::string(R"({"aircraft": {"latitude": "N41 47 10", "longitude": "W087 45 08",
                   "heading": 0, "airspeed": 150, "altitude": 620}, "database": "field.dat",
          "frameRate": 6, "duration": 900, "stopAtArrival": true, )") +
                      c.destination + "}");
        ProgramRun run = runProgram("\"" + hostProgram() + "\" last.json", 100000);
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        for (const char* line : {c.said, "last arrival: KCGX Lakefront at "})
            EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
    }
}

// A tour brought in as a pilot brings one: "Tr Imp" twice (the tree then ends in two folders of
// one name, and the newest is chosen), the first item chosen with the tour autopilot and
// altitude hold, "Exp" of the new tour answered No at its question, which keeps the file; then
// the whole tour is flown from that item at the items' own altitudes.
TEST(ScenarioFlight, TourImportedThroughTheDialogIsFlownWhole) {
    enterFreshFolder();
    const char* midwayAt[2][4] = {{"N", "41", "47", "10"}, {"W", "87", "45", "8"}};
    const char* garyAt[2][4] = {{"N", "41", "36", "58"}, {"W", "87", "24", "46"}};
    const char* lansingAt[2][4] = {{"N", "41", "32", "6"}, {"W", "87", "31", "44"}};
    const struct {
        const char* number;
        const char* name;
        const char* (*at)[4];
        const char* altitude;
    } items[] = {{"001", "KMDW/Chicago Midway", midwayAt, "620"},
                 {"002", "Gary", garyAt, "2500"},
                 {"003", "Lansing", lansingAt, "1500"}};
    std::string tour;
    for (const auto& i : items) {
        LineFields f;
        f.ident = i.number;
        f.name = i.name;
        for (int k = 0; k < 4; ++k) {
            f.latitude[k] = i.at[0][k];
            f.longitude[k] = i.at[1][k];
        }
        f.tourFlag = "1";
        f.altitudeHoldFlag = "1";
        f.altitude = i.altitude;
        tour += recordLine(f);
    }
    writeFile("TarvixTr.dat", tour);
    writeFile("imported.json", fromMidway(120, 160, R"(
      "clicks": [{"at": 2, "button": "DLG", "press": ["Exp", "Tr Imp", "Tr Imp"],
                  "select": "New Tour Folder/001 - KMDW/Chicago Midway",
                  "set": {"autopilot": true, "altitudeHold": true},
                  "expectMessages": "Over write 'TarvixTr.dat' OK ?", "answers": "No",
                  "close": "OK"}],
      "frameRate": 6, "duration": 1800, "stopAtArrival": true)"));
    ProgramRun run = runProgram("\"" + hostProgram() + "\" imported.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    for (const char* line :
         {"pressed Tr Imp", "the tree ends in 'New Tour Folder' with 3 entries",
          "selected 'New Tour Folder/001 - KMDW/Chicago Midway'", "pressed Exp",
          "message box ''Tarvix.dat' exist !': Over write 'TarvixTr.dat' OK ? (answered No)",
          "tour mode, autopilot on, altitude hold on",
          "waypoints reached in order: 001 KMDW/Chicago Midway, 002 Gary, 003 Lansing",
          "not reached: none"})
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
    EXPECT_EQ(readAll("TarvixTr.dat"), tour) << "No at the question keeps the file";
    // The sample's 20 records, then two imports of a folder and three items each: the choice,
    // which follows the tour, ends at the second import's last item (the first's is 24).
    EXPECT_EQ(markedRecords(readAll("TarvixDb.dat")), "28");
    std::string log = readAll("flight-log.csv");
    std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
    EXPECT_NE(last.find(",1500,"), std::string::npos) << "at the last item's altitude: " << last;
}

// Cancel puts the database back byte for byte and leaves the gauge's destination alone, however
// much the step changed in the dialog first.
TEST(ScenarioFlight, CancelStepLeavesTheDatabaseAndTheDestination) {
    enterFreshFolder();
    writeFile("cancel.json", fromMidway(310, 160, R"(
      "destination": {"record": 14, "autopilot": true},
      "clicks": [{"at": 3, "button": "DLG", "select": "Chicago/Chicago O'Hare",
                  "set": {"name": "Renamed", "latitude": "N10 00 00", "autopilot": false},
                  "close": "Cancel"}],
      "duration": 8)"));
    ProgramRun run = runProgram("\"" + hostProgram() + "\" cancel.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("DLG: the destination stays as it was"), std::string::npos)
        << run.output;
    EXPECT_EQ(readAll("TarvixDb.dat"), readAll("TarvixDb.bak")) << "the database as it was opened";
    EXPECT_EQ(markedRecords(readAll("TarvixDb.dat")), "14");
    EXPECT_FALSE(exists("frames")) << "no pictureEvery: no frames, not even the dialog's";
    EXPECT_FALSE(exists("flight.gif")) << "no animationEvery: no animation";
    std::istringstream lines(readAll("flight-log.csv"));
    std::string line;
    std::getline(lines, line);
    int seconds = 0;
    for (; std::getline(lines, line); ++seconds)
        EXPECT_NE(line.find(",1,1,0,14,001,"), std::string::npos)
            << "still coupled to 14: " << line;
    EXPECT_EQ(seconds, 8);
}

// A step's position goes into the editor with its own hemispheres: south and east on one
// airport, north and west on the other, each as the database then holds it.
TEST(ScenarioFlight, SetStepsKeepTheHemispheresTheyName) {
    enterFreshFolder();
    writeFile("hemispheres.json", fromMidway(310, 160, R"(
      "clicks": [{"at": 1, "button": "DLG", "select": "Chicago/Chicago O'Hare",
                  "set": {"latitude": "S33 56 00", "longitude": "E151 10 37"}, "close": "OK"},
                 {"at": 2, "button": "DLG", "select": "Chicago/Chicago Midway",
                  "set": {"latitude": "N10 20 30", "longitude": "W087 45 08"}, "close": "OK"}],
      "duration": 3)"));
    ProgramRun run = runProgram("\"" + hostProgram() + "\" hemispheres.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    const std::string database = readAll("TarvixDb.dat");
    auto positionOf = [&](const std::string& name) {
        size_t at = database.find(name);
        return at == std::string::npos ? std::string() : database.substr(at - 5 + 30, 16);
    };
    EXPECT_EQ(positionOf("Chicago O'Hare"), "S33 560 E1511037");
    EXPECT_EQ(positionOf("Chicago Midway"), "N10 2030W87 458 ");
}

struct DialogStepRun {
    const char* clicks; // the scenario's "clicks" list
    unsigned long exitCode;
    const char* said; // in the host's output
};

class DialogStep : public ::testing::TestWithParam<DialogStepRun> {};

// What a dialog step that goes wrong, or meets a message box, tells; a failed step ends the run
// with exit code 1 and its name.
TEST_P(DialogStep, SaysWhatHappenedNamingTheStep) {
    enterFreshFolder();
    writeFile(
        "step.json",
        fromMidway(310, 160, std::string(R"("duration": 4, "clicks": )") + GetParam().clicks));
    ProgramRun run = runProgram("\"" + hostProgram() + "\" step.json");
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.output;
    EXPECT_NE(run.output.find(GetParam().said), std::string::npos) << run.output;
    if (GetParam().exitCode != 0) {
        EXPECT_NE(run.output.find("the run stopped early and left in"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DialogStep,
    ::testing::Values(
        DialogStepRun{R"([{"at": 2, "button": "DLG", "close": "OK",
                          "select": "Lake Michigan circuit/009 - Nowhere"}])",
                      1,
                      "clicks[0] (DLG at 0:00:02): no entry 'Lake Michigan circuit/009 - "
                      "Nowhere' in the settings dialog's tree: 'Lake Michigan circuit' holds "
                      "'001 - Milwaukee Mitchell', '002 - Green Bay Austin Field'"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "select": "Lake Superior/Duluth"}])", 1,
                      "its top level holds 'Chicago', 'Around the lake', 'Lake Michigan "
                      "circuit', not 'Lake Superior'"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "close": "OK",
                          "select": "Lake Michigan circuit/003 - Escanaba Delta County",
                          "set": {"ident": "KESC"}}])",
                      1,
                      "clicks[0] (DLG at 0:00:01): 'ident' cannot be set: the ID (a tour "
                      "item's is its number) is disabled for the selected entry"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "select": "Chicago", "close": "OK",
                          "set": {"autopilot": true}}])",
                      1, "'autopilot' cannot be set: the selected entry is a folder"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "select": "Chicago/Chicago Midway",
                          "set": {"latitude": "N91 00 00"}, "close": "OK",
                          "timeLimit": 2}])",
                      1,
                      "clicks[0] (DLG at 0:00:01): an unexpected message box 'Error !': "
                      "Latitude Data Error !"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "select": "Chicago/Chicago Midway",
                          "set": {"latitude": "N91 00 00"}, "close": ["OK", "Cancel"],
                          "expectMessages": "Latitude Data Error !"}])",
                      0,
                      "clicks[0] (DLG at 0:00:01): message box 'Error !': Latitude Data "
                      "Error ! (answered OK)"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "close": "Cancel",
                          "expectMessages": "Latitude Data Error !"}])",
                      1, "the expected message 'Latitude Data Error !' never appeared"},
        DialogStepRun{R"([{"at": 1, "button": "DLG", "timeLimit": 1}])", 0,
                      "the dialog was left open (the step presses neither OK nor Cancel): "
                      "cancelled after the time limit of 1 s"},
        DialogStepRun{R"([{"at": 2, "button": "INF", "close": "OK"}])", 0,
                      "clicks[0] (INF at 0:00:02): pressed OK"}));

// The files in the current folder other than the test's own.
std::string leftFiles() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    std::string names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && name != "program-output.txt" && name != "bad.json" &&
            name != "db.dat")
            names += name + " ";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string sampleDatabase() {
    return readAll(scenarioFolder() + "\\lake-michigan.dat");
}

// Databases that are not databases. Each run gets db.dat beside it: the sample changed so.
std::string damagedDatabase(int kind) {
    std::string db = sampleDatabase();
    switch (kind) {
    case 1: // saved with LF line ends
        for (size_t at; (at = db.find("\r\n")) != std::string::npos;)
            db.erase(at, 1);
        return db;
    case 2: { // random bytes
        std::string noise(640, '\0');
        for (size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<char>((i * 2654435761u) >> 13);
        return noise;
    }
    case 3: // a letter in record 5's latitude degrees
        db[4 * 64 + 32] = 'x';
        return db;
    default:
        return db;
    }
}

struct BadRun {
    const char* scenario;
    int database; // 0 the sample, 1-3 damaged as above
    const char* message;
};

class BadScenarioRun : public ::testing::TestWithParam<BadRun> {};

TEST_P(BadScenarioRun, SaysWhatIsWrongAndLeavesNothing) {
    enterFreshFolder();
    writeFile("db.dat", damagedDatabase(GetParam().database));
    writeFile("bad.json", GetParam().scenario);
    ProgramRun run = runProgram("\"" + hostProgram() + "\" bad.json");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.output.find("bad.json': "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(GetParam().message), std::string::npos) << run.output;
    EXPECT_EQ(leftFiles(), "") << "nothing is written before everything is checked";
}

#define BAD_AIRCRAFT                                                                               \
    R"("aircraft": {"latitude": 42, "longitude": -87, "heading": 1, "airspeed": 100, "altitude": 500}, "duration": 60)"
#define WITH_DB(record)                                                                            \
    "{" BAD_AIRCRAFT R"(, "database": "db.dat", "destination": {"record": )" record "}}"

INSTANTIATE_TEST_SUITE_P(
    Messages, BadScenarioRun,
    ::testing::Values(
        BadRun{"{" BAD_AIRCRAFT R"(, "database": "nowhere.dat"})", 0,
               "database 'nowhere.dat': does not exist"},
        BadRun{R"({"duration": 60})", 0, "aircraft: missing"},
        BadRun{"{" BAD_AIRCRAFT R"(, "variation": "east"})", 0,
               "variation: must be a number, not string"},
        BadRun{"{,}", 0, "not valid JSON"},
        BadRun{WITH_DB("999"), 0, "destination.record: 999 is beyond the 20 records"},
        BadRun{WITH_DB("4"), 0, "destination.record: record 4 is a folder"},
        BadRun{WITH_DB("5"), 1, "database 'db.dat': record 1: columns 63-64 are not CR LF"},
        BadRun{WITH_DB("5"), 2, "database 'db.dat': record 1: "},
        BadRun{WITH_DB("5"), 3,
               "database 'db.dat': record 5: columns 32-34 (latitude degrees) '4x '"}));

} // namespace
