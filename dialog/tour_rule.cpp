#include "tour_rule.h"

#include "common/text_fields.h"

static int32_t sequenceOf(const RecordBuffer& record) {
    return readWholeNumber(record.ident, sizeof record.ident);
}

bool isTourItemAt(const RecordSource& source, int32_t number, RecordBuffer& record) {
    return number >= 1 && number <= source.count && source.read(source.context, number, record) &&
           isTourItemRecord(record);
}

int32_t nextTourItem(const RecordSource& source, int32_t current, RecordBuffer& record) {
    source.read(source.context, current, record);
    int32_t sequence = sequenceOf(record);
    if (isTourItemAt(source, current + 1, record) && sequenceOf(record) > sequence)
        return current + 1;
    int64_t counted = static_cast<int64_t>(current) - sequence + 1;
    int32_t first = current;
    while (first != counted && isTourItemAt(source, first - 1, record))
        --first;
    return first;
}

int32_t previousTourItem(const RecordSource& source, int32_t current, RecordBuffer& record) {
    if (isTourItemAt(source, current - 1, record))
        return current - 1;
    int32_t last = current;
    while (isTourItemAt(source, last + 1, record))
        ++last;
    return last;
}

void forEachTourItem(const RecordSource& source, int32_t current, RecordBuffer& record,
                     void (*visit)(void* context, int32_t number), void* context) {
    if (!isTourItemAt(source, current, record))
        return;
    // Forward steps only ever climb until they wrap, so both walks end within count steps.
    int32_t item = current;
    int32_t next = nextTourItem(source, item, record);
    while (next > item) {
        item = next;
        next = nextTourItem(source, item, record);
    }
    for (item = next;; item = next) { // next: the tour's first item, where it wrapped
        visit(context, item);
        next = nextTourItem(source, item, record);
        if (next <= item)
            return;
    }
}
