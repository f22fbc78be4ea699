// tarvix-host as a person meets it: help, inputs read whole or refused by name, paths taken
// from where it was started, nothing written by a run that is refused.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "testkit/test_support.h"

namespace {

std::string host() {
    return "\"" + binFolder() + "\\tarvix-host.exe\" ";
}

// The names in the current folder besides the captured output, sorted.
std::string filesHere() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*", &found);
    std::string names;
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != ".." && name != "program-output.txt" && name != "in")
            names += name + " ";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST(HostCommandLine, HelpListsTheOptionsAndSucceeds) {
    enterFreshFolder();
    ProgramRun run = runProgram(host() + "--help");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    for (const char* option : {"--out", "--gauge", "--frames", "--click", "--all-key-events",
                               "degrees magnetic", "scenario"})
        EXPECT_NE(run.output.find(option), std::string::npos) << option << "\n" << run.output;
    EXPECT_EQ(filesHere(), "");
}

struct Refused {
    const char* arguments;
    const char* message;
};

class RefusedCommandLine : public ::testing::TestWithParam<Refused> {};

// Each refusal: exit code 1, a message that names what was wrong, and no file written.
TEST_P(RefusedCommandLine, NamesTheProblemAndWritesNothing) {
    enterFreshFolder();
    CreateDirectoryA("in", nullptr);
    std::ofstream("in\\s.json") << R"({"aircraft": {"latitude": 41.8, "longitude": -87.7,
        "heading": 10, "airspeed": 100, "altitude": 600}, "duration": 5})";
    ProgramRun run = runProgram(host() + GetParam().arguments + " --out o");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find(GetParam().message), std::string::npos) << run.output;
    EXPECT_EQ(filesHere(), "") << "a refused run leaves no files";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedCommandLine,
    ::testing::Values(
        Refused{"--frames 1.5", "option --frames: '1.5' is not a whole number from 1"},
        Refused{"--frames lots", "option --frames: 'lots' is not a whole number"},
        Refused{"--heading nan", "option --heading: 'nan' is not a number"},
        Refused{"--speed", "--speed"}, Refused{"--bogus 3", "unknown option --bogus"},
        Refused{"in\\s.json extra.json", "unexpected argument 'extra.json'"},
        Refused{"--click AP@50 --frames 10", "'AP@50' comes after the last frame (9)"},
        Refused{"--click OK@5", "option --click: 'OK@5' is not LABEL@FRAME"},
        Refused{"--latitude 95", "option --latitude: '95' is beyond 90 degrees"},
        Refused{"--latitude \"N41 47 10 W\"", "option --latitude: 'N41 47 10 W' is not a latitude"},
        Refused{"--longitude \"41 47\"", "is not a longitude"},
        Refused{"--destination KMKE,Milwaukee,42.9", "option --destination: 'KMKE,Milwaukee,42.9'"},
        Refused{"in\\s.json --frames 10", "option --frames is for a flight without a scenario"},
        Refused{"in\\s.json --latitude 41", "option --latitude is for a flight without a scenario"},
        Refused{"--gauge NoSuchGauge.gau", "NoSuchGauge.gau': no such file"},
        Refused{"in\\missing.json", "missing.json': cannot be read"}));

