// What names and identifiers become: an airport's identifier carried in its tour item's name and
// given back to planners whole, one identifier for two places, and a GPS track thinned into a
// tour that keeps its shape.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dbtool/csv_format.h"
#include "dbtool/dat_files.h"
#include "dbtool/gpx_format.h"
#include "dbtool/plan_formats.h"
#include "dbtool/tool_commands.h"
#include "dbtool/track_thinning.h"

namespace {

Waypoint at(double latitude, double longitude, const std::string& ident = "",
            const std::string& name = "") {
    Waypoint p{};
    std::string reason;
    EXPECT_TRUE(latitudeFromDecimal(latitude, p.latitude, reason));
    EXPECT_TRUE(longitudeFromDecimal(longitude, p.longitude, reason));
    p.ident = ident;
    p.name = name;
    return p;
}

// The route as the tour file holds it, read back as the dialog would export it.
WaypointGroup throughTourFile(const WaypointGroup& route) {
    Findings findings;
    std::string bytes = writeTourFile(route, false, findings);
    WaypointSet set;
    readTourFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), set, findings);
    EXPECT_EQ(set.groups.size(), 1u);
    return set.groups.empty() ? WaypointGroup{} : set.groups[0];
}

TEST(TourNames, AnIdentifierTravelsInTheNameAndPlannersGetItBack) {
    const struct {
        const char *ident, *name;
        const char* tourName; // as the tour file holds it
        const char* exported; // the identifier a plan written from the tour gets
    } cases[] = {
        {"GCLP", "Gran Canaria", "GCLP Gran Canaria", "GCLP"},
        {"TAU", "TAU", "TAU", "TAU"},
        {"", "Gran Canaria", "Gran Canaria", "Gran Canaria"},
        {"001", "Gran Canaria", "Gran Canaria", "Gran Canaria"}, // a tour item's number
        {"home", "My house", "My house", "My house"},            // no identifier's form
        {"GCLP", "GCLP Gran Canaria", "GCLP Gran Canaria", "GCLP"},
        {"US-0012", "Miller Strip", "US-0012 Miller Strip", "US-0012"},
        // Cut to the name's 24 characters, the identifier whole.
        {"LFPG", "Paris Charles de Gaulle Airport", "LFPG Paris Charles de Ga", "LFPG"},
    };
    for (const auto& c : cases) {
        WaypointGroup tour = throughTourFile({"Trip", true, {at(27.93, -15.39, c.ident, c.name)}});
        ASSERT_EQ(tour.points.size(), 1u) << c.name;
        EXPECT_EQ(tour.points[0].name, c.tourName);
        std::string plan = writeXmlPlan(tour);
        EXPECT_NE(plan.find(std::string("<ICAOIdent>") + c.exported + "</"), std::string::npos)
            << plan;
    }
}

// A plan's airports by their names, through the tour file, back into each plan format.
TEST(TourNames, APlansAirportsKeepTheirIdentifiersThroughTheTour) {
    const std::string plan = R"(<SimBase.Document><FlightPlan.FlightPlan>
<DepartureID>GCLP</DepartureID><DepartureName>Gran Canaria</DepartureName>
<DestinationID>GCXO</DestinationID><DestinationName>Tenerife Norte</DestinationName>
<ATCWaypoint id="GCLP"><ATCWaypointType>Airport</ATCWaypointType>
<WorldPosition>N27° 55' 55.00",W15° 23' 12.00",+000078.00</WorldPosition></ATCWaypoint>
<ATCWaypoint id="GCXO"><ATCWaypointType>Airport</ATCWaypointType>
<WorldPosition>N28° 28' 57.00",W16° 20' 25.00",+002077.00</WorldPosition></ATCWaypoint>
</FlightPlan.FlightPlan></SimBase.Document>)";
    WaypointSet set;
    Findings findings;
    ASSERT_TRUE(readXmlPlan(plan.data(), plan.size(), set, findings));
    WaypointGroup tour = throughTourFile(set.groups[0]);
    ASSERT_EQ(tour.points.size(), 2u);
    EXPECT_EQ(tour.points[0].name, "GCLP Gran Canaria");
    EXPECT_EQ(tour.points[1].name, "GCXO Tenerife Norte");
    const std::string xml = writeXmlPlan(tour), fix = writeFixPlan(tour), gps = writeGpsRoute(tour);
    for (const auto& [written, wanted] : {std::pair{xml, "<DepartureID>GCLP</DepartureID>"},
                                          {xml, "<DepartureName>Gran Canaria</DepartureName>"},
                                          {fix, "\nDES GCXO\n"},
                                          {gps, "<identifier>GCLP</identifier>"},
                                          {gps, "<comment>TENERIFE NORTE</comment>"}}) {
        EXPECT_NE(written.find(wanted), std::string::npos) << written;
        EXPECT_EQ(written.find("GRANCANARIA"), std::string::npos) << written;
    }
}

TEST(AirportTables, AnIdentifierOfTwoPlacesFarApartIsWarned) {
    const std::string table = "ident,name,lat,lon\nX1,Saint Anne,45.0,5.0\n"
                              "X2,Saint Anne runway 27,45.0,5.01\n"
                              "X2,Saint Anne runway 09,45.0,5.02\n" // 0.4 nm on: one place
                              "X1,Saint Anne de Bellevue,47.0,5.0\n";
    WaypointSet set;
    Findings findings;
    ASSERT_TRUE(readCsv(table.data(), table.size(), "", set, findings));
    writeAirportFile(set.groups[0], findings);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 5);
    // Two degrees of latitude on the instrument's sphere.
    EXPECT_NE(findings[0].reason.find("'X1' is also that of line 2, 120.1 nm away"),
              std::string::npos)
        << findings[0].reason;
}

