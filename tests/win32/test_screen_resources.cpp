// Every GDI object a redraw makes is deleted again, and only after the previous object has been
// selected back into the canvas. The gauge's own imports of the GDI calls are routed through
// counting wrappers, so the check sees exactly what the gauge creates and deletes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>

#include "host/panel_host.h"
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

// The import slot of the module for the named function of the named library.
void** importSlot(HMODULE module, const char* library, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), library) != 0)
            continue;
        DWORD lookup = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

bool route(HMODULE module, const char* function, void* wrapper) {
    void** slot = importSlot(module, "gdi32.dll", function);
    DWORD old = 0;
    if (!slot || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old))
        return false;
    *slot = wrapper;
    VirtualProtect(slot, sizeof *slot, old, &old);
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
