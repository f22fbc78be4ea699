// Every GDI object a redraw makes is deleted again, and only after the previous object has been
// selected back into the canvas. The gauge's own imports of the GDI calls are routed through
// counting wrappers, so the check sees exactly what the gauge creates and deletes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>

#include "host/panel_host.h"
#include "testkit/import_slots.h"
#include "testkit/test_support.h"

namespace {

struct Tally {
    std::set<HGDIOBJ> live; // made by the gauge, not yet deleted
    long created = 0;
    long deletedWhileSelected = 0;
    HDC canvasDC = nullptr;
};
Tally tally;

HGDIOBJ made(HGDIOBJ object) {
    if (object) {
        tally.live.insert(object);
        ++tally.created;
    }
    return object;
}

HPEN WINAPI countedCreatePen(int style, int width, COLORREF colour) {
    return static_cast<HPEN>(made(CreatePen(style, width, colour)));
}
HBRUSH WINAPI countedCreateSolidBrush(COLORREF colour) {
    return static_cast<HBRUSH>(made(CreateSolidBrush(colour)));
}
HFONT WINAPI countedCreateFontA(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s,
                                DWORD set, DWORD out, DWORD clip, DWORD q, DWORD pitch,
                                LPCSTR face) {
    return static_cast<HFONT>(
        made(CreateFontA(h, w, e, o, weight, i, u, s, set, out, clip, q, pitch, face)));
}
HRGN WINAPI countedCreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return static_cast<HRGN>(made(CreateRoundRectRgn(l, t, r, b, w, h)));
}
HRGN WINAPI countedCreateRectRgn(int l, int t, int r, int b) {
    return static_cast<HRGN>(made(CreateRectRgn(l, t, r, b)));
}
HDC WINAPI countedCreateCompatibleDC(HDC dc) {
    tally.canvasDC = CreateCompatibleDC(dc);
    return tally.canvasDC;
}
BOOL WINAPI countedDeleteObject(HGDIOBJ object) {
    if (tally.canvasDC) {
        for (UINT type : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT}) {
            if (GetCurrentObject(tally.canvasDC, type) == object)
                ++tally.deletedWhileSelected;
        }
    }
    tally.live.erase(object);
    return DeleteObject(object);
}

bool route(HMODULE module, const char* function, void* wrapper) {
    void** slot = importSlot(module, "gdi32.dll", function);
    if (!slot)
        return false;
    replaceImport(slot, wrapper);
    return true;
}

void redraw() {
    for (int i = 0; i < 13; ++i)
        hostUpdate();
}

TEST(ScreenResources, ThousandsOfRedrawsLeaveNoObjectBehind) {
    enterFreshFolder();
    std::string error;
    ASSERT_TRUE(loadGauge(gaugePath(), error)) << error;
    HMODULE gauge = GetModuleHandleA("Tarvix42.gau");
    ASSERT_NE(gauge, nullptr);
    ASSERT_TRUE(route(gauge, "CreatePen", reinterpret_cast<void*>(countedCreatePen)));
    ASSERT_TRUE(route(gauge, "CreateSolidBrush", reinterpret_cast<void*>(countedCreateSolidBrush)));
    ASSERT_TRUE(route(gauge, "CreateFontA", reinterpret_cast<void*>(countedCreateFontA)));
    ASSERT_TRUE(
        route(gauge, "CreateRoundRectRgn", reinterpret_cast<void*>(countedCreateRoundRectRgn)));
    ASSERT_TRUE(route(gauge, "CreateRectRgn", reinterpret_cast<void*>(countedCreateRectRgn)));
    ASSERT_TRUE(
        route(gauge, "CreateCompatibleDC", reinterpret_cast<void*>(countedCreateCompatibleDC)));
    ASSERT_TRUE(route(gauge, "DeleteObject", reinterpret_cast<void*>(countedDeleteObject)));

    hostInstall();
    hostInitialize();
    ASSERT_NE(tally.canvasDC, nullptr);
    redraw();
    const size_t kept = tally.live.size(); // the canvas's own region lives as long as it does
    const long perRedraw = tally.created - 1;
    EXPECT_EQ(kept, 1u);
    EXPECT_GE(perRedraw, 10) << "fonts, pens, brushes and the clip of one redraw";
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);

    const int redraws = 3000;
    for (int i = 0; i < redraws; ++i)
        redraw();
    EXPECT_EQ(tally.live.size(), kept);
    EXPECT_EQ(tally.created, 1 + perRedraw * (redraws + 1)) << "the same objects every redraw";
    EXPECT_EQ(tally.deletedWhileSelected, 0);
    // Where the platform counts GDI objects (Windows; Wine reports 0), the count holds too.
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);

    hostKill();
    EXPECT_TRUE(tally.live.empty()) << "release frees the canvas's region";
    unloadGauge();
}

} // namespace
