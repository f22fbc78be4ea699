#include "route_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/record_rules.h"
#include "dat_files.h"
#include "finding_report.h"

namespace {

// The longest flight a scenario may run, in simulated seconds.
constexpr double longestFlight = 48 * 3600;

// Time beyond the legs at the speed flown: the climbs, the turns at each item, a head wind.
constexpr double flightMargin = 1.2;
constexpr double extraSeconds = 600;

// "N41 47 10", "W087 45 08": as a scenario reads a coordinate.
std::string coordinateText(const DmsAngle& angle) {
    char text[24];
    std::snprintf(text, sizeof text,
                  angle.hemisphere == 'N' || angle.hemisphere == 'S' ? "%c%02d %02d %02d"
                                                                     : "%c%03d %02d %02d",
                  angle.hemisphere, static_cast<int>(angle.degrees),
                  static_cast<int>(angle.minutes), static_cast<int>(angle.seconds));
    return text;
}

// The tree's label of a tour item: its number with three digits, then its name.
std::string itemLabel(const Waypoint& item) {
    char number[16];
    tourNumberText(std::atoi(item.ident.c_str()), number, sizeof number);
    std::string label = std::string(number) + " - " + item.name;
    label.erase(label.find_last_not_of(' ') + 1);
    return label;
}

double legsNm(const WaypointGroup& tour) {
    double total = 0;
    for (size_t i = 1; i < tour.points.size(); ++i)
        total += distanceNm(decimalFromDms(tour.points[i - 1].latitude),
                            decimalFromDms(tour.points[i - 1].longitude),
                            decimalFromDms(tour.points[i].latitude),
                            decimalFromDms(tour.points[i].longitude));
    return total;
}

// Towards the first item at another place than the first: the aircraft starts on course.
double startingHeading(const WaypointGroup& tour) {
    const Waypoint& start = tour.points.front();
    for (const Waypoint& next : tour.points) {
        double lat1 = decimalFromDms(start.latitude), lon1 = decimalFromDms(start.longitude);
        double lat2 = decimalFromDms(next.latitude), lon2 = decimalFromDms(next.longitude);
        if (distanceNm(lat1, lon1, lat2, lon2) > 0.01)
            return courseDegrees(lat1, lon1, lat2, lon2);
    }
    return 0;
}

double roundedUp(double value, double step) {
    return std::ceil(value / step) * step;
}

// Nautical miles east and north of an item: flat, as near as legs short enough to be passed
// need, and taken afresh around each item so that long routes stay true.
struct FlatPoint {
    double east, north;
};

constexpr double degree = 3.14159265358979323846 / 180.0;

FlatPoint flatFrom(const Waypoint& origin, double latitude, double longitude) {
    double east = std::remainder(longitude - decimalFromDms(origin.longitude), 360.0);
    return {east * 60 * std::cos(decimalFromDms(origin.latitude) * degree),
            (latitude - decimalFromDms(origin.latitude)) * 60};
}

FlatPoint flatFrom(const Waypoint& origin, const Waypoint& p) {
    return flatFrom(origin, decimalFromDms(p.latitude), decimalFromDms(p.longitude));
}

double bearingBetween(FlatPoint from, FlatPoint to) {
    return std::atan2(to.east - from.east, to.north - from.north) / degree;
}

// "3 items (002 A, 005 B, 009 C)".
std::string passedText(const WaypointGroup& tour, const std::vector<size_t>& passed) {
    std::string names;
    for (size_t k = 0; k < passed.size() && k < 3; ++k)
        names += (k ? ", " : "") + itemLabel(tour.points[passed[k]]);
    return (passed.size() == 1 ? std::string("1 item") : withThousands(passed.size()) + " items") +
           " (" + names + (passed.size() > 3 ? ", ..." : "") + ")";
}

// Before the flight: the items passed unreached at the speed chosen, and the fastest speed (in
// tens of knots, down to 50: at 40 the gauge stops anticipating turns) that reaches them all.
void warnOfPassedItems(const WaypointGroup& tour, double speed, const std::string& where,
                       std::ostream& err) {
    std::vector<size_t> passed = passedItems(tour, speed);
    if (passed.empty())
        return;
    err << where << ": warning: at " << speed << " kt the gauge moves past "
        << passedText(tour, passed)
        << " before the aircraft reaches them: the legs to them are shorter than its turn onto "
           "the next leg";
    std::vector<size_t> fewest = passed;
    double fewestAt = speed;
    for (double slower = std::floor((speed - 1) / 10) * 10; slower > slowestSpeedKnots;
         slower -= 10) {
        std::vector<size_t> left = passedItems(tour, slower);
        if (left.empty()) {
            err << "; at " << slower << " kt every item is reached: --speed " << slower << "\n";
            return;
        }
        if (left.size() < fewest.size())
            fewest = left, fewestAt = slower;
    }
    err << "; no speed reaches them all (items this close together are passed over)";
    if (fewestAt != speed)
        err << ": at " << fewestAt << " kt, the fewest, it still moves past "
            << passedText(tour, fewest);
    err << "\n";
}

// A file of no format the tool knows is refused in one line that says what a flight takes.
bool knownRoute(const ConvertOptions& convert, std::ostream& err) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (convert.from != FileFormat::unknown || !readWhole(convert.input, bytes, reason) ||
        resolvedFormat(convert.from, convert.input, bytes.data(), bytes.size()) !=
            FileFormat::unknown)
        return true; // the conversion names what else is wrong
    err << convert.input << ": neither a route nor a scenario: a flight takes a route (GPX, a "
        << "flight plan .pln, .fms or .fpl, a CSV of points; under another name with --from "
        << "FORMAT) or, with ./tarvix fly, a scenario (JSON)\n";
    return false;
}

} // namespace

