// The stand-in refuses what is not a gauge module, clearly and without crashing.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

#include "host/panel_host.h"
#include "testkit/test_support.h"

namespace {

std::string hostProgram() {
    return binFolder() + "\\tarvix-host.exe";
}

TEST(HostLoader, RefusesAMissingFile) {
    enterFreshFolder();
    std::string error;
    EXPECT_FALSE(loadGauge("NoSuchGauge.gau", error));
    EXPECT_EQ(error, "cannot load gauge 'NoSuchGauge.gau': no such file");
    EXPECT_FALSE(gaugeLoaded());
}

TEST(HostLoader, RefusesAFileThatIsNoWindowsModule) {
    enterFreshFolder();
    std::ofstream("Text.gau") << "this is a text file, not a gauge\n";
    std::string error;
    EXPECT_FALSE(loadGauge("Text.gau", error));
    EXPECT_NE(error.find("': not a Windows module"), std::string::npos) << error;
}

// The real gauge marked as built for the other processor: named as such, which is what a gauge of
// the wrong build looks like to the host.
TEST(HostLoader, NamesAGaugeBuiltForTheOtherProcessor) {
    enterFreshFolder();
    std::ifstream in(gaugePath(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 0x200u);
    uint32_t pe = uint8_t(bytes[0x3C]) | uint8_t(bytes[0x3D]) << 8;
    bool thisIs64 = sizeof(void*) == 8;
    bytes[pe + 4] = char(thisIs64 ? 0x4C : 0x64);
    bytes[pe + 5] = char(thisIs64 ? 0x01 : 0x86);
    std::ofstream("Other.gau", std::ios::binary) << bytes;
    std::string error;
    EXPECT_FALSE(loadGauge("Other.gau", error));
    EXPECT_NE(error.find(thisIs64 ? "it is an i686 (32-bit) module and this tarvix-host is the "
                                    "x86-64 (64-bit) build"
                                  : "it is an x86-64 (64-bit) module and this tarvix-host is the "
                                    "i686 (32-bit) build"),
              std::string::npos)
        << error;
    EXPECT_FALSE(gaugeLoaded());
}

TEST(HostLoader, RefusesAModuleWithoutGaugeRecords) {
    std::string error;
    EXPECT_FALSE(loadGauge(dialogLibraryPath(), error));
    EXPECT_NE(error.find("is not a gauge module: it exports no Linkage record"), std::string::npos)
        << error;
    EXPECT_FALSE(gaugeLoaded());
}

TEST(HostLoader, ProgramSaysWhyInOneLineAndFails) {
    enterFreshFolder();
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --gauge NoSuchGauge.gau");
    EXPECT_EQ(run.exitCode, 1u);
    // One line, naming the gauge by its full path as the person knows it (under Wine: Unix).
    EXPECT_EQ(run.output.rfind("tarvix-host: cannot load gauge '", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("/NoSuchGauge.gau': no such file\n"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
}

TEST(HostLoader, ProgramFliesTheGaugeAndWritesThePanel) {
    enterFreshFolder();
    ProgramRun run = runProgram("\"" + hostProgram() + "\" --frames 50 --picture p.png");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    std::ifstream png("p.png", std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
}

} // namespace
