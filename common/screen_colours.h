// The 256 colours that give the gauge's 8-bit pictures their meaning. The simulator shows every
// panel image through this table, so the host composes its pictures with it too.
#pragma once
#include <cstdint>

extern const uint32_t canvasColourTable[256]; // 0xRRGGBB

// An entry of a logical palette, laid out as the platform's palette entry.
struct PaletteColour {
    uint8_t red, green, blue;
    uint8_t flags; // 1: reserved entry
};
static_assert(sizeof(PaletteColour) == 4, "palette entry");
constexpr uint16_t canvasPaletteVersion = 0x300;
extern const PaletteColour canvasPaletteTable[256];

enum ScreenColour : uint8_t {
    colourBlack = 0,
    colourOlive = 3,
    colourNavy = 4,
    colourLightGrey = 7,
    colourDarkGrey = 16,
    colourOrange = 110,
    colourRed = 249,
    colourGreen = 250,
    colourYellow = 251,
    colourBlue = 252,
    colourCyan = 254,
    colourWhite = 255,
};
