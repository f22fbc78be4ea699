// Timed runs of the database's heavy operations under the real Win32 API: loadTree and saveTree
// on growing databases, and tour steps through the built library as the gauge makes them.
// Figures go to standard output; nothing here passes or fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/exchange_record.h"
#include "dialog/db_file.h"
#include "dialog/tree_map.h"
#include "tests/win32/db_fixtures.h"
#include "bench/bench_clock.h"
#include "tests/win32/test_support.h"

namespace {

// Airport folders of 99 airports each, the marker on the last airport.
std::string airportDatabase(int records) {
    std::string database;
    database.reserve(static_cast<size_t>(records) * 64);
    for (int n = 1; n <= records; ++n)
        database += n % 100 == 1 ? folderLine("Folder", 1)
                                 : airportLine("AAAA", "Airport", n == records ? "-1" : "");
    return database;
}

void benchTree(int records) {
    const int runs = records > 10000 ? 3 : 10;
    double loadMs = 0, saveMs = 0;
    std::string database = airportDatabase(records);
    for (int run = 0; run < runs; ++run) {
        writeFileBytes(databaseFileName, database);
        TreeWindow view;
        HTREEITEM choice = nullptr;
        double start = nowMs();
        loadTree(view.tree(), &choice);
        loadMs += nowMs() - start;
        view.select(choice);
        start = nowMs();
        int chosen = saveTree(view.tree());
        saveMs += nowMs() - start;
        if (chosen != records)
            std::printf("unexpected: saveTree gave %d\n", chosen);
    }
    std::printf("%-28s %7d records  %9.1f ms  (%.2f us a record)\n", "loadTree", records,
                loadMs / runs, 1000.0 * loadMs / runs / records);
    std::printf("%-28s %7d records  %9.1f ms  (%.2f us a record)\n", "saveTree", records,
                saveMs / runs, 1000.0 * saveMs / runs / records);
}

using DataCall = int(__stdcall*)(ExchangeRecord*);
using TourCall = int(__stdcall*)(int);

void benchTour(HMODULE library, int items) {
    auto setData = reinterpret_cast<DataCall>(
        reinterpret_cast<void*>(GetProcAddress(library, "TarvixSetData")));
    auto step = reinterpret_cast<TourCall>(
        reinterpret_cast<void*>(GetProcAddress(library, "TarvixGetTourItem")));
    std::string database = airportDatabase(1000) + folderLine("Tour", 1, true);
    for (int i = 1; i <= items; ++i)
        database += tourItemLine(i, "Item", "3000");
    database += folderLine("After", 1);
    writeFileBytes(databaseFileName, database);
    ExchangeRecord state = {};
    state.mode = 1;
    state.recordNumber = 1002;
    setData(&state);
    const int steps = 500;
    double start = nowMs();
    for (int i = 0; i < steps; ++i)
        step(1);
    double stepMs = (nowMs() - start) / steps;
    start = nowMs();
    for (int i = 0; i < items; ++i)
        step(1);
    for (int i = 0; i < items; ++i)
        step(0);
    double walkMs = nowMs() - start;
    std::printf("%-28s %7d items    %9.3f ms\n", "TarvixGetTourItem one step", items, stepMs);
    std::printf("%-28s %7d items    %9.1f ms  (forward through the tour and back)\n", "tour walk",
                items, walkMs);
}

} // namespace

int main() {
    enterFreshFolder();
    const int sizes[] = {1000, 10000, 65535};
    for (int records : sizes)
        benchTree(records);
    HMODULE library = LoadLibraryA(dialogLibraryPath().c_str());
    if (!library) {
        std::printf("no dialog library at %s\n", dialogLibraryPath().c_str());
        return 1;
    }
    benchTour(library, 100);
    benchTour(library, 999);
    FreeLibrary(library);
    return 0;
}
