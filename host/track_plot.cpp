#include "host/track_plot.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "host/track_plot_layout.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-declarations"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // stb's own code, not ours
#include "stb/stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

constexpr int plotSize = 900;
constexpr int margin = 60;

struct View {
    double north, south, west, east, xScale, yScale;
    POINT at(const PlotPoint& p) const {
        return {margin + static_cast<LONG>((p.longitude - west) * xScale),
                margin + static_cast<LONG>((north - p.latitude) * yScale)};
    }
};

View viewOf(const TrackPlot& plot) {
    View v{-90, 90, 180, -180, 1, 1};
    auto include = [&](const PlotPoint& p) {
        v.north = std::max(v.north, p.latitude);
        v.south = std::min(v.south, p.latitude);
        v.east = std::max(v.east, p.longitude);
        v.west = std::min(v.west, p.longitude);
    };
    for (const PlotWaypoint& w : plot.route)
        include(w.position);
    for (const PlotPoint& p : plot.track)
        include(p);
    if (v.north < v.south) {
        v = {1, -1, -1, 1, 1, 1};
    }
    // Equal nautical miles in both directions: a degree of longitude is cos(latitude) wide.
    double middle = (v.north + v.south) / 2 * 3.141592653589793 / 180;
    double width = std::max((v.east - v.west) * std::cos(middle), 0.01);
    double height = std::max(v.north - v.south, 0.01);
    double span = std::max(width, height) * 1.08;
    double drawable = plotSize - 2 * margin;
    v.yScale = drawable / span;
    v.xScale = v.yScale * std::cos(middle);
    double centreLat = (v.north + v.south) / 2, centreLon = (v.east + v.west) / 2;
    v.north = centreLat + span / 2;
    v.west = centreLon - drawable / v.xScale / 2;
    return v;
}

void line(HDC dc, const std::vector<POINT>& points, COLORREF colour, int width, int style) {
    if (points.size() < 2)
        return;
    HPEN pen = CreatePen(style, width, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
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

void drawPlot(HDC dc, const TrackPlot& plot) {
    RECT all = {0, 0, plotSize, plotSize};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    View view = viewOf(plot);
    HFONT font = CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 2, 0, "Arial");
    HFONT bold = CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 2, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, bold);
    SetBkMode(dc, TRANSPARENT);
    text(dc, margin, 18, plot.title, RGB(0, 0, 0));
    SelectObject(dc, font);
    std::vector<POINT> route, track;
    for (const PlotWaypoint& w : plot.route)
        route.push_back(view.at(w.position));
    for (const PlotPoint& p : plot.track)
        track.push_back(view.at(p));
    line(dc, route, RGB(0, 120, 220), 2, PS_DASH);
    line(dc, track, RGB(220, 30, 30), 2, PS_SOLID);
    // Route labels first, so that they get the places nearest their markers; then the times.
    std::vector<LabelRequest> requests;
    std::vector<const PlotWaypoint*> owners;
    std::vector<POINT> events;
    auto request = [&](POINT at, const PlotWaypoint& w) {
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, w.label.c_str(), static_cast<int>(w.label.size()), &size);
        requests.push_back({at.x, at.y, size.cx, size.cy});
        owners.push_back(&w);
    };
    for (size_t i = 0; i < plot.route.size(); ++i)
        request(route[i], plot.route[i]);
    for (const PlotWaypoint& e : plot.events) {
        events.push_back(view.at(e.position));
        request(events.back(), e);
    }
    for (size_t i = 0; i < plot.route.size(); ++i)
        marker(dc, route[i], 6, RGB(0, 120, 220));
    for (POINT p : events)
        marker(dc, p, 4, RGB(255, 200, 0));
    std::vector<LabelBox> boxes = placeLabels(requests, 6, plotSize, plotSize - 40);
    for (size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        bool waypoint = i < plot.route.size();
        if (b.leader) {
            POINT ends[2] = {{requests[i].anchorX, requests[i].anchorY},
                             {b.x + b.width / 2, b.y + b.height / 2}};
            line(dc, {ends[0], ends[1]}, RGB(160, 160, 160), 1, PS_SOLID);
        }
        text(dc, b.x, b.y, owners[i]->label, waypoint ? RGB(0, 60, 140) : RGB(120, 80, 0));
    }
    text(dc, margin, plotSize - 36,
         "blue dashed: planned route   red: flown track   yellow: waypoint sequenced",
         RGB(60, 60, 60));
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
