#include "flight_plan.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "common/db_record.h"
#include "common/module_contract.h"
#include "common/position_units.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "dialog/tour_rule.h"

namespace {

bool readDatabaseBytes(std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream file(databaseFileName, std::ios::binary);
    if (!file) {
        error = std::string("the database '") + databaseFileName + "' cannot be read";
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

RecordBuffer recordAt(const std::vector<uint8_t>& bytes, int32_t number) {
    RecordBuffer record;
    decodeRecord(bytes.data() + size_t(number - 1) * recordSize, recordSize, record);
    return record;
}

bool readFromBytes(void* bytes, int32_t number, RecordBuffer& record) {
    record = recordAt(*static_cast<const std::vector<uint8_t>*>(bytes), number);
    return true;
}

PlotPoint positionOf(const RecordBuffer& r) {
    return {decimalFromTexts(r.latHemisphere, 'S', r.latDegrees, r.latMinutes, r.latSeconds),
            decimalFromTexts(r.lonHemisphere, 'W', r.lonDegrees, r.lonMinutes, r.lonSeconds)};
}

// Moves the current-choice marker onto record number, as the dialog's OK would leave it.
bool markChoice(std::vector<uint8_t>& bytes, int32_t number, std::string& error) {
    int32_t count = static_cast<int32_t>(bytes.size() / recordSize);
    for (int32_t n = 1; n <= count; ++n) {
        RecordBuffer record = recordAt(bytes, n);
        bool chosen = n == number;
        if (!chosen && !isCurrentChoice(record))
            continue;
        markCurrentChoice(record, chosen);
        encodeRecord(record, bytes.data() + size_t(n - 1) * recordSize);
    }
    std::ofstream file(databaseFileName, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        error = std::string("the database '") + databaseFileName + "' cannot be written";
        return false;
    }
    return true;
}

} // namespace

namespace {

// The route from start to the destination record, and the record as the gauge receives it
// (without the options, which are the caller's).
bool buildPlan(const std::vector<uint8_t>& bytes, int32_t record, PlotPoint start, FlightPlan& plan,
               std::string& error) {
    int32_t count = static_cast<int32_t>(bytes.size() / recordSize);
    if (record < 1 || record > count) {
        error = "destination.record: " + std::to_string(record) + " is beyond the " +
                std::to_string(count) + " records of the database";
        return false;
    }
    RecordBuffer chosen = recordAt(bytes, record);
    if (isFolderRecord(chosen)) {
        error = "destination.record: record " + std::to_string(record) +
                " is a folder, not an airport or a tour item";
        return false;
    }
    plan = FlightPlan{};
    plan.tour = isTourRecord(chosen);
    takeRecordAsDestination(chosen, record, plan.choice);
    plan.route.push_back({start, "Start"});
    plan.routeRecords.push_back(0);
    if (!plan.tour) {
        plan.route.push_back({positionOf(chosen), waypointName(chosen)});
        plan.routeRecords.push_back(record);
        return true;
    }
    // The tour's items from where the aircraft is (the first leg's start), in the order the
    // library's steps fly them.
    RecordSource source = {count, readFromBytes, const_cast<std::vector<uint8_t>*>(&bytes)};
    RecordBuffer scratch;
    struct Collect {
        FlightPlan& plan;
        const std::vector<uint8_t>& bytes;
    } collect = {plan, bytes};
    forEachTourItem(
        source, record, scratch,
        [](void* context, int32_t number) {
            Collect& into = *static_cast<Collect*>(context);
            RecordBuffer item = recordAt(into.bytes, number);
            into.plan.route.push_back({positionOf(item), waypointName(item)});
            into.plan.routeRecords.push_back(number);
        },
        &collect);
    return true;
}

} // namespace

bool planFlight(const Scenario& scenario, FlightPlan& plan, std::string& error) {
    std::vector<uint8_t> bytes;
    const ScenarioDestination& d = scenario.destination;
    if (!readDatabaseBytes(bytes, error) ||
        !buildPlan(bytes, d.record, {scenario.aircraft.latitude, scenario.aircraft.longitude}, plan,
                   error))
        return false;
    ExchangeRecord& c = plan.choice;
    if (plan.tour) {
        c.tourAutopilot = d.autopilot ? 1 : 0;
        c.tourAltitudeHold = d.altitudeHold ? 1 : 0;
    } else {
        c.airportAutopilot = d.autopilot ? 1 : 0;
        c.airportAltitudeHold = d.altitudeHold ? 1 : 0;
        c.airportAltitude = d.altitude;
    }
    return markChoice(bytes, d.record, error);
}

bool planChosen(const ExchangeRecord& chosen, PlotPoint start, FlightPlan& plan,
                std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readDatabaseBytes(bytes, error) ||
        !buildPlan(bytes, chosen.recordNumber, start, plan, error))
        return false;
    plan.choice = chosen;
    return true;
}

std::string waypointName(const char* ident, size_t identSize, const char* name, size_t nameSize) {
    auto field = [](const char* text, size_t size) {
        std::string t(text, boundedTextLength(text, size));
        t.erase(t.find_last_not_of(' ') + 1);
        return t;
    };
    const std::string n = field(name, nameSize);
    return field(ident, identSize) + (n.empty() ? "" : " " + n);
}
