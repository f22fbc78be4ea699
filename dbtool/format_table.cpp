#include "format_table.h"

#include "csv_format.h"
#include "dat_files.h"
#include "db_check.h"
#include "db_show.h"
#include "gpx_format.h"
#include "plan_formats.h"

namespace {

const char* textOf(const ReadInput& input) {
    return reinterpret_cast<const char*>(input.data);
}

bool readDatabase(const ReadInput& input, WaypointSet& set, Findings& findings) {
    readDatabaseFile(input.data, input.size, set, findings);
    return true;
}

bool readTour(const ReadInput& input, WaypointSet& set, Findings& findings) {
    readTourFile(input.data, input.size, set, findings);
    return true;
}

bool readAirports(const ReadInput& input, WaypointSet& set, Findings& findings) {
    readAirportFile(input.data, input.size, set, findings);
    return true;
}

// A plan's reader over text.
template <bool (*reader)(const char*, size_t, WaypointSet&, Findings&)>
bool readPlan(const ReadInput& input, WaypointSet& set, Findings& findings) {
    return reader(textOf(input), input.size, set, findings);
}

Findings checkDatabase(const uint8_t* data, size_t size, int32_t& count) {
    return checkRecordFile(data, size, false, count);
}

Findings checkTour(const uint8_t* data, size_t size, int32_t& count) {
    return checkRecordFile(data, size, true, count);
}

std::string showDatabase(const uint8_t* data, size_t size) {
    return showRecordFile(data, size, false);
}

std::string showTour(const uint8_t* data, size_t size) {
    return showRecordFile(data, size, true);
}

std::string writeTour(const WaypointSet&, const WaypointGroup& part, bool holdAltitude,
                      Findings& findings) {
    groundFindings(part, findings);
    return writeTourFile(part, holdAltitude, findings);
}

std::string writeAirports(const WaypointSet&, const WaypointGroup& part, bool, Findings& findings) {
    return writeAirportFile(part, findings);
}

// A writer of every group, or of one route.
template <std::string (*writer)(const WaypointSet&)>
std::string writeSet(const WaypointSet& chosen, const WaypointGroup&, bool, Findings&) {
    return writer(chosen);
}

template <std::string (*writer)(const WaypointGroup&)>
std::string writeRoute(const WaypointSet&, const WaypointGroup& part, bool, Findings&) {
    return writer(part);
}

const std::vector<FormatRow> rows = {
    {FileFormat::database,
     "db",
     {"tarvixdb.dat", "tarvixdb.bak", "tarvixdb.$$$"},
     "",
     nullptr,
     "database",
     "record",
     readDatabase,
     false,
     checkDatabase,
     showDatabase,
     nullptr,
     false,
     false},
    {FileFormat::tour,
     "tour",
     {"tarvixtr.dat"},
     "",
     nullptr,
     "tour file",
     "record",
     readTour,
     false,
     checkTour,
     showTour,
     writeTour,
     false,
     true},
    {FileFormat::airports,
     "airports",
     {"tarvix.dat"},
     "",
     nullptr,
     "airport file",
     "line",
     readAirports,
     false,
     checkAirportFile,
     nullptr,
     writeAirports,
     false,
     false},
    {FileFormat::gpx,
     "gpx",
     {},
     ".gpx",
     "<gpx",
     "GPX",
     "line",
     [](const ReadInput& input, WaypointSet& set, Findings& findings) {
         return readGpx(textOf(input), input.size, set, findings, input.trackItems);
     },
     true,
     nullptr,
     nullptr,
     writeSet<writeGpx>,
     true,
     false},
    {FileFormat::csv,
     "csv",
     {},
     ".csv",
     nullptr,
     "CSV",
     "line",
     [](const ReadInput& input, WaypointSet& set, Findings& findings) {
         return readCsv(textOf(input), input.size, input.columns, set, findings);
     },
     false,
     nullptr,
     nullptr,
     writeSet<writeCsv>,
     true,
     false},
    {FileFormat::xmlPlan,
     "pln",
     {},
     ".pln",
     "<SimBase.Document",
     "XML flight plan",
     "line",
     readPlan<readXmlPlan>,
     false,
     nullptr,
     nullptr,
     writeRoute<writeXmlPlan>,
     false,
     true},
    {FileFormat::fixPlan,
     "fms",
     {},
     ".fms",
     nullptr,
     "flight plan of fixes",
     "line",
     readPlan<readFixPlan>,
     false,
     nullptr,
     nullptr,
     writeRoute<writeFixPlan>,
     false,
     true},
    {FileFormat::gpsRoute,
     "fpl",
     {},
     ".fpl",
     "<flight-plan",
     "GPS route",
     "line",
     readPlan<readGpsRoute>,
     false,
     nullptr,
     nullptr,
     writeRoute<writeGpsRoute>,
     false,
     true},
    {FileFormat::textPlan,
     "pln",
     {},
     ".pln",
     "[flightplan]",
     "text flight plan",
     "line",
     readPlan<readTextPlan>,
     false,
     nullptr,
     nullptr,
     nullptr,
     false,
     true},
};

const FormatRow unknownRow = {FileFormat::unknown,
                              "",
                              {},
                              "",
                              nullptr,
                              "unknown",
                              "line",
                              nullptr,
                              false,
                              nullptr,
                              nullptr,
                              nullptr,
                              false,
                              false};

} // namespace

const std::vector<FormatRow>& formatTable() {
    return rows;
}

const FormatRow& formatRow(FileFormat format) {
    for (const FormatRow& row : rows)
        if (row.format == format)
            return row;
    return unknownRow;
}
