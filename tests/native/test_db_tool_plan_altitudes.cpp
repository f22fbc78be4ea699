// Flight plans as a flight holds them: where each item's altitude comes from, an unknown elevation
// never taken for sea level, the ground a plan states, the older text plan known by its contents,
// and plans that name their fixes by ident only, refused alike by check and convert.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dbtool/file_kinds.h"
#include "dbtool/plan_formats.h"
#include "dbtool/route_flight.h"

namespace {

namespace fs = std::filesystem;
using Reader = bool (*)(const char*, size_t, WaypointSet&, Findings&);

// The older text plan: an 8-field navaid line, a position out of range, and the
// destination at 0 ft whose elevation the destination_id line gives.
const char* textPlan = "[flightplan]\r\ncruising_altitude=2500\r\n"
                       "departure_id=EGPB, N59* 52.88', W001* 17.63', +000020.00\r\n"
                       "destination_id=EGPA, N58* 57.48', W002* 54.30', +000050.00\r\n"
                       "departure_name=Sumburgh\r\n"
                       "waypoint.0=EGPB, A, N59* 52.88', W001* 17.63', +000020.00,\r\n"
                       "waypoint.1=, FIR, , FIR, V, N59* 22.10', W002* 30.00', +003000.00,\r\n"
                       "waypoint.2=KW, N, N95* 00.00', W002* 54.30', +000000.00,\r\n"
                       "waypoint.3=EGPA, A, N58* 57.48', W002* 54.30', +000000.00,\r\n";

// Version 3 writes 0 for an airport whose elevation the planner did not know.
const char* fixPlanUnknownElevation =
    "A\n3 version\n1\n2\n1 EGLL 0.000000 51.477500 -0.461389\n"
    "11 DET 0.000000 51.304 0.597\n1 LFPG 392.000000 49.009722 2.547778\n";

// The departure at 0 ft, its elevation in DepartureLLA; the destination at 0 ft, unknown.
const char* xmlPlanAtZeroFeet =
    R"(<SimBase.Document><FlightPlan.FlightPlan><CruisingAlt>3500</CruisingAlt>
<DepartureID>KTTN</DepartureID><DepartureLLA>N40° 16' 36.00",W74° 48' 49.00",+000213.00</DepartureLLA>
<ATCWaypoint id="KTTN"><ATCWaypointType>Airport</ATCWaypointType>
<WorldPosition>N40° 16' 36.00",W74° 48' 49.00",+000000.00</WorldPosition></ATCWaypoint>
<ATCWaypoint id="ARD"><ATCWaypointType>VOR</ATCWaypointType>
<WorldPosition>N40° 15' 13.00",W74° 54' 27.00",+000000.00</WorldPosition></ATCWaypoint>
<ATCWaypoint id="KPNE"><ATCWaypointType>Airport</ATCWaypointType>
<WorldPosition>N40° 4' 55.00",W75° 0' 38.00",+000000.00</WorldPosition></ATCWaypoint>
</FlightPlan.FlightPlan></SimBase.Document>)";

// The newest plans: fixes by ident only, or nothing but the ends and their procedures.
const char* byIdent = R"(<SimBase.Document><FlightPlan.FlightPlan>
<ATCWaypoint id="TAU"><ATCWaypointType>VOR</ATCWaypointType><ICAO><ICAOIdent>TAU</ICAOIdent></ICAO></ATCWaypoint>
<ATCWaypoint><ATCWaypointType>Intersection</ATCWaypointType><ICAO><ICAOIdent>HAREM</ICAOIdent></ICAO></ATCWaypoint>
</FlightPlan.FlightPlan></SimBase.Document>)";
const char* proceduresOnly = R"(<SimBase.Document><FlightPlan.FlightPlan>
<DepartureID>KDPA</DepartureID><DestinationID>KSTL</DestinationID>
<DepartureDetails><DepartureFP>BLOKR7</DepartureFP></DepartureDetails>
</FlightPlan.FlightPlan></SimBase.Document>)";

const char* fromText[] = {"own", "cruise", "default", "option"};

// "ident altitude-or-none from ground-or-none" for each point, then the notes.
std::string altitudes(const WaypointSet& set) {
    std::string text;
    for (const Waypoint& p : set.groups.at(0).points)
        text += p.ident + " " + (p.hasAltitude ? std::to_string(p.altitude) : "-") + " " +
                fromText[static_cast<int>(p.altitudeFrom)] + " " +
                (p.hasGround ? std::to_string(p.groundFeet) : "-") + "\n";
    for (const std::string& note : set.notes)
        text += note + "\n";
    return text;
}

