// Times the screen: one whole redraw (airport mode, and tour mode with a 100-item tour), and the
// copy of the canvas into the simulator's image alone, against memcpy of as many bytes, all in
// one run on one machine. Runs in its own folder beside the stand-in dialog library.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/position_units.h"
#include "common/sim_ids.h"
#include "gauge/screen_copy.h"
#include "host/panel_host.h"

namespace {

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

// The kept settings that give the airport route its origin at the aircraft.
HANDLE keepRouteOrigin(double latitude, double longitude) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024,
                                        "TarvixGaugeMapFile");
    if (char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0))) {
        const double block[3] = {latitude, longitude, 5.0};
        std::memcpy(view, block, sizeof block);
        UnmapViewOfFile(view);
    }
    return mapping;
}

// Microseconds of one redraw: the 13th update of each cycle less the mean of the other twelve,
// which do the same navigation work without drawing.
double timeRedraw(int cycles) {
    double redrawing = 0, plain = 0;
    for (int c = 0; c < cycles; ++c) {
        for (int i = 0; i < 12; ++i) {
            double t = now();
            hostUpdate();
            plain += now() - t;
        }
        double t = now();
        hostUpdate();
        redrawing += now() - t;
    }
    return (redrawing - plain / 12) / cycles * 1e6;
}

double flyAndTime(HMODULE library, int32_t tourItems, int cycles, std::vector<uint8_t>* drawn,
                  std::vector<uint8_t>* installed) {
    using Serve = void(__stdcall*)(int32_t, double, double);
    auto serve =
        reinterpret_cast<Serve>(reinterpret_cast<void*>(GetProcAddress(library, "StandInServe")));
    double latitude = latitudeFromDms(false, 41, 47, 12),
           longitude = longitudeFromDms(true, 87, 45, 8);
    if (serve)
        serve(tourItems, latitude, longitude);
    setVariable(varLatitude, latitude);
    setVariable(varLongitude, longitude);
    setVariable(varSpeed, 140);
    setVariable(varHeading, 30);
    hostInstall();
    hostInitialize();
    const ImageRecord* image = installedImage(102);
    if (installed && image)
        installed->assign(image->pixels, image->pixels + image->byteSize);
    double micros = timeRedraw(cycles);
    if (drawn && image)
        drawn->assign(image->pixels, image->pixels + image->byteSize);
    hostKill();
    return micros;
}

} // namespace

int main() {
    std::string error;
    HMODULE library = LoadLibraryA("TarvixDlg.dll"); // the stand-in beside this program
    if (!library || !loadGauge(besideProgram("..\\Tarvix42.gau"), error)) {
        std::fprintf(stderr, "screen_bench: %s\n",
                     library ? error.c_str() : "no stand-in TarvixDlg.dll in the current folder");
        return 1;
    }
    HANDLE kept =
        keepRouteOrigin(latitudeFromDms(false, 41, 47, 12), longitudeFromDms(true, 87, 45, 8));
    const int cycles = 400;
    std::vector<uint8_t> canvas, image;
    double airport = flyAndTime(library, 0, cycles, &canvas, &image);
    double tour = flyAndTime(library, 100, cycles, nullptr, nullptr);
    unloadGauge();
    CloseHandle(kept);

    // The copy on a drawn screen over the installed picture, and memcpy of the same bytes.
    const int copies = 5000;
    const uint32_t bytes = uint32_t(image.size());
    std::vector<uint8_t> target(bytes);
    double copyTime = 0, memcpyTime = 0;
    volatile uint8_t sink = 0;
    for (int i = 0; i < copies; ++i) {
        std::memcpy(target.data(), image.data(), bytes); // fresh picture, not timed
        double t = now();
        copyCanvasToImage({canvas.data(), 280, int32_t(bytes / 280), 280}, target.data(), bytes);
        copyTime += now() - t;
        sink = sink + target[i % bytes];
        t = now();
        std::memcpy(target.data(), canvas.data(), bytes);
        memcpyTime += now() - t;
        sink = sink + target[(i * 7) % bytes];
    }
    std::printf("screen_bench: %d redraws each, %d copies of %u bytes\n", cycles, copies, bytes);
    std::printf("  redraw, airport mode with route     %8.1f us\n", airport);
    std::printf("  redraw, tour mode with 100 items    %8.1f us\n", tour);
    std::printf("  copy into the simulator's image     %8.1f us\n", copyTime / copies * 1e6);
    std::printf("  memcpy of the same %u bytes      %8.1f us\n", bytes, memcpyTime / copies * 1e6);
    return 0;
}
