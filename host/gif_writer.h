// An animated GIF of the panel. The panel's pictures are already 8-bit indices into the panel
// colour table, so each frame goes in as it is: no colour quantisation, no loss.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct GifAnimation {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> bytes;
};

// Header, the 256-colour table (0xRRGGBB) and a loop-for-ever extension.
void gifBegin(GifAnimation& gif, int32_t width, int32_t height, const uint32_t* colours);

// One frame of width x height indices, rows top to bottom, shown for delay hundredths of a second.
void gifAddFrame(GifAnimation& gif, const uint8_t* indices, uint16_t delay);

void gifEnd(GifAnimation& gif);

// The LZW code stream of one image (minimum code size 8), as sub-blocks would carry it before
// cutting into blocks. Exposed for tests.
std::vector<uint8_t> gifCompress(const uint8_t* indices, size_t count);
