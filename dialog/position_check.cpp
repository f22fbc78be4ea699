#include "position_check.h"

#include <cstdio>
#include <cstring>

#include "common/position_units.h"
#include "common/text_fields.h"

namespace {

struct Dms {
    int32_t degrees;
    int32_t minutes;
    double seconds;
};

Dms readDms(const char* degrees, const char* minutes, const char* seconds) {
    return {readWholeNumber(degrees), readWholeNumber(minutes), readRealNumber(seconds)};
}

bool withinMinutesAndSeconds(const Dms& dms) {
    return dms.minutes >= 0 && dms.minutes <= 59 && dms.seconds >= 0 && dms.seconds <= 59;
}

} // namespace

PositionCheck checkPosition(RecordBuffer& fields, CheckedPosition& out) {
    out = CheckedPosition{};
    Dms lat = readDms(fields.latDegrees, fields.latMinutes, fields.latSeconds);
    if (lat.degrees < 0 || lat.degrees > 90 || !withinMinutesAndSeconds(lat))
        return PositionCheck::latitudeError;
    if (lat.degrees > 89) {
        lat = {89, 30, 0};
        putDms({fields.latHemisphere[0], 89, 30, 0}, fields.latHemisphere, fields.latDegrees,
               fields.latMinutes, fields.latSeconds);
        out.latitudeAtPole = true;
    }
    out.latitude = latitudeFromDms(std::strcmp(fields.latHemisphere, "N") != 0, lat.degrees,
                                   lat.minutes, lat.seconds);

    Dms lon = readDms(fields.lonDegrees, fields.lonMinutes, fields.lonSeconds);
    if (lon.degrees < 0 || lon.degrees > 180 || !withinMinutesAndSeconds(lon))
        return PositionCheck::longitudeError;
    if (lon.degrees == 180) {
        lon = {180, 0, 0};
        putDms({fields.lonHemisphere[0], 180, 0, 0}, fields.lonHemisphere, fields.lonDegrees,
               fields.lonMinutes, fields.lonSeconds);
        out.longitudeAtDateLine = true;
    }
    out.longitude = longitudeFromDms(std::strcmp(fields.lonHemisphere, "E") != 0, lon.degrees,
                                     lon.minutes, lon.seconds);
    return PositionCheck::accepted;
}
