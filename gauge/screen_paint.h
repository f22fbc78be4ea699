// What the screen's drawing files (the frame, the buttons and the moving map) share: colours by
// palette index, the screen's fonts and one line of text.
#pragma once
#include <windows.h>

#include <cstdint>

#include "map_geometry.h"

inline COLORREF paletteColour(uint8_t index) {
    return PALETTEINDEX(index);
}

// One line of text in the rectangle with the given alignment flags (DT_LEFT, DT_CENTER ...).
void drawTextLine(HDC dc, const char* text, const ScreenRect& rect, UINT alignment);

// A font of the screen: the given face and height (negative: character height), weight 400,
// proof quality.
HFONT createScreenFont(int32_t height, const char* face);
