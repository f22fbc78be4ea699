// The track picture's labels and title: a shown label touches no line, marker or other label,
// stays inside the map and beside what it names; what finds no place is left out. The title
// fits its room, clear of the north arrow, and keeps its note whole.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "host/track_plot_layout.h"

namespace {

constexpr int32_t radius = 6;
const LabelBox map = {plotMargin, plotMargin, plotSize - 2 * plotMargin, plotSize - 2 * plotMargin,
                      true};

// Whether the segment meets the closed box, by clipping it to the box's four sides.
bool segmentMeetsBox(DashPoint a, DashPoint b, const LabelBox& box) {
    double from = 0, to = 1, dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - box.x, box.x + box.width - a.x, a.y - box.y,
                        box.y + box.height - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::fmax(from, t);
        else
            to = std::fmin(to, t);
    }
    return from <= to;
}

// Every shown label against every rule; the number shown.
size_t expectReadable(const std::vector<LabelRequest>& labels, const LabelScene& scene,
                      const std::string& layout) {
    std::vector<LabelBox> boxes = placeLabels(labels, scene);
    EXPECT_EQ(boxes.size(), labels.size()) << layout;
    size_t shown = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        if (!b.shown)
            continue;
        ++shown;
        EXPECT_TRUE(b.x >= map.x && b.y >= map.y && b.x + b.width <= map.x + map.width &&
                    b.y + b.height <= map.y + map.height)
            << layout << ": label " << i << " leaves the map";
        EXPECT_EQ(b.width, labels[i].width) << layout;
        double centreX = b.x + b.width / 2.0, centreY = b.y + b.height / 2.0;
        EXPECT_LT(
            std::hypot(centreX - labels[i].anchorX, centreY - labels[i].anchorY),
            std::hypot(b.width / 2.0 + radius + 4 + 1.5 * b.height, radius + 4 + 1.5 * b.height))
            << layout << ": label " << i << " away from its marker";
        for (size_t j = 0; j < boxes.size(); ++j) {
            EXPECT_FALSE(j > i && boxes[j].shown && boxesOverlap(b, boxes[j]))
                << layout << ": labels " << i << ", " << j;
            LabelBox marker{labels[j].anchorX - radius, labels[j].anchorY - radius, 2 * radius + 1,
                            2 * radius + 1, true};
            EXPECT_FALSE(boxesOverlap(b, marker))
                << layout << ": label " << i << " on marker " << j;
        }
        for (const auto& line : scene.lines)
            for (size_t k = 1; k < line.size(); ++k)
                EXPECT_FALSE(segmentMeetsBox(line[k - 1], line[k], b))
                    << layout << ": label " << i << " on a line at " << line[k].x << ","
                    << line[k].y;
    }
    return shown;
}

std::vector<LabelRequest> labelsAt(const std::vector<DashPoint>& points, int32_t width) {
    std::vector<LabelRequest> labels;
    for (const DashPoint& p : points)
        labels.push_back({int32_t(std::lround(p.x)), int32_t(std::lround(p.y)), width, 16});
    return labels;
}

TEST(TrackPlotLayout, LabelsKeepClearOrAreLeftOut) {
    std::vector<DashPoint> tour = {{400, 400}, {450, 300}, {400, 400}, {402, 398}};
    std::vector<DashPoint> corners = {{62, 62}, {837, 62}, {62, 837}, {837, 837}};
    std::vector<DashPoint> row, pile(12, DashPoint{300, 500});
    for (int i = 0; i < 30; ++i)
        row.push_back({100.0 + i * 9, 200.0 + (i % 3) * 5});
    // A leg right through where the first choice would be: the label takes another side.
    std::vector<DashPoint> crossed = {{300, 300}, {400, 250}};
    // Rows closer than a label is high, wider than its farthest place.
    std::vector<DashPoint> scribble;
    for (int k = 0; k < 8; ++k)
        scribble.insert(scribble.end(), {{440, 440.0 + 18 * k}, {560, 440.0 + 18 * k}});
    const struct {
        const char* layout;
        std::vector<DashPoint> points;
        std::vector<std::vector<DashPoint>> lines;
        size_t fewestShown, mostShown;
    } cases[] = {
        {"closed tour along its legs", tour, {tour}, 3, 4},
        {"corners of the map", corners, {}, 4, 4},
        {"a leg through the first place", {crossed[0]}, {crossed}, 1, 1},
        {"a row of close markers", row, {row}, 1, 29},
        {"twelve on one spot", pile, {}, 1, 11},
        {"a marker inside a scribble", {{500, 500}}, {scribble}, 0, 0},
    };
    for (const auto& c : cases) {
        size_t shown = expectReadable(labelsAt(c.points, 40), {map, radius, c.lines}, c.layout);
        EXPECT_GE(shown, c.fewestShown) << c.layout;
        EXPECT_LE(shown, c.mostShown) << c.layout;
    }
}

