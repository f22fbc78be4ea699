// The off-screen 256-colour canvas, built once per gauge life from the screen element's image
// record and released at kill in the reverse order.
#include "canvas.h"

#include "common/screen_colours.h"
#include "gauge_state.h"

ScreenCanvas canvas = {};

static_assert(sizeof(BITMAPINFOHEADER) == 40, "bitmap header");
static_assert(sizeof(RGBQUAD) == 4 && sizeof(PALETTEENTRY) == 4, "colour entries");
static_assert(sizeof(PaletteColour) == sizeof(PALETTEENTRY), "palette table entries");

constexpr int32_t colourCount = 256;

bool canvasUsable() {
    return canvas.canvasDC && canvas.canvasBitmap && canvas.canvasBits &&
           (canvas.canvasWidth != 0 || canvas.canvasHeight != 0) && canvas.canvasSize != 0;
}

static void fillBitmapInfo(BITMAPINFO* info) {
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = canvas.canvasWidth;
    header.biHeight = -canvas.canvasHeight; // rows top to bottom, as the simulator's image
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(canvas.canvasSize);
    header.biClrUsed = colourCount;
    for (int32_t i = 0; i < colourCount; ++i) {
        uint32_t rgb = canvasColourTable[i];
        info->bmiColors[i] = {BYTE(rgb), BYTE(rgb >> 8), BYTE(rgb >> 16), 0};
    }
}

static HPALETTE createCanvasPalette() {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[colourCount];
    } palette;
    palette.version = canvasPaletteVersion;
    palette.count = colourCount;
    for (int32_t i = 0; i < colourCount; ++i) {
        const PaletteColour& c = canvasPaletteTable[i];
        palette.entries[i] = {c.red, c.green, c.blue, c.flags};
    }
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&palette));
}

void createCanvas(ImageElement element) {
    const ImageRecord* image = element.image;
    if (canvas.canvasDC || !image || !image->pixels || image->byteSize > 0x7FFFFFFFu)
        return;
    // A width of 0 is refused before the height is divided out of it; a row that is not even
    // one whole row high has no picture either. The canvas then stays empty and unusable.
    ScreenMetrics metrics;
    if (!screenMetricsFor(gauge.screenWidth, gauge.screenHeight, image->rowBytes, image->byteSize,
                          metrics) ||
        metrics.canvasHeight == 0)
        return;
    canvas.metrics = metrics;
    canvas.canvasWidth = metrics.canvasWidth;
    canvas.canvasHeight = metrics.canvasHeight;
    canvas.canvasSize = static_cast<int32_t>(image->byteSize);
    canvas.rowStride = (canvas.canvasWidth + 3) & ~3;

    canvas.canvasDC = CreateCompatibleDC(nullptr);
    canvas.infoBlock =
        GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + colourCount * 4);
    canvas.info =
        canvas.infoBlock ? static_cast<BITMAPINFO*>(GlobalLock(canvas.infoBlock)) : nullptr;
    if (canvas.info) {
        fillBitmapInfo(canvas.info);
        void* bits = nullptr;
        canvas.canvasBitmap =
            CreateDIBSection(canvas.canvasDC, canvas.info, DIB_RGB_COLORS, &bits, nullptr, 0);
        canvas.canvasBits = static_cast<uint8_t*>(bits);
    }
    if (canvas.canvasDC && canvas.canvasBitmap)
        canvas.previousBitmap =
            static_cast<HBITMAP>(SelectObject(canvas.canvasDC, canvas.canvasBitmap));
    canvas.canvasPalette = createCanvasPalette();
    if (canvas.canvasDC && canvas.canvasPalette) {
        canvas.previousPalette = SelectPalette(canvas.canvasDC, canvas.canvasPalette, FALSE);
        RealizePalette(canvas.canvasDC);
    }
    canvas.fullRegion = CreateRectRgn(0, 0, canvas.canvasWidth, canvas.canvasHeight);
}

void releaseCanvas() {
    if (canvas.fullRegion)
        DeleteObject(canvas.fullRegion);
    if (canvas.canvasDC && canvas.previousPalette)
        SelectPalette(canvas.canvasDC, canvas.previousPalette, FALSE);
    if (canvas.canvasPalette)
        DeleteObject(canvas.canvasPalette);
    if (canvas.canvasDC && canvas.previousBitmap)
        SelectObject(canvas.canvasDC, canvas.previousBitmap);
    if (canvas.canvasBitmap)
        DeleteObject(canvas.canvasBitmap);
    if (canvas.canvasDC)
        DeleteDC(canvas.canvasDC);
    if (canvas.infoBlock) {
        GlobalUnlock(canvas.infoBlock);
        GlobalFree(canvas.infoBlock);
    }
    canvas = ScreenCanvas{};
}
