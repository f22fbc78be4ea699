// Where the screen lies on the gauge at its design size: a rectangle with cut corners inside the
// bezel. Bitmap 102 is non-zero exactly here; tests and the bitmap generator share the shape.
#pragma once
#include <cstdint>

constexpr int32_t screenAreaDesignWidth = 280;
constexpr int32_t screenAreaDesignHeight = 316;
constexpr int32_t screenAreaLeft = 10, screenAreaTop = 5, screenAreaRight = 270,
                  screenAreaBottom = 311; // right and bottom exclusive
constexpr int32_t screenAreaCorner = 12;  // length of the cut along each edge

constexpr bool screenAreaContains(int32_t x, int32_t y) {
    if (x < screenAreaLeft || x >= screenAreaRight || y < screenAreaTop || y >= screenAreaBottom)
        return false;
    int32_t left = x - screenAreaLeft, right = screenAreaRight - 1 - x;
    int32_t top = y - screenAreaTop, bottom = screenAreaBottom - 1 - y;
    int32_t h = left < right ? left : right;
    int32_t v = top < bottom ? top : bottom;
    return h + v >= screenAreaCorner;
}
