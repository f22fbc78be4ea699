// Stepping the current tour item forward and back, in the database (its marker) and in
// ExchangeState at once. The whole step runs on one exclusive handle of the database, and it
// writes only once the new item is known to be a tour item of the same tour: a step from a
// record that is no tour item, or on a database that cannot be opened, changes nothing.
#include <windows.h>

#include "common/record_rules.h"
#include "common/text_fields.h"
#include "db_file.h"
#include "dialog_state.h"
#include "exports.h"
#include "tour_rule.h"

namespace {

// The step's reads of the database. The tour rule takes a record it cannot read for one that is
// no tour item, which would end the tour there and step to the wrong item: a refused read
// refuses the whole step instead.
struct StepReads {
    HANDLE file;
    bool refused;
};

bool readFromHandle(void* context, int32_t number, RecordBuffer& record) {
    StepReads& reads = *static_cast<StepReads*>(context);
    if (readRecordFrom(number, reads.file, record))
        return true;
    reads.refused = true;
    return false;
}

bool markInFile(HANDLE file, int32_t number, bool chosen, RecordBuffer& record) {
    if (!readRecordFrom(number, file, record))
        return false;
    markCurrentChoice(record, chosen);
    return writeRecordTo(number, file, record);
}

// The current-choice marker from one record to another: taken off the first, then put on the
// second; when the second refuses it, it goes back on the first, so that a refused step leaves
// the tour where it was rather than without a current item. record ends as the second's.
bool moveMarker(HANDLE file, int32_t from, int32_t to, RecordBuffer& record) {
    if (!markInFile(file, from, false, record))
        return false;
    if (markInFile(file, to, true, record))
        return true;
    markInFile(file, from, true, record);
    return false;
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
    StepReads reads = {file, false};
    RecordSource source = {recordCountOf(file), readFromHandle, &reads};
    int32_t current = ExchangeState.recordNumber;
    bool moved = false;
    int32_t next = 0;
    RecordBuffer record;
    if (isTourItemAt(source, current, record)) {
        next = forward ? nextTourItem(source, current, record)
                       : previousTourItem(source, current, record);
        moved = !reads.refused && moveMarker(file, current, next, record);
    }
    if (moved) {
        // The gauge and the file move together: a step the gauge cannot be handed is taken back.
        const ExchangeRecord before = ExchangeState;
        takeRecordAsDestination(record, next, ExchangeState);
        if (!storeExchange()) {
            ExchangeState = before;
            moveMarker(file, next, current, record);
            moved = false;
        }
    }
    CloseHandle(file);
    return moved ? next : -1;
}
