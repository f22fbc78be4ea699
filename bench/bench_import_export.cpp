// Import and export as the pilot waits for them, through the real settings dialog's buttons:
// "Ap Imp" of 10,000 airport lines (a file as the export writes it, and the same lines as an
// editor leaves them: LF alone, trailing spaces gone), then "Exp" of the folder of 10,000
// airports it made. Each time runs from the button's click to its return. Beside the export, the
// bare walk of the folder that any export has to make (each item's data word and next sibling),
// to tell the library's own work from the tree view's. Figures go to standard output; nothing
// here passes or fails.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "bench/bench_clock.h"
#include "bench/dialog_benchmark.h"
#include "dialog/dialog_resources.h"
#include "testkit/db_fixtures.h"
#include "host/dialog_driver.h"

namespace {

constexpr int airports = 10000;

std::string airportFile(bool handEdited) {
    std::string out;
    for (int i = 0; i < airports; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "K%04d Airport %-18dN %-4d%-4d%-4dW %-4d%-4d%-4d  \r\n",
                      i % 10000, i, i % 89 + 1, i % 60, (i / 60) % 60, i % 179 + 1, (i / 7) % 60,
                      i % 60);
        std::string text(line);
        if (handEdited) {
            text.erase(text.find_last_not_of(" \r\n") + 1);
            text += "\n";
        }
        out += text;
    }
    return out;
}

HTREEITEM firstImported(HWND tree) {
    HTREEITEM last = nullptr;
    for (HTREEITEM at = TreeView_GetRoot(tree); at; at = TreeView_GetNextSibling(tree, at))
        last = at;
    return last ? TreeView_GetChild(tree, last) : nullptr;
}

double bareWalkMs(HWND tree, HTREEITEM first) {
    double start = nowMs();
    unsigned long sum = 0;
    for (HTREEITEM at = first; at; at = TreeView_GetNextSibling(tree, at)) {
        TVITEMA item = {};
        item.mask = TVIF_PARAM;
        item.hItem = at;
        TreeView_GetItem(tree, &item);
        sum += static_cast<unsigned long>(item.lParam);
    }
    double took = nowMs() - start;
    return sum == 0 ? -1 : took;
}

void timeExchangeFiles(RecordExportFn dialog) {
    std::printf("exchange files               lines   import ms   export ms   walk ms\n");
    for (bool handEdited : {false, true}) {
        writeFileBytes(databaseFileName, folderLine("Folder", 1) + airportLine("AAAA", "Airport"));
        writeFileBytes(airportExchangeFileName, airportFile(handEdited));
        double imported = 0, exported = 0, walked = 0;
        DialogDriver driver({[&](HWND window) {
                                 double start = nowMs();
                                 clickButton(window, IDC_AIRPORT_IMPORT);
                                 imported = nowMs() - start;
                             },
                             [&](HWND window) {
                                 HWND tree = GetDlgItem(window, IDC_TREE);
                                 TreeView_SelectItem(tree, firstImported(tree));
                                 DeleteFileA(airportExchangeFileName); // no question to answer
                                 double start = nowMs();
                                 clickButton(window, IDC_EXPORT);
                                 exported = nowMs() - start;
                                 walked = bareWalkMs(tree, firstImported(tree));
                             },
                             [](HWND window) { clickButton(window, IDCANCEL); }},
                            120000);
        ExchangeRecord aircraft = {};
        dialog(&aircraft);
        std::printf("%-24s %9d %11.1f %11.1f %9.1f\n",
                    handEdited ? "  edited by hand (LF)" : "  as written", airports, imported,
                    exported, walked);
        if (readFileBytes(airportExchangeFileName) != airportFile(false))
            std::printf("  (the export did not give back the written file)\n");
    }
}

} // namespace

int main() {
    return runDialogBenchmark("bench_import_export", timeExchangeFiles);
}
