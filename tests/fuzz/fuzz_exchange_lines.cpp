// libFuzzer target: any bytes as an exchange file, cut into lines and each line read as an
// airport line and as a tour record. However a pilot's editor or a hostile file left it, the
// lines stay inside the file, in order and apart; every value stays within what is read of its
// block; a line that passes the position check converts to a real position; and one rewrite is
// final: reading the written line gives the same record and writing that the same line.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/airport_line.h"
#include "common/position_units.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

void checkPositionAgrees(const RecordBuffer& r, LineProblem problem) {
    if (problem != LineProblem::none)
        return;
    double latitude = latitudeDegrees(
        latitudeFromTexts(r.latHemisphere, r.latDegrees, r.latMinutes, r.latSeconds));
    double longitude = longitudeDegrees(
        longitudeFromTexts(r.lonHemisphere, r.lonDegrees, r.lonMinutes, r.lonSeconds));
    require(std::isfinite(latitude) && std::fabs(latitude) <= 90.0 + 1e-9);
    require(std::isfinite(longitude) && std::fabs(longitude) <= 180.0 + 1e-9);
}

void checkAirportLine(const uint8_t* bytes, size_t length) {
    RecordBuffer first;
    clearRecordBuffer(first);
    std::strcpy(first.altitude, "123");
    readAirportLine(bytes, length, first);
    require(std::strlen(first.ident) <= 5 && std::strlen(first.name) <= 24 &&
            std::strlen(first.latDegrees) <= 3 && std::strlen(first.lonSeconds) <= 2 &&
            std::strcmp(first.altitude, "123") == 0);
    LineProblem problem = checkLinePosition(first);
    require(std::strlen(lineProblemText(problem)) > 0);
    checkPositionAgrees(first, problem);

    RecordBuffer written = first;
    uint8_t line[airportLineSize];
    writeAirportLine(written, line);
    require(std::memcmp(&written, &first, sizeof first) == 0);
    require(line[62] == '\r' && line[63] == '\n');
    RecordBuffer second = first;
    readAirportLine(line, airportLineSize - 2, second);
    uint8_t again[airportLineSize];
    writeAirportLine(second, again);
    require(std::memcmp(&second, &first, sizeof first) == 0);
    require(std::memcmp(again, line, airportLineSize) == 0);
    require(isFixedLayout(line, airportLineSize));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExchangeLineCursor cursor = startExchangeLines(data, size);
    ExchangeLine line;
    size_t end = 0;
    int32_t count = 0;
    while (nextExchangeLine(cursor, line)) {
        require(line.number == ++count);
        require(line.offset >= end && line.offset + line.length <= size);
        end = line.offset + line.length;
        checkAirportLine(data + line.offset, line.length);
        RecordBuffer tour;
        decodeRecord(data + line.offset, line.length, tour);
        LineProblem problem = checkExchangeLine(line, tour);
        require(!line.hasTab || problem == LineProblem::tabInLine);
        checkPositionAgrees(tour, problem);
    }
    require(static_cast<size_t>(count) <= size);
    return 0;
}
