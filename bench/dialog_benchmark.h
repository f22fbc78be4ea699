// What the settings dialog's benchmarks share: a fresh working folder and the built dialog
// library, whose settings dialog the benchmark's body times.
#pragma once
#include <cstdio>

#include "common/module_contract.h"
#include "testkit/db_fixtures.h"
#include "testkit/test_support.h"

// The program's exit status: 1 when the library cannot be loaded (said on standard error under
// the benchmark's name), else 0 once the body has printed its figures.
inline int runDialogBenchmark(const char* name, void (*body)(RecordExportFn settingDialog)) {
    enterFreshFolder();
    DialogLibrary library;
    if (!library.load()) {
        std::fprintf(stderr, "%s: the dialog library cannot be loaded\n", name);
        return 1;
    }
    body(library.bind(settingDialogExport));
    return 0;
}
