// The About box through the library's export, worked from the keyboard and the mouse: Escape
// leaves it open, Enter or its OK button close it with result 1; before it opens the window in
// the foreground is sent the system-menu click, and the box is owned by that window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "dialog/dialog_resources.h"
#include "host/dialog_driver.h"
#include "testkit/test_support.h"

namespace {

// Stands in for the simulator's main window: in the foreground, noting the system-menu clicks
// it is sent (and handling them itself, so that no menu opens).
struct SimulatorWindow {
    static int systemMenuClicks;
    static bool clickWasPlain;
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCLBUTTONDOWN) {
            ++systemMenuClicks;
            clickWasPlain = wParam == HTSYSMENU && lParam == 0;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    SimulatorWindow() {
        WNDCLASSA kind{};
        kind.lpfnWndProc = proc;
        kind.hInstance = GetModuleHandleA(nullptr);
        kind.lpszClassName = "TarvixTestSimulator";
        RegisterClassA(&kind);
        window = CreateWindowA(kind.lpszClassName, "Simulator", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 400, 300, nullptr, nullptr, kind.hInstance, nullptr);
        SetForegroundWindow(window);
        systemMenuClicks = 0;
        clickWasPlain = false;
    }
    ~SimulatorWindow() { DestroyWindow(window); }
    HWND window;
};
int SimulatorWindow::systemMenuClicks = 0;
bool SimulatorWindow::clickWasPlain = false;

HWND focusOf(HWND dialog) {
    HWND focus = GetFocus();
    return focus ? focus : dialog;
}

struct ClosingCase {
    const char* how;
    DialogDriver::Step close;
};

TEST(AboutBox, EscapeLeavesItOpenEnterAndOkCloseItWithResultOne) {
    HMODULE library = LoadLibraryA(dialogLibraryPath().c_str());
    ASSERT_NE(library, nullptr);
    using AboutExport = int(__stdcall*)();
    auto about = reinterpret_cast<AboutExport>(
        reinterpret_cast<void*>(GetProcAddress(library, "TarvixAboutDialog")));
    ASSERT_NE(about, nullptr);

    const ClosingCase cases[] = {
        {"Enter", [](HWND dialog) { pressKey(focusOf(dialog), VK_RETURN); }},
        {"the OK button", [](HWND dialog) { clickButton(dialog, IDOK); }},
    };
    for (const ClosingCase& c : cases) {
        SCOPED_TRACE(c.how);
        SimulatorWindow simulator;
        ASSERT_EQ(GetForegroundWindow(), simulator.window);
        std::string caption;
        HWND owner = nullptr;
        bool openAfterEscape = false;
        DialogDriver driver({
            [&](HWND dialog) {
                char title[128];
                GetWindowTextA(dialog, title, sizeof title);
                caption = title;
                owner = GetWindow(dialog, GW_OWNER);
                pressKey(focusOf(dialog), VK_ESCAPE);
            },
            [&](HWND dialog) {
                openAfterEscape = IsWindowVisible(dialog) != 0;
                c.close(dialog);
            },
        });
        EXPECT_EQ(about(), 1);
        EXPECT_FALSE(driver.watchdogFired()) << "the box did not close";
        EXPECT_EQ(driver.stepsRun(), 2u);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_EQ(caption, "About Tarvix");
        EXPECT_EQ(owner, simulator.window);
        EXPECT_EQ(SimulatorWindow::systemMenuClicks, 1);
        EXPECT_TRUE(SimulatorWindow::clickWasPlain);
    }
    FreeLibrary(library);
}

} // namespace
