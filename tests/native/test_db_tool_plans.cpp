// The files pilots bring to tarvix-db: flight plans of three kinds, airport tables as people
// write them, files known by their contents, the choice of a region's airports, and the warnings
// a person reads about them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "dbtool/csv_format.h"
#include "dbtool/dat_files.h"
#include "dbtool/file_kinds.h"
#include "dbtool/finding_report.h"
#include "dbtool/format_table.h"
#include "dbtool/gpx_format.h"
#include "dbtool/plan_formats.h"
#include "dbtool/point_filters.h"

namespace {

using Reader = bool (*)(const char*, size_t, WaypointSet&, Findings&);

// "name|ident|N 41°47'10\"|W  87°45'08\"|altitude or -" for each point of each group.
std::string described(const WaypointSet& set) {
    std::string text;
    for (const WaypointGroup& group : set.groups)
        for (const Waypoint& p : group.points)
            text += p.name + "|" + p.ident + "|" + formatDms(p.latitude) + "|" +
                    formatDms(p.longitude) + "|" +
                    (p.hasAltitude ? std::to_string(p.altitude) : "-") + "\n";
    return text;
}

const char* xmlPlan = R"(<?xml version="1.0" encoding="UTF-8"?>
<SimBase.Document Type="AceXML" version="1,0">
  <Descr>AceXML Document</Descr>
  <FlightPlan.FlightPlan>
    <Title>KMDW to KMKE</Title>
    <CruisingAlt>4500</CruisingAlt>
    <DepartureID>KMDW</DepartureID>
    <DestinationID>KMKE</DestinationID>
    <DepartureName>Chicago Midway Intl</DepartureName>
    <ATCWaypoint id="KMDW"><ATCWaypointType>Airport</ATCWaypointType>
      <WorldPosition>N41° 47' 9.60",W87° 45' 8.40",+000620.00</WorldPosition>
      <ICAO><ICAOIdent>KMDW</ICAOIdent></ICAO></ATCWaypoint>
    <ATCWaypoint id="OBK"><ATCWaypointType>VOR</ATCWaypointType>
      <WorldPosition>N42° 13' 19.00",W87° 57' 6.00",+000000.00</WorldPosition></ATCWaypoint>
    <ATCWaypoint id="BAD"><ATCWaypointType>User</ATCWaypointType>
      <WorldPosition>somewhere</WorldPosition></ATCWaypoint>
    <ATCWaypoint id="KMKE"><ATCWaypointType>Airport</ATCWaypointType>
      <WorldPosition>N42° 56' 50.00",W87° 53' 48.00",-000011.00</WorldPosition></ATCWaypoint>
  </FlightPlan.FlightPlan>
</SimBase.Document>)";

// Ends on a navaid at elevation 0, after a user waypoint at 0: only the last point is the end.
const char* xmlPlanToNavaid = R"(<?xml version="1.0" encoding="UTF-8"?>
<SimBase.Document Type="AceXML" version="1,0">
  <FlightPlan.FlightPlan>
    <CruisingAlt>6500</CruisingAlt>
    <ATCWaypoint id="KMDW"><ATCWaypointType>Airport</ATCWaypointType>
      <WorldPosition>N41° 47' 9.60",W87° 45' 8.40",+000620.00</WorldPosition></ATCWaypoint>
    <ATCWaypoint id="LAKE1"><ATCWaypointType>User</ATCWaypointType>
      <WorldPosition>N42° 30' 0.00",W87° 48' 0.00",+000000.00</WorldPosition></ATCWaypoint>
    <ATCWaypoint id="OBK"><ATCWaypointType>VOR</ATCWaypointType>
      <WorldPosition>N42° 13' 19.00",W87° 57' 6.00",+000000.00</WorldPosition></ATCWaypoint>
  </FlightPlan.FlightPlan>
</SimBase.Document>)";

