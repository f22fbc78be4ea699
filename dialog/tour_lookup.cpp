// Stepping the current tour item forward and back, in the database (its marker) and in
// ExchangeState at once. The whole step runs on one exclusive handle of the database, and it
// writes only once the new item is known to be a tour item of the same tour: a step from a
// record that is no tour item, or on a database that cannot be opened, changes nothing.
#include <windows.h>

#include "../common/position_units.h"
#include "../common/text_fields.h"
#include "db_file.h"
#include "dialog_state.h"
#include "exports.h"

namespace {

struct TourFile {
    HANDLE handle;
    int32_t count;
};

bool isTourItemAt(const TourFile& file, int32_t number) {
    return number >= 1 && number <= file.count && readRecordFrom(number, file.handle) &&
           isTourItemRecord(recordBuffer);
}

// The record after the current item continues the tour when it is a tour item with a higher
// sequence number; otherwise the tour starts again at its item "001", found by counting back
// from the current item's own number. A numbering that does not lead back into this run of tour
// items (hand edits, a blank ident) takes the run's first item instead, so the marker can never
// land on a folder or an airport.
int32_t nextTourItem(const TourFile& file, int32_t current) {
    readRecordFrom(current, file.handle);
    int32_t sequence = readWholeNumber(recordBuffer.ident, sizeof recordBuffer.ident);
    if (current < file.count && readRecordFrom(current + 1, file.handle) &&
        isTourItemRecord(recordBuffer) &&
        readWholeNumber(recordBuffer.ident, sizeof recordBuffer.ident) > sequence)
        return current + 1;
    int64_t counted = static_cast<int64_t>(current) - sequence + 1;
    int32_t first = current;
    while (first != counted && isTourItemAt(file, first - 1))
        --first;
    return first;
}

// The record before the current item continues the tour backwards when it is a tour item;
// otherwise this is the first item and the tour wraps to the last of its consecutive items.
int32_t previousTourItem(const TourFile& file, int32_t current) {
    if (isTourItemAt(file, current - 1))
        return current - 1;
    int32_t last = current;
    while (isTourItemAt(file, last + 1))
        ++last;
    return last;
}

bool setLevel(const TourFile& file, int32_t number, const char* level) {
    if (!readRecordFrom(number, file.handle))
        return false;
    copyBoundedText(recordBuffer.level, level, sizeof recordBuffer.level);
    return writeRecordTo(number, file.handle) != 0;
}

void takeTourItem(int32_t number) {
    copyBoundedText(ExchangeState.ident, recordBuffer.ident, sizeof ExchangeState.ident);
    copyBoundedText(ExchangeState.name, recordBuffer.name, sizeof ExchangeState.name);
    ExchangeState.latitude = latitudeFromTexts(recordBuffer.latHemisphere, recordBuffer.latDegrees,
                                               recordBuffer.latMinutes, recordBuffer.latSeconds);
    ExchangeState.longitude =
        longitudeFromTexts(recordBuffer.lonHemisphere, recordBuffer.lonDegrees,
                           recordBuffer.lonMinutes, recordBuffer.lonSeconds);
    ExchangeState.tourAltitude =
        readWholeNumber(recordBuffer.altitude, sizeof recordBuffer.altitude);
    ExchangeState.recordNumber = number;
}

} // namespace

extern "C" int __stdcall TarvixGetTourItem(int forward) {
    loadExchange();
    if (ExchangeState.mode != 1)
        return -1;
    TourFile file = {openRecordFile(databaseFileName, false), 0};
    if (file.handle == INVALID_HANDLE_VALUE)
        return -1;
    file.count = recordCountOf(file.handle);
    int32_t current = ExchangeState.recordNumber;
    bool moved = false;
    int32_t next = 0;
    if (isTourItemAt(file, current)) {
        next = forward ? nextTourItem(file, current) : previousTourItem(file, current);
        moved = setLevel(file, current, "") && setLevel(file, next, "-1");
    }
    CloseHandle(file.handle);
    if (!moved)
        return -1;
    takeTourItem(next);
    return storeExchange() ? next : -1;
}
