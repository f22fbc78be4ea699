// The screen as the simulator receives it: the pixels of the screen image after redraws of the
// real gauge in the stand-in host, with the real dialog library holding the destination.
// Colours drawn through GDI are compared by RGB through the colour table; only the navy of the
// copy, which the gauge writes itself, is compared by index.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <set>
#include <vector>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/screen_colours.h"
#include "common/sim_ids.h"
#include "gauge/map_geometry.h"
#include "gauge/screen_area.h"
#include "host/panel_host.h"
#include "testkit/gauge_fixture.h"
#include "testkit/kept_block.h"
#include "nav_reference.h"
#include "testkit/test_support.h"

namespace {

constexpr uint32_t black = 0x000000, navy = 0x000080, olive = 0x808000, lightGrey = 0xC0C0C0,
                   darkGrey = 0x484848, orange = 0xFF8000, red = 0xFF0000, green = 0x00FF00,
                   blue = 0x0000FF, cyan = 0x00FFFF, white = 0xFFFFFF;

const double aircraftLat = 41.7868, aircraftLon = -87.7522;

struct Screen : GaugeBesideLibrary {
    void SetUp() override {
        enterFreshFolder();
        ASSERT_TRUE(putDialogLibraryHere());
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
        placeAircraft(aircraftLat, aircraftLon);
        setVariable(varHeading, 0);
    }

    // An airport destination at the given distance due north of the aircraft.
    ExchangeRecord northOf(double nm, const char* ident = "KMKE") {
        ExchangeRecord r{};
        std::strcpy(r.ident, ident);
        std::strcpy(r.name, "Milwaukee Mitchell");
        r.latitude = latitudeFromDegrees(aircraftLat + nm * 1.852 / 6371 * 57.29578);
        r.longitude = longitudeFromDegrees(aircraftLon);
        return r;
    }
    void start(ExchangeRecord destination) {
        ASSERT_EQ(setData(&destination), 1);
        hostInstall();
        hostInitialize();
    }
    static void redraw(int times = 1) {
        for (int i = 0; i < 13 * times; ++i)
            hostUpdate();
    }