const char* fixPlan11 = "I\r\n1100 Version\r\nCYCLE 1710\r\nADEP KMDW\r\nDEPRWY RW31C\r\n"
                        "ADES KMKE\r\nNUMENR 4\r\n"
                        "1 KMDW ADEP 620.000000 41.786111 -87.752222\r\n"
                        "3 OBK DRCT 0.000000 42.221944 -87.951667\r\n"
                        "28 +42.500_-87.800 DRCT 3500.000000 42.500000 -87.800000\r\n"
                        "11 BROKEN DRCT 0.000000 95.0 -87.0\r\n"
                        "1 KMKE ADES 723.000000 42.947222 -87.896667\r\n";

const char* fixPlan3 = "A\n3 version\n1\n2\n"
                       "1 KMDW 620.000000 41.786111 -87.752222\n"
                       "11 DEKAL 2500.000000 41.9 -88.7\n"
                       "0 ---- 0.000000 0.000000 0.000000\n";

const char* gpsRoute = R"(<?xml version="1.0" encoding="utf-8"?>
<flight-plan xmlns="http://www8.garmin.com/xmlschemas/FlightPlan/v1">
  <waypoint-table>
    <waypoint><identifier>KMDW</identifier><type>AIRPORT</type><country-code>K2</country-code>
      <lat>41.786111</lat><lon>-87.752222</lon><comment>CHICAGO MIDWAY INTL</comment></waypoint>
    <waypoint><identifier>LAKE1</identifier><type>USER WAYPOINT</type><country-code/>
      <lat>42.5</lat><lon>-87.8</lon><comment/></waypoint>
  </waypoint-table>
  <route><route-name>KMDW TO LAKE</route-name>
    <route-point><waypoint-identifier>KMDW</waypoint-identifier><waypoint-type>AIRPORT</waypoint-type><waypoint-country-code>K2</waypoint-country-code></route-point>
    <route-point><waypoint-identifier>LAKE1</waypoint-identifier><waypoint-type>USER WAYPOINT</waypoint-type><waypoint-country-code/></route-point>
    <route-point><waypoint-identifier>GONE</waypoint-identifier><waypoint-type>VOR</waypoint-type><waypoint-country-code/></route-point>
  </route>
</flight-plan>)";

TEST(FlightPlans, EachKindReadsAsOneRouteWithItsAltitudes) {
    const struct {
        const char* what;
        Reader read;
        const char* text;
        const char* points;
        std::vector<int32_t> problemLines;
    } cases[] = {
        {"XML plan",
         readXmlPlan,
         xmlPlan,
         "Chicago Midway Intl|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|620\n"
         "OBK|OBK|N 42\u00B013'19\"|W  87\u00B057'06\"|4500\n" // a VOR flown at cruise
         "KMKE|KMKE|N 42\u00B056'50\"|W  87\u00B053'48\"|-11\n",
         {15}},
        {"XML plan ending on a navaid",
         readXmlPlan,
         xmlPlanToNavaid,
         "KMDW|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|620\n"
         "LAKE1|LAKE1|N 42\u00B030'00\"|W  87\u00B048'00\"|6500\n"
         "OBK|OBK|N 42\u00B013'19\"|W  87\u00B057'06\"|-\n",
         {}},
        {"plan of fixes 1100",
         readFixPlan,
         fixPlan11,
         "KMDW|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|620\n"
         "OBK|OBK|N 42\u00B013'19\"|W  87\u00B057'06\"|-\n"
         "+42.500_-87.800|+42.500_-87.800|N 42\u00B030'00\"|W  87\u00B048'00\"|3500\n"
         "KMKE|KMKE|N 42\u00B056'50\"|W  87\u00B053'48\"|723\n",
         {11}},
        {"plan of fixes 3",
         readFixPlan,
         fixPlan3,
         "KMDW|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|620\n"
         "DEKAL|DEKAL|N 41\u00B054'00\"|W  88\u00B042'00\"|2500\n",
         {}},
        {"GPS route",
         readGpsRoute,
         gpsRoute,
         "CHICAGO MIDWAY INTL|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|-\n"
         "LAKE1|LAKE1|N 42\u00B030'00\"|W  87\u00B048'00\"|-\n",
         {12}},
    };
    for (const auto& c : cases) {
        WaypointSet set;
        Findings findings;
        ASSERT_TRUE(c.read(c.text, std::strlen(c.text), set, findings)) << c.what;
        ASSERT_EQ(set.groups.size(), 1u) << c.what;
        EXPECT_TRUE(set.groups[0].isRoute) << c.what;
        EXPECT_EQ(described(set), c.points) << c.what;
        std::vector<int32_t> lines;
        for (const Finding& f : findings)
            lines.push_back(f.line);
        EXPECT_EQ(lines, c.problemLines) << c.what;
    }
}

