// The flight's figures and picture geometry on longitudes that wrap at 180 degrees: a route is
// measured and drawn the same wherever on the globe it lies, the date line included.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/flight_model.h"
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
    std::vector<PlotPoint> along = greatCircleLine(route, 2), aside;
    for (const PlotPoint& p : along)
        aside.push_back({p.latitude + 1 / 60.0405, p.longitude});
    EXPECT_LT(largestOffRoute(route, along), 0.01);
    EXPECT_NEAR(largestOffRoute(route, aside), 1.0, 0.05) << "at most a mile north of a leg";
}

// Distances to a great-circle leg by hand where a walk along it would not tell them, in degrees
// of arc (60.0405 nm on the 6371 km sphere).
TEST(RouteGeometry, DistanceFromALegIsMeasuredOnTheSphere) {
    const double degree = earthRadiusNm * 3.141592653589793 / 180;
    const struct {
        const char* what;
        PlotPoint point, a, b;
        double nm;
    } cases[] = {
        {"abeam on the equator", {1, 0}, {0, -20}, {0, 20}, degree},
        {"over the pole, a degree off", {89, 90}, {80, 0}, {80, 180}, degree},
        {"across the date line, east of it", {0.5, -175}, {0, 170}, {0, -170}, 0.5 * degree},
        {"a leg of no length", {46, 10}, {45, 10}, {45, 10}, degree},
        {"at the pole of the leg's circle", {90, 0}, {0, -20}, {0, 20}, 90 * degree},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(distanceFromLeg(c.point, c.a, c.b), c.nm, 1e-6) << c.what;
}

// Random legs anywhere, the poles and the date line included: the distance is the least to any
// point of the leg, found by walking it, and does not depend on the leg's direction.
TEST(RouteGeometry, DistanceFromALegIsTheLeastToAnyPointOfIt) {
    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    auto anywhere = [&] {
        return PlotPoint{std::asin(2 * unit(random) - 1) * 180 / 3.141592653589793,
                         360 * unit(random) - 180};
    };
    auto nm = [](PlotPoint x, PlotPoint y) {
        return sphereDistance(x.latitude, x.longitude, y.latitude, y.longitude);
    };
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", trial " + std::to_string(trial));
        PlotPoint a = anywhere(), b = anywhere(), p = anywhere();
        if (trial % 3 == 0) // a short leg, where the figure matters most
            b = {std::fmax(-90, std::fmin(90, a.latitude + unit(random) * 4 - 2)),
                 wrapped(a.longitude + unit(random) * 4 - 2)};
        if (nm(a, b) > 10700)
            continue; // near the antipode the leg's circle is not one
        double least = 1e18, d = distanceFromLeg(p, a, b);
        for (const PlotPoint& s : greatCircleLine({{a, ""}, {b, ""}}, 2)) {
            EXPECT_NEAR(nm(a, s) + nm(s, b), nm(a, b), 1e-6) << "the walk is on the leg";
            least = std::fmin(least, nm(p, s));
        }
        EXPECT_LE(d, least + 1e-6);
        EXPECT_GE(d, least - 1.0) << "within half the 2 nm walk";
        EXPECT_NEAR(distanceFromLeg(p, b, a), d, 1e-6);
    }
}

// The line round the world is cut at the meridian opposite the picture's centre into runs that
// end at its two sides; a route across the date line alone stays one run.
TEST(RouteGeometry, LinesAreCutWhereTheyGoRoundTheWorld) {
    std::vector<PlotWaypoint> round, fiji = {{{-17.755, 177.443}, ""}, {{-16.690, -179.877}, ""}};
    for (int lon = -150; lon <= 180; lon += 30)
        round.push_back({{60, double(lon)}, ""});
    round.push_back(round.front());
    for (const auto& route : {round, fiji}) {
        std::vector<PlotPoint> line = greatCircleLine(route, 5);
        PlotFrame frame = plotFrameFor(line, 900, 60);
        auto runs = pixelRuns(frame, line);
        ASSERT_EQ(runs.size(), route.size() > 2 ? 2u : 1u);
        for (const auto& run : runs)
            for (size_t i = 1; i < run.size(); ++i)
                EXPECT_LT(std::fabs(run[i].x - run[i - 1].x), 60) << "no piece across the picture";
        EXPECT_EQ(runs.front().front().x, pixelOf(frame, line.front()).x);
        EXPECT_EQ(runs.back().back().x, pixelOf(frame, line.back()).x);
    }
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

// Over either pole the picture is drawn round it: a leg across the pole is a straight line
// through it, the centre meridian runs straight from the pole towards the equator, and east is
// to the right of it.
TEST(RouteGeometry, RoutesNearAPoleAreDrawnRoundIt) {
    for (int32_t pole : {1, -1}) {
        SCOPED_TRACE(pole);
        std::vector<PlotWaypoint> route;
        for (PlotPoint p : {PlotPoint{78.2, 15.5}, {86, 40}, {86, -140}, {71.3, -156.8}})
            route.push_back({{pole * p.latitude, p.longitude}, ""});
        std::vector<PlotPoint> line = greatCircleLine(route, 5);
        PlotFrame frame = plotFrameFor(line, 900, 60);
        ASSERT_EQ(frame.pole, pole);
        PlotPixel a = pixelOf(frame, route[1].position), b = pixelOf(frame, route[2].position);
        for (const PlotPoint& p : line) {
            PlotPixel at = pixelOf(frame, p);
            EXPECT_TRUE(at.x >= 60 && at.x <= 840 && at.y >= 60 && at.y <= 840) << p.longitude;
            double across = (b.x - a.x) * (at.y - a.y) - (b.y - a.y) * (at.x - a.x);
            EXPECT_TRUE(pole * p.latitude < 86 || // else on the leg over the pole
                        std::fabs(across) / std::hypot(b.x - a.x, b.y - a.y) < 0.5)
                << "off the line at " << p.longitude;
        }
        PlotPixel below = pixelOf(frame, {pole * 75.0, frame.centreLongitude});
        PlotPixel east = pixelOf(frame, {pole * 75.0, frame.centreLongitude + 10});
        EXPECT_NEAR(below.x, frame.poleX, 1e-9);
        EXPECT_GT(pole * (below.y - frame.poleY), 0) << "towards the equator";
        EXPECT_GT(east.x, below.x) << "east to the right";
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
