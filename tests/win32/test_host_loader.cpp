// The stand-in refuses what is not a gauge module, clearly and without crashing.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "host/panel_host.h"
#include "test_support.h"

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
    EXPECT_NE(error.find("not a loadable Windows module"), std::string::npos) << error;
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
    // One line, naming the gauge by its full path.
    EXPECT_EQ(run.output.rfind("tarvix-host: cannot load gauge '", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\\NoSuchGauge.gau': no such file\r\n"), std::string::npos)
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