TEST(FlightPlans, WrittenPlansReadBackToTheSecond) {
    WaypointSet source;
    Findings findings;
    ASSERT_TRUE(readFixPlan(fixPlan11, std::strlen(fixPlan11), source, findings));
    WaypointGroup& route = source.groups[0];
    // An identifier longer than any line buffer (found by the fuzzer: it cut the line short).
    route.points[1].ident = std::string(300, 'X');
    const struct {
        const char* what;
        std::string (*write)(const WaypointGroup&);
        Reader read;
        bool altitudes;
    } cases[] = {
        {"XML plan", writeXmlPlan, readXmlPlan, true},
        {"plan of fixes", writeFixPlan, readFixPlan, true},
        {"GPS route", writeGpsRoute, readGpsRoute, false},
    };
    for (const auto& c : cases) {
        std::string text = c.write(route);
        WaypointSet back;
        Findings none;
        ASSERT_TRUE(c.read(text.data(), text.size(), back, none)) << c.what << "\n" << text;
        EXPECT_TRUE(none.empty()) << c.what << ": " << none[0].reason;
        ASSERT_EQ(back.groups.size(), 1u) << c.what;
        const auto& points = back.groups[0].points;
        ASSERT_EQ(points.size(), route.points.size()) << c.what;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(formatDms(points[i].latitude), formatDms(route.points[i].latitude)) << c.what;
            EXPECT_EQ(formatDms(points[i].longitude), formatDms(route.points[i].longitude))
                << c.what;
            if (c.altitudes && route.points[i].hasAltitude) {
                EXPECT_EQ(points[i].altitude, route.points[i].altitude) << c.what << " " << i;
            }
        }
    }
}

TEST(FlightPlans, ForeignTextIsRefusedWithItsReason) {
    const struct {
        Reader read;
        const char* text;
        const char* reason;
    } cases[] = {
        {readXmlPlan, "<gpx/>", "not a flight plan file: the top element is <gpx>"},
        {readXmlPlan, "<SimBase.Document/>", "not a flight plan: no <FlightPlan.FlightPlan>"},
        {readXmlPlan, "<SimBase.Document><FlightPlan.FlightPlan>", "not well-formed XML"},
        {readFixPlan, "I\n1000 Version\n", "not a flight plan of fixes"},
        {readFixPlan, "", "not a flight plan of fixes"},
        {readGpsRoute, "<flight-plan><route>", "not well-formed XML"},
    };
    for (const auto& c : cases) {
        WaypointSet set;
        Findings findings;
        EXPECT_FALSE(c.read(c.text, std::strlen(c.text), set, findings)) << c.text;
        ASSERT_FALSE(findings.empty()) << c.text;
        EXPECT_EQ(findings[0].reason.find(c.reason), 0u) << findings[0].reason;
    }
}

