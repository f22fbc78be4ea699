// The gauge following a tour with the real dialog library and a database of the test's own:
// leg fetching, the tour table walk, "Prev" and "Next", and the arrival rule.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <fstream>
#include <sstream>
#include <string>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "testkit/db_fixtures.h"
#include "testkit/gauge_fixture.h"
#include "host/panel_host.h"
#include "nav_reference.h"
#include "host/dialog_driver.h"
#include "testkit/test_support.h"

namespace {

using Events = std::vector<std::pair<int32_t, int32_t>>;

std::string field(const std::string& text, size_t width) {
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

// One 64-byte database line. Positions in whole degrees and minutes, north and west.
std::string record(const std::string& ident, const std::string& name, int latDeg, int latMin,
                   int lonDeg, int lonMin, const std::string& level, const std::string& tour,
                   const std::string& hold = "", const std::string& altitude = "") {
    std::string line = field(ident, 5) + field(name, 25) + "N" + field(std::to_string(latDeg), 3) +
                       field(std::to_string(latMin), 2) + field("0", 2) + "W" +
                       field(std::to_string(lonDeg), 3) + field(std::to_string(lonMin), 2) +
                       field("0", 2) + field(level, 2) + field(tour, 1) + field(hold, 1) +
                       field(altitude, 5) + std::string(7, ' ') + "\r\n";
    EXPECT_EQ(line.size(), 64u);
    return line;
}

struct Item {
    int latDeg, latMin, lonDeg, lonMin;
};

// Records: 1 airport; 2 tour folder; 3-5 its items 001-003; 6 airport folder; 7 airport;
// 8 a one-item tour folder; 9 its item.
const Item items[] = {{41, 47, 87, 45}, {42, 57, 87, 54}, {43, 10, 86, 14}};

struct TourFlight : GaugeBesideLibrary {
    void SetUp() override {
        enterFreshFolder();
        std::ofstream db("TarvixDb.dat", std::ios::binary);
        db << record("KORD", "Chicago O'Hare", 41, 58, 87, 54, "", "")
           << record("", "Lake Michigan", 0, 0, 0, 0, "1", "1")
           << record("001", "Midway", 41, 47, 87, 45, "-1", "1", "1", "3000")
           << record("002", "Milwaukee", 42, 57, 87, 54, "", "1", "", "4500")
           << record("003", "Muskegon", 43, 10, 86, 14, "", "1", "1", "2500")
           << record("", "Airports", 0, 0, 0, 0, "1", "")
           << record("KGRR", "Grand Rapids", 42, 53, 85, 31, "", "")
           << record("", "Solo", 0, 0, 0, 0, "1", "1")
           << record("001", "Only stop", 44, 0, 88, 0, "", "1", "", "1000");
        db.close();
        ASSERT_TRUE(putDialogLibraryHere());
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
        placeAircraft(41.0, -88.0);
        setVariable(varSpeed, 150);
    }

    static double rawLat(int deg, int min) { return latitudeFromDms(false, deg, min, 0); }
    static double rawLon(int deg, int min) { return longitudeFromDms(true, deg, min, 0); }

    void placeAircraftAt(const Item& item) {
        setVariable(varLatitude, rawLat(item.latDeg, item.latMin));
        setVariable(varLongitude, rawLon(item.lonDeg, item.lonMin));
    }

    // A coupled tour choice by record number alone, then the library's own step from it (forward
    // when non-zero), which fills in the item's position; the step's answer.
    int chooseAndStep(int32_t recordNumber, int32_t forward) {
        ExchangeRecord r{};
        r.mode = 1;
        r.recordNumber = recordNumber;
        r.tourAutopilot = 1;
        setData(&r);
        return exported<TourItemExportFn>(getTourItemExport.name)(forward);
    }

    // The choice as the settings dialog stores it: a tour item, coupled or not.
    void chooseTourItem(int32_t recordNumber, int32_t coupled, const Item& item,
                        int32_t altitudeHold = 0) {
        ExchangeRecord r{};
        std::strcpy(r.ident, "001");
        std::strcpy(r.name, "Midway");
        r.latitude = rawLat(item.latDeg, item.latMin);
        r.longitude = rawLon(item.lonDeg, item.lonMin);
        r.mode = 1;
        r.recordNumber = recordNumber;
        r.tourAutopilot = coupled;
        r.tourAltitudeHold = altitudeHold;
        r.tourAltitude = 3000;
        ASSERT_EQ(setData(&r), 1);
    }

    int32_t libraryItem() {
        ExchangeRecord r{};
        getData(&r);
        return r.recordNumber;
    }

    // The last record that carries the current-choice marker, 0 for none.
    static int markedRecord() {
        std::ifstream db("TarvixDb.dat", std::ios::binary);
        std::stringstream text;
        text << db.rdbuf();
        std::string all = text.str();
        int marked = 0;
        for (size_t n = 0; n * 64 + 64 <= all.size(); ++n) {
            if (all.substr(n * 64 + 46, 2) == "-1")
                marked = static_cast<int>(n) + 1;
        }
        return marked;
    }

    static Events events() { return keyEventPairs(); }
    void start() {
        hostInstall();
        hostInitialize();
    }
};

TEST_F(TourFlight, InitializeLeavesTheLibraryOnItsItem) {
    chooseTourItem(4, 0, items[1]);
    start();
    EXPECT_EQ(libraryItem(), 4) << "the table walk ends where it began";
    EXPECT_EQ(markedRecord(), 4);
    EXPECT_TRUE(events().empty());
}

TEST_F(TourFlight, NextAndPrevStepAndWrap) {
    chooseTourItem(3, 0, items[0]);
    start();
    const int32_t next[] = {4, 5, 3, 4};
    for (int32_t expected : next) {
        int32_t result = 0;
        ASSERT_TRUE(clickGauge(229, 291, &result)); // "Next"
        EXPECT_EQ(result, 1);
        EXPECT_EQ(libraryItem(), expected);
        EXPECT_EQ(markedRecord(), expected);
    }
    const int32_t prev[] = {3, 5, 4};
    for (int32_t expected : prev) {
        clickGauge(184, 291, nullptr); // "Prev"
        EXPECT_EQ(libraryItem(), expected);
        EXPECT_EQ(markedRecord(), expected);
    }
}

TEST_F(TourFlight, NextReappliesTheAutopilotToTheNewItem) {
    chooseTourItem(3, 1, items[0]);
    start();
    hostUpdate();
    resetPanel();
    clickGauge(229, 291, nullptr);
    // From 41 N 88 W to Milwaukee, 42 57 N 87 54 W: 1.65 true, calm.
    Events expected = {{0x10118, 0}, {0x101F4, 0}, {0x10100, 0}, {0x1010F, 0}, {0x101FA, 2}};
    EXPECT_EQ(events(), expected);
    EXPECT_TRUE(headingSentFor(2, referenceBearing(41, -88, 42 + 57 / 60.0, -(87 + 54 / 60.0), 0)));
}

TEST_F(TourFlight, ArrivalAdvancesACoupledTour) {
    chooseTourItem(3, 1, items[0]);
    start();
    placeAircraftAt(items[0]); // on top of item 001
    resetPanel();
    hostUpdate();
    EXPECT_EQ(libraryItem(), 4);
    EXPECT_EQ(markedRecord(), 4);
    // Heading refresh for the old item, then applyAutopilot for the new one, then hold off.
    Events got = events();
    ASSERT_GE(got.size(), 7u);
    EXPECT_EQ(got[0].first, 0x1010F);
    EXPECT_EQ(got[2], std::make_pair(int32_t(0x10118), int32_t(0)));
    EXPECT_EQ(got[3], std::make_pair(int32_t(0x101F4), int32_t(0)));
    EXPECT_EQ(got[4].first, 0x10100);
    // The heading of this update's figures; the next update steers for the new item.
    EXPECT_EQ(got[6], std::make_pair(int32_t(0x101FA), got[1].second));
    EXPECT_EQ(got.back(), std::make_pair(int32_t(0x10118), int32_t(0)));
    resetPanel();
    hostUpdate();
    // From Midway, 41 47 N 87 45 W, to Milwaukee: 354.02 (west-going, 0.6 short of true).
    ASSERT_GE(events().size(), 2u);
    EXPECT_EQ(events()[1], std::make_pair(int32_t(0x101FA), int32_t(355)));
    EXPECT_TRUE(headingSentFor(355, referenceBearing(41 + 47 / 60.0, -(87 + 45 / 60.0),
                                                     42 + 57 / 60.0, -(87 + 54 / 60.0), 0)));
}

TEST_F(TourFlight, ArrivalNeverAdvancesPastTheLastItem) {
    chooseTourItem(5, 1, items[2]);
    start();
    placeAircraftAt(items[2]);
    resetPanel();
    for (int frame = 0; frame < 30; ++frame)
        hostUpdate();
    EXPECT_EQ(libraryItem(), 5);
    EXPECT_EQ(markedRecord(), 5);
    Events got = events();
    ASSERT_EQ(got.size(), 90u); // heading hold, heading, altitude hold off, each update
    EXPECT_EQ(got[2], std::make_pair(int32_t(0x10118), int32_t(0)));
}

TEST_F(TourFlight, AltitudeHoldKeepsTheHoldOnArrival) {
    chooseTourItem(5, 1, items[2], 1);
    start();
    placeAircraftAt(items[2]);
    resetPanel();
    hostUpdate();
    EXPECT_EQ(events().size(), 2u) << "no altitude hold off while the tour holds altitude";
}

TEST_F(TourFlight, UncoupledTourDoesNotAdvanceByItself) {
    chooseTourItem(3, 0, items[0]);
    start();
    placeAircraftAt(items[0]);
    for (int frame = 0; frame < 40; ++frame)
        hostFrame();
    EXPECT_EQ(libraryItem(), 3);
    EXPECT_TRUE(events().empty());
}

TEST_F(TourFlight, OneItemTourStaysOnItsItem) {
    ExchangeRecord r{};
    std::strcpy(r.ident, "001");
    r.latitude = rawLat(44, 0);
    r.longitude = rawLon(88, 0);
    r.mode = 1;
    r.recordNumber = 9;
    r.tourAutopilot = 1;
    setData(&r);
    start();
    for (int32_t x : {229, 184}) {
        clickGauge(x, 291, nullptr);
        EXPECT_EQ(libraryItem(), 9);
    }
    setVariable(varLatitude, rawLat(44, 0));
    setVariable(varLongitude, rawLon(88, 0));
    for (int frame = 0; frame < 5; ++frame)
        hostUpdate();
    EXPECT_EQ(libraryItem(), 9);
    EXPECT_EQ(markedRecord(), 9);
    // Arrived, and the step lands on the same item, which is no wrap: every update takes it up
    // again as the new active item and re-applies the autopilot, then sends altitude hold off.
    resetPanel();
    hostUpdate();
    std::vector<int32_t> ids;
    for (const auto& e : events())
        ids.push_back(e.first);
    const std::vector<int32_t> expected = {0x1010F, 0x101FA, 0x10118, 0x101F4,
                                           0x10100, 0x1010F, 0x101FA, 0x10118};
    EXPECT_EQ(ids, expected);
}

// In a tour of two items each step from one to the other is a step of one and a wrap at once:
// the gauge takes it as the wrap, so the tour is flown from 001 to 002 and stays there, and the
// buttons go round it both ways.
TEST_F(TourFlight, TwoItemTourIsFlownOnceAndItsButtonsWrapBothWays) {
    writeFileBytes("TarvixDb.dat", folderLine("Pair", 1, true) + tourItemLine(1, "First") +
                                       tourItemLine(2, "Second") + folderLine("After", 1));
    ASSERT_EQ(chooseAndStep(3, 0), 2); // 001 chosen, with its position
    start();
    EXPECT_EQ(libraryItem(), 2) << "001 stays the current item";
    EXPECT_EQ(markedRecord(), 2);
    for (int32_t expected : {3, 3}) { // arrival at 001 goes on to 002, and at 002 goes nowhere
        ExchangeRecord item{};
        getData(&item);
        setVariable(varLatitude, item.latitude);
        setVariable(varLongitude, item.longitude);
        for (int frame = 0; frame < 40; ++frame)
            hostUpdate();
        EXPECT_EQ(libraryItem(), expected);
        EXPECT_EQ(markedRecord(), expected);
    }
    const struct {
        int32_t x, expected;
    } clicks[] = {{229, 2}, {229, 3}, {184, 2}, {184, 3}}; // Next, Next, Prev, Prev
    for (const auto& click : clicks) {
        ASSERT_TRUE(clickGauge(click.x, 291, nullptr));
        EXPECT_EQ(libraryItem(), click.expected) << click.x;
        EXPECT_EQ(markedRecord(), click.expected) << click.x;
    }
}

// Tours are numbered with four digits from item 1000 on, and nothing stops them at 999: the
// gauge flies a tour of 1,003 items from item 1002 (record 1003) to its last item and stays
// there, and its buttons wrap between the last item and the first.
TEST_F(TourFlight, ToursLongerThan999ItemsAreFlownToTheirLastItem) {
    std::string database = folderLine("Long", 1, true);
    for (int item = 1; item <= 1003; ++item)
        database += tourItemLine(item, "Stop", "", item == 1001 ? "-1" : "");
    writeFileBytes("TarvixDb.dat", database + folderLine("After", 1));
    ASSERT_EQ(chooseAndStep(1002, 1), 1003); // the library's own step fills in item 1002's position
    start();
    EXPECT_EQ(libraryItem(), 1003) << "the walk of the tour table ends where it began";
    ExchangeRecord item1002{};
    getData(&item1002);
    setVariable(varLatitude, item1002.latitude);
    setVariable(varLongitude, item1002.longitude);
    for (int frame = 0; frame < 40; ++frame) // arrival, then three refreshes from the library
        hostUpdate();
    EXPECT_EQ(libraryItem(), 1004) << "item 1003, the last";
    EXPECT_EQ(markedRecord(), 1004);
    const int32_t afterNextAndPrev[] = {2, 1004};
    for (int32_t expected : afterNextAndPrev) {
        clickGauge(expected == 2 ? 229 : 184, 291, nullptr);
        EXPECT_EQ(libraryItem(), expected);
        EXPECT_EQ(markedRecord(), expected);
    }
}

// Item 002 lies ahead; its next leg to 003 turns right by about 80 degrees. At 150 knots the
// turn starts 0.571 nm before 002, reckoned from the bearing as it is before the wind
// correction. Worked by hand: corrected first, the distance would be 0.461 nm in a 30-knot wind
// from the east and 0.700 nm in one from the west.
struct SwitchCase {
    const char* name;
    double windFrom;
    double milesSouth;
    int32_t activeAfter; // record
};
void PrintTo(const SwitchCase& c, std::ostream* out) {
    *out << c.name;
}
struct SwitchDistanceOrder : TourFlight, ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchDistanceOrder, UsesTheBearingBeforeTheWindCorrection) {
    chooseTourItem(4, 1, items[1]);
    start();
    placeAircraft(42 + 57 / 60.0 - GetParam().milesSouth / 60.0405, -(87 + 54 / 60.0));
    setVariable(varWindSpeed, 30);
    setVariable(varWindDirection, GetParam().windFrom);
    hostUpdate();
    EXPECT_EQ(libraryItem(), GetParam().activeAfter);
}

INSTANTIATE_TEST_SUITE_P(Winds, SwitchDistanceOrder,
                         ::testing::Values(SwitchCase{"FromTheEast", 90, 0.52, 5},
                                           SwitchCase{"FromTheWest", 270, 0.63, 4}),
                         [](const ::testing::TestParamInfo<SwitchCase>& test) {
                             return std::string(test.param.name);
                         });

// 0.13 nm from 002, coming in on a bearing that the next leg nearly reverses (a = 14.4): above
// 40 knots the turn starts 0.1997 nm out, at 40 knots and below only at the 0.1 floor.
struct SpeedCase {
    const char* name;
    double knots;
    int32_t activeAfter;
};
void PrintTo(const SpeedCase& c, std::ostream* out) {
    *out << c.name;
}
struct SwitchSpeed : TourFlight, ::testing::WithParamInterface<SpeedCase> {};

TEST_P(SwitchSpeed, FortyKnotsCountsAsSlow) {
    chooseTourItem(4, 1, items[1]);
    start();
    const double lat = 42 + 57 / 60.0, lon = -(87 + 54 / 60.0), nm = 0.13, from = 65;
    const double perDegree = 60.0405, toRadians = 3.141592653589793 / 180;
    placeAircraft(lat + nm * std::cos(from * toRadians) / perDegree,
                  lon + nm * std::sin(from * toRadians) / (perDegree * std::cos(lat * toRadians)));
    setVariable(varSpeed, GetParam().knots);
    hostUpdate();
    EXPECT_EQ(libraryItem(), GetParam().activeAfter) << GetParam().knots << " knots";
}

INSTANTIATE_TEST_SUITE_P(Knots, SwitchSpeed,
                         ::testing::Values(SpeedCase{"Forty", 40, 4},
                                           SpeedCase{"JustAboveForty", 40.001, 5},
                                           SpeedCase{"ThirtyNine", 39, 4}),
                         [](const ::testing::TestParamInfo<SpeedCase>& test) {
                             return std::string(test.param.name);
                         });

TEST_F(TourFlight, DialogButtonRebuildsTheTourAndCouplesFromTheRecord) {
    chooseTourItem(4, 1, items[1]);
    start();
    resetPanel();
    DialogDriver cancel({[](HWND dialog) { clickButton(dialog, IDCANCEL); }});
    clickGauge(49, 291, nullptr); // "DLG": set, the settings dialog (cancelled), get
    EXPECT_NE(cancel.dialog(), nullptr) << "the settings dialog opened";
    EXPECT_EQ(libraryItem(), 4);
    ASSERT_GE(events().size(), 3u);
    EXPECT_EQ(events()[0].first, 0x10100);
}

} // namespace
