// A route made into a flight: the tour's altitudes as the hold will fly them, the aircraft on
// course at the first item, time for the whole route, the dialog step that finds the new tour's
// first item by its label; and the command that writes both files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "dbtool/route_flight.h"
#include "gauge/nav_math.h"

namespace {

Waypoint item(const char* number, const char* name, DmsAngle latitude, DmsAngle longitude,
              int32_t altitude = -1) {
    Waypoint p{};
    p.ident = number;
    p.name = name;
    p.latitude = latitude;
    p.longitude = longitude;
    p.hasAltitude = altitude >= 0;
    p.altitude = altitude < 0 ? 0 : altitude;
    return p;
}

// Midway, a fix without an altitude, Milwaukee: about 70 nm due north.
WaypointGroup lakeTour() {
    return {"Tour",
            true,
            {item("001", "KMDW/Chicago Midway", {'N', 41, 47, 10}, {'W', 87, 45, 9}, 620),
             item("002", "OBK", {'N', 42, 13, 18}, {'W', 87, 52, 2}),
             item("003", "Zürich", {'N', 42, 56, 50}, {'W', 87, 53, 48}, 723)}};
}

TEST(RouteFlight, ItemsAreFlownAtAnAltitudeTheHoldCanTake) {
    const struct {
        int32_t altitude;
        std::vector<int32_t> flown;
    } cases[] = {
        {-1, {620, defaultCruiseFeet, 723}}, // the route's own, the cruise where it has none
        {4500, {4500, 4500, 4500}},          // --altitude for every item
        {0, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        RouteFlight flight = planRouteFlight(lakeTour(), "trip.gpx", {150, c.altitude});
        std::vector<int32_t> flown;
        for (const Waypoint& p : flight.tour.points) {
            EXPECT_TRUE(p.hasAltitude && p.altitudeHold) << p.name;
            flown.push_back(p.altitude);
        }
        EXPECT_EQ(flown, c.flown) << "--altitude " << c.altitude;
        auto scenario = nlohmann::json::parse(flight.scenario);
        EXPECT_EQ(scenario["aircraft"]["altitude"], c.flown[0]);
    }
}

TEST(RouteFlight, TheScenarioImportsChoosesAndFliesTheWholeTour) {
    RouteFlight flight = planRouteFlight(lakeTour(), "trip.gpx", {120, -1});
    auto s = nlohmann::json::parse(flight.scenario);
    EXPECT_EQ(s["aircraft"]["latitude"], "N41 47 10");
    EXPECT_EQ(s["aircraft"]["longitude"], "W087 45 09");
    EXPECT_EQ(s["aircraft"]["airspeed"], 120);
    EXPECT_NEAR(s["aircraft"]["heading"].get<double>(), 349, 1) << "on course for the second item";
    const auto& step = s["clicks"][0];
    EXPECT_EQ(step["button"], "DLG");
    EXPECT_EQ(step["press"], "Tr Imp");
    // The label as the tree shows it, slash, accent and all.
    EXPECT_EQ(step["select"], "New Tour Folder/001 - KMDW/Chicago Midway");
    EXPECT_EQ(step["set"], (nlohmann::json{{"autopilot", true}, {"altitudeHold", true}}));
    EXPECT_EQ(step["close"], "OK");
    EXPECT_TRUE(s["stopAtArrival"].get<bool>());
    EXPECT_NEAR(flight.distanceNm, 70.2, 0.3);
    // 70 nm at 120 kt is 35 minutes: the flight may last longer, never shorter.
    EXPECT_GT(flight.duration, 35 * 60);
    EXPECT_LT(flight.duration, 60 * 60);
    EXPECT_FALSE(flight.cut);
}

TEST(RouteFlight, ARouteBeyondTheLongestFlightIsCutAndSaysSo) {
    WaypointGroup far{"Tour",
                      true,
                      {item("001", "Sydney", {'S', 33, 56, 46}, {'E', 151, 10, 38}),
                       item("002", "Santiago", {'S', 33, 23, 34}, {'W', 70, 47, 8})}};
    RouteFlight flight = planRouteFlight(far, "far.gpx", {40, -1});
    EXPECT_TRUE(flight.cut);
    EXPECT_EQ(flight.duration, 48 * 3600);
    EXPECT_NEAR(courseDegrees(0, 0, 0, 90), 90, 1e-9);
    EXPECT_NEAR(courseDegrees(0, 179, 0, -179), 90, 1e-9) << "east across the date line";
}

// A zigzag of legs of legNm that turn by turn degrees at every item, heading north-east.
WaypointGroup zigzag(double legNm, double turn, int items) {
    WaypointGroup tour{"Zigzag", true, {}};
    double latitude = 42, longitude = -87, radians = 3.14159265358979 / 180;
    for (int k = 0; k < items; ++k) {
        DmsAngle north{}, east{};
        std::string unused;
        EXPECT_TRUE(latitudeFromDecimal(latitude, north, unused) &&
                    longitudeFromDecimal(longitude, east, unused));
        tour.points.push_back(item("", "", north, east));
        double course = (k % 2 == 0 ? turn / 2 : -turn / 2) * radians;
        latitude += legNm * std::cos(course) / 60;
        longitude += legNm * std::sin(course) / 60 / std::cos(42 * radians);
    }
    return tour;
}

TEST(RouteFlight, ItemsCloserThanTheGaugesTurnArePassedAndASlowerSpeedReachesThem) {
    // The gauge's own anticipation, for every turn and speed a route may ask.
    for (double speed : {40.0, 90.0, 150.0, 300.0})
        for (double turn : {0.0, 30.0, 90.0, 150.0, 179.0})
            EXPECT_NEAR(turnLeadNm(turn, speed), switchDistanceFor(turn, 0, speed),
                        1e-6 * turnLeadNm(turn, speed))
                << turn << " degrees at " << speed << " kt";
    // Flown: 0.3 nm legs turning 60 degrees lose their second item at 150 kt, none at 120.
    const struct {
        double leg, turn, speed;
        std::vector<size_t> passed;
    } cases[] = {
        {0.3, 60, 150, {1}},
        {0.3, 60, 120, {}},
        {5, 90, 150, {}},
        {0.01, 0, 150, {1, 2, 3, 4}}, // closer than the gauge's least switching distance
    };
    for (const auto& c : cases) {
        EXPECT_EQ(passedItems(zigzag(c.leg, c.turn, 6), {c.speed, -1}), c.passed)
            << c.leg << " nm, " << c.turn << " degrees, " << c.speed << " kt";
    }
}

TEST(RouteFlight, ARouteTooLongForOneTourIsCalledSoByCheckAndRefusedNamingTheSplit) {
    namespace fs = std::filesystem;
    fs::path gpx =
        fs::temp_directory_path() / ("tarvix-long-" + std::to_string(::getpid()) + ".gpx");
    {
        std::ofstream out(gpx.string());
        out << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><rte><name>Long</name>\n";
        for (int k = 0; k < 70000; ++k)
            out << "<rtept lat=\"" << 10 + k * 0.0005 << "\" lon=\"-87\"/>\n";
        out << "</rte></gpx>\n";
    }
    std::ostringstream out, err;
    EXPECT_EQ(runCheck({gpx.string(), FileFormat::unknown, false}, out, err), exitProblems);
    EXPECT_NE(out.str().find("cannot be written as one tour: 70,000 points, more than the 65,534"),
              std::string::npos)
        << out.str();
    ConvertOptions convert{};
    convert.input = gpx.string();
    convert.output = gpx.string() + ".dat";
    convert.to = FileFormat::tour;
    EXPECT_EQ(runConvert(convert, out, err), exitUnreadable);
    EXPECT_NE(err.str().find("split it into tours with --max-items N"), std::string::npos)
        << err.str();
    EXPECT_EQ(err.str().find("--country"), std::string::npos) << "no advice for airport tables";
    fs::remove(gpx);
}

TEST(RouteFlight, TheCommandWritesTheTourAndTheScenarioBesideIt) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tarvix-flight-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "flight");
    std::ofstream((folder / "route.csv").string())
        << "ident,name,latitude,longitude,elevation\n"
           "KMDW,Chicago Midway,41.786111,-87.7525,620\n"
           "OBK,,42.221783,-87.867331,\n"
           "KMKE,Milwaukee Mitchell,42.947222,-87.896667,723\n";
    // An earlier flight's tour in the folder is replaced.
    std::ofstream((folder / "flight" / "TarvixTr.dat").string()) << "old";
    FlightOptions options{};
    options.convert.input = (folder / "route.csv").string();
    options.folder = (folder / "flight").string();
    std::ostringstream out, err;
    ASSERT_EQ(runRouteFlight(options, out, err), exitClean) << err.str();
    EXPECT_NE(out.str().find("the flight of 3 items, 70 nm at 150 kt"), std::string::npos)
        << out.str();
    std::ifstream tour((folder / "flight" / "TarvixTr.dat").string(), std::ios::binary);
    std::string records((std::istreambuf_iterator<char>(tour)), {});
    ASSERT_EQ(records.size(), 3u * 64);
    EXPECT_EQ(records.substr(64, 5), "002  ");
    EXPECT_EQ(records.substr(64 + 5, 3), "OBK") << "named by its identifier";
    EXPECT_EQ(records.substr(64 + 47, 8), " 113000 ") << "the cruise altitude, held";
    std::ifstream scenario((folder / "flight" / flightScenarioName).string());
    auto s = nlohmann::json::parse(scenario);
    EXPECT_EQ(s["clicks"][0]["select"], "New Tour Folder/001 - KMDW Chicago Midway");
    options.convert.input = (folder / "missing.gpx").string();
    EXPECT_EQ(runRouteFlight(options, out, err), exitUnreadable);
    fs::remove_all(folder);
}

} // namespace
