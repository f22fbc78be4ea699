// The library's exported calls, undecorated and __stdcall, as the gauge binds them by name; their
// types are the contract's, checked where they are defined.
#pragma once
#include "common/module_contract.h"

extern "C" {
int __stdcall TarvixGetData(ExchangeRecord* record);
int __stdcall TarvixSetData(ExchangeRecord* record);
int __stdcall TarvixGetTourItem(int forward);              // tour_lookup.cpp
int __stdcall TarvixSettingDialog(ExchangeRecord* record); // always 1
int __stdcall TarvixAboutDialog();                         // the About box's end code
void __stdcall Tarvix();
}
