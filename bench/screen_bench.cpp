// Times the screen: one whole redraw (airport mode, and tour mode with a 100-item tour), and the
// copy of the canvas into the simulator's image alone, against memcpy of as many bytes, all in
// one run on one machine, so that the ratios hold wherever it runs. Runs in its own folder beside
// the stand-in dialog library; the gauge lies two folders up, in bin/.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "gauge/screen_copy.h"
#include "host/panel_host.h"
#include "testkit/kept_block.h"

namespace {

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

// The median of per-call times, in microseconds: other programs on a shared machine stretch a
// few calls a lot, which a mean would carry into the figures unevenly.
double medianMicros(std::vector<double>& ms) {
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    return ms[ms.size() / 2] * 1e3;
}

// Microseconds of one redraw: the 13th update of each cycle less the mean of the other twelve,
// which do the same navigation work without drawing.
double timeRedraw(int cycles) {
    std::vector<double> redraws;
    for (int c = 0; c < cycles; ++c) {
        double plain = 0;
        for (int i = 0; i < 12; ++i) {
            double t = nowMs();
            hostUpdate();
            plain += nowMs() - t;
        }
        double t = nowMs();
        hostUpdate();
        redraws.push_back(nowMs() - t - plain / 12);
    }
    return medianMicros(redraws);
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

// Arguments, for a short run: redraw cycles (default 400) and copies (default 5000).
int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 400;
    const int copies = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5000;
    std::string error;
    HMODULE library = LoadLibraryA("TarvixDlg.dll"); // the stand-in beside this program
    if (!library || !loadGauge(besideProgram("..\\..\\Tarvix42.gau"), error)) {
        std::fprintf(stderr, "screen_bench: %s\n",
                     library ? error.c_str() : "no stand-in TarvixDlg.dll beside the program");
        return 1;
    }
    // The kept settings that give the airport route its origin at the aircraft.
    writeKeptBlock({latitudeFromDms(false, 41, 47, 12), longitudeFromDms(true, 87, 45, 8), 5.0, 0});
    std::vector<uint8_t> canvas, image;
    double airport = flyAndTime(library, 0, cycles, &canvas, &image);
    double tour = flyAndTime(library, 100, cycles, nullptr, nullptr);
    unloadGauge();

    // The copy on a drawn screen over the installed picture, and memcpy of the same bytes, in
    // batches: Wine's performance counter counts tenths of a microsecond, too coarse for one
    // call. A copy costs the same over a picture it has already copied (it has no branches).
    const uint32_t bytes = uint32_t(image.size());
    const int batch = 20;
    std::vector<uint8_t> target(bytes);
    std::vector<double> copyMs, memcpyMs;
    volatile uint8_t sink = 0;
    for (int i = 0; i < copies; i += batch) {
        std::memcpy(target.data(), image.data(), bytes); // fresh picture, not timed
        double t = nowMs();
        for (int n = 0; n < batch; ++n)
            copyCanvasToImage({canvas.data(), 280, int32_t(bytes / 280), 280}, target.data(),
                              bytes);
        copyMs.push_back((nowMs() - t) / batch);
        sink = sink + target[i % bytes];
        t = nowMs();
        for (int n = 0; n < batch; ++n)
            std::memcpy(target.data(), canvas.data(), bytes);
        memcpyMs.push_back((nowMs() - t) / batch);
        sink = sink + target[(i * 7) % bytes];
    }
    const double copy = medianMicros(copyMs), plainCopy = medianMicros(memcpyMs);
    std::printf("screen_bench (%s build): %d redraws each, median of %d copies of %u bytes "
                "in batches of %d\n",
                sizeof(void*) == 8 ? "x86-64" : "i686", cycles, copies, bytes, batch);
    std::printf("  redraw, airport mode with route     %8.1f us\n", airport);
    std::printf("  redraw, tour mode with 100 items    %8.1f us  %5.2f x the airport redraw\n",
                tour, tour / airport);
    std::printf("  copy into the simulator's image     %8.2f us  %5.2f x memcpy\n", copy,
                copy / plainCopy);
    std::printf("  memcpy of the same %u bytes      %8.2f us\n", bytes, plainCopy);
    return 0;
}
