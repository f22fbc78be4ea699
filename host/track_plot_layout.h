// Where the track picture's labels go: beside their markers, never over one another nor over
// any marker. Pure, so that the rule is tested on numbers, not pixels.
#pragma once
#include <cstdint>
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
