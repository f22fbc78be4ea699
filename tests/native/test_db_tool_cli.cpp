// The tarvix-db program as a pilot runs it (the build with sanitizers): exit statuses, messages
// and what it leaves on disk, for good files and hostile ones.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "dbtool/fly_arguments.h"
#include "testkit/program_folder.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string output;
};

class DbToolProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tarvix-db-cli-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string at(const std::string& name) const { return (folder / name).string(); }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(at(name), std::ios::binary) << bytes;
    }

    std::string read(const std::string& name) const {
        std::ifstream in(at(name), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // Standard output, and standard error with it unless errors is false.
    ToolRun run(const std::string& arguments, bool errors = true) const {
        std::string command = "cd '" + folder.string() + "' && '" +
                              besideThisProgram(TARVIX_DB_TOOL) + "' " + arguments +
                              (errors ? " 2>&1" : " 2>/dev/null");
        FILE* pipe = popen(command.c_str(), "r");
        std::string output;
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, n);
        int status = pclose(pipe);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
    }

    fs::path folder;
};

const char* routeOutOfRange = R"(<?xml version="1.0"?>
<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1">
 <rte><name>Lake</name>
  <rtept lat="42.947222" lon="-87.896667"><ele>1371.6</ele><name>KMKE</name></rtept>
  <rtept lat="44.485" lon="-88.129444"><name>KGRB</name></rtept>
  <rtept lat="91" lon="0"><name>BAD</name></rtept>
 </rte>
</gpx>)";

TEST_F(DbToolProgram, ConvertsAndReportsWhatItLeftOut) {
    write("route.gpx", routeOutOfRange);
    ToolRun converted = run("convert route.gpx TarvixTr.dat");
    EXPECT_EQ(converted.status, 1) << converted.output;
    EXPECT_NE(converted.output.find("route.gpx: line 6: rtept: latitude 91.000000 is outside -90 "
                                    "to 90: left out"),
              std::string::npos)
        << converted.output;
    EXPECT_EQ(read("TarvixTr.dat").size(), 2 * 64u);
    ToolRun checked = run("check TarvixTr.dat");
    EXPECT_EQ(checked.status, 0) << checked.output;
    ToolRun again = run("convert route.gpx TarvixTr.dat");
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.output.find("exists already: use --force"), std::string::npos);
    EXPECT_EQ(run("convert --force route.gpx TarvixTr.dat").status, 1);
    ToolRun back = run("convert TarvixTr.dat back.csv");
    EXPECT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(read("back.csv"),
              "ident,name,latitude,longitude,altitude,altitude_hold,folder,kind\r\n"
              "001,KMKE,42.947222,-87.896667,4500,,Tour,tour\r\n"
              "002,KGRB,44.485000,-88.129444,,,Tour,tour\r\n");
}

TEST_F(DbToolProgram, CheckStatusesAndJson) {
    std::string good = "KMDW Chicago Midway           N41 4710W87 458                 \r\n";
    write("TarvixDb.dat",
          good + "KORD Chicago O'Hare           N4x 5843W87 5417-1              \r\n");
    ToolRun text = run("check TarvixDb.dat");
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.output.find("TarvixDb.dat: record 2: columns 32-34 (latitude degrees) '4x ' "
                               "is not a whole number from 0 to 90"),
              std::string::npos)
        << text.output;
    ToolRun json = run("check --json TarvixDb.dat", false);
    EXPECT_EQ(json.status, 1);
    nlohmann::json report = nlohmann::json::parse(json.output);
    EXPECT_EQ(report["records"], 2);
    EXPECT_EQ(report["problems"][0]["record"], 2);
    write("TarvixDb.dat", good);
    EXPECT_EQ(run("check TarvixDb.dat").status, 0);
    ToolRun missing = run("check TarvixTr.dat");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("TarvixTr.dat: No such file or directory"), std::string::npos)
        << missing.output;
    nlohmann::json refused = nlohmann::json::parse(run("check --json TarvixTr.dat", false).output);
    EXPECT_EQ(refused["status"], 2);
    EXPECT_EQ(refused["error"], "TarvixTr.dat: No such file or directory");
    write("notes.txt", "Fly to Midway on Sunday\n");
    ToolRun unknown = run("check notes.txt");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("unknown format"), std::string::npos);
    EXPECT_EQ(run("check --format db missing.txt").status, 2) << "still missing";
    EXPECT_EQ(run("frobnicate").status, 2);
}

