#include "route_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "common/great_circle.h"
#include "common/limits.h"
#include "common/record_rules.h"
#include "common/standard_turn.h"
#include "common/text_fields.h"
#include "dat_files.h"
#include "finding_report.h"
#include "host/scenario_writer.h"

namespace {

// Time beyond the legs at the speed flown: the climbs, the turns at each item, a head wind.
constexpr double flightMargin = 1.2;
constexpr double extraSeconds = 600;

// The tree's label of a tour item, as the dialog makes it from the item's record.
std::string itemLabel(const Waypoint& item) {
    RecordBuffer record;
    clearRecordBuffer(record);
    copyBoundedText(record.name, item.name.c_str(), sizeof record.name);
    char label[48];
    numberedLabel(tourItemKind, record, std::atoi(item.ident.c_str()), label, sizeof label);
    std::string text = label;
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

double legsNm(const WaypointGroup& tour) {
    double total = 0;
    for (size_t i = 1; i < tour.points.size(); ++i)
        total += sphereDistance(decimalFromDms(tour.points[i - 1].latitude),
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
        if (sphereDistance(lat1, lon1, lat2, lon2) > 0.01)
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

constexpr double degree = 3.14159265358979323846 / 180.0;

// The aircraft as the flight's frames move it: at the speed flown, turning towards the active
// item at the standard rate, with no wind.
struct FlownAircraft {
    double latitude, longitude, heading;
};

void flyFrame(FlownAircraft& a, double bearing, double speed, double seconds) {
    double turn = std::remainder(bearing - a.heading, 360.0);
    double most = standardTurnRate * seconds;
    a.heading = std::fmod(a.heading + std::max(-most, std::min(most, turn)) + 360.0, 360.0);
    double nm = speed / 3600 * seconds;
    a.latitude += nm * std::cos(a.heading * degree) / 60;
    a.longitude +=
        nm * std::sin(a.heading * degree) / 60 / std::max(0.01, std::cos(a.latitude * degree));
    a.longitude = std::remainder(a.longitude, 360.0);
}

// When the gauge moves on from each item in a flight of the tour (below 0: never), frame by
// frame as the flight will run, for as long as the scenario lets it.
// cut: the scenario ends the flight before the legs' time is flown.
std::vector<double> sequencedTimes(const WaypointGroup& tour, const FlightChoices& choices,
                                   bool& cut) {
    const std::vector<Waypoint>& items = tour.points;
    std::vector<double> times(items.size(), -1);
    RouteFlight flight = planRouteFlight(tour, "", choices);
    cut = flight.cut;
    const double frame = 1.0 / flight.frameRate;
    FlownAircraft aircraft{decimalFromDms(items[0].latitude), decimalFromDms(items[0].longitude),
                           std::round(startingHeading(tour))};
    size_t active = 0;
    for (double t = 0; active < items.size() && t <= flight.duration;) {
        const Waypoint& to = items[active];
        double lat = decimalFromDms(to.latitude), lon = decimalFromDms(to.longitude);
        double bearing = courseDegrees(aircraft.latitude, aircraft.longitude, lat, lon);
        double lead = turnLeadNm(0, choices.speed); // the last item: no turn after it
        if (active + 1 < items.size()) {
            const Waypoint& next = items[active + 1];
            lead = turnLeadNm(std::remainder(courseDegrees(lat, lon, decimalFromDms(next.latitude),
                                                           decimalFromDms(next.longitude)) -
                                                 bearing,
                                             360.0),
                              choices.speed);
        }
        if (sphereDistance(aircraft.latitude, aircraft.longitude, lat, lon) <= lead) {
            times[active++] = t;
            continue;
        }
        flyFrame(aircraft, bearing, choices.speed, frame);
        t += frame;
    }
    return times;
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
    std::vector<size_t> passed = passedItems(tour, {speed, -1});
    if (passed.empty())
        return;
    err << where << ": warning: at " << speed << " kt the gauge moves past "
        << passedText(tour, passed) << " before the aircraft reaches "
        << (passed.size() == 1 ? "it: the leg to it is" : "them: the legs to them are")
        << " shorter than its turn onto the next leg";
    std::vector<size_t> fewest = passed;
    double fewestAt = speed;
    for (double slower = std::floor((speed - 1) / 10) * 10; slower > slowestSpeedKnots;
         slower -= 10) {
        if (planRouteFlight(tour, "", {slower, -1}).cut)
            break; // slower still would not reach the last items at all
        std::vector<size_t> left = passedItems(tour, {slower, -1});
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

// What the pilot should know before the tour is flown: that it is the first of a split, the
// items it would pass unreached, and whether the flight is cut short.
void tellBeforeFlight(const RouteFlight& flight, double speed, const std::string& tourPath,
                      std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(partPath(tourPath, 2), error))
        out << tourPath << ": the first tour of the split is flown; the next ones lie beside it ("
            << fs::path(partPath(tourPath, 2)).filename().string() << ", ...)\n";
    std::string scenarioPath = (fs::path(tourPath).parent_path() / flightScenarioName).string();
    warnOfPassedItems(flight.tour, speed, scenarioPath, err);
    if (flight.cut)
        err << scenarioPath << ": warning: the route needs more than the " << longestFlightHours
            << " hours a flight may last: the flight ends before the last item; fly faster with "
               "--speed\n";
}

// Before the route is converted: a file of no format the tool knows is refused in one line that
// says what a flight takes, and the parts of an earlier flight's split in the folder go, so that
// those found there after the conversion are this one's.
bool readyToConvert(const FlightOptions& options, std::ostream& err) {
    const ConvertOptions& convert = options.convert;
    std::vector<uint8_t> bytes;
    std::string reason;
    if (convert.from == FileFormat::unknown && convert.viaGpsbabel.empty() &&
        readWhole(convert.input, bytes, reason) &&
        resolvedFormat(convert.from, convert.input, bytes.data(), bytes.size()) ==
            FileFormat::unknown) {
        err << convert.input << ": neither a route nor a scenario: a flight takes a route (GPX, a "
            << "flight plan .pln, .fms or .fpl, a CSV of points; under another name with --from "
            << "FORMAT; a file GPSBabel reads, with --via-gpsbabel FORMAT) or, with ./tarvix fly, "
               "a scenario (JSON)\n";
        return false;
    }
    std::error_code error;
    const std::string tourPath = (std::filesystem::path(options.folder) / "TarvixTr.dat").string();
    for (size_t k = 2; std::filesystem::remove(partPath(tourPath, k), error); ++k) {
    }
    return true;
}

// The route converted into the flight's folder as its tour file, replacing an earlier one; the
// convert's status. A folder made for a flight that cannot be flown is not left behind.
int convertIntoFolder(const FlightOptions& options, const std::string& tourPath,
                      std::ostream& converted, std::ostream& err) {
    namespace fs = std::filesystem;
    if (!readyToConvert(options, err))
        return exitUnreadable;
    std::error_code error;
    const bool made = !fs::exists(options.folder, error);
    fs::create_directories(options.folder, error);
    if (error) {
        err << options.folder << ": cannot be made: " << error.message() << "\n";
        return exitUnreadable;
    }
    ConvertOptions convert = options.convert;
    convert.output = tourPath;
    convert.to = FileFormat::tour;
    convert.force = true;
    convert.holdAltitude = true;
    int status = runConvert(convert, converted, err);
    if (status == exitUnreadable && made)
        fs::remove(options.folder, error); // only when empty
    return status;
}

// The tour as the tour file written holds it, named as the dialog will show its items.
bool writtenTour(const std::string& tourPath, WaypointGroup& tour, std::ostream& err) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readWhole(tourPath, bytes, reason)) {
        err << tourPath << ": " << reason << "\n";
        return false;
    }
    WaypointSet written;
    Findings unused;
    readTourFile(bytes.data(), bytes.size(), written, unused);
    if (written.groups.empty() || written.groups[0].points.empty()) {
        err << tourPath << ": holds no tour item to fly\n";
        return false;
    }
    tour = written.groups[0];
    return true;
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

double turnLeadNm(double turnDegrees, double speed) {
    const double leastNm = 0.1;
    double half = (180 - std::fabs(turnDegrees)) / 2 * degree;
    double lead = std::fabs(0.25 * std::pow(speed / 100, 2.5) / std::tan(half));
    if (speed <= slowestSpeedKnots || !(lead >= leastNm) || !std::isfinite(lead))
        return leastNm;
    return lead;
}

std::vector<size_t> passedItems(const WaypointGroup& tour, const FlightChoices& choices) {
    std::vector<size_t> passed;
    if (tour.points.size() < 2)
        return passed;
    bool cut = false;
    std::vector<double> times = sequencedTimes(tour, choices, cut);
    // The flight looks once a second: an item the gauge moves on from within the second it
    // became active is never seen as the one flown to. The last item stays the active one, to be
    // arrived at. Items never reached are passed (circled) unless the flight is cut short.
    for (size_t j = 1; j < times.size(); ++j)
        if ((times[j] < 0 && !cut) || (times[j] >= 0 && j + 1 < times.size() &&
                                       std::floor(times[j]) == std::floor(times[j - 1])))
            passed.push_back(j);
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
    RouteFlight flight{tour, "", 0, 0, 18, false};
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
    flight.cut = needed > double(longestFlightSeconds);
    flight.duration = std::min(double(longestFlightSeconds), roundedUp(needed, 60));
    // Six frames a second keep a long flight short on the machine; the autopilot holds its
    // course as well as at eighteen.
    if (flight.duration > 6 * 3600)
        flight.frameRate = 6;
    const Waypoint& first = flight.tour.points.front();
    const Waypoint& last = flight.tour.points.back();
    const size_t items = flight.tour.points.size();
    ScenarioClick step = tourImportClick(0, itemLabel(first));
    step.settings = {{DialogField::autopilot, "", true, {}},
                     {DialogField::altitudeHold, "", true, {}}};
    step.picture = "settings-dialog.png";
    step.close = {"OK"};
    // The import puts an item into the tree for every line: a long tour takes a while.
    step.timeLimit = std::min(600.0, roundedUp(60 + 0.05 * static_cast<double>(items), 1));
    Scenario scenario{};
    scenario.name = routeName + ": " + withThousands(items) + " items, " + first.name + " to " +
                    last.name + ", the tour brought in with " + step.press.front() +
                    " and flown coupled";
    scenario.aircraft.latitude = decimalFromDms(first.latitude);
    scenario.aircraft.longitude = decimalFromDms(first.longitude);
    scenario.aircraft.heading = std::round(startingHeading(flight.tour));
    scenario.aircraft.airspeed = choices.speed;
    scenario.aircraft.altitude = first.altitude;
    scenario.clicks = {step};
    scenario.frameRate = flight.frameRate;
    scenario.duration = flight.duration;
    scenario.pictureEvery = roundedUp(flight.duration / 8, 60);
    scenario.animationEvery = std::max(10.0, roundedUp(flight.duration / 250, 10));
    scenario.stopAtArrival = true;
    flight.scenario = scenarioText(scenario);
    return flight;
}

int runRouteFlight(const FlightOptions& options, std::ostream& out, std::ostream& err) {
    namespace fs = std::filesystem;
    const std::string tourPath = (fs::path(options.folder) / "TarvixTr.dat").string();
    std::ostringstream converted;
    int status = convertIntoFolder(options, tourPath, converted, err);
    if (status == exitUnreadable) {
        out << converted.str();
        return status;
    }
    WaypointGroup written;
    if (!writtenTour(tourPath, written, err))
        return exitUnreadable;
    RouteFlight flight =
        planRouteFlight(withSources(options.convert, written),
                        fs::path(options.convert.input).filename().string(), options.choices);
    tellFlightGround(flight.tour, options, err);
    Findings findings;
    std::string reason;
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
    tellBeforeFlight(flight, options.choices.speed, tourPath, out, err);
    return status;
}
