// The dialog library, loaded by file name and bound by export name immediately before every
// call, so that a library replaced or missing at any moment costs only the calls it cannot take.
#include <windows.h>

#include "gauge_state.h"

static const char dialogLibraryName[] = "TarvixDlg.dll";

void loadDialogLibrary() {
    if (!gauge.dialogLibrary)
        gauge.dialogLibrary = LoadLibraryA(dialogLibraryName);
}

void freeDialogLibrary() {
    if (gauge.dialogLibrary)
        FreeLibrary(static_cast<HMODULE>(gauge.dialogLibrary));
    gauge.dialogLibrary = nullptr;
}

template <typename Fn> static Fn resolve(const char* name) {
    if (!gauge.dialogLibrary)
        return nullptr;
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(gauge.dialogLibrary), name)));
}

using RecordExport = int(__stdcall*)(ExchangeRecord*);
using PlainExport = int(__stdcall*)();
using TourItemExport = int(__stdcall*)(int32_t);

static int32_t callRecordExport(const char* name, ExchangeRecord* record) {
    auto fn = resolve<RecordExport>(name);
    if (!fn)
        return 0;
    fn(record);
    return 1;
}

int32_t callGetData(ExchangeRecord* record) {
    return callRecordExport("TarvixGetData", record);
}
int32_t callSetData(ExchangeRecord* record) {
    return callRecordExport("TarvixSetData", record);
}

int32_t callSettingDialog(ExchangeRecord* record) {
    return callRecordExport("TarvixSettingDialog", record);
}

int32_t callAboutDialog() {
    auto fn = resolve<PlainExport>("TarvixAboutDialog");
    if (!fn)
        return 0;
    fn();
    return 1;
}

bool dialogExportPresent(const char* name) {
    return resolve<void*>(name) != nullptr;
}

int32_t callGetTourItem(int32_t forward, int32_t* index) {
    auto fn = resolve<TourItemExport>("TarvixGetTourItem");
    if (!fn)
        return 0;
    *index = fn(forward);
    return 1;
}
