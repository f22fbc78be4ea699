// Scenario flights end to end: tarvix-host.exe flies a scenario file and leaves its logs,
// pictures and summary; the checks read them as a pilot would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "test_support.h"

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

TEST(ScenarioFlight, DefaultTourSequencesEveryWaypointInOrderAndStopsAtTheLast) {
    enterFreshFolder();
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --scenario " + scenarioFolder() +
                                "\\lake-michigan.json");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("waypoints reached in order: 14 15 16 17 18 19 20\r\n"),
              std::string::npos)
        << run.output;
    for (const char* file : {"panel.png", "track.png", "flight.gif", "flight-log.csv",
                             "key-events.csv", "frames\\panel-0001.png"})
        EXPECT_TRUE(exists(file)) << file;
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
    std::string log = readAll("flight-log.csv");
    double closest = 1e9;
    std::istringstream lines(log);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line))
        closest = std::min(closest, std::stod(line.substr(line.rfind(',') + 1)));
    EXPECT_LT(closest, 0.5) << "nm from Milwaukee at the closest";
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
            EXPECT_DOUBLE_EQ(heading, after) << "no more turning: " << line;
        }
    }
    EXPECT_GT(std::fabs(turning - 180), 20) << "it was turning toward Milwaukee";
}

struct BadCase {
    const char* scenario;
    const char* message;
};

class BadScenarioRun : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenarioRun, SaysWhatIsWrongAndFails) {
    enterFreshFolder();
    writeFile("bad.json", GetParam().scenario);
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --scenario bad.json");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(
        run.output.find(std::string("tarvix-host: scenario 'bad.json': ") + GetParam().message),
        std::string::npos)
        << run.output;
}

#define BAD_AIRCRAFT                                                                               \
    R"("aircraft": {"latitude": 42, "longitude": -87, "heading": 1, "airspeed": 100, "altitude": 500}, "duration": 60)"

INSTANTIATE_TEST_SUITE_P(Messages, BadScenarioRun,
                         ::testing::Values(BadCase{"{" BAD_AIRCRAFT
                                                   R"(, "database": "nowhere.dat"})",
                                                   "database: 'nowhere.dat' does not exist"},
                                           BadCase{R"({"duration": 60})", "aircraft: missing"},
                                           BadCase{"{" BAD_AIRCRAFT R"(, "variation": "east"})",
                                                   "variation: must be a number, not string"},
                                           BadCase{"{,}", "not valid JSON"}));

} // namespace
