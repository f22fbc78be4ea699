// The library's exported calls, undecorated and __stdcall, as the gauge binds them by name.
#pragma once
#include "../common/exchange_record.h"

extern "C" {
int __stdcall TarvixGetData(ExchangeRecord* record);
int __stdcall TarvixSetData(ExchangeRecord* record);
void __stdcall Tarvix();
}
