// The gauge flying to an airport with the real dialog library beside it: the key events it
// sends, compared with figures reckoned independently of the gauge, and what the buttons do.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "host/panel_host.h"
#include "nav_reference.h"
#include "host/dialog_driver.h"
#include "testkit/kept_block.h"
#include "testkit/gauge_fixture.h"
#include "testkit/test_support.h"

namespace {

using Events = std::vector<std::pair<int32_t, int32_t>>;

struct AirportFlight : GaugeBesideLibrary {
    const double aircraftLat = 41.7868, aircraftLon = -87.7522; // Chicago Midway
    const double variation = 3.0;
    const double milwaukeeLat = 42.9472, milwaukeeLon = -87.8966;

    void SetUp() override {
        enterFreshFolder();
        ASSERT_TRUE(putDialogLibraryHere());
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
        placeAircraft(aircraftLat, aircraftLon);
        setVariable(varMagVariation, variation);
        setVariable(varSpeed, 120);
        setVariable(varAltitude, 1000 / 3.281);
    }

    // Milwaukee, with the pilot's choices as the settings dialog would store them.
    ExchangeRecord destination(int32_t autopilot, int32_t altitudeHold) {
        ExchangeRecord r{};
        std::strcpy(r.ident, "KMKE");
        std::strcpy(r.name, "Milwaukee Mitchell");
        r.latitude = latitudeFromDegrees(milwaukeeLat);
        r.longitude = longitudeFromDegrees(milwaukeeLon);
        r.airportAutopilot = autopilot;
        r.airportAltitudeHold = altitudeHold;
        r.airportAltitude = 4500;
        r.mode = 0;
        r.recordNumber = 3;
        return r;
    }

    // The headings the gauge must steer to Milwaukee, calm and in a 25-knot wind from 270
    // (the test below works them out).
    const int32_t calmHeading = 352, windHeading = 340;

