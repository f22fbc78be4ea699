#include "screen_copy.h"

#include <cstring>

#include "common/screen_colours.h"

namespace {

using Word = uint32_t;
constexpr Word lowSeven = 0x7F7F7F7Fu;
constexpr Word highBits = 0x80808080u;
static_assert((0x80 >> 5) == colourNavy, "a byte's high bit shifted down is navy");

// 0x80 in every byte that is not 0, 0 in every byte that is. Adding 0x7F to the low seven bits
// carries into the high bit exactly when they are not all 0, and never into the next byte.
inline Word nonZeroBytes(Word w) {
    return (((w & lowSeven) + lowSeven) | w) & highBits;
}

inline uint8_t copiedPixel(uint8_t canvas, uint8_t image) {
    const bool navy = canvas == 0 && image != 0;
    return uint8_t(canvas | (navy ? colourNavy : 0));
}

#if defined(__SSE2__) || defined(__ARM_NEON)
constexpr auto copyRun = copyRunByBytes;
#else
constexpr auto copyRun = copyRunByWords;
#endif

} // namespace

void copyRunByWords(const uint8_t* __restrict from, uint8_t* __restrict to, size_t bytes) {
    const size_t words = bytes / sizeof(Word);
    for (size_t i = 0; i < words; ++i) {
        Word c, b;
        std::memcpy(&c, from + i * sizeof(Word), sizeof c);
        std::memcpy(&b, to + i * sizeof(Word), sizeof b);
        // Navy where the canvas is 0 and the image is not; the canvas byte is 0 there, so an
        // or puts it in place.
        c |= (nonZeroBytes(b) & ~nonZeroBytes(c)) >> 5;
        std::memcpy(to + i * sizeof(Word), &c, sizeof c);
    }
    for (size_t x = words * sizeof(Word); x < bytes; ++x)
        to[x] = copiedPixel(from[x], to[x]);
}

void copyRunByBytes(const uint8_t* __restrict from, uint8_t* __restrict to, size_t bytes) {
    for (size_t x = 0; x < bytes; ++x)
        to[x] = copiedPixel(from[x], to[x]);
}

bool imageTakesCanvas(const ImageShape& image, int32_t canvasWidth, int32_t canvasHeight) {
    if (canvasWidth <= 0 || canvasHeight <= 0)
        return false;
    const bool onePixelOneByte = image.rowBytes == image.width && image.width == canvasWidth;
    return onePixelOneByte && image.height == canvasHeight &&
           image.byteSize / static_cast<uint32_t>(canvasWidth) ==
               static_cast<uint32_t>(canvasHeight);
}

void copyCanvasToImage(const CanvasPixels& canvas, uint8_t* image, uint32_t imageBytes) {
    if (!canvas.bits || !image || canvas.width <= 0 || canvas.height <= 0 ||
        canvas.stride < canvas.width)
        return;
    const uint32_t width = static_cast<uint32_t>(canvas.width);
    uint32_t rows = imageBytes / width;
    if (rows > static_cast<uint32_t>(canvas.height))
        rows = static_cast<uint32_t>(canvas.height);
    // Rows without padding between them (the design width, 280) are one run.
    if (canvas.stride == canvas.width) {
        copyRun(canvas.bits, image, size_t(rows) * width);
        return;
    }
    for (uint32_t y = 0; y < rows; ++y)
        copyRun(canvas.bits + size_t(y) * size_t(canvas.stride), image + size_t(y) * width, width);
}
