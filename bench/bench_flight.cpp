// Simulated seconds per wall-clock second of the default scenario, flown in this process: as
// shipped, its tour chosen through the real settings dialog, and with the same tour set directly
// in the database instead; each with and without its pictures and animation. Figures go to
// standard output.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/flight_run.h"
#include "host/panel_host.h"
#include "testkit/test_support.h"

namespace {

// This process's processor time, user and kernel: less moved by the machine's other work than
// the wall clock.
double processorSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void flyOnce(Scenario scenario, const std::vector<uint8_t>& database, bool pictures,
             const char* how) {
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
    double cpuStart = processorSeconds();
    bool flown = flyScenario(scenario, database, RunSettings{false, false}, outcome, error);
    double wall = (GetTickCount() - start) / 1000.0, cpu = processorSeconds() - cpuStart;
    unloadGauge();
    if (!flown)
        return (void)std::printf("bench_flight: %s\n", error.c_str());
    std::fprintf(stderr, "bench_flight: %s\n", outcome.choices.front().c_str());
    std::printf("default scenario, %s, %s pictures: %.0f simulated s in %.1f s, %.0f simulated s "
                "per s; %.1f s of processor time, %.0f simulated s per processor s\n",
                how, pictures ? "with" : "without", outcome.seconds, wall, outcome.seconds / wall,
                cpu, outcome.seconds / cpu);
}

} // namespace

int main() {
    std::ifstream file(binFolder() + "\\scenarios\\lake-michigan.json");
    std::stringstream text;
    text << file.rdbuf();
    Scenario shipped;
    std::string error;
    if (!parseScenario(text.str(), shipped, error)) {
        std::printf("bench_flight: %s\n", error.c_str());
        return 1;
    }
    std::ifstream db(binFolder() + "\\scenarios\\" + shipped.database, std::ios::binary);
    std::vector<uint8_t> database{std::istreambuf_iterator<char>(db),
                                  std::istreambuf_iterator<char>()};
    // The tour's first item with the options the shipped dialog step sets.
    Scenario direct = shipped;
    direct.clicks.clear();
    direct.destination = {true, 14, true, true, 0};
    // Each pair in both orders, so that what the first flight of a process pays is not charged
    // to one kind.
    for (bool pictures : {true, false}) {
        flyOnce(shipped, database, pictures, "tour chosen in the settings dialog");
        flyOnce(direct, database, pictures, "tour set directly");
        flyOnce(direct, database, pictures, "tour set directly");
        flyOnce(shipped, database, pictures, "tour chosen in the settings dialog");
    }
    return 0;
}
