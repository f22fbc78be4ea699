#include "host/track_plot_layout.h"

#include <cmath>

namespace {

// The places tried around a marker, nearest first: right above, right below, left above, left
// below, above, below, right, left; then the same farther out, ring by ring.
const int32_t directions[][2] = {{1, -1}, {1, 1}, {-1, -1}, {-1, 1},
                                 {0, -1}, {0, 1}, {1, 0},   {-1, 0}};
constexpr int32_t rings = 60;

LabelBox candidate(const LabelRequest& l, int32_t ring, const int32_t* direction, int32_t gap) {
    int32_t reach = gap + ring * l.height;
    int32_t x = direction[0] > 0   ? l.anchorX + reach
                : direction[0] < 0 ? l.anchorX - reach - l.width
                                   : l.anchorX - l.width / 2;
    int32_t y = direction[1] > 0 ? l.anchorY + (direction[0] ? reach - l.height / 2 : reach)
                : direction[1] < 0
                    ? l.anchorY - (direction[0] ? reach - l.height / 2 : reach) - l.height
                    : l.anchorY - l.height / 2;
    return {x, y, l.width, l.height, ring > 0};
}

bool inside(const LabelBox& b, int32_t width, int32_t height) {
    return b.x >= 0 && b.y >= 0 && b.x + b.width <= width && b.y + b.height <= height;
}

} // namespace

bool boxesOverlap(const LabelBox& a, const LabelBox& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

std::vector<LabelBox> placeLabels(const std::vector<LabelRequest>& labels, int32_t markerRadius,
                                  int32_t pictureWidth, int32_t pictureHeight) {
    std::vector<LabelBox> markers, placed;
    for (const LabelRequest& l : labels)
        markers.push_back({l.anchorX - markerRadius, l.anchorY - markerRadius, 2 * markerRadius + 1,
                           2 * markerRadius + 1, false});
    int32_t gap = markerRadius + 2;
    for (const LabelRequest& l : labels) {
        // First choice: clear of labels and markers, inside; failing that, clear of labels.
        LabelBox best{}, fallback{};
        bool found = false, fell = false;
        for (int32_t ring = 0; ring < rings && !found; ++ring) {
            for (const auto& direction : directions) {
                LabelBox b = candidate(l, ring, direction, gap);
                bool free = true, clearOfMarkers = inside(b, pictureWidth, pictureHeight);
                for (const LabelBox& other : placed)
                    free = free && !boxesOverlap(b, other);
                for (const LabelBox& m : markers)
                    clearOfMarkers = clearOfMarkers && !boxesOverlap(b, m);
                if (free && !fell) {
                    fallback = b;
                    fell = true;
                }
                if (free && clearOfMarkers) {
                    best = b;
                    found = true;
                    break;
                }
            }
        }
        placed.push_back(found ? best : fell ? fallback : candidate(l, 0, directions[0], gap));
    }
    return placed;
}

std::vector<std::pair<DashPoint, DashPoint>> dashesAlong(const std::vector<DashPoint>& line,
                                                         double dash, double gap) {
    std::vector<std::pair<DashPoint, DashPoint>> dashes;
    if (dash <= 0 || gap < 0)
        return dashes;
    double phase = 0; // distance into the current dash-and-gap period
    for (size_t i = 1; i < line.size(); ++i) {
        DashPoint a = line[i - 1], b = line[i];
        double length = std::hypot(b.x - a.x, b.y - a.y);
        double at = 0;
        // Steps too small to move a point on would never end the walk: they close a part.
        while (length - at > 1e-9) {
            bool drawing = phase < dash;
            double left = drawing ? dash - phase : dash + gap - phase;
            if (left < 1e-9) {
                phase = drawing ? dash : 0;
                continue;
            }
            double step = std::fmin(length - at, left);
            if (drawing) {
                double from = at / length, to = (at + step) / length;
                dashes.push_back({{a.x + (b.x - a.x) * from, a.y + (b.y - a.y) * from},
                                  {a.x + (b.x - a.x) * to, a.y + (b.y - a.y) * to}});
            }
            at += step;
            phase = std::fmod(phase + step, dash + gap);
        }
    }
    return dashes;
}