TEST_F(DbToolProgram, HostileInputsGiveAMessageAndStatusTwo) {
    const struct {
        const char* name;
        const char* bytes;
        const char* message;
    } cases[] = {
        {"cut.gpx", "<gpx><rte><rtept lat=\"1\" lon=\"2\"><name>A", "not well-formed XML"},
        {"empty.gpx", "", "the file is empty: nothing to convert"},
        {"empty.csv", "", "the file is empty: nothing to convert"},
        {"noheader.csv", "a,b,c\n1,2,3\n", "the header names no latitude"},
        {"allbad.csv", "ident,latitude,longitude\nA,100,0\n", "not written: no points to write"},
    };
    for (const auto& c : cases) {
        write(c.name, c.bytes);
        ToolRun r = run(std::string("convert ") + c.name + " TarvixTr.dat");
        EXPECT_EQ(r.status, 2) << c.name << ": " << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.name << ": " << r.output;
        EXPECT_FALSE(fs::exists(at("TarvixTr.dat"))) << c.name << ": nothing half written";
    }
    ToolRun db = run("convert empty.csv TarvixDb.dat");
    EXPECT_EQ(db.status, 2);
    EXPECT_NE(db.output.find("does not write databases"), std::string::npos);
}

TEST_F(DbToolProgram, ShowsTheTree) {
    write("TarvixDb.dat", "     Circuit                  N       E       1 1             \r\n"
                          "001  Milwaukee Mitchell       N42 5650W87 5348-1111500        \r\n");
    ToolRun shown = run("show TarvixDb.dat");
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.output, "TarvixDb.dat: records 2: folders 1, airports 0, tour items 1\n"
                            "     1  [tour] Circuit\n"
                            "     2    001   Milwaukee Mitchell       N 42°56'50\"  W  87°53'48\"  "
                            "1500 ft, altitude hold   <- current choice\n");
}

TEST_F(DbToolProgram, NothingDroppedThatCouldBeKept) {
    write("low.csv", "ident,name,latitude_deg,longitude_deg,elevation_ft\n"
                     "EHAM,Schiphol,52.308613,4.763889,-11\n");
    ToolRun airports = run("convert low.csv Tarvix.dat");
    EXPECT_EQ(airports.status, 0) << airports.output;
    EXPECT_EQ(read("Tarvix.dat").substr(0, 14), "EHAM  Schiphol") << "no altitude is written";
    ToolRun tour = run("convert low.csv TarvixTr.dat");
    EXPECT_EQ(tour.status, 0) << tour.output;
    EXPECT_NE(tour.output.find("line 2: warning: altitude -11 ft is below sea level: written as 0"),
              std::string::npos)
        << tour.output;
    EXPECT_EQ(read("TarvixTr.dat").substr(48, 6), "1 0   ");
}

TEST_F(DbToolProgram, ALongRouteIsSplitIntoToursThatFlyOnFromOneAnother) {
    std::string csv = "name,lat,lon\n";
    for (int i = 1; i <= 10; ++i)
        csv += "P" + std::to_string(i) + ",4" + std::to_string(i % 10) + ".5,-87.5\n";
    write("long.csv", csv);
    ToolRun split = run("convert --max-items 4 long.csv TarvixTr.dat");
    EXPECT_EQ(split.status, 0) << split.output;
    EXPECT_NE(split.output.find("as 3 tours: TarvixTr.dat to TarvixTr-3.dat"), std::string::npos)
        << split.output;
    const struct {
        const char* file;
        const char* first;
        size_t items;
    } parts[] = {
        {"TarvixTr.dat", "P1", 4}, {"TarvixTr-2.dat", "P4", 4}, {"TarvixTr-3.dat", "P7", 4}};
    for (const auto& part : parts) {
        std::string bytes = read(part.file);
        EXPECT_EQ(bytes.size(), part.items * 64) << part.file;
        EXPECT_EQ(bytes.substr(0, 7), std::string("001  ") + part.first) << part.file;
    }
    EXPECT_EQ(run("convert --max-items 4 long.csv TarvixTr.dat").status, 2)
        << "no part is replaced without --force";
    std::string many = "name,lat,lon\n";
    for (int i = 0; i < 1000; ++i)
        many += "P,41.5,-87." + std::to_string(1000 + i) + "\n";
    write("many.csv", many);
    ToolRun warned = run("convert many.csv TarvixTr.dat --force");
    EXPECT_EQ(warned.status, 0) << warned.output;
    EXPECT_NE(warned.output.find("warning: a tour of 1,000 items: beyond 999 the gauge"),
              std::string::npos)
        << warned.output;
}

