#include "coordinate_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The mark after the n-th part of a coordinate: 0 degrees, 1 minutes, 2 seconds, -1 none.
int coordinateMark(const std::string& text, size_t& at) {
    static const struct {
        const char* sign;
        int part;
    } marks[] = {{"\xC2\xB0", 0}, {"'", 1}, {"\xE2\x80\xB2", 1}, {"\"", 2}, {"\xE2\x80\xB3", 2}};
    for (const auto& mark : marks) {
        size_t length = std::strlen(mark.sign);
        if (text.compare(at, length, mark.sign) == 0) {
            at += length;
            return mark.part;
        }
    }
    return -1;
}

bool isHemisphereLetter(char c, bool latitude) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return latitude ? (c == 'N' || c == 'S') : (c == 'E' || c == 'W');
}

// "09-25S", "160-03E", "02-03-43.5S": degrees, minutes and seconds joined by hyphens, with the
// hemisphere letter after them, as station lists write them; the same with spaces, or the text
// unchanged when it has another form. A hyphen at the start stays a sign.
std::string hyphensAsSpaces(const std::string& text, bool latitude) {
    size_t last = text.find_last_not_of(' ');
    if (last == std::string::npos || !isHemisphereLetter(text[last], latitude) ||
        text.find_first_not_of("0123456789.- ") != last)
        return text;
    size_t first = text.find_first_not_of(' ');
    std::string out = text;
    for (size_t i = first + 1; i < last; ++i)
        if (out[i] == '-' && std::isdigit(static_cast<unsigned char>(out[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(out[i + 1])))
            out[i] = ' ';
    return out;
}

// Reading a coordinate's text from left to right.
struct CoordinateCursor {
    const std::string& text;
    size_t at;

    bool isDigit(size_t i) const {
        return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
    }
    void skipSpaces() {
        while (at < text.size() && text[at] == ' ')
            ++at;
    }
};

// One number of the coordinate with its fraction, if any; false when no digit follows the point.
bool readNumber(CoordinateCursor& cursor, double& value, bool& fraction) {
    const size_t begin = cursor.at;
    while (cursor.isDigit(cursor.at))
        ++cursor.at;
    if (cursor.at < cursor.text.size() && cursor.text[cursor.at] == '.') {
        if (!cursor.isDigit(++cursor.at))
            return false;
        while (cursor.isDigit(cursor.at))
            ++cursor.at;
        fraction = true;
    }
    value = std::strtod(cursor.text.c_str() + begin, nullptr);
    return true;
}

} // namespace

bool parseCoordinate(const std::string& given, bool latitude, double& degrees) {
    const std::string text = hyphensAsSpaces(given, latitude);
    CoordinateCursor cursor = {text, 0};
    size_t& at = cursor.at;
    char hemisphere = 0, sign = 0;
    cursor.skipSpaces();
    if (at < text.size() && isHemisphereLetter(text[at], latitude))
        hemisphere = text[at++];
    else if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        sign = text[at++];
    double parts[3] = {0, 0, 0};
    int count = 0;
    bool fraction = false;
    for (;;) {
        cursor.skipSpaces();
        if (at == text.size())
            break;
        if (count > 0 && !hemisphere && !sign && isHemisphereLetter(text[at], latitude)) {
            hemisphere = text[at++];
            cursor.skipSpaces();
            if (at != text.size())
                return false;
            break;
        }
        // At most three parts, and only the last one may carry a fraction.
        if (count == 3 || fraction || !cursor.isDigit(at) ||
            !readNumber(cursor, parts[count], fraction))
            return false;
        int mark = coordinateMark(text, at);
        if (mark >= 0 && mark != count)
            return false;
        ++count;
        if (at < text.size() && text[at] != ' ' && !isHemisphereLetter(text[at], latitude) &&
            !(mark >= 0 && cursor.isDigit(at)))
            return false;
    }
    // Parts without a hemisphere letter or a sign say nothing of the side of the globe.
    if (count == 0 || (count > 1 && !hemisphere && !sign) || parts[1] >= 60 || parts[2] >= 60)
        return false;
    degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
    char h = static_cast<char>(std::toupper(static_cast<unsigned char>(hemisphere)));
    if (h == 'S' || h == 'W' || sign == '-')
        degrees = -degrees;
    return true;
}

CoordinateRead readCoordinate(const std::string& text, bool latitude, double& degrees) {
    if (!parseCoordinate(text, latitude, degrees))
        return CoordinateRead::notCoordinate;
    return std::fabs(degrees) > coordinateLimit(latitude) ? CoordinateRead::outOfRange
                                                          : CoordinateRead::read;
}

namespace {

bool angleFromDecimal(double degrees, bool latitude, DmsAngle& angle, std::string& reason) {
    const double limit = coordinateLimit(latitude);
    const char* what = latitude ? "latitude" : "longitude";
    if (!std::isfinite(degrees)) {
        reason = std::string(what) + " not a number";
        return false;
    }
    if (std::fabs(degrees) > limit) {
        char text[80];
        std::snprintf(text, sizeof text, "%s %.6f is outside -%.0f to %.0f", what, degrees, limit,
                      limit);
        reason = text;
        return false;
    }
    angle = dmsFromDecimal(degrees, latitude);
    return true;
}

} // namespace

bool latitudeFromDecimal(double degrees, DmsAngle& angle, std::string& reason) {
    return angleFromDecimal(degrees, true, angle, reason);
}

bool longitudeFromDecimal(double degrees, DmsAngle& angle, std::string& reason) {
    return angleFromDecimal(degrees, false, angle, reason);
}

std::string formatDms(const DmsAngle& angle, DmsForm form) {
    static const char* const formats[3][2] = {
        {"%c %2d\u00B0%02d'%02d\"", "%c %3d\u00B0%02d'%02d\""},
        {"%c%02d\u00B0%02d'%02d\"", "%c%03d\u00B0%02d'%02d\""},
        {"%c%02d %02d %02d", "%c%03d %02d %02d"},
    };
    const bool latitude = angle.hemisphere == 'N' || angle.hemisphere == 'S';
    char text[48];
    std::snprintf(text, sizeof text, formats[static_cast<int>(form)][latitude ? 0 : 1],
                  angle.hemisphere, static_cast<int>(angle.degrees),
                  static_cast<int>(angle.minutes), static_cast<int>(angle.seconds));
    return text;
}
