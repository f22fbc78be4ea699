// libFuzzer target: any bytes through one of the readers, chosen by the first byte modulo 5:
// GPX, CSV (odd bytes above 5 read a headerless table with named columns), the .pln flight plan
// (XML, or the older text plan where the contents say so), the plan of fixes, the GPS route; the
// format guess and the binary check see them too. Whatever a foreign tool wrote, every point that
// comes out is one the gauge can fly to, every finding names a line of the input, and what the tool
// writes of the points reads back as the same points in GPX and CSV, and a route in its own flight
// plan format.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbtool/csv_format.h"
#include "dbtool/file_kinds.h"
#include "dbtool/gpx_format.h"
#include "dbtool/plan_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool sound(const DmsAngle& a, char positive, char negative, int32_t limit) {
    return (a.hemisphere == positive || a.hemisphere == negative) && a.degrees >= 0 &&
           a.minutes >= 0 && a.minutes < 60 && a.seconds >= 0 && a.seconds < 60 &&
           (a.degrees < limit || (a.degrees == limit && a.minutes == 0 && a.seconds == 0));
}

// Every point once, in an order that does not depend on how the groups were arranged (GPX
// puts all waypoints before the routes; CSV gathers the rows of one folder and kind).
enum class Heights { all, nonZero, none };

std::vector<std::string> positions(const WaypointSet& set, Heights heights = Heights::all) {
    std::vector<std::string> points;
    for (const WaypointGroup& group : set.groups)
        for (const Waypoint& p : group.points)
            points.push_back(formatDms(p.latitude) + formatDms(p.longitude) +
                             (group.isRoute ? "route " : "place ") +
                             (p.hasAltitude && heights != Heights::none &&
                                      (heights == Heights::all || p.altitude != 0)
                                  ? std::to_string(p.altitude)
                                  : "-"));
    std::sort(points.begin(), points.end());
    return points;
}

using Reader = bool (*)(const char*, size_t, WaypointSet&, Findings&);
using Writer = std::string (*)(const WaypointGroup&);

// A route written in its own plan format reads back as the same points. What the format keeps of
// the altitudes differs: a plan of fixes has no "none" apart from 0; an XML plan flies a point
// without one at the cruising altitude; a GPS route has none.
void planRoundTrip(const WaypointSet& set, Writer write, Reader read, Heights heights) {
    for (const WaypointGroup& group : set.groups) {
        if (!group.isRoute || group.points.empty())
            continue;
        std::string written = write(group);
        WaypointSet again;
        Findings none;
        WaypointSet one;
        one.groups.push_back(group);
        if (!read(written.data(), written.size(), again, none) || again.groups.size() != 1 ||
            positions(again, heights) != positions(one, heights))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int reader = data[0] % 5;
    const char* text = reinterpret_cast<const char*>(data + 1);
    size_t length = size - 1;
    formatFromContent(data + 1, length);
    firstBinaryLine(data + 1, length);
    WaypointSet set;
    Findings findings;
    if (reader == 0)
        readGpx(text, length, set, findings, data[0] > 5 ? 3 : 0); // tracks thinned to 3 points
    else if (reader == 1)
        readCsv(text, length, data[0] > 5 ? "ident,name,lat,lon,altitude,country" : "", set,
                findings);
    else if (reader == 2 &&
             resolvedFormat(FileFormat::xmlPlan, "", data + 1, length) == FileFormat::textPlan)
        readTextPlan(text, length, set, findings);
    else if (reader == 2)
        readXmlPlan(text, length, set, findings);
    else if (reader == 3)
        readFixPlan(text, length, set, findings);
    else
        readGpsRoute(text, length, set, findings);
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
                (p.hasAltitude && std::abs(p.altitude) > largestFeet + 1))
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
    if (reader == 2)
        planRoundTrip(set, writeXmlPlan, readXmlPlan, Heights::none);
    if (reader == 3)
        planRoundTrip(set, writeFixPlan, readFixPlan, Heights::nonZero);
    if (reader == 4)
        planRoundTrip(set, writeGpsRoute, readGpsRoute, Heights::none);
    return 0;
}