// A wandering track across the date line with one excursion far off its way.
std::vector<Waypoint> wanderingTrack(size_t count, size_t excursion) {
    std::vector<Waypoint> track;
    uint32_t seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        double f = static_cast<double>(i) / static_cast<double>(count - 1);
        double wobble = 0.01 * std::sin(40 * f) + 1e-4 * static_cast<double>(seed >> 20) / 4096;
        double longitude = 170 + 20 * f;
        track.push_back(at(60 + 5 * f + wobble + (i == excursion ? 0.5 : 0),
                           longitude > 180 ? longitude - 360 : longitude));
    }
    return track;
}

TEST(TrackThinning, KeepsTheEndsAndWhatDeviatesMost) {
    const std::vector<Waypoint> track = wanderingTrack(3000, 1234);
    double previous = 1e9;
    for (size_t most : {2u, 3u, 10u, 100u, 999u, 3000u, 5000u}) {
        double deviation = -1;
        std::vector<size_t> kept = thinnedTrack(track, most, deviation);
        ASSERT_EQ(kept.size(), std::min<size_t>(most, track.size())) << most;
        EXPECT_EQ(kept.front(), 0u);
        EXPECT_EQ(kept.back(), track.size() - 1);
        for (size_t i = 1; i < kept.size(); ++i)
            ASSERT_LT(kept[i - 1], kept[i]) << most;
        // Past the first few, which follow the track's great bend, the excursion is kept.
        if (most >= 10) {
            EXPECT_NE(std::find(kept.begin(), kept.end(), 1234u), kept.end()) << most;
        }
        // More points never follow the track worse; all of them follow it exactly.
        EXPECT_LE(deviation, previous) << most;
        EXPECT_EQ(deviation == 0, most >= track.size()) << most;
        previous = deviation;
    }
}

// A track in two segments whose points a GPS unit stamped with the time, after a waypoint.
std::string trackGpx(size_t count) {
    std::ostringstream gpx;
    gpx << "<gpx version=\"1.1\"><wpt lat=\"60\" lon=\"170\"><name>START</name></wpt>"
        << "<trk><name>Ferry flight</name><trkseg>";
    for (size_t i = 0; i < count; ++i) {
        gpx << "<trkpt lat=\"" << 60 + 0.001 * static_cast<double>(i) << "\" lon=\""
            << 10 + 0.002 * static_cast<double>(i % 7) << "\"><cmt>02-OCT-10 16:01:13</cmt></trkpt>"
            << (i == count / 2 ? "</trkseg><trkseg>" : "");
    }
    gpx << "</trkseg></trk></gpx>";
    return gpx.str();
}

TEST(GpxTracks, ATrackIsFlownThinnedToWhatATourHolds) {
    const std::string gpx = trackGpx(1500);
    WaypointSet plain, set, none;
    Findings warned, findings, refused;
    ASSERT_TRUE(readGpx(gpx.data(), gpx.size(), plain, warned));
    ASSERT_EQ(warned.size(), 1u);
    EXPECT_NE(warned[0].reason.find("1 track(s) of 1,500 points not converted"), std::string::npos);
    EXPECT_NE(warned[0].reason.find("--track"), std::string::npos);

    ASSERT_TRUE(readGpx(gpx.data(), gpx.size(), set, findings, longestTour));
    ASSERT_EQ(set.groups.size(), 2u);
    const WaypointGroup& track = set.groups[1];
    EXPECT_TRUE(track.isRoute);
    EXPECT_EQ(track.name, "Ferry flight");
    ASSERT_EQ(track.points.size(), longestTour);
    EXPECT_EQ(track.points.front().name, "Track point 1") << "a time stamp names nothing";
    EXPECT_EQ(track.points.back().name, "Track point 1500");
    ASSERT_EQ(set.notes.size(), 1u);
    EXPECT_NE(set.notes[0].find("1,500 points, 999 kept"), std::string::npos) << set.notes[0];

    const std::string noTrack = "<gpx><wpt lat=\"60\" lon=\"10\"/></gpx>";
    EXPECT_FALSE(readGpx(noTrack.data(), noTrack.size(), none, refused, longestTour));
}

TEST(GpxTracks, ConvertTakesTheTrackOnlyFromGpx) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tarvix-track-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::ofstream((folder / "flown.gpx").string()) << trackGpx(1200);
    std::ofstream((folder / "table.csv").string()) << "name,lat,lon\nA,60,10\n";
    ConvertOptions options{};
    options.input = (folder / "flown.gpx").string();
    options.output = (folder / "TarvixTr.dat").string();
    options.track = true;
    std::ostringstream out, err;
    EXPECT_EQ(runConvert(options, out, err), exitClean) << err.str();
    EXPECT_EQ(fs::file_size(folder / "TarvixTr.dat"), longestTour * 64);
    options.input = (folder / "table.csv").string();
    options.force = true;
    EXPECT_EQ(runConvert(options, out, err), exitUnreadable);
    EXPECT_NE(err.str().find("--track takes the tracks of a GPX file"), std::string::npos);
    fs::remove_all(folder);
}

} // namespace
