// The readers and writers of tarvix-db on bytes: decimal degrees to whole seconds, GPX and CSV
// as pilots' tools write them, hostile inputs, and the round trip of a route through the tour
// file as the dialog imports and exports it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "common/db_record.h"
#include "dbtool/csv_format.h"
#include "dbtool/dat_files.h"
#include "dbtool/gpx_format.h"
#include "dbtool/text_codec.h"

namespace {

std::string dms(double degrees, bool latitude) {
    DmsAngle angle{};
    std::string reason;
    bool ok = latitude ? latitudeFromDecimal(degrees, angle, reason)
                       : longitudeFromDecimal(degrees, angle, reason);
    return ok ? formatDms(angle) : reason;
}

TEST(DecimalDegrees, RoundToTheNearestSecond) {
    const struct {
        double degrees;
        bool latitude;
        const char* expected;
    } cases[] = {
        {41.786111, true, "N 41\u00B047'10\""},
        {-87.752222, false, "W  87\u00B045'08\""},
        {10.99987, true, "N 11\u00B000'00\""}, // 10°59'59.5" carries into the degree
        {-0.0001, true, "N  0\u00B000'00\""},  // rounds to zero: no southern zero
        {-179.99999, false, "W 180\u00B000'00\""},
        {90.0, true, "N 90\u00B000'00\""},
        {90.0002, true, "latitude 90.000200 is outside -90 to 90"},
        {-180.5, false, "longitude -180.500000 is outside -180 to 180"},
        {NAN, true, "latitude not a number"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dms(c.degrees, c.latitude), c.expected) << c.degrees;
}

TEST(DecimalDegrees, TheLargestErrorIsHalfASecond) {
    double worst = 0;
    for (double degrees = -89.9; degrees < 89.9; degrees += 0.0123457) {
        DmsAngle angle{};
        std::string reason;
        ASSERT_TRUE(latitudeFromDecimal(degrees, angle, reason));
        worst = std::max(worst, std::fabs(decimalFromDms(angle) - degrees) * 3600);
    }
    EXPECT_LE(worst, 0.5 + 1e-9);
    EXPECT_GT(worst, 0.49);
}

WaypointSet readGpxText(const std::string& text, Findings& findings, bool expectReadable = true) {
    WaypointSet set;
    EXPECT_EQ(readGpx(text.data(), text.size(), set, findings), expectReadable) << text;
    return set;
}

const char* plannerGpx = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="a planner" xmlns="http://www.topografix.com/GPX/1/1">
  <wpt lat="41.786111" lon="-87.752222"><ele>189</ele><name>KMDW</name><desc>Chicago Midway Intl &amp; more</desc></wpt>
  <wpt lat="95" lon="10"><name>BAD</name></wpt>
  <rte><name>Lake &lt;circuit&gt;</name>
    <rtept lat="42.947222" lon="-87.896667"><ele>1371.6</ele><name>KMKE</name></rtept>
    <rtept lat="44.485" lon="-88.129444"><name>KGRB</name><desc>Green Bay Austin Straubel International</desc></rtept>
    <rtept lat="x" lon="1"><name>KBAD</name></rtept>
    <rtept lat="45.722778" lon="-87.093611"><ele>-30</ele><name>LOW</name></rtept>
  </rte>
  <trk><name>flown</name></trk>
</gpx>)";

TEST(GpxRead, WaypointsBecomeAirportsAndARouteATourInOrder) {
    Findings findings;
    WaypointSet set = readGpxText(plannerGpx, findings);
    ASSERT_EQ(set.groups.size(), 2u);
    const WaypointGroup& airports = set.groups[0];
    ASSERT_EQ(airports.points.size(), 1u);
    EXPECT_FALSE(airports.isRoute);
    EXPECT_EQ(airports.points[0].ident, "KMDW");
    EXPECT_EQ(airports.points[0].name, "Chicago Midway Intl & more");
    EXPECT_EQ(airports.points[0].altitude, 620) << "a waypoint's elevation is read too";
    const WaypointGroup& route = set.groups[1];
    EXPECT_TRUE(route.isRoute);
    EXPECT_EQ(route.name, "Lake <circuit>");
    ASSERT_EQ(route.points.size(), 3u);
    EXPECT_EQ(route.points[0].name, "KMKE");
    EXPECT_EQ(route.points[0].altitude, 4500) << "1371.6 m are 4500 ft";
    EXPECT_EQ(route.points[0].line, 6);
    EXPECT_EQ(route.points[1].name, "KGRB") << "a route point's own name comes first";
    EXPECT_FALSE(route.points[1].hasAltitude);
    EXPECT_EQ(route.points[2].altitude, -98) << "below sea level is kept until it is written";
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[0].line, 4);
    EXPECT_EQ(findings[0].reason, "wpt: latitude 95.000000 is outside -90 to 90: left out");
    EXPECT_EQ(findings[1].line, 8);
    EXPECT_EQ(findings[1].reason, "rtept: lat 'x' is not a number: left out");
    EXPECT_TRUE(findings[2].warning);
    EXPECT_NE(findings[2].reason.find("1 track(s) of 0 points not converted"), std::string::npos);
}