// One row of each table: what the tool makes of it.
TEST(AirportTables, ColumnsAsPeopleNameThemAndValuesAsTheyWriteThem) {
    const struct {
        const char* text;
        const char* columns;
        const char* point;
    } cases[] = {
        {"ICAO, Name ,Lat,Lng,Elevation\nEHAM,Schiphol,52.308613,4.763889,-11\n", "",
         "Schiphol|EHAM|N 52\u00B018'31\"|E   4\u00B045'50\"|-11\n"},
        {"code;name;latitude;longitude\nLOWW;Wien;48,110278;16,569722\n", "",
         "Wien|LOWW|N 48\u00B006'37\"|E  16\u00B034'11\"|-\n"},
        {"gps_code,iata,name,lat,lon\n,ORD,,41.978611,-87.904722\n", "",
         "ORD|ORD|N 41\u00B058'43\"|W  87\u00B054'17\"|-\n"},
        // The first identifier column that a row fills names it.
        {"ident,name,lat,lon,iata_code\nKMDW,Midway,41.786111,-87.752222,MDW\n"
         "3CK,Lake in the Hills,42.206944,-88.323056,\n",
         "",
         "Midway|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|-\n"
         "Lake in the Hills|3CK|N 42\u00B012'25\"|W  88\u00B019'23\"|-\n"},
        {"name,lat,lon\nMidway,41.786111,-87.752222\n", "",
         "Midway||N 41\u00B047'10\"|W  87\u00B045'08\"|-\n"},
        {"ident,name,latitude,longitude\nKMDW,Midway,N41 47 10,87\u00B045'08\"W\n", "",
         "Midway|KMDW|N 41\u00B047'10\"|W  87\u00B045'08\"|-\n"},
        {"1,\"Goroka Airport\",\"Goroka\",\"Papua New Guinea\",\"GKA\",\\N,-6.081689,145.391998,"
         "5282,10,\"U\"\n",
         "id,name,city,country,iata,icao,lat,lon,altitude",
         "Goroka Airport|GKA|S  6\u00B004'54\"|E 145\u00B023'31\"|5282\n"},
        {"EDDM\tM\u00FCnchen\t48.353889\t11.786111\n", "ident,name,,lon",
         "the header names no latitude"}, // the latitude column passed over
        // A description names the place when nothing else does.
        {"desc,lat,long\nHarbour light,54.5,10.25\n", "",
         "Harbour light||N 54\u00B030'00\"|E  10\u00B015'00\"|-\n"},
        {"lat,lon\n54.5,10.25\n", "", "no name or identifier column"},
        // Altitudes in the unit the header gives; without one, feet, and the note says so.
        {"name,lat,lon,alt_m\nTop,47.1,11.2,1000\n", "",
         "Top||N 47\u00B006'00\"|E  11\u00B012'00\"|3281\n"},
        {"name,lat,lon,Altitude (m)\nTop,47.1,11.2,1000\n", "", "altitude 'Altitude (m)' (metres)"},
        {"name,lat,lon,alt\nTop,47.1,11.2,1000\n", "", "altitude 'alt' (read as feet"},
        // Signed degrees and minutes, and station lists' hyphens before the hemisphere.
        {"name,lat,lon\nCape,-1\u00B014.04\u2032,-1\u00B014\u20322.4\u2033\n", "",
         "Cape||S  1\u00B014'02\"|W   1\u00B014'02\"|-\n"},
        {"name,lat,lon\nIsland,09-25S,160-03E\nAtoll,02-03-43S,160-03E\n", "",
         "Island||S  9\u00B025'00\"|E 160\u00B003'00\"|-\nAtoll||S  2\u00B003'43\"|"},
        {"name,lat,lon\nReef,09-25Q,160.5\n", "",
         "latitude '09-25Q' is a position in a form not read"},
        // A header of names the tool does not know, then the same table named with --columns.
        {"Station;Breite;Laenge\nKiel;54,3;10,1\n", "", "columns with --columns"},
        {"Station;Breite;Laenge\nKiel;54,3;10,1\n", "name,lat,lon",
         "Kiel||N 54\u00B018'00\"|E  10\u00B006'00\"|-\n"}, // and no faulty row
    };
    for (const auto& c : cases) {
        WaypointSet set;
        Findings findings;
        bool read = readCsv(c.text, std::strlen(c.text), c.columns, set, findings);
        // The points, then what the reader said of them.
        std::string got = read ? described(set) : "";
        for (const Finding& finding : findings)
            got += finding.reason + "\n";
        for (const std::string& note : set.notes)
            got += note + "\n";
        EXPECT_NE(got.find(c.point), std::string::npos) << c.text << "\ngot: " << got;
        EXPECT_EQ(problemCount(findings) == 0, read && got.find("not read") == std::string::npos)
            << c.text;
    }
}

