#include "record_rules.h"

#include <cstdio>

#include "position_units.h"
#include "text_fields.h"

void storedLabel(uint32_t kind, const RecordBuffer& record, char* label, size_t size) {
    if (isFolderKind(kind))
        std::snprintf(label, size, " %s", record.name);
    else if (isTourKind(kind))
        std::snprintf(label, size, "%s - %s", record.ident, record.name);
    else
        std::snprintf(label, size, "%s", record.name);
}

void numberedLabel(uint32_t kind, const RecordBuffer& record, int32_t number, char* label,
                   size_t size) {
    if (isTourKind(kind) && !isFolderKind(kind))
        std::snprintf(label, size, "%03d - %s", static_cast<int>(number), record.name);
    else
        storedLabel(kind, record, label, size);
}

int32_t folderClimb(int32_t containerLevel, int32_t level) {
    return containerLevel >= level ? containerLevel - level + 1 : 0;
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
