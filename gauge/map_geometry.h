// Where everything on the navigation screen lies, and the figures the screen prints, as plain
// functions of the canvas size and the gauge's values. The drawing code and the tests share them.
#pragma once
#include <cstddef>
#include <cstdint>

struct ScreenRect {
    int32_t left, top, right, bottom;
};

// The canvas as the layout sees it: the design size (bitmap 102) and the image's real size.
struct ScreenMetrics {
    int32_t screenWidth, screenHeight; // design size
    int32_t canvasWidth, canvasHeight; // the simulator's image
    double scaleX, scaleY;
    int32_t fontHeight;
};

// False, with metrics untouched, for a width of 0 or a design size of 0: no layout exists then.
bool screenMetricsFor(int32_t screenWidth, int32_t screenHeight, int32_t imageWidth,
                      uint32_t imageBytes, ScreenMetrics& metrics);

ScreenRect titleRect(const ScreenMetrics& m);
ScreenRect etaRect(const ScreenMetrics& m);
ScreenRect destinationRect(const ScreenMetrics& m);

ScreenRect buttonRect(const ScreenMetrics& m, bool upperRow, int32_t index);

struct MapGeometry {
    ScreenRect rect;         // the map's rounded rectangle
    double centreX, centreY; // the aircraft's point
    ScreenRect topLine;      // heading box strip
    ScreenRect altitudeLine; // reaches past the map; the clip cuts it
    ScreenRect distanceLine;
};
MapGeometry mapGeometryFor(const ScreenMetrics& m);

// Tick spacing (pixels) and step (nm) of the map's scale. Scales below the smallest the gauge
// can hold are taken as that smallest, so the tick loops always advance.
struct ScaleTicks {
    int32_t spacing;
    int32_t step;
};
constexpr double smallestMapScale = 0.1;
ScaleTicks scaleTicksFor(double mapScale);

// A point seen from the aircraft: forward and rightward offsets (nm) for the distance and
// bearing to it and the heading the map is turned by. A distance or bearing that is not a
// finite number puts the point on the aircraft.
struct MapOffset {
    double forward, right;
};
MapOffset mapOffsetFor(double distance, double bearing, double heading);

struct MapPoint {
    double x, y;
};
MapPoint mapPointFor(const MapGeometry& map, MapOffset offset, double mapScale);

// The figures of the screen, printed as the pilot reads them. Each writes at most size bytes,
// terminator included.
void formatEta(char* out, size_t size, double distance, double speed);
void formatDistanceToGo(char* out, size_t size, double distance);

enum class DistanceBand { close, middle, distant }; // white up to 5 nm, green up to 10, red beyond
DistanceBand distanceBandFor(double distance);

// The active tour item's entry in the tour table, or -1 when the number names no item.
int32_t activeTourEntry(int32_t itemNumber, int32_t itemCount);
