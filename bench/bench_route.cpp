// Timed runs of the gauge's route following in the stand-in host, with the real dialog library
// and tours of growing length: one update (coupled, tour mode, no redraw) and the rebuild of the
// route after "DLG". Figures go to standard output; nothing here passes or fails.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "host/panel_host.h"
#include "testkit/db_fixtures.h"
#include "bench/bench_clock.h"
#include "host/dialog_driver.h"
#include "testkit/test_support.h"

namespace {

void benchTour(int items) {
    enterFreshFolder();
    putDialogLibraryHere();
    std::string database = folderLine("Tour", 1, true);
    for (int i = 1; i <= items; ++i)
        database += tourItemLine(i, "Item", "3000", i == 1 ? "-1" : "");
    writeFileBytes("TarvixDb.dat", database);
    HMODULE library = LoadLibraryA("TarvixDlg.dll");
    auto setData = reinterpret_cast<int(__stdcall*)(ExchangeRecord*)>(
        reinterpret_cast<void*>(GetProcAddress(library, "TarvixSetData")));
    auto stepTour = reinterpret_cast<int(__stdcall*)(int32_t)>(
        reinterpret_cast<void*>(GetProcAddress(library, "TarvixGetTourItem")));
    ExchangeRecord choice{};
    choice.mode = 1;
    choice.recordNumber = 2;
    choice.tourAutopilot = 1;
    setData(&choice);
    stepTour(1); // through the library's own stepping: item 1's position and texts
    stepTour(0);
    std::string error;
    if (!loadGauge(gaugePath(), error)) {
        std::printf("bench_route: %s\n", error.c_str());
        return;
    }
    setVariable(varLatitude, latitudeFromDms(false, 10, 0, 0)); // far from every item
    setVariable(varLongitude, longitudeFromDms(true, 10, 0, 0));
    setVariable(varSpeed, 150);
    hostInstall();
    hostInitialize();
    const int cycles = 200;
    double updateUs = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (int call = 1; call <= 13; ++call) {
            double start = 1000.0 * nowMs();
            hostUpdate();
            if (call < 13)
                updateUs += 1000.0 * nowMs() - start;
        }
        resetPanel();
    }
    const int rebuilds = items >= 999 ? 3 : 10;
    int32_t x = 0, y = 0;
    if (!buttonCentre(2, x, y)) // "DLG"
        std::printf("bench_route: no DLG button\n");
    double rebuildUs = 0;
    for (int run = 0; run < rebuilds; ++run) {
        // "DLG" opens the real settings dialog; timed from its Cancel, so the figure is the
        // gauge's rebuild once the pilot is done (and Cancel's restore), not the pilot's time.
        double closedUs = 0;
        DialogDriver driver({[&](HWND dialog) {
            closedUs = 1000.0 * nowMs();
            clickButton(dialog, IDCANCEL);
        }});
        if (!clickGauge(x, y, nullptr))
            std::printf("bench_route: DLG missed\n");
        rebuildUs += 1000.0 * nowMs() - closedUs;
    }
    std::printf("tour of %4d items: gaugeUpdate without redraw %8.1f us, route rebuild after the "
                "dialog closes %9.1f ms\n",
                items, updateUs / (cycles * 12), rebuildUs / rebuilds / 1000.0);
    hostKill();
    unloadGauge();
    FreeLibrary(library);
}

} // namespace

int main() {
    for (int items : {10, 100, 999, 1000, 5000})
        benchTour(items);
    return 0;
}
