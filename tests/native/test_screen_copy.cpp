// The copy of the canvas into the simulator's image, on buffers of exactly the sizes given, so
// that the sanitizers catch any byte read or written outside them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gauge/screen_copy.h"

namespace {

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

} // namespace
