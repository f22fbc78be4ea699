// The flight's figures and picture geometry on longitudes that wrap at 180 degrees: a route is
// measured and drawn the same wherever on the globe it lies, the date line included.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/route_geometry.h"
#include "host/track_plot_layout.h"

namespace {

double wrapped(double longitude) {
    return longitudeStep(0, longitude);
}

std::vector<PlotWaypoint> shifted(std::vector<PlotWaypoint> route, double by) {
    for (PlotWaypoint& w : route)
        w.position.longitude = wrapped(w.position.longitude + by);
    return route;
}

std::vector<PlotPoint> shifted(std::vector<PlotPoint> track, double by) {
    for (PlotPoint& p : track)
        p.longitude = wrapped(p.longitude + by);
    return track;
}

TEST(RouteGeometry, LongitudeStepsTheShortWayRound) {
    const struct {
        double from, to, step;
    } cases[] = {{10, 20, 10},   {179, -179, 2},   {-179, 179, -2},       {-170, 170, -20},
                 {0, 180, -180}, {0, -180, -180},  {-87.75, -87.25, 0.5}, {359, 1, 2},
                 {-0.5, 0.5, 1}, {720.5, -0.5, -1}};
    for (const auto& c : cases)
        EXPECT_NEAR(longitudeStep(c.from, c.to), c.step, 1e-9) << c.from << " to " << c.to;
}

// A tour round Fiji, across the date line, flown exactly along its legs and a mile off them.
TEST(RouteGeometry, OffRouteAcrossTheDateLineIsTheDistanceFromTheLegs) {
    std::vector<PlotWaypoint> route = {{{-17.755, 177.443}, "NFFN"},
                                       {{-16.467, 179.340}, "NFNL"},
                                       {{-16.690, -179.877}, "NFNV"},
                                       {{-17.755, 177.443}, "NFFN"}};
    std::vector<PlotPoint> along, aside;
    for (size_t leg = 0; leg + 1 < route.size(); ++leg)
        for (int i = 0; i <= 20; ++i) {
            PlotPoint a = route[leg].position, b = route[leg + 1].position;
            double t = i / 20.0;
            PlotPoint p{a.latitude + (b.latitude - a.latitude) * t,
                        wrapped(a.longitude + longitudeStep(a.longitude, b.longitude) * t)};
            along.push_back(p);
            aside.push_back({p.latitude + 1 / 60.0405, p.longitude});
        }
    EXPECT_LT(largestOffRoute(route, along), 0.01);
    EXPECT_NEAR(largestOffRoute(route, aside), 1.0, 0.05) << "at most a mile north of a leg";
}

// Wherever the same route and track lie in longitude, the figure is the same, and their picture
// puts every point on the same pixel.
TEST(RouteGeometry, FiguresAndPicturesDoNotDependOnLongitude) {
    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", trial " + std::to_string(trial));
        double latitude = -60 + 120 * unit(random), longitude = -180 + 360 * unit(random);
        std::vector<PlotWaypoint> route;
        std::vector<PlotPoint> track, all;
        for (int i = 0; i < 2 + int(unit(random) * 6); ++i)
            route.push_back(
                {{latitude + 4 * unit(random) - 2, wrapped(longitude + 8 * unit(random) - 4)}, ""});
        for (int i = 0; i < 30; ++i)
            track.push_back(
                {latitude + 4 * unit(random) - 2, wrapped(longitude + 8 * unit(random) - 4)});
        double by = -360 + 720 * unit(random);
        EXPECT_NEAR(largestOffRoute(route, track),
                    largestOffRoute(shifted(route, by), shifted(track, by)), 1e-6);
        PlotFrame frame = plotFrameFor(track, 900, 60);
        PlotFrame moved = plotFrameFor(shifted(track, by), 900, 60);
        for (size_t i = 0; i < track.size(); ++i) {
            PlotPixel a = pixelOf(frame, track[i]), b = pixelOf(moved, shifted(track, by)[i]);
            EXPECT_NEAR(a.x, b.x, 1e-6);
            EXPECT_NEAR(a.y, b.y, 1e-6);
            EXPECT_TRUE(a.x >= 60 && a.x <= 840 && a.y >= 60 && a.y <= 840) << i;
        }
    }
}

