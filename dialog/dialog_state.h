// Module-wide state of the dialog library and the functions its files share.
#pragma once
#include <cstdint>

#include "common/db_record.h"
#include "common/exchange_record.h"

// While the settings dialog is open, ExchangeState is its working copy: only OK stores it.
extern ExchangeRecord ExchangeState; // the library's current record, mirrored in "TarvixMapFile"
extern void* libraryModule;          // this library's module handle, for its resources

// exchange_mapping.cpp
// False when the mapping cannot be found (load) or made (store).
bool loadExchange();
bool storeExchange();
// Lets go of the mapping's view as the library is unloaded (the mapping itself stays).
void releaseExchangeMapping();