TEST(PlanAltitudes, EachItemIsHeldWhereThePlanSaysAndKeepsTheGroundItStates) {
    const struct {
        Reader read;
        const char* text;
        const char* expected;
        std::vector<int32_t> problemLines;
    } cases[] = {
        {readTextPlan,
         textPlan,
         "EGPB 20 own 20\nFIR 2500 cruise 3000\nEGPA 50 own 50\npoints other than airports are "
         "flown at the plan's cruising_altitude, 2500 ft",
         {8}},
        {readFixPlan,
         fixPlanUnknownElevation,
         "EGLL - own -\nDET - own -\nLFPG 392 own 392\nairports without a known elevation (0 "
         "ft in the plan): EGLL: no altitude of their own",
         {}},
        {readXmlPlan,
         xmlPlanAtZeroFeet,
         "KTTN 213 own 213\nARD 3500 cruise -\nKPNE 3500 cruise -\nairports without a known "
         "elevation (0 ft in the plan): KPNE: flown at the plan's cruise altitude",
         {}},
    };
    for (const auto& c : cases) {
        WaypointSet set;
        Findings findings;
        ASSERT_TRUE(c.read(c.text, std::strlen(c.text), set, findings)) << c.text;
        EXPECT_EQ(altitudes(set).rfind(c.expected, 0), 0u) << altitudes(set);
        std::vector<int32_t> lines;
        for (const Finding& f : findings)
            lines.push_back(f.line);
        EXPECT_EQ(lines, c.problemLines) << c.text;
        Findings ground; // the flight below says what the warning is
        groundFindings(set.groups[0], ground);
        EXPECT_EQ(ground.size(), c.read == readTextPlan ? 1u : 0u) << "FIR only";
    }
}

TEST(PlanAltitudes, APlnIsTextOrXmlAsItsContentsShow) {
    const struct {
        std::string text;
        FileFormat format;
    } cases[] = {
        {textPlan, FileFormat::textPlan},
        {"\xEF\xBB\xBF\r\n[FlightPlan]\r\n", FileFormat::textPlan},
        {"Not a plan at all\n", FileFormat::textPlan}, // refused without talk of XML
        {xmlPlanAtZeroFeet, FileFormat::xmlPlan},
        {std::string("\xFF\xFE<\0S\0", 6), FileFormat::xmlPlan}, // UTF-16
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.text.data());
        EXPECT_EQ(resolvedFormat(FileFormat::unknown, "plan.pln", bytes, c.text.size()), c.format)
            << c.text;
        EXPECT_EQ(resolvedFormat(FileFormat::xmlPlan, "plan.txt", bytes, c.text.size()), c.format)
            << "--from pln: " << c.text;
    }
    const auto* text = reinterpret_cast<const uint8_t*>(textPlan);
    EXPECT_EQ(formatFromContent(text, std::strlen(textPlan)), FileFormat::textPlan);
}

// A folder of the test's own for the files it writes.
class PlanFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string write(const char* name, const char* text) const {
        std::ofstream((folder / name).string(), std::ios::binary) << text;
        return (folder / name).string();
    }
    fs::path folder = fs::temp_directory_path() / ("tarvix-plan-" + std::to_string(::getpid()));
};

TEST_F(PlanFiles, APlanWithoutPositionsNamesItsItemsAndCheckAgreesWithConvert) {
    const struct {
        const char* text;
        std::vector<const char*> told;
    } cases[] = {
        {byIdent,
         {"line 2: 'TAU' (VOR) has no WorldPosition: the plan names it by its ident",
          "line 3: 'HAREM' (Intersection) has no WorldPosition"}},
        {proceduresOnly,
         {"line 2: departure 'KDPA' is named by its ident only", "line 2: destination 'KSTL' is",
          "line 3: warning: DepartureDetails names a procedure"}},
    };
    for (const auto& c : cases) {
        std::string plan = write("plan.pln", c.text);
        std::ostringstream checked, converted, unused;
        EXPECT_EQ(runCheck({plan, FileFormat::unknown, false}, checked, unused), exitProblems);
        ConvertOptions convert{};
        convert.input = plan;
        convert.output = (folder / "TarvixTr.dat").string();
        EXPECT_EQ(runConvert(convert, unused, converted), exitUnreadable);
        for (const std::string& said : {checked.str(), converted.str()})
            for (const char* told : c.told)
                EXPECT_NE(said.find(told), std::string::npos) << told << "\n" << said;
        EXPECT_NE(checked.str().find("no point with a position: convert writes nothing"),
                  std::string::npos);
        EXPECT_EQ(checked.str().find("ATCWaypoint ''"), std::string::npos) << checked.str();
    }
}

TEST_F(PlanFiles, TheFlightSaysWhichAltitudeEachItemGetsAndWarnsBelowTheGround) {
    const struct {
        int32_t altitude;
        const char* summary;
        const char* warned; // or "" for none beyond the plan's own
    } cases[] = {
        {-1,
         "  001 - EGPB Sumburgh                  20 ft  its own\n"
         "  002 - FIR                         2,500 ft  the plan's cruise altitude\n"
         "  003 - EGPA                           50 ft  its own\n",
         ""},
        {30, "  001-003                              30 ft  --altitude\n",
         "line 9: warning: 'EGPA' is flown at 30 ft, below the ground the file gives for it (50 "
         "ft)"},
    };
    FlightOptions options{};
    options.convert.input = write("old.pln", textPlan);
    options.folder = (folder / "flight").string();
    for (const auto& c : cases) {
        options.choices.altitude = c.altitude;
        std::ostringstream out, err;
        ASSERT_EQ(runRouteFlight(options, out, err), exitProblems) << err.str();
        EXPECT_NE(out.str().find(std::string("altitudes held:\n") + c.summary), std::string::npos)
            << out.str();
        EXPECT_NE(err.str().find("line 7: warning: 'FIR' is flown at 2500 ft, below the ground"),
                  std::string::npos)
            << err.str();
        EXPECT_NE(err.str().find(c.warned), std::string::npos) << err.str();
    }
}

} // namespace
