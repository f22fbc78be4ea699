// Which record follows and which precedes a tour item in its tour, on any view of a database:
// the dialog library steps the gauge's tour with it on the file, the stand-in simulator plans
// its flights with it on the bytes. Pure.
#pragma once
#include <cstdint>

#include "common/db_record.h"

// A database read record by record: read fills record with record number (1 to count) and says
// whether it found all 64 bytes.
struct RecordSource {
    int32_t count;
    bool (*read)(void* context, int32_t number, RecordBuffer& record);
    void* context;
};

// True when record number exists and is a tour item (tour kind, an entry). Leaves the record read
// in record.
bool isTourItemAt(const RecordSource& source, int32_t number, RecordBuffer& record);

// The record after the current item continues the tour when it is a tour item with a higher
// sequence number; otherwise the tour starts again at its item "001", found by counting back from
// the current item's own number. A numbering that does not lead back into this run of tour items
// (hand edits, a blank ident) takes the run's first item instead, so the result is always a tour
// item of the run. current must be a tour item. record holds the last record read.
int32_t nextTourItem(const RecordSource& source, int32_t current, RecordBuffer& record);

// The record before the current item continues the tour backwards when it is a tour item;
// otherwise the current item is the first and the tour wraps to the last of its consecutive
// items.
int32_t previousTourItem(const RecordSource& source, int32_t current, RecordBuffer& record);

// The items of current's tour in the order the gauge flies them: from the item a forward step
// wraps to, each forward step until the next wrap. Calls visit for each; nothing for a record
// that is no tour item.
void forEachTourItem(const RecordSource& source, int32_t current, RecordBuffer& record,
                     void (*visit)(void* context, int32_t number), void* context);
