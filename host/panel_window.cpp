#include "panel_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/coordinate_text.h"
#include "common/position_units.h"
#include "common/screen_colours.h"
#include "clock_text.h"
#include "panel_host.h"
#include "window_capture.h"

namespace {

const char windowClass[] = "TarvixPanelWindow";
constexpr UINT_PTR frameTimer = 1;
constexpr UINT panelRateMilliseconds = 1000 / 18; // the simulator's 18 panel frames a second
constexpr int statusHeight = 44;                  // two lines of text under the panel

// The window's state: there is one panel window, as there is one simulator.
struct PanelWindowState {
    FlightRun* run = nullptr;
    FlightOutcome* outcome = nullptr;
    WindowOptions options;
    SimClock clock{false, 1};
    bool busy = false; // inside a frame or a click: the dialogs' own message loops must not fly
    bool failed = false;
    std::string error;
    int32_t width = 0, height = 0; // the gauge's
};

PanelWindowState state;

// The keys a pilot flies with; the status line lists them.
const struct {
    WPARAM key;
    PilotKey action;
} pilotKeys[] = {
    {VK_LEFT, PilotKey::headingLeft}, {VK_RIGHT, PilotKey::headingRight},
    {VK_UP, PilotKey::climb},         {VK_DOWN, PilotKey::descend},
    {VK_PRIOR, PilotKey::faster},     {VK_NEXT, PilotKey::slower},
    {VK_SPACE, PilotKey::pause},      {'P', PilotKey::pause},
    {'1', PilotKey::rate1},           {'2', PilotKey::rate4},
    {'3', PilotKey::rate16},
};

const char keyHelp[] = "\xE2\x86\x90/\xE2\x86\x92 heading  \xE2\x86\x91/\xE2\x86\x93 altitude  "
                       "PgUp/PgDn speed (autopilot off)   Space pause   1/2/3: 1\xC3\x97/4\xC3\x97/"
                       "16\xC3\x97";

std::string trimmedText(const char* text, size_t size) {
    std::string t(text, strnlen(text, size));
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    return t;
}

void closeWindow(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// Flies the frames of one tick of wall time; nothing while a frame or a click is still running
// (a dialog's message loop delivers the timer too) or while the clock is paused.
void tick(HWND window) {
    if (state.busy || state.clock.paused || !state.run)
        return;
    state.busy = true;
    for (int i = 0; i < state.clock.rate; ++i) {
        FrameResult result = flyFrame(*state.run, *state.outcome, state.error);
        if (result == FrameResult::failed || result == FrameResult::interrupted) {
            state.failed = result == FrameResult::failed;
            closeWindow(window);
            break;
        }
        if (state.options.closeAfter > 0 &&
            state.run->simulation.seconds + 1e-9 >= state.options.closeAfter) {
            closeWindow(window);
            break;
        }
    }
    state.busy = false;
    InvalidateRect(window, nullptr, FALSE);
}

void paintPanel(HDC dc) {
    PanelIndices panel;
    std::string ignored;
    if (!composePanelIndices(panel, ignored))
        return;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = panel.width;
    info.header.biHeight = -panel.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        uint32_t rgb = canvasColourTable[i];
        info.colours[i] = {uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16), 0};
    }
    // DIB rows are whole 32-bit words.
    int32_t stride = (panel.width + 3) & ~3;
    std::vector<uint8_t> rows(size_t(stride) * panel.height);
    for (int32_t y = 0; y < panel.height; ++y)
        std::copy_n(panel.indices.data() + size_t(y) * panel.width, panel.width,
                    rows.data() + size_t(y) * stride);
    StretchDIBits(dc, 0, 0, panel.width * panelZoom, panel.height * panelZoom, 0, 0, panel.width,
                  panel.height, rows.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                  SRCCOPY);
}

void drawUtf8(HDC dc, int x, int y, const std::string& text) {
    std::vector<wchar_t> wide(text.size() + 1);
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()), wide.data(),
                                     int(wide.size()));
    TextOutW(dc, x, y, wide.data(), length);
}

void paintStatus(HDC dc, const RECT& client) {
    RECT strip = {0, state.height * panelZoom, client.right, client.bottom};
    HBRUSH back = CreateSolidBrush(RGB(24, 28, 40));
    FillRect(dc, &strip, back);
    DeleteObject(back);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(235, 235, 235));
    std::string status = panelStatus();
    size_t split = status.find('\n');
    drawUtf8(dc, 6, strip.top + 4, status.substr(0, split));
    SetTextColor(dc, RGB(160, 170, 190));
    drawUtf8(dc, 6, strip.top + 24, split == std::string::npos ? "" : status.substr(split + 1));
    SelectObject(dc, oldFont);
}

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    paintPanel(dc);
    paintStatus(dc, client);
    EndPaint(window, &ps);
}

void click(HWND window, LPARAM where) {
    int32_t x = int16_t(LOWORD(where)) / panelZoom, y = int16_t(HIWORD(where)) / panelZoom;
    if (state.busy || !state.run || y >= state.height)
        return;
    // A pilot's click makes the simulator's window the foreground one, which the library's
    // dialogs take as their owner.
    SetForegroundWindow(window);
    state.busy = true;
    pilotClick(*state.run, x, y, *state.outcome);
    state.busy = false;
    InvalidateRect(window, nullptr, FALSE);
}

void key(HWND window, WPARAM code) {
    if (!state.run)
        return;
    for (const auto& entry : pilotKeys) {
        if (entry.key == code) {
            if (pilotKey(entry.action, state.run->simulation.aircraft, state.clock))
                InvalidateRect(window, nullptr, FALSE);
            return;
        }
    }
}

