// The copy of the canvas into the simulator's image, on buffers of exactly the sizes given, so
// that the sanitizers catch any byte read or written outside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "gauge/screen_copy.h"

namespace {

// The rule a pixel at a time, as the pilot sees it: the canvas where it is drawn, navy for its
// black over the picture, 0 kept.
uint8_t expectedPixel(uint8_t canvas, uint8_t image) {
    return canvas != 0 ? canvas : (image != 0 ? 4 : 0);
}

void wholeCopy(const uint8_t* from, uint8_t* to, size_t bytes) {
    copyCanvasToImage({from, int32_t(bytes), 1, int32_t(bytes)}, to, uint32_t(bytes));
}

TEST(ScreenCopy, EveryPairOfValuesInEveryPosition) {
    // All 65,536 canvas/image pairs, shifted through every byte of a machine word, so that no
    // value carries into its neighbour whatever the alignment; in both forms of the loop and in
    // the copy that picks one.
    const struct {
        const char* name;
        void (*copy)(const uint8_t*, uint8_t*, size_t);
    } forms[] = {{"words", copyRunByWords}, {"bytes", copyRunByBytes}, {"copy", wholeCopy}};
    for (const auto& form : forms) {
        for (uint32_t shift = 0; shift < 8; ++shift) {
            const uint32_t bytes = 65536 + shift + 3;
            std::vector<uint8_t> canvas(bytes, 0x80), image(bytes, 0x7F), expected;
            for (uint32_t i = 0; i < 65536; ++i) {
                canvas[i + shift] = uint8_t(i);
                image[i + shift] = uint8_t(i >> 8);
            }
            for (uint32_t i = 0; i < bytes; ++i)
                expected.push_back(expectedPixel(canvas[i], image[i]));
            form.copy(canvas.data(), image.data(), bytes);
            ASSERT_EQ(image, expected) << form.name << ", shift " << shift;
        }
    }
}

TEST(ScreenCopy, OddSizesAndStrides) {
    // Widths around a word, padded rows and images that end inside a row, on random pictures
    // with many zeros on both sides.
    std::mt19937 random(42);
    auto pixel = [&] { return random() % 3 == 0 ? uint8_t(random()) : uint8_t(0); };
    const struct {
        int32_t width, height, stride;
        uint32_t imageBytes;
    } cases[] = {{1, 5, 4, 5},   {3, 4, 4, 12},      {5, 3, 8, 14},      {7, 7, 7, 49},
                 {9, 2, 12, 18}, {280, 3, 280, 840}, {141, 4, 144, 600}, {13, 6, 16, 77}};
    for (const auto& c : cases) {
        std::vector<uint8_t> canvas(size_t(c.stride) * c.height), image(c.imageBytes);
        for (uint8_t& b : canvas)
            b = pixel();
        for (uint8_t& b : image)
            b = pixel();
        std::vector<uint8_t> expected = image;
        const uint32_t rows = std::min<uint32_t>(c.imageBytes / c.width, c.height);
        for (uint32_t y = 0; y < rows; ++y)
            for (int32_t x = 0; x < c.width; ++x) {
                uint8_t& to = expected[y * c.width + x];
                to = expectedPixel(canvas[y * c.stride + x], to);
            }
        copyCanvasToImage({canvas.data(), c.width, c.height, c.stride}, image.data(), c.imageBytes);
        EXPECT_EQ(image, expected) << "width " << c.width << ", stride " << c.stride;
    }
}

TEST(ScreenCopy, BlackBecomesNavyOnlyOverAPicture) {
    const std::vector<uint8_t> canvas = {0, 0, 7, 254};
    std::vector<uint8_t> image = {0, 9, 0, 9};
    copyCanvasToImage({canvas.data(), 4, 1, 4}, image.data(), 4);
    EXPECT_EQ(image, (std::vector<uint8_t>{0, 4, 7, 254}));
}

TEST(ScreenCopy, PaddedRowsStayInStep) {
    // Width 3: the DIB pads its rows to 4 bytes, the image does not.
    const std::vector<uint8_t> canvas = {1, 2, 3, 99, 4, 5, 6, 99};
    std::vector<uint8_t> image(6, 1);
    copyCanvasToImage({canvas.data(), 3, 2, 4}, image.data(), 6);
    EXPECT_EQ(image, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(ScreenCopy, StopsAtTheShorterBuffer) {
    // An image of 2 rows and 2 bytes over a canvas of 2 rows: the stray bytes stay untouched.
    const std::vector<uint8_t> canvas(8, 5);
    std::vector<uint8_t> image(10, 1);
    copyCanvasToImage({canvas.data(), 4, 2, 4}, image.data(), 10);
    EXPECT_EQ(image, (std::vector<uint8_t>{5, 5, 5, 5, 5, 5, 5, 5, 1, 1}));
    // An image shorter than the canvas takes its whole rows only.
    std::vector<uint8_t> shorter(6, 1);
    copyCanvasToImage({canvas.data(), 4, 2, 4}, shorter.data(), 6);
    EXPECT_EQ(shorter, (std::vector<uint8_t>{5, 5, 5, 5, 1, 1}));
}

TEST(ScreenCopy, NothingWithoutAUsableCanvas) {
    const std::vector<uint8_t> canvas(4, 5);
    std::vector<uint8_t> image(4, 1);
    copyCanvasToImage({canvas.data(), 0, 1, 4}, image.data(), 4);
    copyCanvasToImage({canvas.data(), 4, 0, 4}, image.data(), 4);
    copyCanvasToImage({canvas.data(), 4, 1, 2}, image.data(), 4);
    copyCanvasToImage({nullptr, 4, 1, 4}, image.data(), 4);
    copyCanvasToImage({canvas.data(), 4, 1, 4}, nullptr, 4);
    EXPECT_EQ(image, (std::vector<uint8_t>(4, 1)));
}

TEST(ScreenCopy, OnlyAPictureOfOneBytePerPixelAtTheCanvasSizeTakesTheCopy) {
    const uint32_t design = 280 * 316;
    const struct {
        const char* what;
        ImageShape image;
        int32_t canvasWidth, canvasHeight;
        bool takes;
    } cases[] = {
        {"design size", {280, 316, 280, design}, 280, 316, true},
        {"half size", {140, 158, 140, 140 * 158}, 140, 158, true},
        {"a partial row after the last", {280, 316, 280, design + 100}, 280, 316, true},
        {"two bytes a pixel", {280, 316, 560, 2 * design}, 280, 316, false},
        {"four bytes a pixel", {280, 316, 1120, 4 * design}, 280, 316, false},
        {"rows padded past the pixels", {280, 316, 284, 284 * 316}, 280, 316, false},
        {"two bytes a pixel in the canvas's rows", {140, 316, 280, design}, 280, 316, false},
        {"fewer rows than the canvas", {280, 158, 280, 280 * 158}, 280, 316, false},
        {"bytes short of the last row", {280, 316, 280, design - 1}, 280, 316, false},
        {"another width than the canvas", {140, 158, 140, 140 * 158}, 280, 316, false},
        {"width 0", {0, 316, 0, design}, 0, 316, false},
        {"no canvas", {280, 316, 280, design}, 0, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(imageTakesCanvas(c.image, c.canvasWidth, c.canvasHeight), c.takes) << c.what;
}

} // namespace
