#include "track_plot_layout.h"

#include <algorithm>
#include <cmath>

namespace {

// The places tried around a marker, nearest first: right above, right below, left above, left
// below, above, below, right, left; then the same a half, one and one and a half lines farther out.
// No farther: a label away from its point would need a line to it, and many such lines make a web.
const int32_t directions[][2] = {{1, -1}, {1, 1}, {-1, -1}, {-1, 1},
                                 {0, -1}, {0, 1}, {1, 0},   {-1, 0}};
constexpr int32_t steps = 4;
constexpr int32_t lineClearance = 2; // pixels kept free each side of a line's centre
constexpr int32_t labelSpacing = 3;  // pixels between two labels, so that they read as two

LabelBox candidate(const LabelRequest& l, int32_t step, const int32_t* direction, int32_t gap) {
    int32_t reach = gap + step * l.height / 2;
    int32_t x = direction[0] > 0   ? l.anchorX + reach
                : direction[0] < 0 ? l.anchorX - reach - l.width
                                   : l.anchorX - l.width / 2;
    int32_t y = direction[1] > 0 ? l.anchorY + (direction[0] ? reach - l.height / 2 : reach)
                : direction[1] < 0
                    ? l.anchorY - (direction[0] ? reach - l.height / 2 : reach) - l.height
                    : l.anchorY - l.height / 2;
    return {x, y, l.width, l.height, true};
}

bool inside(const LabelBox& b, const LabelBox& area) {
    return b.x >= area.x && b.y >= area.y && b.x + b.width <= area.x + area.width &&
           b.y + b.height <= area.y + area.height;
}

// The pixels that lines and markers take, counted so that any box is tested at once: each
// entry is the number of taken pixels above and left of it (a summed-area table).
class TakenPixels {
  public:
    TakenPixels(const LabelScene& scene, const std::vector<LabelRequest>& labels)
        : width_(scene.area.x + scene.area.width), height_(scene.area.y + scene.area.height),
          taken_(size_t(width_) * height_, 0), sums_(size_t(width_ + 1) * (height_ + 1), 0) {
        for (const auto& line : scene.lines)
            for (size_t i = 1; i < line.size(); ++i)
                takeSegment(line[i - 1], line[i]);
        for (const LabelRequest& l : labels)
            take(l.anchorX, l.anchorY, scene.markerRadius + 1);
        for (int32_t y = 0; y < height_; ++y)
            for (int32_t x = 0; x < width_; ++x)
                sums_[at(x + 1, y + 1)] = taken_[size_t(y) * width_ + x] + sums_[at(x, y + 1)] +
                                          sums_[at(x + 1, y)] - sums_[at(x, y)];
    }

    // The box lies inside the area (checked before).
    bool free(const LabelBox& b) const {
        return sums_[at(b.x + b.width, b.y + b.height)] - sums_[at(b.x, b.y + b.height)] -
                   sums_[at(b.x + b.width, b.y)] + sums_[at(b.x, b.y)] ==
               0;
    }

  private:
    size_t at(int32_t x, int32_t y) const { return size_t(y) * (width_ + 1) + x; }

    void take(int32_t cx, int32_t cy, int32_t radius) {
        for (int32_t y = std::max(0, cy - radius); y <= std::min(height_ - 1, cy + radius); ++y)
            for (int32_t x = std::max(0, cx - radius); x <= std::min(width_ - 1, cx + radius); ++x)
                taken_[size_t(y) * width_ + x] = 1;
    }

    // Samples half a pixel apart, each taking the pixels round it: a box that the segment
    // crosses, even at a corner, holds one of them.
    void takeSegment(DashPoint a, DashPoint b) {
        int32_t samples = int32_t(std::ceil(std::hypot(b.x - a.x, b.y - a.y) * 2)) + 1;
        for (int32_t i = 0; i <= samples; ++i) {
            double t = double(i) / samples;
            take(int32_t(std::floor(a.x + (b.x - a.x) * t)),
                 int32_t(std::floor(a.y + (b.y - a.y) * t)), lineClearance);
        }
    }

    int32_t width_, height_;
    std::vector<uint8_t> taken_;
    std::vector<int32_t> sums_;
};

bool apart(const LabelBox& b, const std::vector<LabelBox>& placed) {
    return std::none_of(placed.begin(), placed.end(), [&](const LabelBox& other) {
        return other.shown && boxesOverlap(b, {other.x - labelSpacing, other.y - labelSpacing,
                                               other.width + 2 * labelSpacing,
                                               other.height + 2 * labelSpacing, true});
    });
}

// Cuts text to what fits in width, with "..." where it was cut.
std::string fitLine(const std::string& text,
                    const std::function<int32_t(const std::string&)>& widthOf) {
    if (widthOf(text) <= titleRoom.width)
        return text;
    std::string cut = text;
    while (!cut.empty() && widthOf(cut + "...") > titleRoom.width)
        cut.pop_back();
    return cut + "...";
}

std::vector<std::string> wrapWords(const std::vector<std::string>& words,
                                   const std::function<int32_t(const std::string&)>& widthOf) {
    std::vector<std::string> lines;
    for (const std::string& word : words)
        if (!lines.empty() && widthOf(lines.back() + " " + word) <= titleRoom.width)
            lines.back() += " " + word;
        else
            lines.push_back(fitLine(word, widthOf));
    return lines;
}

} // namespace

bool boxesOverlap(const LabelBox& a, const LabelBox& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

std::vector<LabelBox> placeLabels(const std::vector<LabelRequest>& labels,
                                  const LabelScene& scene) {
    TakenPixels taken(scene, labels);
    std::vector<LabelBox> placed;
    int32_t gap = scene.markerRadius + lineClearance + 1;
    for (const LabelRequest& l : labels) {
        LabelBox chosen = candidate(l, 0, directions[0], gap);
        chosen.shown = false;
        for (int32_t step = 0; step < steps && !chosen.shown; ++step)
            for (const auto& direction : directions) {
                LabelBox b = candidate(l, step, direction, gap);
                if (!inside(b, scene.area) || !taken.free(b) || !apart(b, placed))
                    continue;
                chosen = b;
                break;
            }
        placed.push_back(chosen);
    }
    return placed;
}

std::vector<std::string> fitTitle(const std::string& name, const std::string& note,
                                  const std::function<int32_t(const std::string&)>& widthOf) {
    std::vector<std::string> words;
    for (size_t from = 0; from < name.size();) {
        size_t space = std::min(name.find(' ', from), name.size());
        if (space > from)
            words.push_back(name.substr(from, space - from));
        from = space + 1;
    }
    // The name gives way a word at a time, the note never.
    for (size_t keep = words.size();; --keep) {
        std::vector<std::string> shown(words.begin(), words.begin() + keep);
        if (keep < words.size() && keep > 0)
            shown.back() += "...";
        else if (keep < words.size())
            shown.push_back("...");
        if (!note.empty())
            shown.push_back(note);
        std::vector<std::string> lines = wrapWords(shown, widthOf);
        if (lines.size() <= size_t(titleLines) || keep == 0)
            return lines;
    }
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
