// Where the track picture's labels go (beside their markers, never over one another nor over
// any marker) and how its dashed lines are cut. Pure, so that the rules are tested on numbers,
// not pixels.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

struct LabelRequest {
    int32_t anchorX, anchorY; // the marker's centre
    int32_t width, height;    // the text's size
};

struct LabelBox {
    int32_t x, y, width, height; // top-left corner and size
    bool leader;                 // set far from its marker: draw a line to it
};

// In order: earlier labels get the nearer places. Labels stay inside the picture and clear of
// every marker (a square of markerRadius around each anchor) where any place allows.
std::vector<LabelBox> placeLabels(const std::vector<LabelRequest>& labels, int32_t markerRadius,
                                  int32_t pictureWidth, int32_t pictureHeight);

bool boxesOverlap(const LabelBox& a, const LabelBox& b);

struct DashPoint {
    double x, y;
};

// The dashes of a line through the points: dash pixels drawn, gap pixels left, in turn along
// the whole line and round its corners. Each dash is its two ends (corners are not kept inside a
// dash: dashes are short).
std::vector<std::pair<DashPoint, DashPoint>> dashesAlong(const std::vector<DashPoint>& line,
                                                         double dash, double gap);
