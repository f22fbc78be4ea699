// Draws the gauge's two 280 x 316 bitmaps at build time, as 8-bit BMP files whose pixel values
// are indices of the panel colour table:
//   bezel.bmp   (101) a bevelled grey instrument frame with a dark recess around the screen;
//   screen.bmp  (102) the screen area: non-zero inside, 0 in the border and the cut corners.
// Usage: make_bitmaps OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/screen_colours.h"
#include "gauge/screen_area.h"

namespace {

constexpr int32_t width = screenAreaDesignWidth;
constexpr int32_t height = screenAreaDesignHeight;

// Greys of the colour table, dark to light.
constexpr uint8_t greyBlack = 12, greyDeep = 13, greyShadow = 16, greyMid = 21, greyFace = 23,
                  greyLight = 25, greyHighlight = 28, screenFace = 13;

using Picture = std::vector<uint8_t>; // top-down rows

// Distance from the outer edge, with rounded outer corners; negative outside the rounding.
int32_t outerDepth(int32_t x, int32_t y) {
    const int32_t r = 14;
    int32_t cx = std::clamp(x, r, width - 1 - r), cy = std::clamp(y, r, height - 1 - r);
    if (cx == x || cy == y)
        return std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
    double distance = std::hypot(double(x - cx), double(y - cy));
    return static_cast<int32_t>(std::floor(r - distance));
}

// Lit from the top left: surfaces facing up or left are light, the others in shadow.
bool facesLight(int32_t x, int32_t y) {
    return x * height + y * width < width * height;
}

uint8_t bezelPixel(int32_t x, int32_t y) {
    int32_t depth = outerDepth(x, y);
    if (depth < 0)
        return 0;
    if (depth == 0)
        return greyBlack;
    if (depth < 3)
        return facesLight(x, y) ? greyHighlight : greyShadow;
    // The recess around the glass: sunk in, so lit the other way round.
    bool nearScreen = false;
    for (int32_t d = 1; d <= 2 && !nearScreen; ++d)
        nearScreen = screenAreaContains(x + d, y + d) || screenAreaContains(x - d, y - d) ||
                     screenAreaContains(x + d, y - d) || screenAreaContains(x - d, y + d);
    if (nearScreen)
        return facesLight(x, y) ? greyDeep : greyLight;
    // Painted metal face with a soft fall of light from top to bottom.
    return y < height / 3 ? greyFace : (y < 2 * height / 3 ? greyMid + 1 : greyMid);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool writeBitmap(const std::string& path, const Picture& picture) {
    const uint32_t rowBytes = (width + 3) & ~3u;
    const uint32_t headerBytes = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, headerBytes + rowBytes * height);
    put32(out, 0);
    put32(out, headerBytes);
    put32(out, 40);
    put32(out, width);
    put32(out, height); // bottom-up, as BMP files are
    put32(out, 1 | (8u << 16));
    put32(out, 0);
    put32(out, rowBytes * height);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 256);
    put32(out, 0);
    for (uint32_t rgb : canvasColourTable)
        put32(out, ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x)
            out.push_back(picture[y * width + x]);
        for (uint32_t pad = width; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bitmaps OUTPUT_FOLDER\n");
        return 2;
    }
    Picture bezel(width * height), screen(width * height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            bezel[y * width + x] = bezelPixel(x, y);
            screen[y * width + x] = screenAreaContains(x, y) ? screenFace : 0;
        }
    }
    std::string folder = argv[1];
    if (!writeBitmap(folder + "/bezel.bmp", bezel) ||
        !writeBitmap(folder + "/screen.bmp", screen)) {
        std::fprintf(stderr, "make_bitmaps: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
