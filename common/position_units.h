// The simulator's raw position units, decimal degrees, and degrees, minutes, seconds as the
// record's columns hold them: the one set of conversions between them.
// Latitude: 90 degrees = 10001748, north positive. Longitude: a 48-bit angle, full circle = 2^48,
// east from 0 up, values above 2^47 lying west. A coordinate of exactly 0.0 stands for no point.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr double latitudeUnitsPer90 = 10001748.0;
constexpr double longitudeHalfCircle = 140737488355328.0; // 2^47

// Signed degrees (north and east positive) to raw units and back. Raw longitude comes back in
// -180 to 180; above 2^47 is west.
double latitudeFromDegrees(double degrees);
double longitudeFromDegrees(double degrees);
double latitudeDegrees(double raw);
double longitudeDegrees(double raw);

// Degrees and minutes read like atol, seconds like atof; southern when the hemisphere text is
// exactly "S", western when it is exactly "W".
double latitudeFromTexts(const char* hemisphere, const char* degrees, const char* minutes,
                         const char* seconds);
double longitudeFromTexts(const char* hemisphere, const char* degrees, const char* minutes,
                          const char* seconds);

double latitudeFromDms(bool south, int32_t degrees, int32_t minutes, double seconds);
double longitudeFromDms(bool west, int32_t degrees, int32_t minutes, double seconds);

// An angle as the database stores it: hemisphere letter and whole degrees, minutes, seconds.
struct DmsAngle {
    char hemisphere; // 'N' 'S' 'E' 'W'
    int32_t degrees;
    int32_t minutes;
    int32_t seconds;
};

// Signed decimal degrees (south and west negative) of an angle, and of the record's four texts
// read like atol (degrees, minutes) and atof (seconds), negative when the hemisphere text is
// exactly the letter negative.
double decimalFromDms(const DmsAngle& angle);
double decimalFromTexts(const char* hemisphere, char negative, const char* degrees,
                        const char* minutes, const char* seconds);

// Signed decimal degrees rounded to the nearest whole second; a value that rounds to 0 is north
// or east. Not finite: 0 (N or E). The range is checked by latitudeFromDecimal and
// longitudeFromDecimal (coordinate_text.h).
DmsAngle dmsFromDecimal(double degrees, bool latitude);

// The angle into the record's four columns (or the editor's copy of them), as whole numbers.
template <size_t H, size_t D, size_t M, size_t S>
void putDms(const DmsAngle& angle, char (&hemisphere)[H], char (&degrees)[D], char (&minutes)[M],
            char (&seconds)[S]) {
    std::snprintf(hemisphere, H, "%c", angle.hemisphere);
    std::snprintf(degrees, D, "%d", static_cast<int>(angle.degrees));
    std::snprintf(minutes, M, "%d", static_cast<int>(angle.minutes));
    std::snprintf(seconds, S, "%d", static_cast<int>(angle.seconds));
}

// Back to whole degrees, minutes and seconds, as the "Cur. Read" button shows them. A value that
// is not finite, or too large to be a position, reads as 0 (N or E, 0 0 0).
DmsAngle latitudeToDms(double raw);
DmsAngle longitudeToDms(double raw);

// No point: the gauge takes a raw coordinate of exactly 0 for none (an empty record has both).
inline bool isNoPoint(double latitude, double longitude) {
    return latitude == 0.0 || longitude == 0.0;
}

// Makes a point (any record with latitude and longitude) no point, as isNoPoint reads it.
template <typename Point> void emptyPosition(Point& point) {
    point.latitude = 0.0;
    point.longitude = 0.0;
}

// Of a stored position only a latitude of 0 degrees 0 minutes 0 seconds converts to exactly 0
// (a longitude is always 0.01 off it), so that is the one stored position the gauge cannot fly to.
inline bool isNoPointLatitude(int32_t degrees, int32_t minutes, int32_t seconds) {
    return degrees == 0 && minutes == 0 && seconds == 0;
}
