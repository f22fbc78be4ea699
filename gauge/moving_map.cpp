// The heading-up moving map: frame, rounded clip, cross-hair and scale, the route with its
// labels and markers, the map's top line and the aircraft symbol.
#include "moving_map.h"

#include <cmath>
#include <cstdio>

#include "common/screen_colours.h"
#include "common/sim_ids.h"
#include "common/text_fields.h"
#include "canvas.h"
#include "gauge_state.h"
#include "nav_math.h"
#include "screen_paint.h"

namespace {

// A pen and a brush of one colour, selected for the length of one drawing step.
struct ColourTools {
    HDC dc;
    HPEN pen;
    HBRUSH brush;
    HGDIOBJ oldPen;
    HGDIOBJ oldBrush;
};

ColourTools takeTools(HDC dc, uint8_t penColour, int32_t brushColour) {
    ColourTools t = {dc, CreatePen(PS_SOLID, 1, paletteColour(penColour)), nullptr, nullptr,
                     nullptr};
    if (brushColour >= 0)
        t.brush = CreateSolidBrush(paletteColour(uint8_t(brushColour)));
    t.oldPen = SelectObject(dc, t.pen);
    if (t.brush)
        t.oldBrush = SelectObject(dc, t.brush);
    return t;
}

void putBack(ColourTools& t) {
    if (t.brush) {
        SelectObject(t.dc, t.oldBrush);
        DeleteObject(t.brush);
    }
    SelectObject(t.dc, t.oldPen);
    DeleteObject(t.pen);
}

// Pixel coordinates for GDI: points thousands of miles off the map still land well inside the
// range every GDI accepts, and the clip hides them anyway.
int32_t clampedPixel(double value) {
    const double farthest = 1e6;
    if (!(value > -farthest))
        return int32_t(-farthest);
    return value < farthest ? int32_t(value) : int32_t(farthest);
}
int32_t pixel(double value) { // line vertices and markers round up
    return clampedPixel(std::ceil(value));
}
int32_t truncatedPixel(double value) { // label boxes truncate
    return clampedPixel(std::trunc(value));
}

struct MapView {
    HDC dc;
    MapGeometry geometry;
    int32_t fontHeight;
    double aircraft[2]; // raw latitude, longitude
    double variation;
    double heading; // what the map is turned by
};

MapPoint project(const MapView& view, double latitude, double longitude, MapOffset* offset) {
    DistanceBearing to =
        greatCircle(view.aircraft[0], view.aircraft[1], latitude, longitude, view.variation);
    MapOffset o = mapOffsetFor(to.distance, to.bearing, view.heading);
    if (offset)
        *offset = o;
    return mapPointFor(view.geometry, o, gauge.mapScale);
}

void drawFrame(HDC dc, const ScreenRect& r) {
    ColourTools t = takeTools(dc, colourDarkGrey, colourBlack);
    RoundRect(dc, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1, 6, 6);
    putBack(t);
}

void drawCrossHair(const MapView& view) {
    const ScreenRect& r = view.geometry.rect;
    int32_t x = int32_t(view.geometry.centreX), y = int32_t(view.geometry.centreY);
    ColourTools t = takeTools(view.dc, colourBlue, -1);
    MoveToEx(view.dc, r.left, y, nullptr);
    LineTo(view.dc, r.right, y);
    MoveToEx(view.dc, x, r.top, nullptr);
    LineTo(view.dc, x, r.bottom);
    putBack(t);
}

void drawScale(const MapView& view) {
    const ScreenRect& r = view.geometry.rect;
    const ScaleTicks ticks = scaleTicksFor(gauge.mapScale);
    const int32_t x0 = int32_t(view.geometry.centreX), y0 = int32_t(view.geometry.centreY);
    const COLORREF cyan = paletteColour(colourCyan);
    SetTextColor(view.dc, cyan);
    const int32_t labelLeft = int32_t(view.geometry.centreX + 2);
    int32_t label = ticks.step;
    for (int32_t y = y0; y > r.top;) {
        SetPixel(view.dc, x0, y, cyan);
        y -= ticks.spacing;
        char text[16];
        std::snprintf(text, sizeof text, "%d", label);
        ScreenRect box = {labelLeft, y - view.fontHeight / 2, r.right, y + view.fontHeight / 2};
        drawTextLine(view.dc, text, box, DT_LEFT | DT_VCENTER);
        label += ticks.step;
    }
    for (int32_t y = y0; y < r.bottom; y += ticks.spacing)
        SetPixel(view.dc, x0, y, cyan);
    for (int32_t x = x0; x > r.left; x -= ticks.spacing)
        SetPixel(view.dc, x, y0, cyan);
    for (int32_t x = x0; x < r.right; x += ticks.spacing)
        SetPixel(view.dc, x, y0, cyan);
}

// A marker's box: the ellipse around a point, one pixel each way.
ScreenRect markerBox(MapPoint p) {
    return {pixel(p.x - 1), pixel(p.y - 1), pixel(p.x + 1), pixel(p.y + 1)};
}

void drawMarker(HDC dc, MapPoint p, uint8_t colour) {
    ColourTools t = takeTools(dc, colour, colour);
    ScreenRect box = markerBox(p);
    Ellipse(dc, box.left, box.top, box.right, box.bottom);
    putBack(t);
}

ScreenRect labelBox(const MapView& view, MapPoint p, double indent) {
    return {truncatedPixel(p.x + indent), truncatedPixel(p.y), view.geometry.rect.right,
            truncatedPixel(p.y + view.fontHeight)};
}

void drawLabel(const MapView& view, const char* text, MapPoint p, double indent, uint8_t colour) {
    SetTextColor(view.dc, paletteColour(colour));
    drawTextLine(view.dc, text, labelBox(view, p, indent), DT_LEFT | DT_TOP);
}

// Whether any of the box can show: the clip keeps everything inside the map's rectangle.
bool onMap(const MapView& view, const ScreenRect& box) {
    const ScreenRect& map = view.geometry.rect;
    return box.left < map.right && box.right > map.left && box.top < map.bottom &&
           box.bottom > map.top && box.left < box.right && box.top < box.bottom;
}

void drawAirportRoute(const MapView& view) {
    const ExchangeRecord& e = gauge.exchange;
    MapPoint start = project(view, gauge.routeOrigin[0], gauge.routeOrigin[1], nullptr);
    MapPoint end = project(view, e.latitude, e.longitude, nullptr);
    SetBkColor(view.dc, paletteColour(colourBlack));
    SetBkMode(view.dc, TRANSPARENT);
    ColourTools t = takeTools(view.dc, colourCyan, -1);
    MoveToEx(view.dc, pixel(start.x), pixel(start.y), nullptr);
    LineTo(view.dc, pixel(end.x), pixel(end.y));
    putBack(t);
    char ident[sizeof e.ident];
    copyBoundedText(ident, e.ident, sizeof ident);
    drawLabel(view, "Start", start, 2, colourYellow);
    drawLabel(view, ident, end, 2, colourRed);
    drawMarker(view.dc, start, colourYellow);
    drawMarker(view.dc, end, colourOrange);
}

// The tour's line in pieces of a fixed size, each starting where the last one ended: the same
// pixels as one polyline through every item, without memory the size of the tour.
void drawTourLine(const MapView& view, const MapOffset* offsets, int32_t count) {
    ColourTools t = takeTools(view.dc, colourCyan, -1);
    constexpr int32_t pieceLength = 128;
    POINT piece[pieceLength];
    int32_t inPiece = 0;
    for (int32_t i = 0; i < count; ++i) {
        MapPoint p = mapPointFor(view.geometry, offsets[i], gauge.mapScale);
        piece[inPiece++] = {pixel(p.x), pixel(p.y)};
        if (inPiece == pieceLength || i == count - 1) {
            if (inPiece > 1)
                Polyline(view.dc, piece, inPiece);
            piece[0] = piece[inPiece - 1];
            inPiece = 1;
        }
    }
    putBack(t);
}

// Labels in their item's box. A tour may have thousands of them and most lie off the map at a
// close scale: those the clip would hide entirely are not drawn at all. The text goes straight to
// ExtTextOut, as a one-line, top-left DrawText would send it, without measuring it first.
void drawTourLabels(const MapView& view, const MapOffset* offsets, int32_t count, int32_t active) {
    for (int32_t i = 0; i < count; ++i) {
        ScreenRect box = labelBox(view, mapPointFor(view.geometry, offsets[i], gauge.mapScale), 0);
        if (!onMap(view, box))
            continue;
        char label[16];
        int length = std::snprintf(label, sizeof label, " %03d ", i + 1);
        SetTextColor(view.dc, paletteColour(i == active ? colourRed : colourYellow));
        RECT r = {box.left, box.top, box.right, box.bottom};
        ExtTextOutA(view.dc, box.left, box.top, ETO_CLIPPED, &r, label, UINT(length), nullptr);
    }
}

// One yellow pen and brush for all the items' markers, then the active item's orange one.
void drawTourMarkers(const MapView& view, const MapOffset* offsets, int32_t count, int32_t active) {
    ColourTools t = takeTools(view.dc, colourYellow, colourYellow);
    for (int32_t i = 0; i < count; ++i) {
        ScreenRect box = markerBox(mapPointFor(view.geometry, offsets[i], gauge.mapScale));
        if (onMap(view, box))
            Ellipse(view.dc, box.left, box.top, box.right, box.bottom);
    }
    putBack(t);
    if (active >= 0)
        drawMarker(view.dc, mapPointFor(view.geometry, offsets[active], gauge.mapScale),
                   colourOrange);
}

void drawTourRoute(const MapView& view) {
    const int32_t count = gauge.tourPointCount;
    static_assert(sizeof(MapOffset) == sizeof(TourScreenPoint), "a tour screen point");
    auto* offsets = reinterpret_cast<MapOffset*>(gauge.tourScreenPoints);
    for (int32_t i = 0; i < count; ++i)
        project(view, gauge.tourPoints[i].latitude, gauge.tourPoints[i].longitude, &offsets[i]);

    SetBkColor(view.dc, paletteColour(colourBlack));
    SetBkMode(view.dc, TRANSPARENT);
    drawTourLine(view, offsets, count);
    int32_t active =
        activeTourEntry(readWholeNumber(gauge.exchange.ident, sizeof gauge.exchange.ident), count);
    drawTourLabels(view, offsets, count, active);
    drawTourMarkers(view, offsets, count, active);
}

void drawRoute(MapView& view) {
    const bool airport = gauge.exchange.mode == airportMode;
    if (airport && gauge.routeOrigin[0] == 0.0 && gauge.routeOrigin[1] == 0.0)
        return;
    if (!airport && (gauge.tourPointCount <= 0 || !gauge.tourPoints || !gauge.tourScreenPoints))
        return;
    view.aircraft[0] = lookupVariable(varLatitude);
    view.aircraft[1] = lookupVariable(varLongitude);
    if (airport)
        drawAirportRoute(view);
    else
        drawTourRoute(view);
}

void drawTopLine(const MapView& view) {
    const MapGeometry& g = view.geometry;
    char text[64];
    SetBkMode(view.dc, OPAQUE);
    SetBkColor(view.dc, paletteColour(colourWhite));
    SetTextColor(view.dc, paletteColour(colourBlack));
    double heading = lookupVariable(varHeading);
    std::snprintf(text, sizeof text, " %03d ", std::fabs(heading) < 1e9 ? int32_t(heading) : 0);
    drawTextLine(view.dc, text, g.topLine, DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS);

    const ExchangeRecord& e = gauge.exchange;
    SetBkColor(view.dc, paletteColour(colourBlack));
    SetTextColor(view.dc, paletteColour(colourRed));
    ModeAutopilot options = modeAutopilot(e);
    if (options.couples && options.holdsAltitude && flyableAltitude(options.altitude))
        std::snprintf(text, sizeof text, " Alt:%dft.", wholeFeet(options.altitude));
    else
        std::snprintf(text, sizeof text, " Alt:%s", "None");
    drawTextLine(view.dc, text, g.altitudeLine, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);

    static const uint8_t bandColours[] = {colourWhite, colourGreen, colourRed};
    formatDistanceToGo(text, sizeof text, gauge.activeDistance);
    SetTextColor(view.dc, paletteColour(bandColours[int(distanceBandFor(gauge.activeDistance))]));
    drawTextLine(view.dc, text, g.distanceLine, DT_RIGHT | DT_VCENTER | DT_END_ELLIPSIS);
}

void drawAircraft(const MapView& view) {
    const int32_t x = int32_t(view.geometry.centreX), y = int32_t(view.geometry.centreY);
    const POINT arrow[] = {{x, y},
                           {int32_t(view.geometry.centreX - 3), y + 6},
                           {int32_t(view.geometry.centreX + 3), y + 6}};
    ColourTools t = takeTools(view.dc, colourWhite, colourWhite);
    Polygon(view.dc, arrow, 3);
    putBack(t);
}

} // namespace

void drawMap(const char* face, MapResources& left) {
    MapView view = {canvas.canvasDC,
                    mapGeometryFor(canvas.metrics),
                    canvas.metrics.fontHeight,
                    {0.0, 0.0},
                    lookupVariable(varMagVariation),
                    // The map turns by the heading its previous redraw looked up: the one lookup
                    // of the heading is the top line's, further down.
                    lastVariableValue(varHeading)};
    const ScreenRect& r = view.geometry.rect;
    drawFrame(view.dc, r);
    left.clip = CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, 6, 6);
    SelectClipRgn(view.dc, left.clip);

    int32_t sevenPoint = MulDiv(7, GetDeviceCaps(view.dc, LOGPIXELSY), 72);
    left.font =
        createScreenFont(view.fontHeight > sevenPoint ? -sevenPoint : view.fontHeight, face);
    left.previousFont = static_cast<HFONT>(SelectObject(view.dc, left.font));

    drawCrossHair(view);
    drawScale(view);
    drawRoute(view);
    drawTopLine(view);
    drawAircraft(view);
}
