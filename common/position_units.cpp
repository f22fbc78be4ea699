#include "position_units.h"

#include <cmath>
#include <cstring>

#include "text_fields.h"

double latitudeFromDms(bool south, int32_t degrees, int32_t minutes, double seconds) {
    double t = seconds + 60.0 * minutes + 3600.0 * degrees;
    double f = t * (1.0 / 324000.0);
    double raw = f * latitudeUnitsPer90;
    return south ? -raw : raw;
}

double longitudeFromDms(bool west, int32_t degrees, int32_t minutes, double seconds) {
    double t = seconds + 60.0 * minutes + 3600.0 * degrees;
    double f = t * (1.0 / 648000.0);
    if (west)
        f = -f;
    if (f < 0)
        f = f + 2;
    return f * longitudeHalfCircle + 0.01;
}

double latitudeFromDegrees(double degrees) {
    return latitudeFromDms(degrees < 0, 0, 0, std::fabs(degrees) * 3600);
}

double longitudeFromDegrees(double degrees) {
    return longitudeFromDms(degrees < 0, 0, 0, std::fabs(degrees) * 3600);
}

double latitudeDegrees(double raw) {
    return 90.0 * (raw / latitudeUnitsPer90);
}

double longitudeDegrees(double raw) {
    double h = raw / longitudeHalfCircle; // half-turns
    if (h > 1)
        h = h - 2;
    return 180.0 * h;
}

namespace {

double signedDegrees(bool negative, double degrees, double minutes, double seconds) {
    double value = degrees + minutes / 60.0 + seconds / 3600.0;
    return negative ? -value : value;
}

} // namespace

double decimalFromDms(const DmsAngle& angle) {
    return signedDegrees(angle.hemisphere == 'S' || angle.hemisphere == 'W', angle.degrees,
                         angle.minutes, angle.seconds);
}

double decimalFromTexts(const char* hemisphere, char negative, const char* degrees,
                        const char* minutes, const char* seconds) {
    return signedDegrees(hemisphere[0] == negative && hemisphere[1] == '\0',
                         readWholeNumber(degrees), readWholeNumber(minutes),
                         readRealNumber(seconds));
}

DmsAngle dmsFromDecimal(double degrees, bool latitude) {
    const char positive = latitude ? 'N' : 'E', negative = latitude ? 'S' : 'W';
    if (!std::isfinite(degrees))
        return {positive, 0, 0, 0};
    int64_t seconds = std::llround(std::fabs(degrees) * 3600.0);
    return {degrees < 0 && seconds != 0 ? negative : positive, static_cast<int32_t>(seconds / 3600),
            static_cast<int32_t>(seconds / 60 % 60), static_cast<int32_t>(seconds % 60)};
}

double latitudeFromTexts(const char* hemisphere, const char* degrees, const char* minutes,
                         const char* seconds) {
    return latitudeFromDms(std::strcmp(hemisphere, "S") == 0, readWholeNumber(degrees),
                           readWholeNumber(minutes), readRealNumber(seconds));
}

double longitudeFromTexts(const char* hemisphere, const char* degrees, const char* minutes,
                          const char* seconds) {
    return longitudeFromDms(std::strcmp(hemisphere, "W") == 0, readWholeNumber(degrees),
                            readWholeNumber(minutes), readRealNumber(seconds));
}

// f is the position as a fraction of 90 degrees (latitude) or 180 degrees (longitude). The
// whole seconds are truncated once and split: degrees, minutes and seconds truncated each on
// its own disagree by a whole minute where rounding carries one product over a boundary and not
// the other.
static DmsAngle fractionToDms(double f, char positive, char negative, double secondsPerUnit) {
    DmsAngle out{positive, 0, 0, 0};
    if (!std::isfinite(f) || std::fabs(f) > 2.0)
        return out;
    out.hemisphere = f >= 0 ? positive : negative;
    int32_t seconds = static_cast<int32_t>(std::fabs(f) * secondsPerUnit);
    out.degrees = seconds / 3600;
    out.minutes = seconds / 60 % 60;
    out.seconds = seconds % 60;
    return out;
}

DmsAngle latitudeToDms(double raw) {
    return fractionToDms(raw / latitudeUnitsPer90, 'N', 'S', 324000.0);
}

DmsAngle longitudeToDms(double raw) {
    double f = raw / longitudeHalfCircle;
    if (f > 1)
        f = f - 2;
    return fractionToDms(f, 'E', 'W', 648000.0);
}
