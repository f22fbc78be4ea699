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

// Whether the segment meets the closed box: their bounds overlap and the box's corners are not
// all on one side of the segment's line.
bool segmentMeetsBox(DashPoint a, DashPoint b, const LabelBox& box) {
    double right = box.x + box.width, bottom = box.y + box.height;
    if (std::fmax(a.x, b.x) < box.x || std::fmin(a.x, b.x) > right || std::fmax(a.y, b.y) < box.y ||
        std::fmin(a.y, b.y) > bottom)
        return false;
    int sides = 0;
    for (double x : {double(box.x), right})
        for (double y : {double(box.y), bottom}) {
            double across = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
            sides += (across > 0) - (across < 0);
        }
    return std::abs(sides) < 4;
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

// Crowded layouts, and markers whose first place is taken by the map's edge or a leg: every shown
// label keeps clear, and a label with a free place finds it.
TEST(TrackPlotLayout, LabelsKeepClearOrAreLeftOut) {
    std::vector<DashPoint> tour = {{400, 400}, {450, 300}, {400, 400}, {402, 398}};
    std::vector<DashPoint> corners = {{62, 62}, {837, 62}, {62, 837}, {837, 837}};
    std::vector<DashPoint> row, pile(12, DashPoint{300, 500});
    for (int i = 0; i < 30; ++i)
        row.push_back({100.0 + i * 9, 200.0 + (i % 3) * 5});
    // A leg right through where the first choice would be: the label takes another side.
    std::vector<DashPoint> crossed = {{300, 300}, {400, 250}};
    const struct {
        const char* layout;
        std::vector<DashPoint> points;
        std::vector<std::vector<DashPoint>> lines;
        size_t fewestShown;
    } cases[] = {
        {"closed tour along its legs", tour, {tour}, 3},
        {"corners of the map", corners, {}, 4},
        {"a leg through the first place", {crossed[0]}, {crossed}, 1},
        {"a row of close markers", row, {row}, 1},
        {"twelve on one spot", pile, {}, 1},
    };
    for (const auto& c : cases)
        EXPECT_GE(expectReadable(labelsAt(c.points, 40), {map, radius, c.lines}, c.layout),
                  c.fewestShown)
            << c.layout;
}

TEST(TrackPlotLayout, ALoneLabelSitsRightBesideItsMarker) {
    std::vector<LabelBox> boxes = placeLabels({{100, 100, 30, 16}}, {map, radius, {}});
    EXPECT_EQ(boxes[0].x, 100 + radius + 3);
    EXPECT_LT(boxes[0].y, 100);
    EXPECT_TRUE(boxes[0].shown);
}

// Random routes of 2 to 130 points, spread or crowded, with a track that wanders about them and
// labels of times along it: crowded ones leave labels out.
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
        std::vector<LabelRequest> labels = labelsAt(route, 20 + int(unit(random) * 80)),
                                  times = labelsAt(track, 52);
        labels.insert(labels.end(), times.begin(),
                      times.begin() + std::min<size_t>(times.size(), 20));
        EXPECT_GT(expectReadable(labels, {map, radius, {route, track}}, "random"), 0u);
    }
}

TEST(TrackPlotLayout, TheTitleFitsItsRoomAndKeepsItsNote) {
    auto widthOf = [](const std::string& s) { return int32_t(s.size()) * 10; };
    const std::string word(titleRoom.width / 30, 'w'), note = "(interrupted at 2:13:05)";
    const std::string four = word + " " + word + " " + word + " " + word;
    const struct {
        const char* what;
        std::string name, note;
        size_t lines;
        bool shortened;
    } cases[] = {
        {"short, interrupted", "Lake Michigan", note, 1, false},
        {"two lines", four, "", 2, false},
        {"too long: shortened, the note whole", std::string(20, 'x') + " " + four + " " + four,
         note, 2, true},
        {"one endless word", std::string(titleRoom.width / 3, 'k'), note, 2, true},
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
        EXPECT_TRUE(c.note.empty() || lines.back().find(c.note) != std::string::npos) << c.what;
    }
    // The room itself: above the map and clear of the north arrow, which stays in the picture.
    EXPECT_FALSE(boxesOverlap(titleRoom, northArrowBox));
    EXPECT_LE(titleRoom.y + titleLines * titleLineHeight, plotMargin);
    EXPECT_LE(northArrowBox.x + northArrowBox.width, plotSize);
}

} // namespace
