#include "record_rules.h"

#include <cstdio>

#include "position_units.h"
#include "text_fields.h"

void storedLabel(uint32_t kind, const RecordBuffer& record, char* label, size_t size) {
    if (isFolderKind(kind))
        std::snprintf(label, size, " %s", record.name);
    else if (isTourKind(kind))
        joinLabel(record.ident, record.name, label, size);
    else
        std::snprintf(label, size, "%s", record.name);
}

void joinLabel(const char* first, const char* name, char* label, size_t size) {
    std::snprintf(label, size, "%s - %s", first, name);
}

void tourNumberText(int32_t number, char* text, size_t size) {
    std::snprintf(text, size, "%03d", static_cast<int>(number));
}

void numberedLabel(uint32_t kind, const RecordBuffer& record, int32_t number, char* label,
                   size_t size) {
    if (isTourItemKind(kind)) {
        char digits[16]; // any int32_t whole
        tourNumberText(number, digits, sizeof digits);
        joinLabel(digits, record.name, label, size);
    } else
        storedLabel(kind, record, label, size);
}

void fitToKind(RecordBuffer& record, bool tour) {
    if (tour && !isTourRecord(record)) {
        record.ident[0] = '\0';
        copyBoundedText(record.tourFlag, "1", sizeof record.tourFlag);
    } else if (!tour && isTourRecord(record)) {
        record.ident[0] = '\0';
        record.tourFlag[0] = '\0';
        record.altitudeHoldFlag[0] = '\0';
        record.altitude[0] = '\0';
    }
}

int32_t folderClimb(int32_t containerLevel, int32_t level) {
    return containerLevel >= level ? containerLevel - level + 1 : 0;
}

int32_t placeRecord(LoadPlace& cursor, const int32_t* parents, int32_t index, int32_t level) {
    if (level < 1)
        return cursor.container;
    int32_t parent = level == 1 ? noParent : cursor.container;
    if (level > 1) {
        for (int32_t up = folderClimb(cursor.level, level); up > 0 && parent != noParent; --up)
            parent = parents[parent];
    }
    cursor.container = index;
    cursor.level = level;
    return parent;
}

void takeRecordAsDestination(const RecordBuffer& record, int32_t number, ExchangeRecord& exchange) {
    copyBoundedText(exchange.ident, record.ident, sizeof exchange.ident);
    copyBoundedText(exchange.name, record.name, sizeof exchange.name);
    exchange.latitude = latitudeFromTexts(record.latHemisphere, record.latDegrees,
                                          record.latMinutes, record.latSeconds);
    exchange.longitude = longitudeFromTexts(record.lonHemisphere, record.lonDegrees,
                                            record.lonMinutes, record.lonSeconds);
    exchange.tourAltitude = readWholeNumber(record.altitude, sizeof record.altitude);
    exchange.mode = isTourRecord(record) ? tourMode : airportMode;
    exchange.recordNumber = number;
}
