// Stepping the current tour item forward and back, in the database (its marker) and in
// ExchangeState at once. The whole step runs on one exclusive handle of the database, and it
// writes only once the new item is known to be a tour item of the same tour: a step from a
// record that is no tour item, or on a database that cannot be opened, changes nothing.
#include <windows.h>

#include "../common/record_rules.h"
#include "../common/text_fields.h"
#include "db_file.h"
#include "dialog_state.h"
#include "exports.h"
#include "tour_rule.h"

namespace {

bool readFromHandle(void* file, int32_t number, RecordBuffer& record) {
    return readRecordFrom(number, static_cast<HANDLE>(file), record);
}

bool setLevel(HANDLE file, int32_t number, const char* level, RecordBuffer& record) {
    if (!readRecordFrom(number, file, record))
        return false;
    copyBoundedText(record.level, level, sizeof record.level);
    return writeRecordTo(number, file, record);
}

} // namespace

extern "C" int __stdcall TarvixGetTourItem(int forward) {
    loadExchange();
    if (ExchangeState.mode != tourMode)
        return -1;
    // What a cut-short replace leaves behind matters only when the database is not there: the
    // look for it costs a fifth of a step under Wine, and the gauge's walks step once an item.
    HANDLE file = openRecordFile(databaseFileName, false);
    if (file == INVALID_HANDLE_VALUE)
        file = openDatabase(false);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    RecordSource source = {recordCountOf(file), readFromHandle, file};
    int32_t current = ExchangeState.recordNumber;
    bool moved = false;
    int32_t next = 0;
    RecordBuffer record;
    if (isTourItemAt(source, current, record)) {
        next = forward ? nextTourItem(source, current, record)
                       : previousTourItem(source, current, record);
        moved = setLevel(file, current, "", record) && setLevel(file, next, "-1", record);
    }
    CloseHandle(file);
    if (!moved)
        return -1;
    takeRecordAsDestination(record, next, ExchangeState);
    return storeExchange() ? next : -1;
}
