#include "point_filters.h"

#include <cmath>
#include <sstream>
#include <vector>

#include "common/great_circle.h"
#include "common/coordinate_text.h"
#include "finding_report.h"
#include "text_codec.h"

namespace {

std::vector<std::string> listOf(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');)
        if (!trimmed(item).empty())
            items.push_back(asciiLowered(trimmed(item)));
    return items;
}

bool inList(const std::vector<std::string>& list, const std::string& value) {
    if (list.empty())
        return true;
    std::string v = asciiLowered(value);
    for (const std::string& item : list)
        if (item == v)
            return true;
    return false;
}

struct Box {
    double south, west, north, east;
};

bool readBox(const std::string& text, Box& box, std::string& reason) {
    std::vector<std::string> parts = listOf(text);
    double values[4];
    bool ok = parts.size() == 4;
    for (size_t i = 0; ok && i < 4; ++i)
        ok = realNumber(parts[i], values[i]) && std::abs(values[i]) <= (i % 2 == 0 ? 90 : 180);
    if (!ok || values[0] > values[2]) {
        reason = "--box '" + text +
                 "': give south,west,north,east in decimal degrees, south below north";
        return false;
    }
    box = {values[0], values[1], values[2], values[3]};
    return true;
}

bool inBox(const Box& box, double latitude, double longitude) {
    if (latitude < box.south || latitude > box.north)
        return false;
    return box.west <= box.east ? longitude >= box.west && longitude <= box.east
                                : longitude >= box.west || longitude <= box.east;
}

// The centre of --within: "41.78,-87.75" or "N41 47 10,W87 45 08", else an identifier.
bool readCentre(const WaypointSet& set, const std::string& text, double& latitude,
                double& longitude, std::string& reason) {
    size_t comma = text.find(',');
    if (comma != std::string::npos) {
        CoordinateRead north = readCoordinate(trimmed(text.substr(0, comma)), true, latitude);
        CoordinateRead east = readCoordinate(trimmed(text.substr(comma + 1)), false, longitude);
        if (north != CoordinateRead::notCoordinate && east != CoordinateRead::notCoordinate)
            return north == CoordinateRead::read && east == CoordinateRead::read;
    }
    std::string wanted = asciiLowered(trimmed(text));
    for (const WaypointGroup& group : set.groups)
        for (const Waypoint& point : group.points)
            if (asciiLowered(point.ident) == wanted) {
                latitude = decimalFromDms(point.latitude);
                longitude = decimalFromDms(point.longitude);
                return true;
            }
    reason = "--of '" + text +
             "': no point of the input has this identifier, and it is no "
             "position (latitude,longitude)";
    return false;
}

} // namespace

bool filtersGiven(const PointFilters& filters) {
    return !filters.countries.empty() || !filters.regions.empty() || !filters.types.empty() ||
           !filters.box.empty() || filters.withinNm > 0;
}

bool filterPoints(WaypointSet& set, const PointFilters& filters, std::string& told,
                  std::string& reason) {
    const std::vector<std::string> countries = listOf(filters.countries);
    const std::vector<std::string> regions = listOf(filters.regions);
    const std::vector<std::string> types = listOf(filters.types);
    Box box{-90, -180, 90, 180};
    if (!filters.box.empty() && !readBox(filters.box, box, reason))
        return false;
    double latitude = 0, longitude = 0;
    if (filters.withinNm > 0) {
        if (filters.of.empty()) {
            reason = "--within needs --of: an identifier of the input or a position";
            return false;
        }
        if (!readCentre(set, filters.of, latitude, longitude, reason))
            return false;
    }
    size_t before = 0, after = 0;
    for (WaypointGroup& group : set.groups) {
        std::vector<Waypoint> kept;
        for (Waypoint& point : group.points) {
            double lat = decimalFromDms(point.latitude), lon = decimalFromDms(point.longitude);
            if (inList(countries, point.country) && inList(regions, point.region) &&
                inList(types, point.type) && inBox(box, lat, lon) &&
                (filters.withinNm <= 0 ||
                 sphereDistance(latitude, longitude, lat, lon) <= filters.withinNm))
                kept.push_back(std::move(point));
        }
        before += group.points.size();
        after += kept.size();
        group.points = std::move(kept);
    }
    told = "the filters kept " + withThousands(after) + " of " + withThousands(before) + " points";
    return true;
}