TEST(RouteGeometry, LongitudeBandIsTheNarrowestThatHoldsThemAll) {
    const struct {
        std::vector<double> longitudes;
        double west, width;
    } cases[] = {{{}, 0, 0},
                 {{10}, 10, 0},
                 {{-87.9, -85.5, -87.75}, -87.9, 2.4},
                 {{179.5, -179.5}, 179.5, 1},
                 {{-179.9, 177.4, 179.3}, 177.4, 2.7},
                 {{-1, 1, 0}, -1, 2},
                 {{0, 120, -120}, -120, 240}};
    for (const auto& c : cases) {
        LongitudeBand band = longitudeBand(c.longitudes);
        EXPECT_NEAR(band.west, c.west, 1e-9) << c.longitudes.size() << " points from " << c.west;
        EXPECT_NEAR(band.width, c.width, 1e-9) << c.longitudes.size() << " points from " << c.west;
    }
}

// The picture fills its square with the points, whichever side of 180 they lie on.
TEST(RouteGeometry, PlotFillsThePictureAcrossTheDateLine) {
    std::vector<PlotPoint> fiji = {{-17.755, 177.443}, {-16.467, 179.340}, {-16.690, -179.877}};
    PlotFrame frame = plotFrameFor(fiji, 900, 60);
    double left = 900, right = 0;
    for (const PlotPoint& p : fiji) {
        left = std::fmin(left, pixelOf(frame, p).x);
        right = std::fmax(right, pixelOf(frame, p).x);
    }
    EXPECT_GT(right - left, 0.8 * 780) << "spread across the drawable width";
    EXPECT_GE(left, 60);
    EXPECT_LE(right, 840);
    EXPECT_GT(pixelOf(frame, fiji[2]).x, pixelOf(frame, fiji[1]).x) << "east of 180 is right";
}

TEST(RouteGeometry, GridStepsScaleBarsAndLabelsAreRound) {
    const struct {
        double span, step;
    } steps[] = {{1, 0.2}, {2.4, 0.5}, {7, 1}, {40, 5}, {0.03, 0.005}};
    for (const auto& s : steps)
        EXPECT_DOUBLE_EQ(roundStep(s.span), s.step) << s.span;
    const struct {
        double value, below;
    } bars[] = {{1, 1}, {130, 100}, {27, 20}, {0.7, 0.5}, {5, 5}, {9.99, 5}};
    for (const auto& b : bars)
        EXPECT_DOUBLE_EQ(roundBelow(b.value), b.below) << b.value;
    const struct {
        double longitude;
        const char* label;
    } labels[] = {{180, "180\xB0"},
                  {-180, "180\xB0"},
                  {181, "179\xB0W"},
                  {-179.5, "179.5\xB0W"},
                  {0, "0\xB0"},
                  {2.5, "2.5\xB0"
                        "E"}};
    for (const auto& l : labels)
        EXPECT_EQ(longitudeLabel(l.longitude), l.label) << l.longitude;
    EXPECT_EQ(latitudeLabel(-17), "17\xB0S");
    EXPECT_EQ(latitudeLabel(0), "0\xB0");
}

// The route's dashes: on the line, the drawn share of its length as dash to period, and none
// for a line of one point.
TEST(RouteGeometry, DashesCoverTheirShareOfTheLine) {
    std::vector<DashPoint> line = {{0, 0}, {100, 0}, {100, 37}, {20, 97}};
    double length = 100 + 37 + 100, drawn = 0;
    for (const auto& d : dashesAlong(line, 10, 6)) {
        double piece = std::hypot(d.second.x - d.first.x, d.second.y - d.first.y);
        EXPECT_LE(piece, 10 + 1e-9);
        drawn += piece;
    }
    EXPECT_NEAR(drawn, length * 10 / 16, 10);
    EXPECT_TRUE(dashesAlong({{5, 5}}, 10, 6).empty());
    EXPECT_TRUE(dashesAlong(line, 0, 6).empty()) << "no dash length, nothing drawn";
}

} // namespace