TEST(AirportTables, TheColumnsUsedAreToldAndAHeaderlessTableIsExplained) {
    WaypointSet set;
    Findings findings;
    std::string text = "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft,iso_country,"
                       "iso_region,iata_code\n1,KMDW,large_airport,Midway,41.78,-87.75,620,US,"
                       "US-IL,MDW\n";
    ASSERT_TRUE(readCsv(text.data(), text.size(), "", set, findings));
    ASSERT_EQ(set.notes.size(), 1u);
    EXPECT_EQ(set.notes[0],
              "columns used: identifier 'ident' (then 'iata_code'), name 'name', "
              "latitude 'latitude_deg', longitude 'longitude_deg', altitude "
              "'elevation_ft' (feet), country 'iso_country', region 'iso_region', type "
              "'type'");
    std::string headerless = "507,\"Heathrow\",\"London\",\"United Kingdom\",\"LHR\",\"EGLL\","
                             "51.4706,-0.461941,83,0,\"E\"\n";
    WaypointSet none;
    Findings refused;
    EXPECT_FALSE(readCsv(headerless.data(), headerless.size(), "", none, refused));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].reason.find("--columns id,name,city,country,iata,icao,lat,lon,altitude"),
              std::string::npos)
        << refused[0].reason;
}

TEST(GpxNames, ARoutePointIsNamedFromTheFieldThatNamesIt) {
    const struct {
        const char* fields;
        const char* name;
    } cases[] = {
        {"<name>KMKE</name><cmt>Mitchell</cmt><desc>General Mitchell</desc>", "KMKE"},
        {"<name>12</name><cmt>Lake shore</cmt>", "Lake shore"},
        {"<name>12</name><desc>Lake shore</desc>", "Lake shore"},
        {"<name>7</name><desc>[PT6S]</desc>", "7"},
        {"<name>PT6S</name><cmt>[PT6S]</cmt><desc>Racine</desc>", "Racine"},
        {"<cmt>2024-05-01T10:00:00Z</cmt>", ""},
        // A GPS unit's time stamps, with the time and without, in any case.
        {"<name>12</name><cmt>02-OCT-10 16:01:13</cmt><desc>Racine</desc>", "Racine"},
        {"<cmt>02-Oct-2010</cmt>", ""},
        {"<name>02-OCT Fair</name>", "02-OCT Fair"},
        {"<name>02-OCX-10 16:01:13</name>", "02-OCX-10 16:01:13"},
    };
    for (const auto& c : cases) {
        std::string text = std::string("<gpx><rte><rtept lat=\"42\" lon=\"-87\">") + c.fields +
                           "</rtept></rte></gpx>";
        WaypointSet set;
        Findings findings;
        ASSERT_TRUE(readGpx(text.data(), text.size(), set, findings));
        EXPECT_EQ(set.groups[0].points[0].name, c.name) << c.fields;
    }
}

WaypointSet airportTable() {
    std::string text = "ident,name,type,latitude_deg,longitude_deg,iso_country,iso_region\n"
                       "KMDW,Midway,large_airport,41.786,-87.752,US,US-IL\n"
                       "KORD,O'Hare,large_airport,41.978,-87.904,US,US-IL\n"
                       "KMKE,Mitchell,large_airport,42.947,-87.896,US,US-WI\n"
                       "C09,Morris,small_airport,41.425,-88.418,US,US-IL\n"
                       "CYYZ,Toronto,large_airport,43.677,-79.630,CA,CA-ON\n"
                       "PAKN,King Salmon,medium_airport,58.676,-156.649,US,US-AK\n"
                       "NZCH,Christchurch,large_airport,-43.489,172.532,NZ,NZ-CAN\n";
    WaypointSet set;
    Findings findings;
    EXPECT_TRUE(readCsv(text.data(), text.size(), "", set, findings));
    return set;
}

