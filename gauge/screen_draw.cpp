// The redraw of the whole screen into the canvas, and the copy of the picture into the
// simulator's image.
#include <cstdio>

#include "common/record_rules.h"
#include "common/screen_colours.h"
#include "common/text_fields.h"
#include "button_table.h"
#include "canvas.h"
#include "gauge_state.h"
#include "moving_map.h"
#include "screen_copy.h"
#include "screen_paint.h"

constexpr UINT centredLine = DT_VCENTER | DT_END_ELLIPSIS;

static void fillBackground(HDC dc) {
    HBRUSH brush = CreateSolidBrush(paletteColour(colourBlack));
    HPEN pen = CreatePen(PS_SOLID, 1, paletteColour(colourBlack));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, 0, 0, canvas.canvasWidth, canvas.canvasHeight);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

static void drawTopLines(HDC dc) {
    const ScreenMetrics& m = canvas.metrics;
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, paletteColour(colourBlack));

    SetTextColor(dc, paletteColour(colourWhite));
    drawTextLine(dc, gauge.titleText, titleRect(m), DT_LEFT | centredLine);

    char text[64];
    formatEta(text, sizeof text, gauge.activeDistance, gaugeSpeed());
    SetTextColor(dc, paletteColour(colourRed));
    drawTextLine(dc, text, etaRect(m), DT_RIGHT | centredLine);

    const ExchangeRecord& e = gauge.exchange;
    if (!hasVisibleText(e.ident, sizeof e.ident) || !hasVisibleText(e.name, sizeof e.name))
        return;
    char ident[sizeof e.ident], name[sizeof e.name];
    copyBoundedText(ident, e.ident, sizeof ident);
    copyBoundedText(name, e.name, sizeof name);
    // A tour item shows its number as the dialog's tree writes it, whatever its ident holds.
    if (e.mode != airportMode)
        tourNumberText(readWholeNumber(ident), ident, sizeof ident);
    joinLabel(ident, name, text, sizeof text);
    SetTextColor(dc, paletteColour(colourGreen));
    drawTextLine(dc, text, destinationRect(m), DT_LEFT | centredLine);
}

static void drawButtons(HDC dc) {
    HBRUSH face = CreateSolidBrush(paletteColour(colourLightGrey));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    SetBkMode(dc, TRANSPARENT);
    for (const PanelButton& button : panelButtons) {
        ScreenRect r = buttonRect(canvas.metrics, button.upperRow, button.box);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        bool black =
            buttonLabelBlack(button.lit, gauge.mapScale, gauge.apCoupled, gauge.exchange.mode);
        SetTextColor(dc, paletteColour(black ? colourBlack : colourOlive));
        drawTextLine(dc, button.label, r, DT_CENTER | centredLine);
    }
    SelectObject(dc, oldBrush);
    DeleteObject(face);
}

static void copyToImage(const ImageRecord* image) {
    if (!image)
        return;
    const ImageShape shape = {image->width, image->height, image->rowBytes, image->byteSize};
    if (!imageTakesCanvas(shape, canvas.canvasWidth, canvas.canvasHeight))
        return;
    // The canvas holds canvasSize bytes of the image at most, in whole rows.
    uint32_t bytes = static_cast<uint32_t>(canvas.canvasSize);
    if (image->byteSize < bytes)
        bytes = image->byteSize;
    CanvasPixels pixels = {canvas.canvasBits, canvas.canvasWidth, canvas.canvasHeight,
                           canvas.rowStride};
    copyCanvasToImage(pixels, image->pixels, bytes);
}

void drawScreen(ImageElement element) {
    if (!canvasUsable())
        return;
    HDC dc = canvas.canvasDC;
    const int32_t fontHeight = canvas.metrics.fontHeight;
    // Below the height of a 10-point font the bitmap face reads better than the outline one.
    int32_t tenPoint = MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72);
    const char* face = fontHeight < tenPoint ? "Small Fonts" : "Arial";
    HFONT mainFont = createScreenFont(fontHeight, face);
    SetMapperFlags(dc, 1);
    HGDIOBJ previousFont = SelectObject(dc, mainFont);
    fillBackground(dc);
    drawTopLines(dc);
    drawButtons(dc);
    SelectObject(dc, previousFont);
    DeleteObject(mainFont);

    MapResources map = {nullptr, nullptr, nullptr};
    drawMap(face, map);
    GdiFlush(); // the DIB's bits are read directly below
    copyToImage(element.image);

    if (map.clip)
        DeleteObject(map.clip);
    SelectClipRgn(dc, canvas.fullRegion);
    if (map.font) {
        SelectObject(dc, map.previousFont);
        DeleteObject(map.font);
    }
}
