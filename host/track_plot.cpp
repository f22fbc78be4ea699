#include "track_plot.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flight_model.h"
#include "track_plot_layout.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-declarations"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // stb's own code, not ours
#include "stb/stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

constexpr double nmPerDegree = earthRadiusNm * 3.141592653589793 / 180; // of latitude
constexpr double routeStepNm = 5; // between the points drawn along a great-circle leg
const COLORREF routeBlue = RGB(0, 120, 220), trackRed = RGB(220, 30, 30),
               sequencedYellow = RGB(255, 200, 0), gridGrey = RGB(215, 215, 215),
               noteGrey = RGB(60, 60, 60);

POINT pointAt(const PlotFrame& frame, const PlotPoint& p) {
    PlotPixel at = pixelOf(frame, p);
    return {static_cast<LONG>(std::lround(at.x)), static_cast<LONG>(std::lround(at.y))};
}

void line(HDC dc, const std::vector<POINT>& points, COLORREF colour, int width) {
    if (points.size() < 2)
        return;
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}

// GDI draws wide pens solid whatever their style: the dashes are cut here.
void dashedLine(HDC dc, const std::vector<POINT>& points, COLORREF colour, int width) {
    std::vector<DashPoint> along;
    for (POINT p : points)
        along.push_back({double(p.x), double(p.y)});
    for (const auto& d : dashesAlong(along, 10, 6))
        line(dc,
             {{LONG(std::lround(d.first.x)), LONG(std::lround(d.first.y))},
              {LONG(std::lround(d.second.x)), LONG(std::lround(d.second.y))}},
             colour, width);
}

