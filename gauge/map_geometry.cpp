#include "map_geometry.h"

#include <cmath>
#include <cstdio>

static int32_t trunc32(double value) {
    return static_cast<int32_t>(value);
}

bool screenMetricsFor(int32_t screenWidth, int32_t screenHeight, int32_t imageWidth,
                      uint32_t imageBytes, ScreenMetrics& metrics) {
    // The height comes from dividing by the width, and the scales from dividing by the design
    // size: a zero in either has no layout at all.
    if (imageWidth <= 0 || screenWidth <= 0 || screenHeight <= 0)
        return false;
    ScreenMetrics m;
    m.screenWidth = screenWidth;
    m.screenHeight = screenHeight;
    m.canvasWidth = imageWidth;
    m.canvasHeight = static_cast<int32_t>(imageBytes / static_cast<uint32_t>(imageWidth));
    m.scaleX = double(m.canvasWidth) / screenWidth;
    m.scaleY = double(m.canvasHeight) / screenHeight;
    m.fontHeight = trunc32((screenHeight * m.scaleY - screenWidth * m.scaleY * 0.95) / 3);
    metrics = m;
    return true;
}

static double designW(const ScreenMetrics& m) {
    return m.screenWidth * m.scaleX;
}
static double designH(const ScreenMetrics& m) {
    return m.screenHeight * m.scaleY;
}

static ScreenRect topLineRect(const ScreenMetrics& m, double left, double right, int32_t line) {
    double top = 0.03 * designH(m) + line * 0.8 * m.fontHeight;
    return {trunc32(left), trunc32(top), trunc32(right), trunc32(top + 0.8 * m.fontHeight)};
}

ScreenRect titleRect(const ScreenMetrics& m) {
    return topLineRect(m, 0.07 * designW(m), 0.6 * designW(m), 0);
}
ScreenRect etaRect(const ScreenMetrics& m) {
    return topLineRect(m, 0.6 * designW(m), 0.93 * designW(m), 0);
}
ScreenRect destinationRect(const ScreenMetrics& m) {
    return topLineRect(m, 0.05 * designW(m), 0.95 * designW(m), 1);
}

ScreenRect buttonRect(const ScreenMetrics& m, bool upperRow, int32_t index) {
    int32_t gap = trunc32(0.02 * m.canvasWidth);
    int32_t box = trunc32((m.canvasWidth - (4 * gap + 2 * 0.1 * m.canvasWidth)) / 5);
    double left = index * (box + gap) + 0.1 * m.canvasWidth;
    double top = m.canvasHeight - (upperRow ? 3.3 : 2.0) * m.fontHeight;
    double bottom = m.canvasHeight - (upperRow ? 2.3 : 1.0) * m.fontHeight;
    return {trunc32(left), trunc32(top), trunc32(left + box), trunc32(bottom)};
}

MapGeometry mapGeometryFor(const ScreenMetrics& m) {
    MapGeometry map;
    ScreenRect& r = map.rect;
    r.left = trunc32(m.screenWidth * m.scaleX * 0.1);
    r.top = trunc32(m.screenHeight * m.scaleY * 0.12);
    r.right = trunc32(m.screenWidth * m.scaleX * 0.9);
    // The design width with the vertical scale: the map is square at the design size.
    r.bottom = trunc32(m.screenWidth * m.scaleY * 0.9);
    map.centreX = (r.right - r.left) / 2 + r.left;
    map.centreY = (r.bottom - r.top) * 0.8 + r.top;
    int32_t lineBottom = trunc32(r.top + 0.8 * m.fontHeight);
    int32_t width = r.right - r.left;
    map.topLine = {r.left, r.top, r.right, lineBottom};
    map.altitudeLine = {r.left, r.top, trunc32(r.right + 0.4 * width), lineBottom};
    map.distanceLine = {trunc32(r.left + 0.6 * width), r.top, r.right, lineBottom};
    return map;
}

ScaleTicks scaleTicksFor(double mapScale) {
    // Below 0.1 the spacing would be 0 and the doubling below would never end; far above the
    // buttons' range the spacing would not fit an int.
    const double largestMapScale = 1e6;
    if (!(mapScale >= smallestMapScale))
        mapScale = smallestMapScale;
    if (mapScale > largestMapScale)
        mapScale = largestMapScale;
    int32_t s = trunc32(10 * mapScale);
    int32_t n = 10;
    while (s > 40) {
        if (n % 2 == 0) {
            s /= 2;
            n /= 2;
        } else if (n % 5 == 0) {
            s /= 5;
            n /= 5;
        } else {
            break;
        }
    }
    while (s <= 20) {
        s *= 2;
        n *= 2;
        if (n > 20 && n % 50 != 0) {
            int32_t m = (n / 50 + 1) * 50;
            s = s * m / n;
            n = m;
        }
    }
    return {s, n};
}

MapOffset mapOffsetFor(double distance, double bearing, double heading) {
    double rel = bearing - heading;
    if (rel < -180)
        rel += 360;
    if (rel > 180)
        rel -= 360;
    double r = rel * 3.1415927 / 180;
    MapOffset offset{std::cos(r) * distance, std::sin(r) * distance};
    if (!std::isfinite(offset.forward) || !std::isfinite(offset.right))
        return {0.0, 0.0};
    return offset;
}

MapPoint mapPointFor(const MapGeometry& map, MapOffset offset, double mapScale) {
    return {map.centreX + offset.right * mapScale, map.centreY - offset.forward * mapScale};
}

// Whole units and tenths or minutes, kept as doubles so that no figure can overflow an int.
static double whole(double value) {
    return std::isfinite(value) ? std::trunc(value) : 0.0;
}

void formatEta(char* out, size_t size, double distance, double speed) {
    double hours = speed > 40 ? distance / speed : NAN;
    if (!std::isfinite(hours)) {
        std::snprintf(out, size, "ETA:None ");
        return;
    }
    double h = whole(hours);
    std::snprintf(out, size, "ETA:%03.0f:%02d ", h, trunc32((hours - h) * 60));
}

void formatDistanceToGo(char* out, size_t size, double distance) {
    double d = whole(distance);
    int32_t tenths = std::isfinite(distance) ? trunc32((distance - d) * 10) : 0;
    std::snprintf(out, size, " WT:%.0f.%1dnm ", d, tenths);
}

DistanceBand distanceBandFor(double distance) {
    if (distance > 10)
        return DistanceBand::distant;
    if (distance > 5)
        return DistanceBand::middle;
    return DistanceBand::close;
}

int32_t activeTourEntry(int32_t itemNumber, int32_t itemCount) {
    return itemNumber >= 1 && itemNumber <= itemCount ? itemNumber - 1 : -1;
}