TEST(PointFilters, TheAirportsOfTheRegionAPilotFlies) {
    const struct {
        PointFilters filters;
        const char* kept; // identifiers, or the refusal
    } cases[] = {
        {{"us", "", "", "", 0, ""}, "KMDW KORD KMKE C09 PAKN"},
        {{"", "US-IL,us-wi", "large_airport", "", 0, ""}, "KMDW KORD KMKE"},
        {{"", "", "", "41,-89,43,-87", 0, ""}, "KMDW KORD KMKE C09"},
        {{"", "", "", "-50,170,60,-150", 0, ""}, "PAKN NZCH"}, // across 180°
        {{"", "", "", "", 20, "kmdw"}, "KMDW KORD"},
        {{"", "", "", "", 120, "N42 56 50,W87 53 48"}, "KMDW KORD KMKE C09"},
        {{"", "", "", "", 20, "EGLL"}, "--of 'EGLL': no point of the input has"},
        {{"", "", "", "43,0,41,1", 0, ""}, "--box '43,0,41,1': give south,west,north,east"},
    };
    for (const auto& c : cases) {
        WaypointSet set = airportTable();
        std::string told, reason, kept;
        if (filterPoints(set, c.filters, told, reason))
            for (const Waypoint& p : set.groups[0].points)
                kept += (kept.empty() ? "" : " ") + p.ident;
        else
            kept = reason;
        EXPECT_EQ(kept.find(c.kept), 0u) << kept << " (expected " << c.kept << ")";
    }
}

TEST(FileKinds, AFileIsKnownByWhatItHolds) {
    std::string database = "     Chicago                  N       E       1               \r\n"
                           "KMDW Chicago Midway           N41 4710W87 458                 \r\n";
    std::string tour = "001  Mitchell                 N42 5650W87 5348  114500        \r\n";
    std::string airports = "KMDW  Chicago Midway            N 41  47  10  W 87  45  8     \r\n";
    const struct {
        std::string text;
        FileFormat format;
    } cases[] = {
        {database, FileFormat::database},
        {tour + tour, FileFormat::tour},
        {airports, FileFormat::airports},
        {"KMDW  Chicago Midway            N 41  47  10  W 87  45  8\n", FileFormat::airports},
        {"\xEF\xBB\xBF<?xml version='1.0'?>\n<gpx:gpx xmlns:gpx='x'/>", FileFormat::gpx},
        {xmlPlan, FileFormat::xmlPlan},
        {fixPlan11, FileFormat::fixPlan},
        {gpsRoute, FileFormat::gpsRoute},
        {"<kml/>", FileFormat::unknown},
        {"Fly to Midway\n", FileFormat::unknown},
        // Tables under any name: headerless with quoted commas, a spreadsheet's semicolons.
        {"507,\"Heathrow\",\"London, UK\",51.47,-0.46,83\n26,\"Kugaaruk\",\\N,68.53,-89.8,56\n",
         FileFormat::csv},
        {"icao;Name;Lat;Lon\nEHAM;Schiphol;52,308601;4,76389\n", FileFormat::csv},
        {"name,lat,lon\nMidway,41.786111,-87.752222\nMitchell,42.947222,-87.896667\n",
         FileFormat::csv},
        {"Midway,41.786111,-87.752222\nMitchell,42.947222,-87.896667\n", FileFormat::csv},
        {"Midway, Chicago, IL\nMitchell\n", FileFormat::unknown},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.text.data());
        // Under a name that tells nothing of its kind.
        EXPECT_EQ(resolvedFormat(FileFormat::unknown, "points.txt", bytes, c.text.size()), c.format)
            << c.text;
        EXPECT_EQ(firstBinaryLine(bytes, c.text.size()), 0) << c.text;
    }
    const std::string picture("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    EXPECT_EQ(firstBinaryLine(reinterpret_cast<const uint8_t*>(picture.data()), picture.size()), 2);
}