    static const ImageRecord* image() { return installedImage(screenBitmapId); }
    static uint8_t at(int32_t x, int32_t y) { return image()->pixels[y * image()->rowBytes + x]; }
    static uint32_t rgbAt(int32_t x, int32_t y) { return canvasColourTable[at(x, y)]; }
    // Pixels of the colour strictly inside the rectangle (outlines left out).
    static int count(const ScreenRect& r, uint32_t rgb) {
        int n = 0;
        for (int32_t y = r.top + 1; y < r.bottom - 1; ++y)
            for (int32_t x = r.left + 1; x < r.right - 1; ++x)
                n += rgbAt(x, y) == rgb;
        return n;
    }
    static ScreenMetrics metrics() {
        ScreenMetrics m{};
        EXPECT_TRUE(screenMetricsFor(280, 316, image()->rowBytes, image()->byteSize, m));
        return m;
    }
    static constexpr int32_t screenBitmapId = 102;
};

// Every pixel that was 0 in the installed picture stays 0; every other one is drawn, and what
// is black on the canvas arrives as navy.
void expectCopyRule(const std::vector<uint8_t>& before, const ImageRecord* image) {
    int zeroKept = 0, navyCount = 0;
    for (uint32_t i = 0; i < image->byteSize; ++i) {
        if (before[i] == 0) {
            ASSERT_EQ(image->pixels[i], 0) << "byte " << i;
            ++zeroKept;
        } else {
            ASSERT_NE(image->pixels[i], 0) << "byte " << i;
            navyCount += image->pixels[i] == colourNavy;
        }
    }
    EXPECT_GT(zeroKept, 0);
    EXPECT_GT(navyCount, int(image->byteSize / 3)) << "the black background arrives as navy";
}

std::vector<uint8_t> pixelsOf(const ImageRecord* image) {
    return std::vector<uint8_t>(image->pixels, image->pixels + image->byteSize);
}

TEST_F(Screen, DesignSizeLayout) {
    start(northOf(12));
    std::vector<uint8_t> before = pixelsOf(image());
    for (int32_t y = 0; y < 316; ++y)
        for (int32_t x = 0; x < 280; ++x)
            ASSERT_EQ(before[y * 280 + x] != 0, screenAreaContains(x, y)) << x << "," << y;
    redraw();
    expectCopyRule(before, image());

    ScreenMetrics m = metrics();
    for (int32_t i = 0; i < 7; ++i) {
        ScreenRect r = buttonRect(m, i < 2, i < 2 ? i : i - 2);
        EXPECT_EQ(at(r.left, r.top), colourNavy) << "outline of button " << i;
        EXPECT_EQ(at(r.right - 1, r.bottom - 1), colourNavy) << "outline of button " << i;
        EXPECT_EQ(rgbAt(r.left + 2, r.top + 2), lightGrey) << "face of button " << i;
        EXPECT_EQ(rgbAt(r.right - 3, r.bottom - 3), lightGrey) << "face of button " << i;
        EXPECT_EQ(at(r.left - 1, r.top + 5), colourNavy) << "left of button " << i;
    }
    MapGeometry map = mapGeometryFor(m);
    EXPECT_EQ(rgbAt(27, 120), darkGrey) << "frame left";
    EXPECT_EQ(rgbAt(100, 252), darkGrey) << "frame bottom";
    EXPECT_EQ(rgbAt(60, 209), blue) << "horizontal cross-hair";
    EXPECT_EQ(rgbAt(140, 240), blue) << "vertical cross-hair";
    EXPECT_EQ(rgbAt(140, 209 + 25), cyan) << "downward tick at scale 5";
    EXPECT_EQ(rgbAt(140 + 50, 209), cyan) << "rightward tick";
    EXPECT_EQ(rgbAt(140, 212), white) << "aircraft symbol";

    EXPECT_GT(count(titleRect(m), white), 20) << "title";
    EXPECT_GT(count(etaRect(m), red), 20) << "ETA";
    EXPECT_GT(count(destinationRect(m), green), 20) << "destination line";
    EXPECT_GT(count(map.topLine, white), 40) << "heading box";
    EXPECT_GT(count(map.distanceLine, red), 10) << "12 nm to go is red";
    // The upward tick labels: cyan right of the cross-hair, each centred on its tick.
    ScreenRect label = {142, 209 - 25 - 8, 170, 209 - 25 + 8};
    EXPECT_GT(count(label, cyan), 5);
}

TEST_F(Screen, ButtonLabelsFollowScaleCouplingAndMode) {
    const struct {
        double scale;
        bool plusOlive, minusOlive;
    } cases[] = {{20, true, false}, {0.2, false, true}, {5, false, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(writeKeptBlock({0, 0, c.scale, 0}));
        start(northOf(12));
        redraw();
        ScreenMetrics m = metrics();
        EXPECT_EQ(count(buttonRect(m, true, 0), olive) > 0, c.plusOlive) << c.scale;
        EXPECT_EQ(count(buttonRect(m, true, 1), olive) > 0, c.minusOlive) << c.scale;
        EXPECT_EQ(count(buttonRect(m, false, 0), olive), 0) << "DLG is always black";
        EXPECT_GT(count(buttonRect(m, false, 2), olive), 10) << "AP: not coupled";
        EXPECT_GT(count(buttonRect(m, false, 3), olive), 10) << "Prev in airport mode";
        EXPECT_GT(count(buttonRect(m, false, 4), olive), 10) << "Next in airport mode";
        hostKill();
    }
    ExchangeRecord coupled = northOf(12);
    coupled.airportAutopilot = 1;
    start(coupled);
    redraw();
    ScreenRect ap = buttonRect(metrics(), false, 2);
    EXPECT_EQ(count(ap, olive), 0) << "AP while coupled";
    EXPECT_GT(count(ap, navy), 0) << "its label in black, arriving as navy";
}

TEST_F(Screen, DestinationAtTenMilesIsFiftyPixelsAlongItsBearingFromTheFirstRedraw) {
    ExchangeRecord to = northOf(10);
    double toLat = aircraftLat + 10 * 1.852 / 6371 * 57.29578;
    ASSERT_NEAR(referenceDistance(aircraftLat, aircraftLon, toLat, aircraftLon), 10, 0.01);
    double bearing = referenceBearing(aircraftLat, aircraftLon, toLat, aircraftLon, 0);
    // The map is turned for the aircraft's heading at the very first redraw, as in a simulator
    // that is already flying: never for heading 0 while the heading box says otherwise.
    const struct {
        double heading;
        int32_t x, y;
    } cases[] = {{bearing, 140, 209 - 50}, {bearing + 90, 140 - 50, 209}};
    for (const auto& c : cases) {
        setVariable(varHeading, c.heading);
        ASSERT_TRUE(writeKeptBlock(
            {latitudeFromDegrees(aircraftLat), longitudeFromDegrees(aircraftLon), 5, 0}));
        start(to);
        redraw();
        int nearPoint = 0, elsewhere = 0;
        for (int32_t y = 38; y < 252; ++y)
            for (int32_t x = 29; x < 252; ++x) {
                if (rgbAt(x, y) != orange)
                    continue;
                bool close = std::abs(x - c.x) <= 1 && std::abs(y - c.y) <= 1;
                (close ? nearPoint : elsewhere) += 1;
            }
        EXPECT_GT(nearPoint, 0) << "orange marker of the destination, heading " << c.heading;
        EXPECT_EQ(elsewhere, 0) << "heading " << c.heading;
        if (c.x == 140) {
            EXPECT_GT(count({142, 158, 200, 176}, red), 5) << "its ident, red, just right of it";
            EXPECT_EQ(rgbAt(140, 185), cyan) << "the route runs down to the aircraft";
            EXPECT_GT(count({142, 208, 180, 226}, 0xFFFF00), 5) << "\"Start\" in yellow";
        }
        hostKill();
    }
}

TEST_F(Screen, DistanceToGoColourBands) {
    const struct {
        double nm;
        uint32_t colour;
    } bands[] = {{12, red}, {7, green}, {3, white}};
    for (const auto& band : bands) {
        start(northOf(band.nm));
        redraw();
        ScreenRect wt = mapGeometryFor(metrics()).distanceLine;
        wt.left = 200; // right-aligned: clear of the heading box
        EXPECT_GT(count(wt, band.colour), 10) << band.nm;
        for (uint32_t other : {red, green, white}) {
            if (other != band.colour) {
                EXPECT_EQ(count(wt, other), 0) << band.nm;
            }
        }
        hostKill();
    }
}

TEST_F(Screen, BlankIdentDrawsNoDestinationLine) {
    start(northOf(12, "     "));
    redraw();
    EXPECT_EQ(count(destinationRect(metrics()), green), 0);
    EXPECT_GT(count(titleRect(metrics()), white), 20) << "the rest is drawn";
}

TEST_F(Screen, HalfSize) {
    setImageSize(screenBitmapId, 140, 140 * 158);
    start(northOf(12));
    std::vector<uint8_t> before = pixelsOf(image());
    redraw();
    expectCopyRule(before, image());
    ScreenMetrics m = metrics();
    ASSERT_EQ(m.fontHeight, 8);
    for (int32_t i = 0; i < 5; ++i) {
        ScreenRect r = buttonRect(m, false, i);
        EXPECT_EQ(at(r.left, r.top), colourNavy) << "outline of button " << i;
        EXPECT_EQ(rgbAt(r.left + 1, r.top + 1), lightGrey) << "face of button " << i;
    }
    EXPECT_GT(count(buttonRect(m, false, 2), olive), 0) << "AP, not coupled";
    EXPECT_EQ(count(buttonRect(m, false, 0), olive), 0);
    MapGeometry map = mapGeometryFor(m);
    EXPECT_EQ(rgbAt(int32_t(map.centreX), map.rect.bottom - 3), blue);
    EXPECT_EQ(rgbAt(map.rect.left + 3, int32_t(map.centreY)), blue);
    EXPECT_GT(count(titleRect(m), white), 5);
    EXPECT_GT(count(etaRect(m), red), 5);
}

TEST_F(Screen, OddWidthKeepsRowsInStep) {
    setImageSize(screenBitmapId, 141, 141 * 158);
    ASSERT_TRUE(writeKeptBlock({0, 0, 5, 0})); // no route over the cross-hair
    start(northOf(12));
    redraw();
    MapGeometry map = mapGeometryFor(metrics());
    int32_t x = int32_t(map.centreX);
    // A canvas row stride out of step with the image would slant the vertical cross-hair.
    for (int32_t y = map.rect.top + 12; y < map.rect.bottom - 3; ++y) {
        if (y >= int32_t(map.centreY) - 1 && y <= int32_t(map.centreY) + 7)
            continue; // the aircraft symbol
        uint32_t c = rgbAt(x, y);
        EXPECT_TRUE(c == blue || c == cyan) << "row " << y;
    }
}

TEST_F(Screen, PartialRowIsNeverWritten) {
    const uint32_t whole = 280 * 316;
    setImageSize(screenBitmapId, 280, whole + 100);
    start(northOf(12));
    std::memset(image()->pixels + whole, 0x55, 100);
    redraw();
    for (uint32_t i = whole; i < whole + 100; ++i)
        ASSERT_EQ(image()->pixels[i], 0x55) << "byte " << i;
    EXPECT_EQ(rgbAt(60, 209), blue) << "the whole rows are drawn";
}

TEST_F(Screen, APictureOfTwoBytesAPixelIsLeftAsItIs) {
    start(northOf(12));
    // The same bytes described as 140 pixels of two bytes each in every row.
    ImageRecord* record = const_cast<ImageRecord*>(image());
    record->width = 140;
    std::memset(record->pixels, 9, record->byteSize);
    redraw(3);
    for (uint32_t i = 0; i < record->byteSize; ++i)
        ASSERT_EQ(record->pixels[i], 9) << "byte " << i;
    record->width = 280;
    redraw();
    EXPECT_EQ(rgbAt(60, 209), blue) << "drawn again once the picture is one byte a pixel";
}

TEST_F(Screen, WidthZeroIsRefused) {
    setImageSize(screenBitmapId, 0, 88480);
    start(northOf(12));
    std::memset(image()->pixels, 9, image()->byteSize);
    redraw(3);
    for (uint32_t i = 0; i < image()->byteSize; ++i)
        ASSERT_EQ(image()->pixels[i], 9) << "byte " << i;
}

// What GDI lights for a text in the map's font (Arial of a 7-point character height, as at the
// design size), one line, left-aligned and vertically centred in a box of the given size: the
// scale's labels are placed so. Drawn on an 8-bit picture, like the gauge's, so without
// smoothing.
std::vector<bool> mapTextMask(const char* text, int32_t width, int32_t height) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i) {
        uint32_t rgb = canvasColourTable[i];
        info.colours[i] = {BYTE(rgb), BYTE(rgb >> 8), BYTE(rgb >> 16), 0};
    }
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontA(-MulDiv(7, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                             0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetMapperFlags(dc, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 255, 255));
    RECT box = {0, 0, width, height};
    DrawTextA(dc, text, -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    const int32_t stride = (width + 3) & ~3;
    std::vector<bool> mask;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            mask.push_back(static_cast<uint8_t*>(bits)[y * stride + x] != 0);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return mask;
}

TEST_F(Screen, ScaleTickLabelsCountTheirSteps) {
    // Each upward tick k of a scale is labelled k times its step, centred on the tick's height
    // just right of the cross-hair; labels cut by the map's top line are left out.
    const struct {
        double scale;
        int32_t spacing, step;
    } scales[] = {{5, 25, 5}, {1, 50, 50}, {0.2, 40, 200}, {15, 30, 2}};
    for (const auto& c : scales) {
        ASSERT_TRUE(writeKeptBlock(
            {0, 0, c.scale, 0})); // no route origin: nothing else beside the cross-hair
        start(northOf(12));
        redraw();
        MapGeometry map = mapGeometryFor(metrics());
        const int32_t fh = metrics().fontHeight, left = int32_t(map.centreX) + 2;
        int labels = 0;
        for (int32_t k = 1;; ++k) {
            int32_t y = int32_t(map.centreY) - k * c.spacing;
            if (y - fh / 2 < map.topLine.bottom)
                break;
            char text[16];
            std::snprintf(text, sizeof text, "%d", k * c.step);
            const int32_t width = map.rect.right - left, height = 2 * (fh / 2);
            std::vector<bool> expected = mapTextMask(text, width, height);
            int lit = 0, wrong = 0;
            for (int32_t dy = 0; dy < height; ++dy)
                for (int32_t dx = 0; dx < width; ++dx) {
                    bool cyanHere = rgbAt(left + dx, y - fh / 2 + dy) == cyan;
                    lit += expected[dy * width + dx];
                    wrong += cyanHere != expected[dy * width + dx];
                }
            EXPECT_GT(lit, 5) << text;
            EXPECT_EQ(wrong, 0) << "label \"" << text << "\" at scale " << c.scale;
            ++labels;
        }
        EXPECT_GE(labels, 3) << c.scale;
        hostKill();
    }
}

TEST_F(Screen, RedrawAfterReleaseDoesNothing) {
    start(northOf(12));
    redraw();
    hostKill();    // releases the canvas
    hostInstall(); // a fresh screen image, with no canvas behind it
    std::vector<uint8_t> before = pixelsOf(image());
    redraw(2);
    EXPECT_EQ(pixelsOf(image()), before);
}

} // namespace

// Tour mode with a stand-in dialog library serving items on a 21.6 nm circle around the
// aircraft; the real library's tour lookup is not needed to see how the map draws a tour.
struct TourScreen : GaugeBesideLibrary {
    void SetUp() override {
        enterFreshFolder();
        std::string standIn = binFolder() + "\\bench\\stand-in\\TarvixDlg.dll";
        ASSERT_TRUE(CopyFileA(standIn.c_str(), "TarvixDlg.dll", FALSE));
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
        placeAircraft(aircraftLat, aircraftLon);
    }
    void serve(int32_t items) {
        exported<void(__stdcall*)(int32_t, double, double)>("StandInServe")(
            items, latitudeFromDegrees(aircraftLat), longitudeFromDegrees(aircraftLon));
    }
    // Flies the tour with the item numbers shifted by shift; returns the orange and red pixels
    // of the map below its top line.
    std::pair<int, int> fly(int32_t shift) {
        serve(3);
        exported<void(__stdcall*)(int32_t)>("StandInShiftNumbers")(shift);
        EXPECT_TRUE(writeKeptBlock({0, 0, 2, 0}));
        hostInstall();
        hostInitialize();
        Screen::redraw();
        ScreenRect below = {28, 52, 252, 252};
        std::pair<int, int> seen = {Screen::count(below, orange), Screen::count(below, red)};
        EXPECT_GT(Screen::count(below, 0xFFFF00), 30) << "yellow labels and markers";
        hostKill();
        return seen;
    }
};

TEST_F(TourScreen, ActiveItemIsMarkedOnlyWhenItsNumberIsAnItem) {
    std::pair<int, int> active = fly(0);
    EXPECT_GT(active.first, 0) << "orange marker of item 001";
    EXPECT_GT(active.second, 10) << "its label in red";
    for (int32_t shift : {-1, 3, 900}) { // numbers 000, 004 and 901 name no item of three
        std::pair<int, int> none = fly(shift);
        EXPECT_EQ(none.first, 0) << shift;
        EXPECT_EQ(none.second, 0) << shift;
    }
}

namespace {

// Where the stand-in's tour items lie on the map at heading 0 and scale 2: it puts them on a
// circle of 0.36 degrees of latitude (21.6 nm) around the aircraft, item 1 due north and the
// others clockwise at equal angles.
MapPoint tourItemOnMap(int32_t item, int32_t items) {
    const double radius = 2 * 0.36 * 60, angle = 6.283185307179586 * item / items;
    return {140 + radius * std::sin(angle), 209 - radius * std::cos(angle)};
}

bool colourNear(MapPoint p, int32_t reach, std::initializer_list<uint32_t> colours) {
    for (int32_t y = int32_t(p.y) - reach; y <= int32_t(p.y) + reach; ++y)
        for (int32_t x = int32_t(p.x) - reach; x <= int32_t(p.x) + reach; ++x)
            for (uint32_t c : colours)
                if (Screen::rgbAt(x, y) == c)
                    return true;
    return false;
}

// Of the eleven points from a quarter to three quarters of the way from a to b, how many have
// the route's cyan within a pixel. A label drawn over a line covers a few of them; where no
// line is drawn hardly any has cyan.
int cyanAlong(MapPoint a, MapPoint b) {
    int seen = 0;
    for (int i = 5; i <= 15; ++i) {
        double t = i / 20.0;
        seen += colourNear({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}, 1, {cyan});
    }
    return seen;
}

// Every item marked, one line from each item to the next, and no line back from the last item
// to the first: the line is as long as the tour, whatever the table held before.
void expectTourLine(int32_t items) {
    for (int32_t i = 0; i < items; ++i) {
        // The second of two lies on the map's bottom edge, where its marker is cut off.
        EXPECT_TRUE(tourItemOnMap(i, items).y > 250 ||
                    colourNear(tourItemOnMap(i, items), 2, {0xFFFF00, orange}))
            << "marker of item " << i + 1 << " of " << items;
        if (i + 1 < items) {
            EXPECT_GE(cyanAlong(tourItemOnMap(i, items), tourItemOnMap(i + 1, items)), 5)
                << "line from item " << i + 1 << " of " << items;
        }
    }
    if (items > 2) { // two items' line back would lie on the line there
        EXPECT_LE(cyanAlong(tourItemOnMap(items - 1, items), tourItemOnMap(0, items)), 2)
            << "no line from the last of " << items << " items back to the first";
    }
}

} // namespace

TEST_F(TourScreen, TourLineIsAsLongAsTheTourAfterEveryRebuild) {
    serve(5);
    ASSERT_TRUE(writeKeptBlock({0, 0, 2, 0}));
    hostInstall();
    hostInitialize();
    Screen::redraw();
    expectTourLine(5);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(buttonCentre(buttonIndex("DLG"), x, y));
    // Shorter than the table, longer, two (each step a wrap as well), a single item.
    for (int32_t items : {3, 7, 2, 1}) {
        serve(items);
        ASSERT_TRUE(clickGauge(x, y, nullptr)); // "DLG" rebuilds the tour's table
        Screen::redraw();
        expectTourLine(items);
    }
    hostKill();
}
