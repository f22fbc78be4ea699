// Timed runs of the database's heavy operations under the real Win32 API: loadTree and saveTree
// on growing databases, and tour steps through the built library as the gauge makes them.
// Figures go to standard output; nothing here passes or fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "dialog/tree_map.h"
#include "testkit/db_fixtures.h"
#include "bench/bench_clock.h"
#include "testkit/test_support.h"

namespace {

// The same file written the way a save writes it one record a call (seek and 64 bytes each):
// the reference the save's own figure is set against in the same run.
double recordByRecordMs(const std::string& database) {
    HANDLE file = CreateFileA(scratchFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    double start = nowMs();
    for (size_t at = 0; at < database.size(); at += 64) {
        DWORD written = 0;
        SetFilePointer(file, static_cast<LONG>(at), nullptr, FILE_BEGIN);
        WriteFile(file, database.data() + at, 64, &written, nullptr);
    }
    FlushFileBuffers(file);
    double elapsed = nowMs() - start;
    CloseHandle(file);
    DeleteFileA(scratchFileName);
    return elapsed;
}

// The tree alone, asked what a save must ask of each item (its data word, its next sibling, a
// folder's first child): under Wine each of these messages looks the item up among all items.
double treeWalkMs(HWND tree) {
    double start = nowMs();
    unsigned long words = 0;
    for (HTREEITEM folder = TreeView_GetRoot(tree); folder;
         folder = TreeView_GetNextSibling(tree, folder)) {
        TVITEMA item = {};
        item.mask = TVIF_PARAM;
        item.hItem = folder;
        TreeView_GetItem(tree, &item);
        words += static_cast<unsigned long>(item.lParam);
        for (HTREEITEM child = TreeView_GetChild(tree, folder); child;
             child = TreeView_GetNextSibling(tree, child)) {
            item.hItem = child;
            TreeView_GetItem(tree, &item);
            words += static_cast<unsigned long>(item.lParam);
        }
    }
    double elapsed = nowMs() - start;
    return words ? elapsed : -1;
}

void benchTree(int records) {
    const int runs = records > 10000 ? 3 : 10;
    double loadMs = 0, saveMs = 0, writesMs = 0, walkMs = 0;
    std::string database = airportFolders(records);
    for (int run = 0; run < runs; ++run) {
        writeFileBytes(databaseFileName, database);
        TreeWindow view;
        HTREEITEM choice = nullptr;
        double start = nowMs();
        TreeLoad loaded = loadTree(view.tree(), &choice);
        loadMs += nowMs() - start;
        view.select(choice);
        walkMs += treeWalkMs(view.tree());
        int32_t chosen = 0;
        start = nowMs();
        TreeSave saved = saveTree(view.tree(), &chosen);
        saveMs += nowMs() - start;
        if (loaded != TreeLoad::loaded || saved != TreeSave::saved || chosen != records)
            std::printf("unexpected: the tree did not load and save whole (record %d)\n", chosen);
        writesMs += recordByRecordMs(database);
    }
    std::printf("%-28s %7d records  %9.1f ms  (%.2f us a record)\n", "loadTree", records,
                loadMs / runs, 1000.0 * loadMs / runs / records);
    std::printf("%-28s %7d records  %9.1f ms  (%.2f us a record)\n", "saveTree", records,
                saveMs / runs, 1000.0 * saveMs / runs / records);
    std::printf("%-28s %7d records  %9.1f ms  (saveTree takes %.2f times this)\n",
                "one write call a record", records, writesMs / runs, saveMs / writesMs);
    std::printf("%-28s %7d records  %9.1f ms  (saveTree takes %.2f times this)\n",
                "the tree walk alone", records, walkMs / runs, saveMs / walkMs);
}

void benchTour(const DialogLibrary& library, int items) {
    std::string database = airportFolders(1000) + folderLine("Tour", 1, true);
    for (int i = 1; i <= items; ++i)
        database += tourItemLine(i, "Item", "3000");
    database += folderLine("After", 1);
    writeFileBytes(databaseFileName, database);
    ExchangeRecord state = {};
    state.mode = 1;
    state.recordNumber = 1002;
    library.setData(&state);
    TourItemExportFn step = library.getTourItem;
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
    DialogLibrary library;
    ::testing::AssertionResult loaded = library.load();
    if (!loaded) {
        std::printf("%s\n", loaded.message());
        return 1;
    }
    benchTour(library, 100);
    benchTour(library, 999);
    return 0;
}
