// Where the track picture's title and labels go (beside their markers, never over one another,
// a marker, the route or the track; a label with no such place is left out) and how its dashed
// lines are cut. Pure, so that the rules are tested on numbers, not pixels.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct DashPoint {
    double x, y;
};

struct LabelRequest {
    int32_t anchorX, anchorY; // the marker's centre
    int32_t width, height;    // the text's size
};

struct LabelBox {
    int32_t x, y, width, height; // top-left corner and size
    bool shown;                  // false: no free place beside the marker, the label is left out
};

// The square picture: the map inside its margins, the north arrow in the top right corner, and
// the title's room above the map, left of the arrow.
constexpr int32_t plotSize = 900, plotMargin = 60;
constexpr LabelBox northArrowBox = {plotSize - plotMargin / 2 - 12, 14, 24, 56, true};
constexpr LabelBox titleRoom = {plotMargin, 2, northArrowBox.x - 12 - plotMargin, 42, true};
constexpr int32_t titleLineHeight = 21, titleLines = 2;

// What labels must keep clear of: the lines through the points (in pixels, as drawn) and a
// square of markerRadius round every label's anchor; labels stay inside area.
struct LabelScene {
    LabelBox area;
    int32_t markerRadius;
    std::vector<std::vector<DashPoint>> lines;
};

// In order: earlier labels get the nearer places. Every shown label touches no line, marker or
// other shown label.
std::vector<LabelBox> placeLabels(const std::vector<LabelRequest>& labels, const LabelScene& scene);

bool boxesOverlap(const LabelBox& a, const LabelBox& b);

// The title in at most titleLines lines of titleRoom's width, words kept whole where they fit;
// a name too long is cut short with "..." so that the note after it (such as where the flight
// was interrupted) is always there whole.
std::vector<std::string> fitTitle(const std::string& name, const std::string& note,
                                  const std::function<int32_t(const std::string&)>& widthOf);

// The dashes of a line through the points: dash pixels drawn, gap pixels left, in turn along
// the whole line and round its corners. Each dash is its two ends (corners are not kept inside a
// dash: dashes are short).
std::vector<std::pair<DashPoint, DashPoint>> dashesAlong(const std::vector<DashPoint>& line,
                                                         double dash, double gap);
