#include "waypoint_record.h"

#include <cstring>

void clearWaypoint(ExchangeRecord& record) {
    std::memcpy(record.ident, "     ", 6);
    std::memset(record.name, ' ', 24);
    record.name[24] = '\0';
    std::memset(reinterpret_cast<char*>(&record) + exchangeNumericStart, 0, exchangeNumericSize);
}