TEST(GpxRead, HostileTextIsRefusedWithItsLine) {
    const struct {
        const char* text;
        int32_t line;
        const char* reason;
    } cases[] = {
        {"<gpx>\n<wpt lat=\"1\" lon=\"2\"><name>A", 2, "not well-formed XML"},
        {"", 1, "not well-formed XML (No document element found"},
        {"<kml><Placemark/></kml>", 0, "not a GPX file: the top element is <kml>"},
        {"\xEF\xBB\xBF<gpx><wpt lat='1' lon='2'>", 1, "not well-formed XML"},
    };
    for (const auto& c : cases) {
        Findings findings;
        readGpxText(c.text, findings, false);
        ASSERT_EQ(findings.size(), 1u) << c.text;
        EXPECT_EQ(findings[0].line, c.line) << c.text;
        EXPECT_EQ(findings[0].reason.find(c.reason), 0u) << findings[0].reason;
    }
}

WaypointSet readCsvText(const std::string& text, Findings& findings, bool expectReadable = true) {
    WaypointSet set;
    EXPECT_EQ(readCsv(text.data(), text.size(), "", set, findings), expectReadable) << text;
    return set;
}

TEST(CsvRead, OpenAirportDataColumnsQuotesAndAByteOrderMark) {
    std::string text = "\xEF\xBB\xBF"
                       "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft\r\n"
                       "3754,KMDW,large_airport,\"Chicago Midway, \"\"the\"\" Intl\",41.785999,"
                       "-87.752403,620\r\n"
                       "1,X,small_airport,\"Two\nlines\",45,181,1\r\n"
                       "2,MÜN,heliport,München,48.1375,11.575,\r\n"
                       "3,NOPOS,closed,Nowhere,0,0,0\r\n"
                       "4,TOO,closed,Short\r\n";
    Findings findings;
    WaypointSet set = readCsvText(text, findings);
    ASSERT_EQ(set.groups.size(), 1u);
    const auto& points = set.groups[0].points;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].ident, "KMDW");
    EXPECT_EQ(points[0].name, "Chicago Midway, \"the\" Intl");
    EXPECT_EQ(formatDms(points[0].latitude), "N 41\u00B047'10\"");
    EXPECT_EQ(points[0].altitude, 620);
    EXPECT_EQ(points[1].name, "München");
    EXPECT_FALSE(points[1].hasAltitude);
    ASSERT_EQ(findings.size(), 3u);
    EXPECT_EQ(findings[0].line, 3) << "the row starts on line 3 and runs over two lines";
    EXPECT_EQ(findings[0].reason, "longitude 181.000000 is outside -180 to 180: left out");
    EXPECT_EQ(findings[1].line, 6);
    EXPECT_NE(findings[1].reason.find("no position"), std::string::npos);
    EXPECT_EQ(findings[2].line, 7);
    EXPECT_EQ(findings[2].reason, "no latitude: left out");
}

