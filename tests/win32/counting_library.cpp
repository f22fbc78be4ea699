// Stands where the gauge looks for the dialog library and passes every call on to the real one,
// loaded from the same folder as "TarvixDlgReal.dll", counting the tour steps the gauge asks for.
// On request it answers the steps itself the way a damaged or hostile library might, so that
// tests can see how far the gauge walks on such answers. Not shipped.
#include <windows.h>

#include <cstdint>

#include "common/exchange_record.h"

namespace {

HMODULE real = nullptr;
int32_t steps = 0;
int32_t answering = 0; // CountingAnswer's kind
int32_t parameter = 0;
int32_t endlessItem = 0;

template <typename Fn> Fn bind(const char* name) {
    if (!real)
        real = LoadLibraryA("TarvixDlgReal.dll");
    return real ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(real, name)))
                : nullptr;
}

using RecordCall = int(__stdcall*)(ExchangeRecord*);

int forward(const char* name, ExchangeRecord* record) {
    auto fn = bind<RecordCall>(name);
    return fn ? fn(record) : 0;
}

} // namespace

extern "C" {
__declspec(dllexport) int32_t __stdcall CountingSteps(void);
__declspec(dllexport) void __stdcall CountingAnswer(int32_t kind, int32_t value);
__declspec(dllexport) int __stdcall TarvixGetData(ExchangeRecord* record);
__declspec(dllexport) int __stdcall TarvixSetData(ExchangeRecord* record);
__declspec(dllexport) int __stdcall TarvixSettingDialog(ExchangeRecord* record);
__declspec(dllexport) int __stdcall TarvixAboutDialog(void);
__declspec(dllexport) int __stdcall TarvixGetTourItem(int32_t forward);

// Tour steps since the library was loaded or the answers were last chosen.
__declspec(dllexport) int32_t __stdcall CountingSteps(void) {
    return steps;
}

// Who answers the tour steps from now on, counted from 0 again. kind 0: the real library;
// 1: the real library for the first value steps, -1 to every later one; 2: a tour without end,
// each step moving one item on from item value (forward up, back down); 3: value to every step.
__declspec(dllexport) void __stdcall CountingAnswer(int32_t kind, int32_t value) {
    answering = kind;
    parameter = value;
    endlessItem = value;
    steps = 0;
}

__declspec(dllexport) int __stdcall TarvixGetData(ExchangeRecord* record) {
    return forward("TarvixGetData", record);
}

__declspec(dllexport) int __stdcall TarvixSetData(ExchangeRecord* record) {
    return forward("TarvixSetData", record);
}

__declspec(dllexport) int __stdcall TarvixSettingDialog(ExchangeRecord* record) {
    return forward("TarvixSettingDialog", record);
}

__declspec(dllexport) int __stdcall TarvixAboutDialog(void) {
    auto fn = bind<int(__stdcall*)()>("TarvixAboutDialog");
    return fn ? fn() : 0;
}

__declspec(dllexport) int __stdcall TarvixGetTourItem(int32_t forwardStep) {
    ++steps;
    if (answering == 1 && steps > parameter)
        return -1;
    if (answering == 2)
        return endlessItem += forwardStep ? 1 : -1;
    if (answering == 3)
        return parameter;
    auto fn = bind<int(__stdcall*)(int32_t)>("TarvixGetTourItem");
    return fn ? fn(forwardStep) : -1;
}
}
