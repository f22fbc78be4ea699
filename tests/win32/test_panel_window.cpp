// The live panel window, on the virtual X server of the test run (Wine's X11 driver): what it
// shows, and what the pilot's clicks and keys do to the gauge and the aircraft.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/screen_colours.h"
#include "dialog/dialog_resources.h"
#include "gauge/map_geometry.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"
#include "host/panel_host.h"
#include "host/panel_window.h"
#include "host/window_capture.h"
#include "testkit/db_fixtures.h"
#include "testkit/test_support.h"

namespace {

class PanelWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        enterFreshFolder();
        ASSERT_TRUE(putDialogLibraryHere());
        std::string error;
        ASSERT_TRUE(loadGauge(gaugePath(), error)) << error;
        Scenario scenario{};
        scenario.aircraft = Aircraft{41.7868, -87.7522, 90, 120, 620, 0, 0, 0, {}};
        scenario.frameRate = 18;
        scenario.duration = 3600;
        ASSERT_TRUE(startFlight(run, scenario, {}, RunSettings{false, true}, outcome, error))
            << error;
        window = openPanelWindow(run, outcome, WindowOptions{0, "", 1}, error);
        ASSERT_NE(window, nullptr) << error;
    }

    void TearDown() override {
        std::string error;
        if (window && IsWindow(window)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            runPanelWindow(window, error);
        }
        finishFlight(run, outcome, error);
        unloadGauge();
    }

    // Runs the window until the gauge has redrawn its screen again (it does every 13th frame).
    void flyUntilRedrawn() {
        long until = run.simulation.frames + 14;
        while (run.simulation.frames < until && pumpPanelWindow(window, 50)) {
        }
    }

    // The colour the window shows at gauge pixel (x, y), as 0xRRGGBB.
    uint32_t shownAt(int32_t x, int32_t y) {
        PanelPicture picture;
        EXPECT_TRUE(captureWindow(window, picture));
        RECT frame;
        GetWindowRect(window, &frame);
        POINT at = clientPointOf(x, y);
        ClientToScreen(window, &at);
        size_t i = (size_t(at.y - frame.top) * picture.width + (at.x - frame.left)) * 3;
        if (i + 2 >= picture.rgb.size())
            return 0xFFFFFFFF;
        return uint32_t(picture.rgb[i]) << 16 | uint32_t(picture.rgb[i + 1]) << 8 |
               picture.rgb[i + 2];
    }

    // A left click on the button with the label, where the pilot's mouse would put it.
    void click(const char* label) {
        int32_t x = 0, y = 0;
        ASSERT_TRUE(buttonCentre(buttonIndex(label), x, y)) << label;
        POINT p = clientPointOf(x, y);
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

    void press(WPARAM key) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 1u | 3u << 30);
        pumpPanelWindow(window, 100);
    }

    FlightRun run;
    FlightOutcome outcome;
    HWND window = nullptr;
};

TEST_F(PanelWindow, ShowsThePanelAndAStatusLineAndEndsTheRunWhenClosed) {
    EXPECT_TRUE(IsWindowVisible(window));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 280 * panelZoom);
    EXPECT_GT(client.bottom, 316 * panelZoom) << "the status line under the panel";
    flyUntilRedrawn();
    PanelIndices panel;
    std::string error;
    ASSERT_TRUE(composePanelIndices(panel, error)) << error;
    for (auto [x, y] : {std::pair{140, 209}, {60, 209}, {49, 270}, {200, 40}})
        EXPECT_EQ(shownAt(x, y), canvasColourTable[panel.indices[size_t(y) * panel.width + x]])
            << "the window shows the composed panel at " << x << "," << y;
    std::string status = panelStatus();
    for (const char* part : {"N41\xC2\xB0"
                             "47'",
                             "W087\xC2\xB0"
                             "45'",
                             "hdg 090", "620 ft", "120 kt", "AP off", "no waypoint", "1\xC3\x97"})
        EXPECT_NE(status.find(part), std::string::npos) << part << " in " << status;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(runPanelWindow(window, error)) << error;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(finishFlight(run, outcome, error)) << error;
    EXPECT_EQ(installedMouseTable(), nullptr) << "the gauge was killed";
    EXPECT_GT(readFileBytes("flight-log.csv").size(), 100u);
    EXPECT_GT(readFileBytes("panel.png").size(), 0u);
}

TEST_F(PanelWindow, PlusChangesTheMapScaleInTheNextRedraw) {
    const uint32_t cyan = canvasColourTable[colourCyan];
    const int32_t before = scaleTicksFor(5).spacing, after = scaleTicksFor(10).spacing;
    ASSERT_NE(before, after);
    flyUntilRedrawn();
    EXPECT_EQ(shownAt(140, 209 + before), cyan) << "a downward tick at scale 5";
    click("+");
    flyUntilRedrawn();
    EXPECT_EQ(shownAt(140, 209 + after), cyan) << "a downward tick at scale 10";
    EXPECT_NE(shownAt(140, 209 + before), cyan) << "no tick there at scale 10";
}

TEST_F(PanelWindow, DlgBringsUpTheSettingsDialogOwnedByTheWindow) {
    HWND owner = nullptr;
    bool settings = false;
    long framesWhileOpen = -1;
    MessageBoxAnswerer answerer;
    DialogDriver driver({[&](HWND dialog) {
                             owner = GetWindow(dialog, GW_OWNER);
                             settings = GetDlgItem(dialog, IDC_TREE) != nullptr;
                             framesWhileOpen = run.simulation.frames;
                         },
                         [&](HWND dialog) {
                             EXPECT_EQ(run.simulation.frames, framesWhileOpen)
                                 << "the simulation waits while the dialog is open";
                             clickButton(dialog, IDCANCEL);
                         }});
    click("DLG");
    for (int i = 0; i < 100 && !driver.dialog(); ++i)
        pumpPanelWindow(window, 50);
    ASSERT_NE(driver.dialog(), nullptr) << "no dialog came up";
    EXPECT_TRUE(settings) << "the settings dialog, with its tree";
    EXPECT_EQ(owner, window);
    EXPECT_FALSE(driver.watchdogFired());
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_TRUE(pumpPanelWindow(window, 200)) << "the window flies on after the dialog";
}

// Keys fly the aircraft while the autopilot is off, and run the clock.
TEST_F(PanelWindow, KeysFlyByHandAndRunTheClock) {
    const Aircraft& a = run.simulation.aircraft;
    // Five degrees a key; the meridians the aircraft crosses meanwhile add thousandths.
    press(VK_RIGHT);
    press(VK_RIGHT);
    EXPECT_NEAR(a.heading, 100, 0.01);
    press(VK_LEFT);
    EXPECT_NEAR(a.heading, 95, 0.01);
    press(VK_UP);
    EXPECT_NEAR(a.altitude, 720, 1e-9);
    press(VK_PRIOR);
    EXPECT_NEAR(a.airspeed, 130, 1e-9);
    EXPECT_NE(panelStatus().find("hdg 095"), std::string::npos) << panelStatus();
    press('3');
    EXPECT_EQ(panelClock().rate, 16);
    long frames = run.simulation.frames;
    pumpPanelWindow(window, 300);
    EXPECT_GT(run.simulation.frames - frames, 16) << "16 frames a tick";
    press(VK_SPACE);
    frames = run.simulation.frames;
    pumpPanelWindow(window, 300);
    EXPECT_EQ(run.simulation.frames, frames) << "paused";
    EXPECT_NE(panelStatus().find("paused"), std::string::npos);
}

} // namespace