TEST(CsvRead, SemicolonsAndHostileFiles) {
    Findings findings;
    WaypointSet set = readCsvText("Ident;Name;Latitude;Longitude\n"
                                  "EDDM;\"M\u00FCnchen; Franz Josef Strau\u00DF\";48,35;11.78\n",
                                  findings);
    EXPECT_TRUE(findings.empty());
    ASSERT_EQ(set.groups.size(), 1u);
    EXPECT_EQ(formatDms(set.groups[0].points[0].latitude), "N 48\u00B021'00\"")
        << "a decimal comma";
    const struct {
        const char* text;
        const char* reason;
    } hostile[] = {
        {"", "no header row: the file is empty"},
        {"ident,name,lat_deg,lon_deg\nA,B,1,2\n", "the header names no latitude"},
        {"\xFF\xFEi\0d\0", "UTF-16 text: save the file as UTF-8"},
    };
    for (const auto& h : hostile) {
        Findings f;
        readCsvText(std::string(h.text, std::strlen(h.text) + (h.text[0] == '\xFF' ? 4 : 0)), f,
                    false);
        ASSERT_FALSE(f.empty()) << h.text;
        EXPECT_EQ(f[0].reason.find(h.reason), 0u) << f[0].reason;
    }
    Findings open;
    WaypointSet one = readCsvText("ident,latitude,longitude\nA,1,2\n\"B,1,2\nC,3,4\n", open);
    ASSERT_EQ(one.groups.size(), 1u);
    EXPECT_EQ(one.groups[0].points.size(), 1u);
    ASSERT_FALSE(open.empty());
    EXPECT_EQ(open.back().line, 3);
    EXPECT_EQ(open.back().reason,
              "a quoted field is never closed: the rest of the file was read as one row");
}

// The dialog's tour import reads each line of the tour file as a record and writes it into the
// database with a blank level; its export writes the records back unchanged.
std::string importedAndExported(const std::string& tourFile) {
    std::string exported;
    for (size_t at = 0; at + recordSize <= tourFile.size(); at += recordSize) {
        RecordBuffer record;
        decodeRecord(reinterpret_cast<const uint8_t*>(tourFile.data() + at), recordSize, record);
        record.level[0] = '\0';
        uint8_t line[recordSize];
        encodeRecord(record, line);
        exported.append(reinterpret_cast<char*>(line), recordSize);
    }
    return exported;
}

TEST(RoundTrip, GpxRouteThroughTheTourFileAndBack) {
    Findings findings;
    WaypointSet first = readGpxText(plannerGpx, findings);
    std::string tourFile = writeTourFile(first.groups[1], false, findings);
    ASSERT_EQ(tourFile.size(), 3 * recordSize);
    EXPECT_EQ(tourFile.substr(0, 62),
              "001  KMKE                     N42 5650W87 5348  1 4500        ");
    EXPECT_EQ(tourFile.substr(128, 62),
              "003  LOW                      N45 4322W87 5 37  1 0           ");
    ASSERT_TRUE(findings.back().warning);
    EXPECT_EQ(findings.back().reason, "altitude -98 ft is below sea level: written as 0");
    std::string again = importedAndExported(tourFile);
    Findings none;
    WaypointSet tour;
    readTourFile(reinterpret_cast<const uint8_t*>(again.data()), again.size(), tour, none);
    std::string gpx = writeGpx(tour);
    WaypointSet last = readGpxText(gpx, none);
    EXPECT_TRUE(none.empty());
    ASSERT_EQ(last.groups.size(), 1u);
    const auto& from = first.groups[1].points;
    const auto& to = last.groups[0].points;
    ASSERT_EQ(to.size(), from.size());
    for (size_t i = 0; i < to.size(); ++i) {
        EXPECT_EQ(formatDms(to[i].latitude), formatDms(from[i].latitude));
        EXPECT_EQ(formatDms(to[i].longitude), formatDms(from[i].longitude));
        EXPECT_EQ(to[i].hasAltitude, from[i].hasAltitude);
        EXPECT_EQ(to[i].altitude, std::max(0, from[i].altitude));
    }
    EXPECT_EQ(to[0].name, "KMKE");
}

