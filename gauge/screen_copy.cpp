#include "screen_copy.h"

#include <cstddef>

#include "../common/screen_colours.h"

void copyCanvasToImage(const CanvasPixels& canvas, uint8_t* image, uint32_t imageBytes) {
    if (!canvas.bits || !image || canvas.width <= 0 || canvas.height <= 0 ||
        canvas.stride < canvas.width)
        return;
    const uint32_t width = static_cast<uint32_t>(canvas.width);
    uint32_t rows = imageBytes / width;
    if (rows > static_cast<uint32_t>(canvas.height))
        rows = static_cast<uint32_t>(canvas.height);
    for (uint32_t y = 0; y < rows; ++y) {
        const uint8_t* from = canvas.bits + size_t(y) * size_t(canvas.stride);
        uint8_t* to = image + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t c = from[x];
            if (c != 0)
                to[x] = c;
            else if (to[x] != 0)
                to[x] = colourNavy;
        }
    }
}