// An output folder that cannot be made or written is refused before the flight, with the
// system's reason and the path as the person knows it (under Wine the Unix one).
TEST(HostCommandLine, AnOutputFolderThatTakesNothingIsRefusedWithItsReason) {
    enterFreshFolder();
    std::ofstream("taken") << "a file where a folder should be";
    ProgramRun run = runProgram(host() + "--frames 2 --out taken\\sub");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("cannot write into the output folder '"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("/taken/sub': "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("stopped early"), std::string::npos) << run.output;
    EXPECT_EQ(filesHere(), "taken ") << "nothing written";
}

// Without a scenario file or a free-flight option the host flies the default scenario beside
// it; a host copied away from it says so instead of flying something else.
TEST(HostCommandLine, WithoutTheDefaultScenarioBesideItNothingIsFlown) {
    enterFreshFolder();
    CreateDirectoryA("in", nullptr);
    ASSERT_TRUE(
        CopyFileA((binFolder() + "\\tarvix-host.exe").c_str(), "in\\tarvix-host.exe", FALSE));
    ProgramRun run = runProgram("in\\tarvix-host.exe --gauge \"" + gaugePath() + "\" --out o");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("the default scenario '"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("/in/scenarios/lake-michigan.json' is not there"), std::string::npos)
        << run.output;
    EXPECT_EQ(filesHere(), "");
}

TEST(HostCommandLine, PathsAreTakenFromTheStartingFolder) {
    std::string start = enterFreshFolder();
    CreateDirectoryA("in", nullptr);
    CopyFileA(gaugePath().c_str(), "in\\copy.gau", FALSE);
    ProgramRun run = runProgram(host() + "--gauge in\\copy.gau --frames 20 --picture inf.png "
                                         "--events in\\keys.csv --out deep\\er");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(GetFileAttributesA("inf.png"), INVALID_FILE_ATTRIBUTES) << run.output;
    EXPECT_NE(GetFileAttributesA("in\\keys.csv"), INVALID_FILE_ATTRIBUTES) << run.output;
    EXPECT_NE(GetFileAttributesA("deep\\er"), INVALID_FILE_ATTRIBUTES) << "--out is made";
    // The paths printed are the files' real ones (under Wine: the Unix names).
    EXPECT_NE(run.output.find("inf.png"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("deep\\er\\inf.png"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("deep/er/inf.png"), std::string::npos) << run.output;
}

TEST(HostCommandLine, CoordinateOptionsTakeTheUsualForms) {
    enterFreshFolder();
    for (const char* form : {"-87.7522", "\"W87 45 08\"", "\"87 45 08 W\"",
                             "\"W87\xC2\xB0"
                             "45\xE2\x80\xB2"
                             "08\xE2\x80\xB3\"",
                             "\"87\xC2\xB0"
                             "45'08\\\"W\""}) {
        ProgramRun run = runProgram(host() + "--frames 1 --longitude " + form);
        EXPECT_EQ(run.exitCode, 0u) << form << "\n" << run.output;
    }
}

// Two runs at once in one session would share the dialog library's mapping: the second is
// refused before it writes anything.
TEST(HostCommandLine, ASecondRunAtOnceIsRefused) {
    enterFreshFolder();
    HANDLE held = CreateMutexA(nullptr, TRUE, "TarvixHostRun");
    ASSERT_NE(held, nullptr);
    ProgramRun run = runProgram(host() + "--frames 5 --out o");
    ReleaseMutex(held);
    CloseHandle(held);
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find("another tarvix-host is flying"), std::string::npos) << run.output;
    EXPECT_EQ(filesHere(), "");
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(file, line);)
        out.push_back(line);
    return out;
}

// By default the key events that change nothing (the heading re-sent every frame) are left out.
TEST(HostCommandLine, KeyEventLogKeepsChangesUnlessAllAreAskedFor) {
    enterFreshFolder();
    std::string database = binFolder() + "\\scenarios\\lake-michigan.dat";
    for (char& c : database)
        c = c == '\\' ? '/' : c;
    std::ofstream("s.json") << R"({"aircraft": {"latitude": 41.8, "longitude": -87.7,
        "heading": 90, "airspeed": 150, "altitude": 600}, "duration": 30,
        "database": ")" << database
                            << R"(", "destination": {"record": 5}})";
    ASSERT_EQ(runProgram(host() + "s.json --out changes").exitCode, 0u);
    ASSERT_EQ(runProgram(host() + "s.json --out all --all-key-events").exitCode, 0u);
    std::vector<std::string> changes = lines("changes\\key-events.csv"),
                             all = lines("all\\key-events.csv");
    ASSERT_GT(changes.size(), 2u);
    EXPECT_GT(all.size(), 4 * changes.size()) << "the full log repeats the heading";
    std::string previousHeading;
    for (const std::string& line : changes) {
        std::string event = line.substr(line.find(',') + 1);
        if (event.rfind("0x101FA", 0) == 0) {
            EXPECT_NE(event, previousHeading) << "a repeat of the same heading";
            previousHeading = event;
        }
    }
}

} // namespace