TEST(RoundTrip, CsvKeepsFoldersToursAndAltitudeHold) {
    Findings findings;
    WaypointSet set;
    std::string csv = "ident,name,latitude,longitude,altitude,altitude_hold,folder,kind\r\n"
                      "KMDW,\"Midway, Chicago\",41.786111,-87.752222,,,Chicago,airport\r\n"
                      "001,Mitchell,42.947222,-87.896667,4500,1,Circuit,tour\r\n"
                      "002,Green Bay,44.485000,-88.129444,6500,,Circuit,tour\r\n";
    ASSERT_TRUE(readCsv(csv.data(), csv.size(), "", set, findings));
    EXPECT_TRUE(findings.empty());
    EXPECT_EQ(writeCsv(set), csv);
    ASSERT_EQ(set.groups.size(), 2u);
    EXPECT_TRUE(set.groups[1].isRoute);
    EXPECT_TRUE(set.groups[1].points[0].altitudeHold);
    EXPECT_FALSE(set.groups[1].points[1].altitudeHold);
}

TEST(AirportFile, CutsWithAWarningAndReadsHandEditedLines) {
    Findings findings;
    WaypointSet set;
    std::string csv = "ident,name,latitude,longitude\n"
                      "EDDMX,M\u00FCnchen Franz Josef Strau\u00DF Airport,48.353889,11.786111\n"
                      "LOWW,Wien,48.110278,16.569722\n";
    ASSERT_TRUE(readCsv(csv.data(), csv.size(), "", set, findings));
    std::string file = writeAirportFile(set.groups[0], findings);
    EXPECT_EQ(file, "EDDMX M\xFCnchen Franz Josef Stra  N 48  21  14  E 11  47  10    \r\n"
                    "LOWW  Wien                      N 48  6   37  E 16  34  11    \r\n");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 2);
    EXPECT_EQ(findings[0].reason, "name 'M\u00FCnchen Franz Josef Strau\u00DF Airport' is longer "
                                  "than 24 characters: cut to 'M\u00FCnchen Franz Josef Stra'");
    // The same file as an editor leaves it: LF alone, trailing spaces gone, a blank line.
    std::string edited = "EDDMX M\xFCnchen Franz Josef Stra  N 48  21  14  E 11  47  10\n\n"
                         "LOWW  Wien                      N 48  6   37  E 16  34  11";
    WaypointSet back;
    Findings none;
    readAirportFile(reinterpret_cast<const uint8_t*>(edited.data()), edited.size(), back, none);
    EXPECT_TRUE(none.empty());
    ASSERT_EQ(back.groups[0].points.size(), 2u);
    EXPECT_EQ(back.groups[0].points[0].name, "M\u00FCnchen Franz Josef Stra");
    EXPECT_EQ(back.groups[0].points[1].line, 3);
    EXPECT_EQ(formatDms(back.groups[0].points[1].longitude), "E  16\u00B034'11\"");
}

TEST(Text, AnsiAndUtf8BothWays) {
    bool changed = false;
    EXPECT_EQ(ansiFromUtf8("M\u00FCnchen \u20AC", changed), "M\xFCnchen \x80");
    EXPECT_FALSE(changed);
    EXPECT_EQ(ansiFromUtf8("\u65E5\u672C", changed), "??");
    EXPECT_TRUE(changed);
    EXPECT_EQ(utf8FromAnsi("M\xFCnchen \x80"), "M\u00FCnchen \u20AC");
    EXPECT_EQ(utf8Repaired("ok \xFC"), "ok \u00FC") << "a stray ANSI byte in a UTF-8 file";
    Findings findings;
    EXPECT_EQ(fittedAnsi("ABCDEFG", 5, "identifier", 7, findings), "ABCDE");
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].line, 7);
    EXPECT_EQ(findings[0].reason,
              "identifier 'ABCDEFG' is longer than 5 characters: cut to 'ABCDE'");
}

} // namespace
