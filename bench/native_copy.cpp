// The copy into the simulator's image against memcpy of the same 88,480 bytes, natively on the
// build machine, in both forms of its loop: built once as the compiler builds it for this
// processor (with its vector unit: the byte form is what x86-64 runs) and once with
// vectorisation off (the word form is then what the i686 build runs, on wider registers). A
// picture like the gauge's: mostly black canvas over a screen area with a zero border.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gauge/screen_copy.h"

namespace {

double medianMicros(std::vector<double>& seconds) {
    std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
    return seconds[seconds.size() / 2] * 1e6;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    const int32_t width = 280, height = 316;
    const uint32_t bytes = width * height;
    std::vector<uint8_t> canvas(bytes), picture(bytes), target(bytes);
    for (uint32_t i = 0; i < bytes; ++i) {
        uint32_t x = i % width, y = i / width;
        picture[i] = x < 10 || x >= 270 || y < 5 || y >= 311 ? 0 : 9;
        canvas[i] = (x * 7 + y * 13) % 11 == 0 ? uint8_t(100 + x % 50) : 0;
    }
    const int copies = 5000;
    const struct {
        const char* name;
        void (*copy)(const uint8_t*, uint8_t*, size_t);
    } forms[] = {
        {"words", copyRunByWords},
        {"bytes", copyRunByBytes},
        {"memcpy", [](const uint8_t* from, uint8_t* to, size_t n) { std::memcpy(to, from, n); }}};
    double micros[3];
    volatile uint8_t sink = 0;
    for (int f = 0; f < 3; ++f) {
        std::vector<double> seconds;
        for (int i = 0; i < copies; ++i) {
            std::memcpy(target.data(), picture.data(), bytes); // a fresh picture, not timed
            auto start = std::chrono::steady_clock::now();
            forms[f].copy(canvas.data(), target.data(), bytes);
            seconds.push_back(secondsSince(start));
            sink = sink + target[(i * 7) % bytes];
        }
        micros[f] = medianMicros(seconds);
    }
    std::printf("native copy, %s: median of %d runs over %u bytes\n", TARVIX_COPY_BUILD, copies,
                bytes);
    for (int f = 0; f < 2; ++f)
        std::printf("  %-6s %8.2f us  %5.2f x memcpy\n", forms[f].name, micros[f],
                    micros[f] / micros[2]);
    std::printf("  memcpy %8.2f us\n", micros[2]);
    return 0;
}
