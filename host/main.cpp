// tarvix-host: flies the gauge in the stand-in simulator and writes the panel as a picture.
//
//   tarvix-host [--gauge PATH] [--frames N] [--picture FILE.png]
//               [--latitude DEG] [--longitude DEG] [--heading DEG] [--speed KNOTS]
//               [--altitude FEET]
//
// Latitude north and longitude east are positive. The gauge defaults to Tarvix42.gau beside
// this program; the picture to panel.png in the current folder.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/position_units.h"
#include "common/sim_ids.h"
#include "host/panel_host.h"

namespace {

struct HostOptions {
    std::string gauge;
    std::string picture = "panel.png";
    long frames = 300;
    double latitude = 41.7868; // Chicago Midway
    double longitude = -87.7522;
    double heading = 360.0;
    double speed = 0.0;
    double altitudeFeet = 620.0;
};

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + file;
}

bool readNumber(const char* text, double low, double high, double& out) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value) || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool parseOptions(int argc, char** argv, HostOptions& options, std::string& error) {
    options.gauge = besideProgram("Tarvix42.gau");
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (i + 1 >= argc) {
            error = "option " + name + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        double number = 0;
        auto range = [&](double low, double high, double& out) {
            if (readNumber(value, low, high, out))
                return true;
            error = "option " + name + ": '" + value + "' is not a number from " +
                    std::to_string(low) + " to " + std::to_string(high);
            return false;
        };
        if (name == "--gauge") {
            options.gauge = value;
        } else if (name == "--picture") {
            options.picture = value;
        } else if (name == "--frames") {
            if (!range(1, 1e7, number))
                return false;
            options.frames = static_cast<long>(number);
        } else if (name == "--latitude") {
            if (!range(-90, 90, options.latitude))
                return false;
        } else if (name == "--longitude") {
            if (!range(-180, 180, options.longitude))
                return false;
        } else if (name == "--heading") {
            if (!range(0, 360, options.heading))
                return false;
        } else if (name == "--speed") {
            if (!range(0, 2000, options.speed))
                return false;
        } else if (name == "--altitude") {
            if (!range(-2000, 100000, options.altitudeFeet))
                return false;
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    return true;
}

void placeAircraft(const HostOptions& options) {
    setVariable(varLatitude,
                latitudeFromDms(options.latitude < 0, 0, 0, std::fabs(options.latitude) * 3600));
    setVariable(varLongitude,
                longitudeFromDms(options.longitude < 0, 0, 0, std::fabs(options.longitude) * 3600));
    setVariable(varHeading, options.heading);
    setVariable(varSpeed, options.speed);
    setVariable(varAltitude, options.altitudeFeet * 0.3048);
}

} // namespace

int main(int argc, char** argv) {
    HostOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error) || !loadGauge(options.gauge, error)) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    placeAircraft(options);
    hostInstall();
    hostInitialize();
    for (long frame = 0; frame < options.frames; ++frame)
        hostFrame();
    PanelPicture picture;
    bool pictured = composePanel(picture, error) && writePng(options.picture, picture, error);
    hostKill();
    unloadGauge();
    if (!pictured) {
        std::fprintf(stderr, "tarvix-host: %s\n", error.c_str());
        return 1;
    }
    std::printf("tarvix-host: %ld frames flown, panel picture %s\n", options.frames,
                options.picture.c_str());
    return 0;
}
