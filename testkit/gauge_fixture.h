// The gauge in the stand-in host beside the dialog library it loads. The test loads the library
// first, by the very name the gauge loads it by (TarvixDlg.dll of the current folder: the real
// one, or a stand-in put there), so that both share one module and one exchange; the gauge goes
// before the library.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include "common/module_contract.h"

struct GaugeBesideLibrary : ::testing::Test {
    HMODULE library = nullptr;
    RecordExportFn setData = nullptr;
    RecordExportFn getData = nullptr;

    // With the library in the current folder: loads it, binds its data exports and loads the
    // built gauge. A step that fails fails the test (call it inside ASSERT_NO_FATAL_FAILURE).
    void loadLibraryAndGauge();
    void TearDown() override;

    // The stand-in simulator's aircraft, at a position in decimal degrees.
    static void placeAircraft(double latitude, double longitude);

    // Another export of the library, by name; nullptr when it has none.
    template <typename Fn> Fn exported(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    }
};