    static Events events() { return keyEventPairs(); }
    void start() {
        hostInstall();
        hostInitialize();
    }
};

TEST_F(AirportFlight, TheExpectedFiguresAgreeWithAnIndependentReckoning) {
    // 69.965 nm, 351.195 magnetic; into the wind at 120 knots 339.315.
    EXPECT_NEAR(referenceDistance(aircraftLat, aircraftLon, milwaukeeLat, milwaukeeLon), 69.965,
                1e-3);
    double course =
        referenceBearing(aircraftLat, aircraftLon, milwaukeeLat, milwaukeeLon, variation);
    EXPECT_TRUE(headingSentFor(calmHeading, course));
    EXPECT_TRUE(headingSentFor(windHeading, referenceWindHeading(course, 25, 270, 120)));
}

TEST_F(AirportFlight, CouplesAtInitializeWhenTheLibrarySaysSo) {
    ExchangeRecord to = destination(1, 1);
    ASSERT_EQ(setData(&to), 1);
    start();
    // Initialize has no figures of its own yet: the first heading comes from steerHeading 0.
    Events expected = {{0x10118, 0}, {0x101F4, 0}, {0x10100, 0},    {0x1010F, 0},
                       {0x101FA, 0}, {0x10110, 0}, {0x1024C, 4500}, {0x101F4, 700}};
    EXPECT_EQ(events(), expected);
    resetPanel();
    hostUpdate();
    Events refresh = {{0x1010F, 0}, {0x101FA, calmHeading}};
    EXPECT_EQ(events(), refresh) << "every update re-sends the heading while coupled";
}

TEST_F(AirportFlight, HeadingIsCorrectedForTheWind) {
    ExchangeRecord to = destination(1, 0);
    setData(&to);
    setVariable(varWindSpeed, 25);
    setVariable(varWindDirection, 270);
    start();
    resetPanel();
    hostUpdate();
    ASSERT_EQ(events().size(), 2u);
    EXPECT_EQ(events()[1].second, windHeading);
}

TEST_F(AirportFlight, NotCoupledSendsNothing) {
    ExchangeRecord to = destination(0, 1);
    setData(&to);
    start();
    for (int frame = 0; frame < 40; ++frame)
        hostFrame();
    EXPECT_TRUE(events().empty());
}

TEST_F(AirportFlight, AutopilotButtonCouplesAndUncouples) {
    ExchangeRecord to = destination(0, 1);
    setData(&to);
    start();
    hostUpdate();
    resetPanel();
    int32_t result = 0;
    ASSERT_TRUE(clickGauge(139, 291, &result)); // "AP"
    EXPECT_EQ(result, 1);
    Events couple = {{0x10100, 0}, {0x1010F, 0},    {0x101FA, calmHeading},
                     {0x10110, 0}, {0x1024C, 4500}, {0x101F4, 700}};
    EXPECT_EQ(events(), couple);
    ExchangeRecord kept{};
    ASSERT_EQ(getData(&kept), 1);
    EXPECT_EQ(kept.airportAutopilot, 1) << "the library keeps the new flag";
    EXPECT_EQ(kept.tourAutopilot, 0);

    resetPanel();
    clickGauge(139, 291, &result);
    Events uncouple = {{0x100FF, 0}, {0x10117, 0}, {0x10118, 0}};
    EXPECT_EQ(events(), uncouple);
    getData(&kept);
    EXPECT_EQ(kept.airportAutopilot, 0);
    resetPanel();
    hostUpdate();
    EXPECT_TRUE(events().empty()) << "uncoupled: no heading refresh";
}

TEST_F(AirportFlight, AutopilotCoupleTakesTheTourAltitudeInAirportMode) {
    ExchangeRecord to = destination(0, 0);
    to.tourAltitudeHold = 1;
    to.tourAltitude = 2500;
    setData(&to);
    start();
    resetPanel();
    clickGauge(139, 291, nullptr);
    ASSERT_EQ(events().size(), 6u);
    EXPECT_EQ(events()[4], std::make_pair(int32_t(0x1024C), int32_t(2500)));
    // The rate still follows the airport flags: no airport hold, target 0, so it descends.
    EXPECT_EQ(events()[5], std::make_pair(int32_t(0x101F4), int32_t(-700)));
}

TEST_F(AirportFlight, PrevAndNextInAirportModeOnlyReapplyTheAutopilot) {
    ExchangeRecord to = destination(1, 0);
    setData(&to);
    start();
    hostUpdate();
    for (int32_t x : {184, 229}) {
        resetPanel();
        clickGauge(x, 291, nullptr);
        Events expected = {
            {0x10118, 0}, {0x101F4, 0}, {0x10100, 0}, {0x1010F, 0}, {0x101FA, calmHeading}};
        EXPECT_EQ(events(), expected);
        ExchangeRecord kept{};
        getData(&kept);
        EXPECT_EQ(kept.recordNumber, 3) << "the destination stays";
    }
}

TEST_F(AirportFlight, ScaleButtonsStepAndStopAtTheirLimits) {
    start();
    const double upward[] = {10, 15, 20, 20};
    for (double expected : upward) {
        clickGauge(49, 269, nullptr); // "+"
        hostKill();
        EXPECT_EQ(keptBlock().value().mapScale, expected);
        start(); // the kept scale comes back
    }
    const double downward[] = {15, 10, 5, 4, 3, 2, 1, 0.8, 0.6, 0.4, 0.2, 0.2};
    for (double expected : downward) {
        clickGauge(94, 269, nullptr); // "-"
        hostKill();
        EXPECT_NEAR(keptBlock().value().mapScale, expected, 1e-9);
        EXPECT_GE(keptBlock().value().mapScale, 0.2);
        start();
    }
    clickGauge(49, 269, nullptr);
    clickGauge(49, 269, nullptr);
    clickGauge(49, 269, nullptr);
    clickGauge(49, 269, nullptr);
    hostKill();
    EXPECT_NEAR(keptBlock().value().mapScale, 1.0, 1e-9) << "0.2 up by 0.2 four times";
}

TEST_F(AirportFlight, DialogButtonWithoutLibraryReevaluatesFromTheUnchangedRecord) {
    ExchangeRecord to = destination(1, 0);
    setData(&to);
    start(); // the gauge has the record and is coupled
    hostUpdate();
    hostKill();
    // Take the library away: the gauge's next life in this process has none, and keeps the
    // record it had.
    FreeLibrary(library);
    library = nullptr;
    ASSERT_TRUE(DeleteFileA("TarvixDlg.dll"));
    start();
    ASSERT_EQ(GetModuleHandleA("TarvixDlg.dll"), nullptr);
    hostUpdate();
    resetPanel();
    clickGauge(94, 291, nullptr); // "INF": only a beep
    EXPECT_TRUE(events().empty());
    clickGauge(49, 291, nullptr); // "DLG"
    Events couple = {{0x10100, 0}, {0x1010F, 0}, {0x101FA, calmHeading}};
    EXPECT_EQ(events(), couple) << "the gauge's own record still says coupled";
    hostKill();
    KeptSettings block = keptBlock().value();
    EXPECT_EQ(block.routeOriginLatitude, latitudeFromDegrees(aircraftLat))
        << "route origin taken at DLG";
    EXPECT_EQ(block.routeOriginLongitude, longitudeFromDegrees(aircraftLon));
}

TEST_F(AirportFlight, DialogButtonHandsTheAircraftPositionToTheLibrary) {
    ExchangeRecord to = destination(0, 0);
    setData(&to);
    start();
    resetPanel();
    DialogDriver cancel({[](HWND dialog) { clickButton(dialog, IDCANCEL); }});
    clickGauge(49, 291, nullptr); // set, the settings dialog (cancelled), get
    EXPECT_NE(cancel.dialog(), nullptr) << "the settings dialog opened";
    ExchangeRecord kept{};
    getData(&kept);
    EXPECT_EQ(kept.aircraftLatitude, latitudeFromDegrees(aircraftLat));
    EXPECT_EQ(kept.aircraftLongitude, longitudeFromDegrees(aircraftLon));
    Events uncouple = {{0x100FF, 0}, {0x10117, 0}, {0x10118, 0}};
    EXPECT_EQ(events(), uncouple);
}

} // namespace
