// libFuzzer target: any bytes through the GPX reader (first byte even) or the CSV reader (odd).
// Whatever a foreign tool wrote, every point that comes out is one the gauge can fly to, every
// finding names a line of the input, and what the tool writes of the points reads back as the
// same points in both formats.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbtool/csv_format.h"
#include "dbtool/gpx_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool sound(const DmsAngle& a, char positive, char negative, int32_t limit) {
    return (a.hemisphere == positive || a.hemisphere == negative) && a.degrees >= 0 &&
           a.minutes >= 0 && a.minutes < 60 && a.seconds >= 0 && a.seconds < 60 &&
           (a.degrees < limit || (a.degrees == limit && a.minutes == 0 && a.seconds == 0));
}

// Every point once, in an order that does not depend on how the groups were arranged (GPX
// puts all waypoints before the routes; CSV gathers the rows of one folder and kind). Only
// route points carry an altitude in GPX.
std::vector<std::string> positions(const WaypointSet& set) {
    std::vector<std::string> points;
    for (const WaypointGroup& group : set.groups)
        for (const Waypoint& p : group.points)
            points.push_back(formatDms(p.latitude) + formatDms(p.longitude) +
                             (group.isRoute ? "route " : "place ") +
                             (group.isRoute && p.hasAltitude ? std::to_string(p.altitude) : "-"));
    std::sort(points.begin(), points.end());
    return points;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    bool gpx = data[0] % 2 == 0;
    const char* text = reinterpret_cast<const char*>(data + 1);
    size_t length = size - 1;
    WaypointSet set;
    Findings findings;
    if (gpx)
        readGpx(text, length, set, findings);
    else
        readCsv(text, length, "", set, findings);
    int32_t lines = 1;
    for (size_t i = 0; i < length; ++i)
        lines += text[i] == '\n' ? 1 : 0;
    for (const Finding& f : findings)
        if (f.line < 0 || f.line > lines || f.reason.empty())
            std::abort();
    for (const WaypointGroup& group : set.groups) {
        for (const Waypoint& p : group.points) {
            if (!sound(p.latitude, 'N', 'S', 90) || !sound(p.longitude, 'E', 'W', 180) ||
                !noPointReason(p.latitude, p.longitude).empty() || p.line < 1 || p.line > lines ||
                (p.hasAltitude && (p.altitude < 0 || p.altitude > 99996)))
                std::abort();
        }
    }
    const std::vector<std::string> before = positions(set);
    std::string written = writeGpx(set);
    WaypointSet again;
    Findings none;
    if (!readGpx(written.data(), written.size(), again, none) || positions(again) != before)
        std::abort();
    written = writeCsv(set);
    again = WaypointSet{};
    if (!readCsv(written.data(), written.size(), "", again, none) || positions(again) != before)
        std::abort();
    return 0;
}
