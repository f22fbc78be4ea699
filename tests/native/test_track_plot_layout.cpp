// The track picture's labels: never over one another, never over a marker, inside the picture,
// and near what they name, for the layouts that crowd them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/track_plot_layout.h"

namespace {

constexpr int32_t size = 900, radius = 6;

void expectReadable(const std::vector<LabelRequest>& labels, const char* layout) {
    std::vector<LabelBox> boxes = placeLabels(labels, radius, size, size);
    ASSERT_EQ(boxes.size(), labels.size()) << layout;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const LabelBox& b = boxes[i];
        EXPECT_TRUE(b.x >= 0 && b.y >= 0 && b.x + b.width <= size && b.y + b.height <= size)
            << layout << ": label " << i << " leaves the picture";
        EXPECT_EQ(b.width, labels[i].width) << layout;
        double centreX = b.x + b.width / 2.0, centreY = b.y + b.height / 2.0;
        EXPECT_LT(std::hypot(centreX - labels[i].anchorX, centreY - labels[i].anchorY), 250)
            << layout << ": label " << i << " far from its marker";
        for (size_t j = 0; j < boxes.size(); ++j) {
            if (j > i) {
                EXPECT_FALSE(boxesOverlap(b, boxes[j])) << layout << ": labels " << i << ", " << j;
            }
            LabelBox marker{labels[j].anchorX - radius, labels[j].anchorY - radius, 2 * radius + 1,
                            2 * radius + 1, false};
            EXPECT_FALSE(boxesOverlap(b, marker))
                << layout << ": label " << i << " on marker " << j;
        }
    }
}

TEST(TrackPlotLayout, CrowdedLabelsStayApartAndNearTheirMarkers) {
    // A tour that ends where it began: "Start" and the last item on one point, and the first
    // sequencing time beside them.
    expectReadable({{400, 400, 34, 16}, {450, 300, 26, 16}, {400, 400, 26, 16}, {402, 398, 52, 16}},
                   "closed tour");
    // Twelve labels on one spot, and a row of close markers.
    std::vector<LabelRequest> pile(12, LabelRequest{300, 500, 40, 16}), row;
    expectReadable(pile, "pile");
    for (int32_t i = 0; i < 30; ++i)
        row.push_back({100 + i * 9, 200 + (i % 3) * 5, 26, 16});
    expectReadable(row, "row");
    // Markers in the corners: the labels turn inward.
    expectReadable({{2, 2, 60, 16}, {897, 2, 60, 16}, {2, 897, 60, 16}, {897, 897, 60, 16}},
                   "corners");
}

TEST(TrackPlotLayout, ALoneLabelSitsRightBesideItsMarker) {
    std::vector<LabelBox> boxes = placeLabels({{100, 100, 30, 16}}, radius, size, size);
    EXPECT_EQ(boxes[0].x, 100 + radius + 2);
    EXPECT_LT(boxes[0].y, 100);
    EXPECT_FALSE(boxes[0].leader);
}

} // namespace
