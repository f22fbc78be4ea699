#include "clock_text.h"

#include <cmath>
#include <cstdio>

std::string clockText(double seconds) {
    char text[32];
    long s = std::lround(seconds);
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}
