#include "text_fields.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

int32_t hasVisibleText(const char* text, size_t capacity) {
    for (size_t i = 0; i < capacity && text[i] != '\0'; ++i) {
        if (text[i] != ' ')
            return 1;
    }
    return 0;
}

size_t boundedTextLength(const char* text, size_t capacity) {
    size_t length = 0;
    while (length < capacity && text[length] != '\0')
        ++length;
    return length;
}

size_t copyBoundedText(char* to, const char* from, size_t capacity) {
    if (capacity == 0)
        return 0;
    size_t length = boundedTextLength(from, capacity - 1);
    std::memmove(to, from, length);
    to[length] = '\0';
    return length;
}

static bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int32_t readWholeNumber(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && text[i] != '\0' && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX)
            return negative ? INT32_MIN : INT32_MAX;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

double readRealNumber(const char* text, size_t length) {
    char buffer[64];
    copyBoundedText(buffer, text, length < sizeof buffer ? length + 1 : sizeof buffer);
    double value = std::strtod(buffer, nullptr);
    // "nan", "inf" and overflowing exponents would steer positions and altitudes into nonsense.
    return std::isfinite(value) ? value : 0.0;
}

int32_t wholeFeetOrZero(double feet) {
    // NaN fails both comparisons.
    if (!(feet > -2147483649.0 && feet < 2147483648.0))
        return 0;
    return static_cast<int32_t>(feet);
}
