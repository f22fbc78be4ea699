// The settings dialog as the pilot waits for it, on databases of 1,000 and 10,000 records:
// opening (backup, tree built, the chosen entry shown) up to the moment the dialog is active, and
// OK (save in tree order, the choice stored) up to the export's return. Figures go to standard
// output; nothing here passes or fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_clock.h"
#include "bench/dialog_benchmark.h"
#include "dialog/dialog_resources.h"
#include "testkit/db_fixtures.h"
#include "host/dialog_driver.h"

namespace {

// The moment the dialog becomes active: the opening's work is done by then.
double activatedAt = 0;
LRESULT CALLBACK stampActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activatedAt == 0)
        activatedAt = nowMs();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void timeOpeningAndOk(RecordExportFn dialog) {
    std::printf("settings dialog     records   open ms     OK ms\n");
    for (int records : {1000, 10000}) {
        writeFileBytes(databaseFileName, airportFolders(records));
        ExchangeRecord aircraft = {};
        double pressed = 0;
        DialogDriver driver({[&](HWND window) {
            pressed = nowMs();
            clickButton(window, IDOK);
        }});
        HHOOK hook = SetWindowsHookExA(WH_CBT, stampActivation, nullptr, GetCurrentThreadId());
        activatedAt = 0;
        double start = nowMs();
        dialog(&aircraft);
        double closed = nowMs();
        UnhookWindowsHookEx(hook);
        std::printf("                  %9d %9.1f %9.1f\n", records, activatedAt - start,
                    closed - pressed);
    }
}

} // namespace

int main() {
    return runDialogBenchmark("bench_settings_dialog", timeOpeningAndOk);
}
