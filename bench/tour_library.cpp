// A stand-in for the dialog library that the screen benchmark and the tour pictures of the
// screen tests load in its place: it serves one airport destination or a tour of any length laid
// out on a circle of 21.6 nm around the aircraft, item 1 due north and the others clockwise, so
// that the redraw can be timed with a route of a known size and the map's tour line checked
// against known places. Not shipped.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/exchange_record.h"

namespace {

int32_t tourLength = 0; // 0: airport mode
int32_t current = 0;
int32_t numberShift = 0;                        // added to the item number that ident carries
double centreLatitude = 0, centreLongitude = 0; // raw

void fill(ExchangeRecord* record) {
    std::memset(record, 0, sizeof *record);
    if (tourLength == 0) {
        std::strcpy(record->ident, "KMKE");
        std::strcpy(record->name, "Milwaukee Mitchell");
        record->latitude = centreLatitude + 60000;
        record->longitude = centreLongitude + 4e9;
        return;
    }
    std::snprintf(record->ident, sizeof record->ident, "%03d", current + 1 + numberShift);
    std::snprintf(record->name, sizeof record->name, "Tour item %d", current + 1);
    // 40,000 raw units of latitude are 0.36 degrees; a degree of longitude is shorter by the
    // cosine of the latitude.
    const double radiusDegrees = 40000 * 90.0 / 10001748.0;
    const double rawPerDegreeOfLongitude = 281474976710656.0 / 360;
    const double latitudeDegrees = centreLatitude * 90.0 / 10001748.0;
    double angle = 6.283185307179586 * current / tourLength;
    record->latitude = centreLatitude + 40000 * std::cos(angle);
    record->longitude = centreLongitude + radiusDegrees * std::sin(angle) *
                                              rawPerDegreeOfLongitude /
                                              std::cos(latitudeDegrees * 3.141592653589793 / 180);
    record->mode = 1;
    record->recordNumber = current;
}

} // namespace

extern "C" {
__declspec(dllexport) void __stdcall StandInServe(int32_t items, double latitude, double longitude);
__declspec(dllexport) void __stdcall StandInShiftNumbers(int32_t shift);
__declspec(dllexport) int __stdcall TarvixGetData(ExchangeRecord* record);
__declspec(dllexport) int __stdcall TarvixSetData(ExchangeRecord* record);
__declspec(dllexport) int __stdcall TarvixGetTourItem(int32_t forward);

__declspec(dllexport) void __stdcall StandInServe(int32_t items, double latitude,
                                                  double longitude) {
    // The gauge bounds its walks by the size of the database in its folder, as a real library
    // keeps it: a folder record and one record an item.
    if (std::FILE* database = std::fopen("TarvixDb.dat", "wb")) {
        const char blankRecord[64] = {};
        for (int32_t i = 0; i <= items; ++i)
            std::fwrite(blankRecord, 1, sizeof blankRecord, database);
        std::fclose(database);
    }
    tourLength = items;
    current = 0;
    centreLatitude = latitude;
    centreLongitude = longitude;
}

__declspec(dllexport) void __stdcall StandInShiftNumbers(int32_t shift) {
    numberShift = shift;
}

__declspec(dllexport) int __stdcall TarvixGetData(ExchangeRecord* record) {
    fill(record);
    return 1;
}

__declspec(dllexport) int __stdcall TarvixSetData(ExchangeRecord*) {
    return 1;
}

__declspec(dllexport) int __stdcall TarvixGetTourItem(int32_t forward) {
    if (tourLength == 0)
        return -1;
    current = (current + (forward ? 1 : tourLength - 1)) % tourLength;
    return current;
}
}