double turnLeadNm(double turnDegrees, double speed) {
    const double leastNm = 0.1;
    double half = (180 - std::fabs(turnDegrees)) / 2 * degree;
    double lead = std::fabs(0.25 * std::pow(speed / 100, 2.5) / std::tan(half));
    if (speed <= slowestSpeedKnots || !(lead >= leastNm) || !std::isfinite(lead))
        return leastNm;
    return lead;
}

std::vector<size_t> passedItems(const WaypointGroup& tour, double speed) {
    std::vector<size_t> passed;
    const std::vector<Waypoint>& items = tour.points;
    if (items.empty())
        return passed;
    double latitude = decimalFromDms(items[0].latitude);
    double longitude = decimalFromDms(items[0].longitude);
    for (size_t j = 1; j < items.size(); ++j) {
        const FlatPoint item{0, 0};
        FlatPoint aircraft = flatFrom(items[j], latitude, longitude);
        double distance = std::hypot(aircraft.east, aircraft.north);
        double lead = turnLeadNm(0, speed); // the last item: no turn after it
        if (j + 1 < items.size()) {
            double turn = bearingBetween(item, flatFrom(items[j], items[j + 1])) -
                          bearingBetween(aircraft, item);
            lead = turnLeadNm(std::remainder(turn, 360.0), speed);
        }
        if (distance <= lead + speed / 3600) {
            passed.push_back(j);
            continue;
        }
        // Where the gauge moves on: lead short of the item, on the way from where it was.
        double share = lead / distance;
        latitude = decimalFromDms(items[j].latitude) + share * aircraft.north / 60;
        longitude = decimalFromDms(items[j].longitude) +
                    share * aircraft.east / 60 / std::cos(decimalFromDms(items[j].latitude) * degree);
    }
    return passed;
}

double courseDegrees(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double radians = 3.14159265358979323846 / 180.0;
    double phi1 = latitude1 * radians, phi2 = latitude2 * radians;
    double dLambda = (longitude2 - longitude1) * radians;
    double y = std::sin(dLambda) * std::cos(phi2);
    double x =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
    double course = std::atan2(y, x) / radians;
    return course < 0 ? course + 360 : course;
}

