// The tree's editing operations that walk or insert many items, in the real settings dialog:
// Copy and Paste of a folder of 1,000 airports, a Delete in a tour of 1,000 items (999
// renumbered) and a drag of a folder of 100 airports onto another folder. Each is timed from the
// command (or the button press) to its return. Figures go to standard output.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_clock.h"
#include "bench/dialog_benchmark.h"
#include "dialog/dialog_resources.h"
#include "testkit/db_fixtures.h"
#include "host/dialog_driver.h"
#include "testkit/settings_session.h"

namespace {

std::string airportFolder(const char* name, int airports) {
    std::string out = folderLine(name, 1);
    for (int n = 1; n <= airports; ++n)
        out += airportLine("AAAA", ("Airport " + std::to_string(n)).c_str());
    return out;
}

std::string tour(int items) {
    std::string out = folderLine("Tour", 1, true);
    for (int n = 1; n <= items; ++n)
        out += tourItemLine(n, ("Point " + std::to_string(n)).c_str());
    return out;
}

double timed(HWND dialog, int id) {
    const double start = nowMs();
    command(dialog, id);
    return nowMs() - start;
}

// Opens the dialog on the database and runs the steps, then Cancel.
void inDialog(RecordExportFn dialogExport, const std::string& database,
              std::vector<DialogDriver::Step> steps) {
    writeFileBytes(databaseFileName, database);
    steps.push_back([](HWND dialog) { clickButton(dialog, IDCANCEL); });
    DialogDriver driver(std::move(steps), 120000);
    ExchangeRecord aircraft = {};
    dialogExport(&aircraft);
}

void timeTreeEdits(RecordExportFn dialogExport) {
    std::printf("tree editing                               ms\n");

    double copy = 0, paste = 0;
    inDialog(dialogExport, airportFolder("Big", 1000) + airportFolder("Target", 1),
             {[&](HWND dialog) {
                 selectLabel(dialog, " Big");
                 copy = timed(dialog, IDM_COPY);
                 selectLabel(dialog, " Target");
                 paste = timed(dialog, IDM_PASTE);
             }});
    std::printf("copy of a folder of 1,000 airports  %9.1f\n", copy);
    std::printf("paste of it                         %9.1f\n", paste);

    double renumber = 0;
    inDialog(dialogExport, tour(1000), {[&](HWND dialog) {
                 selectLabel(dialog, "001 - Point 1");
                 renumber = timed(dialog, IDM_DELETE);
             }});
    std::printf("delete in a tour of 1,000 (999 renumbered) %4.1f\n", renumber);

    double drag = 0;
    inDialog(dialogExport, airportFolder("Hundred", 100) + airportFolder("Target", 1),
             {[&](HWND dialog) {
                 const double start = nowMs();
                 startDrag(dialog, " Hundred");
                 dropOn(dialog, " Target", false);
                 drag = nowMs() - start;
             }});
    std::printf("drag of a folder of 100 airports    %9.1f\n", drag);
}

} // namespace

int main() {
    return runDialogBenchmark("bench_tree_editing", timeTreeEdits);
}
