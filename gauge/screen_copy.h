// The copy of the finished canvas into the simulator's image: black is written as navy wherever
// the image is not 0, so that 0 stays exactly where the simulator's own picture has it.
#pragma once
#include <cstdint>

struct CanvasPixels {
    const uint8_t* bits;
    int32_t width;  // pixels of a row
    int32_t height; // whole rows
    int32_t stride; // bytes from one row to the next (at least width)
};

// The image is rows of exactly canvas.width bytes, imageBytes long. Only whole rows that both
// hold are copied; neither buffer is read or written past its end.
void copyCanvasToImage(const CanvasPixels& canvas, uint8_t* image, uint32_t imageBytes);
