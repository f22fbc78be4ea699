// The gauge's one off-screen picture: an 8-bit DIB section in a memory DC with its own palette,
// the size of the simulator's screen image.
#pragma once
#include <windows.h>

#include <cstdint>

#include "map_geometry.h"

struct ScreenCanvas {
    HDC canvasDC;
    HBITMAP canvasBitmap;
    uint8_t* canvasBits;
    HBITMAP previousBitmap;
    HPALETTE canvasPalette;
    HPALETTE previousPalette;
    HGLOBAL infoBlock; // header and colour table, locked for the canvas's life
    BITMAPINFO* info;
    HRGN fullRegion;
    int32_t canvasWidth;
    int32_t canvasHeight;
    int32_t canvasSize;    // bytes of the simulator's image
    int32_t rowStride;     // bytes of a DIB row: the width rounded up to 4
    ScreenMetrics metrics; // scaleX, scaleY, fontHeight and the sizes the layout needs
};

extern ScreenCanvas canvas;

// The guard of every redraw: drawing only while the canvas holds a bitmap and a size.
bool canvasUsable();
