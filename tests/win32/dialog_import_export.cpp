// The settings dialog's tour import and export as a pilot works them, for the round trip of
// tarvix-db (tests/script/test_db_tool_round_trip.sh): in the current folder, open the dialog,
// press "Tr Imp" to bring TarvixTr.dat in, select the new tour's first item, press "Exp" and
// answer Yes to the overwrite question, press OK. Prints the message boxes it answered; exits 0
// when the dialog closed with OK and the export wrote the tour file again.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testkit/db_fixtures.h"
#include "dialog/dialog_resources.h"
#include "dialog/tree_items.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"

namespace {

// The first child of the last top-level item: the import puts its new folder last.
void selectImportedItem(HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_TREE);
    HTREEITEM last = nullptr;
    for (HTREEITEM item = treeStep(tree, nullptr, TVGN_ROOT); item;
         item = treeStep(tree, item, TVGN_NEXT))
        last = item;
    HTREEITEM first = last != nullptr ? treeStep(tree, last, TVGN_CHILD) : nullptr;
    if (first != nullptr)
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
    else
        std::printf("the import made no item\n");
}

} // namespace

int main() {
    DWORD before = GetFileAttributesA("TarvixTr.dat");
    if (before == INVALID_FILE_ATTRIBUTES) {
        std::printf("no TarvixTr.dat in the current folder\n");
        return 2;
    }
    DialogLibrary library;
    if (!library.load()) {
        std::printf("the dialog library did not load\n");
        return 2;
    }
    RecordExportFn settingDialog = library.bind(settingDialogExport);
    if (settingDialog == nullptr) {
        std::printf("no %s export\n", settingDialogExport.name);
        return 2;
    }
    // A tour export must never append to an older file: it is taken away only by the export's
    // own question, answered Yes.
    MessageBoxAnswerer answerer({IDYES});
    DialogDriver driver({
        [](HWND dialog) { clickButton(dialog, IDC_TOUR_IMPORT); },
        selectImportedItem,
        [](HWND dialog) { clickButton(dialog, IDC_EXPORT); },
        [](HWND dialog) { clickButton(dialog, IDOK); },
    });
    ExchangeRecord record{};
    int result = settingDialog(&record);
    for (const SeenMessageBox& box : answerer.seen())
        std::printf("message box '%s': %s\n", box.caption.c_str(), box.text.c_str());
    if (driver.watchdogFired() || driver.stepsRun() != 4) {
        std::printf("the dialog did not run its four steps (%u)\n",
                    static_cast<unsigned>(driver.stepsRun()));
        return 1;
    }
    std::printf("the dialog returned %d\n", result);
    return result == 1 ? 0 : 1;
}
