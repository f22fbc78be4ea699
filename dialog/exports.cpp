// The calls the gauge binds by name. Thin: each one copies between the caller's record and
// ExchangeState and leaves the mapping to exchange_mapping.cpp.
#include <windows.h>
#include <commctrl.h>

#include <type_traits>

#include "dialog_resources.h"
#include "dialog_state.h"
#include "dialogs.h"
#include "exports.h"

static_assert(std::is_same_v<decltype(&TarvixGetData), decltype(getDataExport)::Function>);
static_assert(std::is_same_v<decltype(&TarvixSetData), decltype(setDataExport)::Function>);
static_assert(std::is_same_v<decltype(&TarvixGetTourItem), decltype(getTourItemExport)::Function>);
static_assert(std::is_same_v<decltype(&TarvixAboutDialog), decltype(aboutDialogExport)::Function>);
static_assert(std::is_same_v<decltype(&Tarvix), decltype(tarvixExport)::Function>);

ExchangeRecord ExchangeState = {};
void* libraryModule = nullptr;

// The runtime calls it by its C name; it records the handle through which the dialogs and
// icons are loaded from this library's resources, and lets go of the exchange mapping's view.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        libraryModule = instance;
    else if (reason == DLL_PROCESS_DETACH)
        releaseExchangeMapping();
    return TRUE;
}

// Before a modal dialog takes over, the simulator's window is told, as by a click on its system
// menu box, so that it lets go of the mouse; the message is sent and its handling waited for.
static void nudgeForegroundWindow() {
    if (HWND foreground = GetForegroundWindow())
        SendMessageA(foreground, WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(0, 0));
}

extern "C" {

int __stdcall TarvixGetData(ExchangeRecord* record) {
    if (!loadExchange())
        return 0;
    copyExchangeRecord(*record, ExchangeState);
    return 1;
}

int __stdcall TarvixSetData(ExchangeRecord* record) {
    copyExchangeRecord(ExchangeState, *record);
    return storeExchange() ? 1 : 0;
}

int __stdcall TarvixSettingDialog(ExchangeRecord* record) {
    nudgeForegroundWindow();
    loadExchange();
    ExchangeState.aircraftLatitude = record->aircraftLatitude;
    ExchangeState.aircraftLongitude = record->aircraftLongitude;
    InitCommonControls(); // the tree view and toolbar classes
    DialogBoxParamA(static_cast<HINSTANCE>(libraryModule), MAKEINTRESOURCEA(IDD_SETTINGS),
                    GetForegroundWindow(), settingsDialogProc, 0);
    return 1;
}

int __stdcall TarvixAboutDialog() {
    nudgeForegroundWindow();
    return static_cast<int>(DialogBoxParamA(static_cast<HINSTANCE>(libraryModule),
                                            MAKEINTRESOURCEA(IDD_ABOUT), GetForegroundWindow(),
                                            aboutDialogProc, 0));
}

void __stdcall Tarvix() {}

} // extern "C"
