// Simulated seconds per wall-clock second of the default scenario, flown in this process with
// and without its pictures and animation. Figures go to standard output.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/flight_run.h"
#include "host/panel_host.h"
#include "tests/win32/test_support.h"

namespace {

void flyOnce(Scenario scenario, const std::vector<uint8_t>& database, bool pictures) {
    if (!pictures) {
        scenario.pictureEvery = 0;
        scenario.animationEvery = 0;
    }
    enterFreshFolder();
    putDialogLibraryHere();
    std::string error;
    FlightOutcome outcome{};
    if (!loadGauge(gaugePath(), error))
        return (void)std::printf("bench_flight: %s\n", error.c_str());
    DWORD start = GetTickCount();
    bool flown = flyScenario(scenario, database, RunSettings{false, false}, outcome, error);
    double wall = (GetTickCount() - start) / 1000.0;
    unloadGauge();
    if (!flown)
        return (void)std::printf("bench_flight: %s\n", error.c_str());
    std::printf(
        "default scenario %s pictures: %.0f simulated s in %.1f s, %.0f simulated s per s\n",
        pictures ? "with" : "without", outcome.seconds, wall, outcome.seconds / wall);
}

} // namespace

int main() {
    std::ifstream file(binFolder() + "\\scenarios\\lake-michigan.json");
    std::stringstream text;
    text << file.rdbuf();
    Scenario scenario;
    std::string error;
    if (!parseScenario(text.str(), scenario, error)) {
        std::printf("bench_flight: %s\n", error.c_str());
        return 1;
    }
    std::ifstream db(binFolder() + "\\scenarios\\" + scenario.database, std::ios::binary);
    std::vector<uint8_t> database{std::istreambuf_iterator<char>(db),
                                  std::istreambuf_iterator<char>()};
    flyOnce(scenario, database, true);
    flyOnce(scenario, database, false);
    return 0;
}