void writePicture(HWND window) {
    PanelPicture picture;
    std::string error;
    if (state.options.picture.empty())
        return;
    if (captureWindow(window, picture) && writePng(state.options.picture, picture, error)) {
        state.outcome->written.push_back(state.options.picture);
    } else if (!state.failed) {
        state.failed = true;
        state.error = "cannot write the window's picture '" + state.options.picture + "'";
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        tick(window);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the panel and the status strip cover the whole client area
    case WM_LBUTTONDOWN:
        click(window, lParam);
        return 0;
    case WM_KEYDOWN:
        key(window, wParam);
        return 0;
    case WM_NCLBUTTONDOWN:
        // The dialog library tells the foreground window this way to let go of the mouse before
        // its dialog takes over; the system menu it would open here would wait for a click.
        if (wParam == HTSYSMENU) {
            ReleaseCapture();
            return 0;
        }
        break;
    case WM_CLOSE:
        if (!state.busy) {
            writePicture(window);
            DestroyWindow(window);
        } else {
            closeWindow(window); // once the frame or click that is running has ended
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window, frameTimer);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char noDisplay[] =
    "cannot open the panel window: there is no display. Under Wine it needs an "
    "X server: set DISPLAY to one, or run under a virtual one (xvfb-run -a "
    "./tarvix window)";

} // namespace

bool displayAvailable(std::string& error) {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe) {
        error = noDisplay;
        return false;
    }
    DestroyWindow(probe);
    return true;
}

HWND openPanelWindow(FlightRun& run, FlightOutcome& outcome, const WindowOptions& options,
                     std::string& error) {
    PanelIndices panel;
    if (!composePanelIndices(panel, error))
        return nullptr;
    state = PanelWindowState{};
    state.run = &run;
    state.outcome = &outcome;
    state.options = options;
    state.clock = {false, options.rate > 0 ? options.rate : 1};
    state.width = panel.width;
    state.height = panel.height;
    WNDCLASSA kind{};
    kind.lpfnWndProc = windowProc;
    kind.hInstance = GetModuleHandleA(nullptr);
    kind.hCursor = LoadCursor(nullptr, IDC_ARROW);
    kind.lpszClassName = windowClass;
    RegisterClassA(&kind); // fails harmlessly when a window of this run already registered it
    DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    RECT size = {0, 0, panel.width * panelZoom, panel.height * panelZoom + statusHeight};
    AdjustWindowRect(&size, style, FALSE);
    std::string title =
        "Tarvix: " + (run.scenario.name.empty() ? std::string("free flight") : run.scenario.name);
    HWND window = CreateWindowExA(0, windowClass, title.c_str(), style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, size.right - size.left, size.bottom - size.top,
                                  nullptr, nullptr, kind.hInstance, nullptr);
    if (!window) {
        error = noDisplay;
        state = PanelWindowState{};
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    SetTimer(window, frameTimer, panelRateMilliseconds, nullptr);
    return window;
}

bool runPanelWindow(HWND window, std::string& error) {
    MSG message;
    while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    error = state.error;
    bool flown = !state.failed;
    state = PanelWindowState{};
    return flown;
}

bool pumpPanelWindow(HWND window, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return false;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD passed = GetTickCount() - start;
        if (!IsWindow(window))
            return false;
        if (passed >= milliseconds)
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - passed, QS_ALLINPUT);
    }
}

const SimClock& panelClock() {
    return state.clock;
}

std::string panelStatus() {
    if (!state.run)
        return "";
    const Simulation& s = state.run->simulation;
    const Aircraft& a = s.aircraft;
    const Autopilot& ap = a.autopilot;
    char line[512];
    std::string autopilot = "AP off";
    if (ap.master) {
        autopilot = "AP on";
        if (ap.headingHold)
            autopilot += ", hdg " + std::to_string(std::lround(ap.selectedHeading));
        if (ap.altitudeHold)
            autopilot += ", alt " + std::to_string(std::lround(ap.selectedAltitude)) + " ft";
    }
    ExchangeRecord active = activeWaypoint(*state.run);
    std::string waypoint = "no waypoint";
    if (!isNoPoint(active.latitude, active.longitude)) {
        double nm = sphereDistance(a.latitude, a.longitude, latitudeDegrees(active.latitude),
                                   longitudeDegrees(active.longitude));
        std::string name = trimmedText(active.name, sizeof active.name);
        char to[96];
        std::snprintf(to, sizeof to, "\xE2\x86\x92 %s%s%s %.1f nm",
                      trimmedText(active.ident, sizeof active.ident).c_str(),
                      name.empty() ? "" : " ", name.c_str(), nm);
        waypoint = to;
    }
    std::snprintf(
        line, sizeof line, "%s %s   hdg %03ld\xC2\xB0   %ld ft   %ld kt   %s   %s\n%s %s   %s",
        formatDms(dmsFromDecimal(a.latitude, true), DmsForm::window).c_str(),
        formatDms(dmsFromDecimal(a.longitude, false), DmsForm::window).c_str(),
        std::lround(a.heading) % 360 == 0 ? 360L : std::lround(a.heading), std::lround(a.altitude),
        std::lround(a.airspeed), autopilot.c_str(), waypoint.c_str(), clockText(s.seconds).c_str(),
        state.clock.paused ? "paused" : (std::to_string(state.clock.rate) + "\xC3\x97").c_str(),
        keyHelp);
    return line;
}

POINT clientPointOf(int32_t x, int32_t y) {
    return {x * panelZoom + panelZoom / 2, y * panelZoom + panelZoom / 2};
}