TEST(FindingReport, ManyOfAKindAreCountedWithTheFirstFewShown) {
    WaypointGroup places{"Airports", false, {}};
    for (int i = 0; i < 6; ++i) {
        Waypoint p{};
        p.ident = "EDDMX" + std::to_string(i);
        p.name = "An airport with a name far too long " + std::to_string(i);
        p.line = i + 2;
        p.latitude = {'N', 48, 21, 14};
        p.longitude = {'E', 11, 47, 10};
        places.points.push_back(p);
    }
    Findings findings;
    writeAirportFile(places, findings);
    std::ostringstream normal, quiet, verbose;
    reportFindings("big.csv", findings, "line", Verbosity::normal, normal);
    reportFindings("big.csv", findings, "line", Verbosity::quiet, quiet);
    reportFindings("big.csv", findings, "line", Verbosity::verbose, verbose);
    const std::string text = normal.str();
    EXPECT_NE(text.find("big.csv: 6 warnings: names cut to 24 characters; the first 3:\n"
                        "  big.csv: line 2: warning: name 'An airport"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  ... and 3 more (--verbose lists every one)\n"), std::string::npos);
    EXPECT_NE(text.find("5 warnings: identifiers the same as another's after the cut to 5 "
                        "characters"),
              std::string::npos);
    EXPECT_NE(text.find("identifier 'EDDMX1' is cut to 'EDDMX', the same as 'EDDMX0' of line 2"),
              std::string::npos)
        << text;
    EXPECT_EQ(quiet.str(), "") << "warnings only";
    const std::string every = verbose.str();
    EXPECT_EQ(std::count(every.begin(), every.end(), '\n'), 17);
}

WaypointGroup twoPointRoute() {
    auto airport = [](const char* ident, const char* name, DmsAngle latitude, DmsAngle longitude,
                      int32_t feet) {
        Waypoint point{};
        point.ident = ident;
        point.name = name;
        point.latitude = latitude;
        point.longitude = longitude;
        point.hasAltitude = true;
        point.altitude = feet;
        return point;
    };
    WaypointGroup route{"Lake", true, {}};
    route.points.push_back(
        airport("KMDW", "Chicago Midway", {'N', 41, 47, 10}, {'W', 87, 45, 8}, 620));
    route.points.push_back(airport("KMKE", "Milwaukee", {'N', 42, 56, 50}, {'W', 87, 53, 48}, 723));
    return route;
}

TEST(FormatTable, EachFormatIsFoundByItsNamesAndReadsBackWhatItWrites) {
    for (const FormatRow& row : formatTable()) {
        SCOPED_TRACE(row.shown);
        // The older text plan shares .pln with the XML plan; its contents tell them apart.
        const FileFormat byName =
            row.format == FileFormat::textPlan ? FileFormat::xmlPlan : row.format;
        EXPECT_EQ(formatFromOption(row.option), byName);
        EXPECT_EQ(
            formatFromPath(std::string("dir/NAME") + row.extension +
                           (row.files[0] != nullptr ? "/../" + std::string(row.files[0]) : "")),
            byName);
        EXPECT_NE(row.read, nullptr);
        if (row.write == nullptr)
            continue;
        WaypointSet written{{twoPointRoute()}, {}}, read;
        Findings findings;
        const std::string bytes = row.write(written, written.groups[0], true, findings);
        ASSERT_TRUE(row.read({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "", 0},
                             read, findings));
        ASSERT_FALSE(read.groups.empty());
        const std::vector<Waypoint>& points = read.groups.back().points;
        ASSERT_EQ(points.size(), 2u) << bytes;
        EXPECT_EQ(points[1].latitude.minutes, 56);
        EXPECT_EQ(points[1].longitude.seconds, 48);
        EXPECT_EQ(problemCount(findings), 0);
    }
    EXPECT_EQ(formatRow(FileFormat::unknown).read, nullptr);
}

} // namespace
