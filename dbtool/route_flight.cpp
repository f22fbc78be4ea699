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

const char* sourceText(AltitudeFrom from) {
    switch (from) {
    case AltitudeFrom::cruise:
        return "the plan's cruise altitude";
    case AltitudeFrom::flightDefault:
        return "the default for items without one (--altitude sets another)";
    case AltitudeFrom::flightOption:
        return "--altitude";
    default:
        return "its own";
    }
}

// The tour file holds what the items are called and their altitudes; the input holds where each
// altitude comes from and the ground it states. The tour is the route's first items, in order.
WaypointGroup withSources(const ConvertOptions& convert, WaypointGroup tour) {
    WaypointGroup route;
    if (!routeOfInput(convert, route))
        return tour;
    for (size_t i = 0; i < tour.points.size() && i < route.points.size(); ++i) {
        tour.points[i].altitudeFrom = route.points[i].altitudeFrom;
        tour.points[i].hasGround = route.points[i].hasGround;
        tour.points[i].groundFeet = route.points[i].groundFeet;
        tour.points[i].line = route.points[i].line;
    }
    return tour;
}

// The flight's own altitudes (the default, --altitude) below the ground the input states; the
// convert has told of the input's.
void tellFlightGround(const WaypointGroup& tour, const FlightOptions& options, std::ostream& err) {
    WaypointGroup filled{tour.name, true, {}};
    for (const Waypoint& item : tour.points)
        if (item.altitudeFrom == AltitudeFrom::flightDefault ||
            item.altitudeFrom == AltitudeFrom::flightOption)
            filled.points.push_back(item);
    Findings findings;
    groundFindings(filled, findings);
    reportFindings(options.convert.input, findings, "line", options.convert.verbosity, err);
}

double roundedUp(double value, double step) {
    return std::ceil(value / step) * step;
}

} // namespace

std::string altitudeSummary(const WaypointGroup& tour) {
    // Beyond this many lines the list says how many more there are.
    constexpr size_t mostLines = 12;
    std::string text = "altitudes held:\n";
    size_t lines = 0, more = 0;
    const std::vector<Waypoint>& items = tour.points;
    for (size_t first = 0, end = 0; first < items.size(); first = end) {
        end = first + 1;
        while (end < items.size() && items[end].altitude == items[first].altitude &&
               items[end].altitudeFrom == items[first].altitudeFrom)
            ++end;
        if (++lines > mostLines) {
            ++more;
            continue;
        }
        std::string who = end - first == 1 ? itemLabel(items[first])
                                           : items[first].ident + "-" + items[end - 1].ident;
        char line[200];
        std::snprintf(
            line, sizeof line, "  %-30.30s %8s ft  %s\n", who.c_str(),
            withThousands(static_cast<size_t>(std::max(0, items[first].altitude))).c_str(),
            sourceText(items[first].altitudeFrom));
        text += line;
    }
    if (more > 0)
        text += "  ... and " + withThousands(more) + " more (TarvixTr.dat holds every item's)\n";
    return text;
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
        if (choices.altitude >= 0 || !item.hasAltitude) {
            item.altitude = choices.altitude >= 0 ? choices.altitude : defaultCruiseFeet;
            item.altitudeFrom =
                choices.altitude >= 0 ? AltitudeFrom::flightOption : AltitudeFrom::flightDefault;
        }
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
    convert.maxItems = 0;
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
    RouteFlight flight =
        planRouteFlight(withSources(options.convert, written.groups[0]),
                        fs::path(options.convert.input).filename().string(), options.choices);
    tellFlightGround(flight.tour, options, err);
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
    out << scenarioPath << figures << scenarioPath << ": " << altitudeSummary(flight.tour);
    if (flight.cut)
        err << scenarioPath << ": warning: the route needs more than the 48 hours a flight may "
            << "last: the flight ends before the last item; fly faster with --speed\n";
    return status;
}