RouteFlight planRouteFlight(const WaypointGroup& tour, const std::string& routeName,
                            const FlightChoices& choices) {
    RouteFlight flight{tour, "", 0, 0, false};
    // The hold climbs or descends to each item's altitude as the tour reaches it: an item without
    // one would be flown at sea level.
    for (Waypoint& item : flight.tour.points) {
        if (choices.altitude >= 0 || !item.hasAltitude)
            item.altitude = choices.altitude >= 0 ? choices.altitude : defaultCruiseFeet;
        item.hasAltitude = true;
        item.altitudeHold = true;
    }
    flight.distanceNm = legsNm(flight.tour);
    double needed = flight.distanceNm / choices.speed * 3600 * flightMargin + extraSeconds;
    flight.cut = needed > longestFlight;
    flight.duration = std::min(longestFlight, roundedUp(needed, 60));
    const Waypoint& first = flight.tour.points.front();
    const Waypoint& last = flight.tour.points.back();
    const size_t items = flight.tour.points.size();
    nlohmann::ordered_json step = {
        {"at", 0},
        {"button", "DLG"},
        {"press", "Tr Imp"},
        {"select", "New Tour Folder/" + itemLabel(first)},
        {"set", {{"autopilot", true}, {"altitudeHold", true}}},
        {"picture", "settings-dialog.png"},
        {"close", "OK"},
        // The import puts an item into the tree for every line: a long tour takes a while.
        {"timeLimit", std::min(600.0, roundedUp(60 + 0.05 * static_cast<double>(items), 1))}};
    nlohmann::ordered_json scenario = {
        {"name", routeName + ": " + withThousands(items) + " items, " + first.name + " to " +
                     last.name + ", the tour brought in with Tr Imp and flown coupled"},
        {"aircraft",
         {{"latitude", coordinateText(first.latitude)},
          {"longitude", coordinateText(first.longitude)},
          {"heading", std::round(startingHeading(flight.tour))},
          {"airspeed", choices.speed},
          {"altitude", first.altitude}}},
        {"clicks", nlohmann::ordered_json::array({step})},
        // Six frames a second keep a long flight short on the machine; the autopilot holds its
        // course as well as at eighteen.
        {"frameRate", flight.duration > 6 * 3600 ? 6 : 18},
        {"duration", flight.duration},
        {"pictureEvery", roundedUp(flight.duration / 8, 60)},
        {"animationEvery", std::max(10.0, roundedUp(flight.duration / 250, 10))},
        {"stopAtArrival", true}};
    flight.scenario = scenario.dump(2) + "\n";
    return flight;
}

int runRouteFlight(const FlightOptions& options, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    if (!knownRoute(options.convert, err))
        return exitUnreadable;
    std::error_code error;
    const bool made = !fs::exists(options.folder, error);
    fs::create_directories(options.folder, error);
    if (error) {
        err << options.folder << ": cannot be made: " << error.message() << "\n";
        return exitUnreadable;
    }
    const std::string tourPath = (fs::path(options.folder) / "TarvixTr.dat").string();
    ConvertOptions convert = options.convert;
    convert.output = tourPath;
    convert.to = FileFormat::tour;
    convert.force = true;
    convert.holdAltitude = true;
    std::ostringstream converted;
    int status = runConvert(convert, converted, err);
    if (status == exitUnreadable) {
        // A folder made for a flight that cannot be flown is not left behind (only when empty).
        if (made)
            fs::remove(options.folder, error);
        out << converted.str();
        return status;
    }
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readWhole(tourPath, bytes, reason)) {
        err << tourPath << ": " << reason << "\n";
        return exitUnreadable;
    }
    WaypointSet written;
    Findings unused;
    readTourFile(bytes.data(), bytes.size(), written, unused);
    if (written.groups.empty() || written.groups[0].points.empty()) {
        err << tourPath << ": holds no tour item to fly\n";
        return exitUnreadable;
    }
    RouteFlight flight = planRouteFlight(
        written.groups[0], fs::path(options.convert.input).filename().string(), options.choices);
    Findings findings;
    const std::string scenarioPath = (fs::path(options.folder) / flightScenarioName).string();
    if (!writeWhole(tourPath, writeTourFile(flight.tour, true, findings), reason) ||
        !writeWhole(scenarioPath, flight.scenario, reason)) {
        err << options.folder << ": " << reason << "\n";
        return exitUnreadable;
    }
    out << converted.str();
    char figures[160];
    std::snprintf(figures, sizeof figures,
                  ": the flight of %s items, %.0f nm at %.0f kt (%s%d:%02d of simulated time)\n",
                  withThousands(flight.tour.points.size()).c_str(), flight.distanceNm,
                  options.choices.speed, flight.cut ? "cut at " : "up to ",
                  static_cast<int>(flight.duration) / 3600,
                  static_cast<int>(flight.duration) / 60 % 60);
    out << scenarioPath << figures;
    if (options.convert.maxItems > 0 && fs::exists(partPath(tourPath, 2), error))
        out << tourPath << ": the first tour of the split is flown; the next ones lie beside it "
            << "(" << fs::path(partPath(tourPath, 2)).filename().string() << ", ...)\n";
    warnOfPassedItems(flight.tour, options.choices.speed, scenarioPath, err);
    if (flight.cut)
        err << scenarioPath << ": warning: the route needs more than the 48 hours a flight may "
            << "last: the flight ends before the last item; fly faster with --speed\n";
    return status;
}
