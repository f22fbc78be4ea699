// The gauge's empty form of a waypoint record.
#pragma once
#include "common/exchange_record.h"

// ident five spaces, name 24 spaces (both terminated), bytes 32 to 119 zero.
void clearWaypoint(ExchangeRecord& record);