TEST(TrackPlotLayout, ALoneLabelSitsRightBesideItsMarker) {
    std::vector<LabelBox> boxes = placeLabels({{100, 100, 30, 16}}, {map, radius, {}});
    EXPECT_EQ(boxes[0].x, 100 + radius + 3);
    EXPECT_LT(boxes[0].y, 100);
    EXPECT_TRUE(boxes[0].shown);
}

// Random routes of 2 to 130 points, spread or crowded, with a track that wanders about them.
TEST(TrackPlotLayout, RandomRoutesAndTracksKeepTheirLabelsClear) {
    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int trial = 0; trial < 16; ++trial) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", trial " + std::to_string(trial));
        double spread = trial % 2 ? 760 : 120;
        std::vector<DashPoint> route, track;
        for (int i = 0, n = 2 + int(unit(random) * 129); i < n; ++i)
            route.push_back({70 + unit(random) * spread, 70 + unit(random) * spread});
        for (size_t i = 1; i < route.size(); ++i)
            for (double t = 0; t < 1; t += 0.1)
                track.push_back(
                    {route[i - 1].x + (route[i].x - route[i - 1].x) * t + unit(random) * 8,
                     route[i - 1].y + (route[i].y - route[i - 1].y) * t + unit(random) * 8});
        std::vector<LabelRequest> labels = labelsAt(route, 20 + int(unit(random) * 80));
        std::vector<LabelRequest> times = labelsAt(track, 52);
        labels.insert(labels.end(), times.begin(),
                      times.begin() + std::min<size_t>(times.size(), 20));
        size_t shown = expectReadable(labels, {map, radius, {route, track}}, "random");
        EXPECT_GT(shown, 0u) << "some label finds a place";
    }
}

TEST(TrackPlotLayout, TheTitleFitsItsRoomAndKeepsItsNote) {
    auto widthOf = [](const std::string& s) { return int32_t(s.size()) * 10; };
    const int32_t perLine = titleRoom.width / 10;
    const std::string word(perLine / 3, 'w'), note = "(interrupted at 2:13:05)";
    const struct {
        const char* what;
        std::string name, note;
        size_t lines;
        bool shortened;
    } cases[] = {
        {"short", "Lake Michigan", "", 1, false},
        {"short, interrupted", "Lake Michigan", note, 1, false},
        {"two lines", word + " " + word + " " + word + " " + word, "", 2, false},
        {"too long: shortened, the note whole",
         std::string(20, 'x') + " " + word + " " + word + " " + word + " " + word + " " + word +
             " " + word,
         note, 2, true},
        {"one endless word", std::string(3 * perLine, 'k'), note, 2, true},
        {"nothing", "", "", 0, false},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines = fitTitle(c.name, c.note, widthOf);
        EXPECT_EQ(lines.size(), c.lines) << c.what;
        std::string all;
        for (const std::string& line : lines) {
            EXPECT_LE(widthOf(line), titleRoom.width) << c.what << ": " << line;
            all += line + " ";
        }
        EXPECT_EQ(all.find("...") != std::string::npos, c.shortened) << c.what;
        if (!c.note.empty()) {
            EXPECT_NE(lines.back().find(c.note), std::string::npos) << c.what;
        }
    }
    // The room itself: inside the picture, above the map, clear of the north arrow.
    EXPECT_FALSE(boxesOverlap(titleRoom, northArrowBox));
    EXPECT_LE(titleRoom.y + titleLines * titleLineHeight, plotMargin);
    EXPECT_GE(titleRoom.x, 0);
    EXPECT_LE(northArrowBox.x + northArrowBox.width, plotSize);
}

} // namespace
