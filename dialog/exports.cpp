// The calls the gauge binds by name. Thin: each one copies between the caller's record and
// ExchangeState and leaves the mapping to exchange_mapping.cpp.
#include <windows.h>

#include <type_traits>

#include "dialog_state.h"
#include "exports.h"

static_assert(std::is_same_v<decltype(&TarvixGetData), decltype(getDataExport)::Function>);
static_assert(std::is_same_v<decltype(&TarvixSetData), decltype(setDataExport)::Function>);
static_assert(std::is_same_v<decltype(&TarvixGetTourItem), decltype(getTourItemExport)::Function>);
static_assert(std::is_same_v<decltype(&Tarvix), decltype(tarvixExport)::Function>);

ExchangeRecord ExchangeState = {};
void* libraryModule = nullptr;

// The runtime calls it by its C name; it records the handle through which the dialogs and
// icons are loaded from this library's resources.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        libraryModule = instance;
    return TRUE;
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
    return storeExchange();
}

void __stdcall Tarvix() {}

} // extern "C"
