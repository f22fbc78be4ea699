// The dialog library, loaded by file name and bound by export name immediately before every
// call, so that a library replaced or missing at any moment costs only the calls it cannot take.
#include <windows.h>

#include "common/module_contract.h"
#include "gauge_state.h"

void loadDialogLibrary() {
    if (!gauge.dialogLibrary)
        gauge.dialogLibrary = LoadLibraryA(dialogLibraryFileName);
}

void freeDialogLibrary() {
    if (gauge.dialogLibrary)
        FreeLibrary(static_cast<HMODULE>(gauge.dialogLibrary));
    gauge.dialogLibrary = nullptr;
}

template <typename Fn> static Fn resolve(const LibraryExport<Fn>& entry) {
    if (!gauge.dialogLibrary)
        return nullptr;
    return exportFunction(entry,
                          GetProcAddress(static_cast<HMODULE>(gauge.dialogLibrary), entry.name));
}

static int32_t callRecordExport(const LibraryExport<RecordExportFn>& entry,
                                ExchangeRecord* record) {
    auto fn = resolve(entry);
    if (!fn)
        return 0;
    fn(record);
    return 1;
}

int32_t callGetData(ExchangeRecord* record) {
    return callRecordExport(getDataExport, record);
}
int32_t callSetData(ExchangeRecord* record) {
    return callRecordExport(setDataExport, record);
}

int32_t callSettingDialog(ExchangeRecord* record) {
    return callRecordExport(settingDialogExport, record);
}

int32_t callAboutDialog() {
    auto fn = resolve(aboutDialogExport);
    if (!fn)
        return 0;
    fn();
    return 1;
}

bool dialogExportPresent(const char* name) {
    return gauge.dialogLibrary &&
           GetProcAddress(static_cast<HMODULE>(gauge.dialogLibrary), name) != nullptr;
}

int32_t callGetTourItem(int32_t forward, int32_t* index) {
    auto fn = resolve(getTourItemExport);
    if (!fn)
        return 0;
    *index = fn(forward);
    return 1;
}