TEST_F(DbToolProgram, CheckSaysWhatConvertWouldAndFilesAreKnownByContent) {
    write("names.csv", "icao,name,lat,lon\nEDDMXX,M\u00FCnchen Franz Josef Strau\u00DF Airport,"
                       "48.35,11.78\nEDDMXY,Munich Two,48.36,11.79\n");
    ToolRun checked = run("check names.csv");
    EXPECT_EQ(checked.status, 0) << checked.output;
    for (const char* expected :
         {"columns used: identifier 'icao', name 'name', latitude 'lat', longitude 'lon'",
          "line 2: warning: name 'M\u00FCnchen Franz Josef Strau\u00DF Airport' is longer",
          "line 3: warning: identifier 'EDDMXY' is cut to 'EDDMX', the same as 'EDDMXX' of line 2",
          "names.csv: CSV, 2 lines: no problems, 4 warnings"})
        EXPECT_NE(checked.output.find(expected), std::string::npos) << expected << "\n"
                                                                    << checked.output;
    EXPECT_EQ(run("check --quiet names.csv").output,
              "names.csv: CSV, 2 lines: no problems, 4 warnings\n");
    write("sample.dat", "     Chicago                  N       E       1               \r\n"
                        "KMDW Chicago Midway           N41 4710W87 458                 \r\n");
    ToolRun sample = run("show sample.dat");
    EXPECT_EQ(sample.status, 0) << sample.output;
    EXPECT_NE(sample.output.find("[folder] Chicago"), std::string::npos) << sample.output;
    write("TarvixDb.dat", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\1\0", 20));
    for (const char* command : {"check TarvixDb.dat", "show TarvixDb.dat"}) {
        ToolRun picture = run(command);
        EXPECT_EQ(picture.status, 2) << command;
        EXPECT_NE(picture.output.find("TarvixDb.dat: not a waypoint file: line 2 holds control "
                                      "characters"),
                  std::string::npos)
            << picture.output;
    }
    EXPECT_NE(run("--help").output.find("Usage: tarvix-db "), std::string::npos)
        << "the usage names the program, not its build path";
}

TEST_F(DbToolProgram, FlyArgumentsKeepEachValueWithItsOptionAndOnlyARouteGoesToTheTool) {
    write("scenario.txt", " \r\n{\"name\": \"a scenario\"}");
    write("note.txt", "not a route");
    const std::string scenario = at("scenario.txt"), note = at("note.txt");
    const struct {
        std::vector<std::string> arguments;
        std::string scenario, host; // the arguments joined by spaces; "!" refusal: the host's
    } cases[] = {
        {{"--events", "keys.csv", "--speed", "90"}, "", "--events keys.csv --speed 90"},
        {{"r.GPX", "--speed=90", "-q", "--gauge", "g.gau", "--all-key-events"},
         "--speed=90 -q r.GPX /d",
         "--gauge g.gau --all-key-events /d/route-flight.json"},
        {{"--from", "fms", "plan.txt", "--out", "f", "extra"},
         "--from fms plan.txt f",
         "--out f extra f/route-flight.json"},
        {{"x.kml", "--out=o"}, "x.kml o", "--out=o o/route-flight.json"},
        {{note, "--frames", "3"}, "" + note + " /d", "--frames 3 /d/route-flight.json"},
        {{scenario, "--out", "f"}, "", scenario + " --out f"},
        {{"missing.txt", "--speed", "90"}, "", "missing.txt --speed 90"},
        {{scenario, "--track"}, "--track " + scenario + " /d", "/d/route-flight.json"},
        {{"--max-items", "9"}, "!", "option --max-items is for a route file"},
        {{"a.gpx", "--out"}, "!", "option --out needs a value"},
    };
    auto joined = [](const std::vector<std::string>& words) {
        std::string text;
        for (const std::string& word : words)
            text += (text.empty() ? "" : " ") + word;
        return text;
    };
    for (const auto& c : cases) {
        FlySplit split;
        std::string refusal;
        const bool done = splitFlyArguments(c.arguments, "/d", split, refusal);
        SCOPED_TRACE(joined(c.arguments));
        if (c.scenario == "!") {
            EXPECT_FALSE(done);
            EXPECT_EQ(refusal.find(c.host), 0u) << refusal;
            continue;
        }
        ASSERT_TRUE(done) << refusal;
        EXPECT_EQ(split.route, !c.scenario.empty());
        EXPECT_EQ(joined(split.scenario), c.scenario);
        EXPECT_EQ(joined(split.host), c.host);
    }
}

} // namespace