void marker(HDC dc, POINT p, int radius, COLORREF fill) {
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void text(HDC dc, int x, int y, const std::string& s, COLORREF colour) {
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

int textWidth(HDC dc, const std::string& s) {
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
}

// Lines of latitude and longitude at a round step across the map, labelled in the margins.
void drawGrid(HDC dc, const PlotFrame& f) {
    const int low = plotMargin, high = plotSize - plotMargin;
    double latitudeStep = roundStep((high - low) / f.pixelsPerLatitude);
    double top = f.centreLatitude + (plotSize / 2.0 - low) / f.pixelsPerLatitude;
    for (double lat =
             std::ceil((top - (high - low) / f.pixelsPerLatitude) / latitudeStep) * latitudeStep;
         lat <= top; lat += latitudeStep) {
        POINT p = pointAt(f, {lat, f.centreLongitude});
        if (std::fabs(lat) > 90 || p.y < low || p.y > high)
            continue;
        line(dc, {{low, p.y}, {high, p.y}}, gridGrey, 1);
        std::string label = latitudeLabel(std::fabs(lat) < 1e-9 ? 0 : lat);
        text(dc, low - 6 - textWidth(dc, label), p.y - 8, label, noteGrey);
    }
    double longitudeStepSize = roundStep((high - low) / f.pixelsPerLongitude);
    double west = f.centreLongitude - (plotSize / 2.0 - low) / f.pixelsPerLongitude;
    for (double lon = std::ceil(west / longitudeStepSize) * longitudeStepSize;
         lon <= west + (high - low) / f.pixelsPerLongitude; lon += longitudeStepSize) {
        LONG x =
            LONG(std::lround(plotSize / 2.0 + (lon - f.centreLongitude) * f.pixelsPerLongitude));
        line(dc, {{x, low}, {x, high}}, gridGrey, 1);
        std::string label = longitudeLabel(std::fabs(lon) < 1e-9 ? 0 : lon);
        text(dc, x - textWidth(dc, label) / 2, high + 4, label, noteGrey);
    }
}

void drawBorder(HDC dc) {
    const int low = plotMargin, high = plotSize - plotMargin;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(150, 150, 150));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Rectangle(dc, low, low, high + 1, high + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

// A meridian's label where it leaves the map: in the margin beside that side, or just inside
// the top side, which the title holds.
void labelMeridian(HDC dc, const PlotFrame& f, double longitude) {
    const double low = plotMargin, high = plotSize - plotMargin;
    PlotPixel end = pixelOf(f, {0, longitude});
    const double start[2] = {f.poleX, f.poleY}, step[2] = {end.x - f.poleX, end.y - f.poleY};
    double from = 0, to = 1; // along the meridian from the pole to the equator
    for (int axis = 0; axis < 2; ++axis) {
        if (std::fabs(step[axis]) < 1e-9) {
            if (start[axis] < low || start[axis] > high)
                return;
            continue;
        }
        double a = (low - start[axis]) / step[axis], b = (high - start[axis]) / step[axis];
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
    }
    if (to <= from || to >= 1)
        return;
    double x = f.poleX + to * step[0], y = f.poleY + to * step[1];
    std::string label = longitudeLabel(longitude);
    int width = textWidth(dc, label);
    int atX = x > high - 0.5  ? int(high) + 4
              : x < low + 0.5 ? int(low) - 4 - width
                              : int(x) - width / 2;
    int atY = y > high - 0.5 ? int(high) + 4 : y < low + 0.5 ? int(low) + 2 : int(y) - 8;
    text(dc, atX, atY, label, noteGrey);
}

// Round a pole: circles of latitude at a round step, labelled along the centre meridian, and a
// meridian every 30 degrees, labelled where it leaves the map.
void drawPolarGrid(HDC dc, const PlotFrame& f) {
    const int low = plotMargin, high = plotSize - plotMargin;
    double step = roundStep((high - low) / f.pixelsPerLatitude);
    double nearest = std::hypot(std::max({low - f.poleX, 0.0, f.poleX - high}),
                                std::max({low - f.poleY, 0.0, f.poleY - high}));
    double farthest = std::hypot(std::max(f.poleX - low, high - f.poleX),
                                 std::max(f.poleY - low, high - f.poleY));
    int saved = SaveDC(dc);
    IntersectClipRect(dc, low, low, high + 1, high + 1);
    for (double arc = std::max(step, std::ceil(nearest / f.pixelsPerLatitude / step) * step);
         arc < 90 && arc * f.pixelsPerLatitude <= farthest; arc += step) {
        std::vector<POINT> circle;
        for (int longitude = -180; longitude <= 180; longitude += 2)
            circle.push_back(pointAt(f, {f.pole * (90 - arc), double(longitude)}));
        line(dc, circle, gridGrey, 1);
        POINT at = pointAt(f, {f.pole * (90 - arc), f.centreLongitude});
        text(dc, at.x + 3, at.y - 17, latitudeLabel(f.pole * (90 - arc)), noteGrey);
    }
    for (int longitude = -180; longitude < 180; longitude += 30)
        line(dc,
             {pointAt(f, {f.pole * 90.0, double(longitude)}), pointAt(f, {0, double(longitude)})},
             gridGrey, 1);
    RestoreDC(dc, saved);
    for (int longitude = -180; longitude < 180; longitude += 30)
        labelMeridian(dc, f, longitude);
}

// An arrow to the north in the top right corner: up the picture, or in a view round a pole,
// towards the north pole (away from the south pole).
void drawNorth(HDC dc, const PlotFrame& f) {
    double cx = northArrowBox.x + northArrowBox.width / 2.0, cy = northArrowBox.y + 20.0;
    double dx = 0, dy = -1, length = std::hypot(f.poleX - cx, f.poleY - cy);
    if (f.pole != 0 && length > 0) {
        dx = f.pole * (f.poleX - cx) / length;
        dy = f.pole * (f.poleY - cy) / length;
    }
    auto at = [&](double along, double across) {
        return POINT{LONG(std::lround(cx + dx * along - dy * across)),
                     LONG(std::lround(cy + dy * along + dx * across))};
    };
    line(dc, {at(-14, 0), at(14, 0)}, RGB(0, 0, 0), 2);
    line(dc, {at(6, -6), at(16, 0), at(6, 6)}, RGB(0, 0, 0), 2);
    POINT n = at(-24, 0);
    text(dc, n.x - textWidth(dc, "N") / 2, n.y - 8, "N", RGB(0, 0, 0));
}

// A bar of a round number of nautical miles, up to a quarter of the map wide, bottom right.
void drawScale(HDC dc, const PlotFrame& f) {
    double pixelsPerNm = f.pixelsPerLatitude / nmPerDegree;
    double nm = roundBelow((plotSize - 2 * plotMargin) / 4.0 / pixelsPerNm);
    const int right = plotSize - plotMargin, y = plotSize - 22;
    int left = right - int(std::lround(nm * pixelsPerNm));
    line(dc, {{left, y - 5}, {left, y}, {right, y}, {right, y - 5}}, RGB(0, 0, 0), 2);
    char label[32];
    std::snprintf(label, sizeof label, "%g nm", nm);
    text(dc, left - 8 - textWidth(dc, label), y - 10, label, RGB(0, 0, 0));
}

// Each entry drawn with the same pen or marker as what it names.
void drawLegend(HDC dc) {
    int x = plotMargin, y = plotSize - 32;
    dashedLine(dc, {{x, y + 8}, {x + 36, y + 8}}, routeBlue, 2);
    text(dc, x + 44, y, "planned route", noteGrey);
    x += 44 + textWidth(dc, "planned route") + 24;
    line(dc, {{x, y + 8}, {x + 36, y + 8}}, trackRed, 2);
    text(dc, x + 44, y, "flown track", noteGrey);
    x += 44 + textWidth(dc, "flown track") + 24;
    marker(dc, {x + 6, y + 8}, 4, sequencedYellow);
    text(dc, x + 18, y, "waypoint sequenced, with the time", noteGrey);
}

// The route and the track in pixels, as drawn and as the labels keep clear of them.
std::vector<std::vector<POINT>> pixelLines(const PlotFrame& frame,
                                           const std::vector<PlotPoint>& points) {
    std::vector<std::vector<POINT>> lines;
    for (const auto& run : pixelRuns(frame, points)) {
        lines.emplace_back();
        for (const PlotPixel& p : run)
            lines.back().push_back({LONG(std::lround(p.x)), LONG(std::lround(p.y))});
    }
    return lines;
}

// Route labels first, so that they get the places nearest their markers; then the times. A
// label with no free place beside its marker is left out: the count of those is returned.
size_t drawMarkersAndLabels(HDC dc, const TrackPlot& plot, const PlotFrame& frame,
                            const std::vector<std::vector<POINT>>& lines) {
    LabelScene scene{
        {plotMargin, plotMargin, plotSize - 2 * plotMargin, plotSize - 2 * plotMargin, true},
        6,
        {}};
    for (const auto& l : lines) {
        scene.lines.emplace_back();
        for (POINT p : l)
            scene.lines.back().push_back({double(p.x), double(p.y)});
    }
    std::vector<LabelRequest> requests;
    std::vector<const PlotWaypoint*> owners;
    for (const auto* list : {&plot.route, &plot.events})
        for (const PlotWaypoint& w : *list) {
            POINT at = pointAt(frame, w.position);
            requests.push_back({at.x, at.y, textWidth(dc, w.label), 16});
            owners.push_back(&w);
        }
    for (size_t i = 0; i < requests.size(); ++i)
        marker(dc, {requests[i].anchorX, requests[i].anchorY}, i < plot.route.size() ? 6 : 4,
               i < plot.route.size() ? routeBlue : sequencedYellow);
    std::vector<LabelBox> boxes = placeLabels(requests, scene);
    size_t leftOut = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        leftOut += b.shown ? 0 : 1;
        if (!b.shown)
            continue;
        // The box covers grid lines only: labels keep clear of the route, track and markers.
        RECT back = {b.x, b.y, b.x + b.width, b.y + b.height};
        FillRect(dc, &back, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        text(dc, b.x, b.y, owners[i]->label,
             i < plot.route.size() ? RGB(0, 60, 140) : RGB(120, 80, 0));
    }
    return leftOut;
}

// The title in its room left of the north arrow, and under it how many labels were left out.
void drawTitle(HDC dc, const TrackPlot& plot, HFONT bold, size_t leftOut, size_t labels) {
    HGDIOBJ old = SelectObject(dc, bold);
    std::vector<std::string> lines =
        fitTitle(plot.title, plot.note, [dc](const std::string& s) { return textWidth(dc, s); });
    int y = titleRoom.y;
    for (const std::string& l : lines) {
        text(dc, titleRoom.x, y, l, RGB(0, 0, 0));
        y += titleLineHeight;
    }
    SelectObject(dc, old);
    if (leftOut == 0)
        return;
    char note[96];
    std::snprintf(note, sizeof note, "%u of %u labels left out: no free place beside their point",
                  unsigned(leftOut), unsigned(labels));
    text(dc, titleRoom.x, y + 1, note, noteGrey);
}

void drawPlot(HDC dc, const TrackPlot& plot) {
    RECT all = {0, 0, plotSize, plotSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    std::vector<PlotPoint> routeLine = greatCircleLine(plot.route, routeStepNm);
    std::vector<PlotPoint> points = plot.track;
    points.insert(points.end(), routeLine.begin(), routeLine.end());
    PlotFrame frame = plotFrameFor(points, plotSize, plotMargin);
    HFONT font = CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 2, 0, "Arial");
    HFONT bold = CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 2, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    if (frame.pole != 0)
        drawPolarGrid(dc, frame);
    else
        drawGrid(dc, frame);
    drawBorder(dc);
    std::vector<std::vector<POINT>> route = pixelLines(frame, routeLine),
                                    lines = pixelLines(frame, plot.track);
    // The route over the track, so that its dashes show where the two coincide.
    for (const auto& l : lines)
        line(dc, l, trackRed, 2);
    for (const auto& l : route)
        dashedLine(dc, l, routeBlue, 2);
    lines.insert(lines.end(), route.begin(), route.end());
    size_t leftOut = drawMarkersAndLabels(dc, plot, frame, lines);
    drawTitle(dc, plot, bold, leftOut, plot.route.size() + plot.events.size());
    drawNorth(dc, frame);
    drawScale(dc, frame);
    drawLegend(dc);
    SelectObject(dc, oldFont);
    DeleteObject(bold);
    DeleteObject(font);
}

} // namespace

bool writeTrackPlot(const std::string& path, const TrackPlot& plot, std::string& error) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = plotSize;
    info.bmiHeader.biHeight = -plotSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool written = false;
    if (dc && bitmap && bits) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        drawPlot(dc, plot);
        GdiFlush();
        std::vector<uint8_t> rgb(size_t(plotSize) * plotSize * 3);
        const uint8_t* bgrx = static_cast<const uint8_t*>(bits);
        for (size_t i = 0; i < size_t(plotSize) * plotSize; ++i) {
            rgb[i * 3] = bgrx[i * 4 + 2];
            rgb[i * 3 + 1] = bgrx[i * 4 + 1];
            rgb[i * 3 + 2] = bgrx[i * 4];
        }
        written = stbi_write_png(path.c_str(), plotSize, plotSize, 3, rgb.data(), plotSize * 3);
        SelectObject(dc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    if (!written)
        error = "cannot write the track picture '" + path + "'";
    return written;
}
