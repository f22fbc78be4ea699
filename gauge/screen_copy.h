// The copy of the finished canvas into the simulator's image: black is written as navy wherever
// the image is not 0, so that 0 stays exactly where the simulator's own picture has it.
#pragma once
#include <cstddef>
#include <cstdint>

struct CanvasPixels {
    const uint8_t* bits;
    int32_t width;  // pixels of a row
    int32_t height; // whole rows
    int32_t stride; // bytes from one row to the next (at least width)
};

// What the simulator's image record says of its picture.
struct ImageShape {
    int32_t width;    // pixels
    int32_t height;   // pixels
    int32_t rowBytes; // bytes of a row
    uint32_t byteSize;
};

// Whether the image is the picture the canvas was made for: one byte a pixel (a row as many bytes
// as pixels) and as many whole rows as the canvas, at the canvas's width. The copy writes nothing
// into any other picture, which it would only scramble.
bool imageTakesCanvas(const ImageShape& image, int32_t canvasWidth, int32_t canvasHeight);

// The image is rows of exactly canvas.width bytes, imageBytes long. Only whole rows that both
// hold are copied; neither buffer is read or written past its end.
void copyCanvasToImage(const CanvasPixels& canvas, uint8_t* image, uint32_t imageBytes);

// The rule over one run of pixels in two forms with the same results; the copy takes the one
// that suits the processor it is built for. Four pixels at a time in 32-bit integer arithmetic,
// for processors without a vector unit (the shipped i686 build may not rely on MMX or SSE):
void copyRunByWords(const uint8_t* from, uint8_t* to, size_t bytes);
// A byte loop without branches, which compilers turn into vector code where there is a vector
// unit (SSE2 on x86-64) and which is several times slower than the words without one:
void copyRunByBytes(const uint8_t* from, uint8_t* to, size_t bytes);
