// tarvix-db on files of 65,535 records, the most a database can hold: check of a database, and
// each conversion the tool offers at that size (flight plans of 65,535 points too), each run
// through the same command functions the program runs, files read from and written to a scratch
// folder, and the program itself for the check and two conversions; and an airport table of the
// open data set's size and columns filtered to one country and to a distance. Median of five.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "dbtool/tool_commands.h"
#include "testkit/program_folder.h"

namespace {

constexpr int32_t records = 65535;

// Folders of 99 airports, then tours of 999 items, until the database is full.
std::string database() {
    std::string bytes;
    char line[80];
    int32_t n = 0;
    auto add = [&](const char* ident, const char* name, int level, bool tour, int32_t i) {
        std::snprintf(line, sizeof line,
                      "%-5.5s%-25.25sN%3d%2d%2dW%3d%2d%2d%-2.2s%s%s%-5.5s       \r\n", ident, name,
                      10 + i % 70, i % 60, (i / 7) % 60, 1 + i % 170, (i / 3) % 60, i % 60,
                      level > 0 ? std::to_string(level).c_str() : "", tour ? "1" : " ",
                      tour ? "1" : " ", tour ? std::to_string(1000 + i % 9000).c_str() : "");
        bytes.append(line, 64);
        ++n;
    };
    char ident[8], name[32];
    for (int32_t folder = 0; n < records / 2; ++folder) {
        add("", ("Folder " + std::to_string(folder)).c_str(), 1, false, n);
        for (int32_t i = 0; i < 99 && n < records; ++i) {
            std::snprintf(ident, sizeof ident, "A%04d", (n + i) % 10000);
            std::snprintf(name, sizeof name, "Airport number %d", n);
            add(ident, name, 0, false, n);
        }
    }
    for (int32_t tour = 0; n < records; ++tour) {
        add("", ("Tour " + std::to_string(tour)).c_str(), 1, true, n);
        for (int32_t i = 1; i <= 999 && n < records; ++i) {
            std::snprintf(ident, sizeof ident, "%03d", i);
            std::snprintf(name, sizeof name, "Tour point %d", n);
            add(ident, name, 0, true, n);
        }
    }
    return bytes;
}

// An airport table of the shape and size of the open airport data set: its columns, about 80,000
// rows, a third of them in one country, names quoted, empty codes and elevations here and there.
std::string airportTable() {
    std::string text = "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\","
                       "\"elevation_ft\",\"continent\",\"iso_country\",\"iso_region\","
                       "\"municipality\",\"scheduled_service\",\"gps_code\",\"iata_code\","
                       "\"local_code\",\"home_link\",\"wikipedia_link\",\"keywords\"\n";
    const char* types[] = {"small_airport",  "heliport",      "closed",
                           "medium_airport", "large_airport", "seaplane_base"};
    const char* countries[] = {"US", "US", "US", "BR", "CA", "AU", "DE", "FR", "GB", "RU"};
    char row[400];
    for (int32_t i = 1; i <= 80000; ++i) {
        const char* country = countries[i % 10];
        // Spread over the map by steps prime to the ranges, in 64 bits: i * 104729 passes 2^31.
        double latitude = -60.0 + static_cast<double>(int64_t{i} * 7919 % 140000) / 1000.0;
        double longitude = -179.0 + static_cast<double>(int64_t{i} * 104729 % 358000) / 1000.0;
        std::snprintf(row, sizeof row,
                      "%d,\"%s%05d\",\"%s\",\"Airfield number %d, %s\",%.6f,%.6f,%s,\"NA\","
                      "\"%s\",\"%s-%02d\",\"Town %d\",\"no\",\"%s\",\"%s\",\"\",\"\",\"\",\"\"\n",
                      i, country, i, types[i % 6], i, country, latitude, longitude,
                      i % 17 == 0 ? "" : std::to_string(i % 9000 - 50).c_str(), country, country,
                      i % 50, i,
                      i % 3 == 0 ? "" : (std::string("K") + std::to_string(i % 1000)).c_str(),
                      i % 5 == 0 ? "ABC" : "");
        text += row;
    }
    // The centre of the distance filter, as the pilot names it.
    text += "80001,\"KMDW\",\"large_airport\",\"Chicago Midway\",41.785999,-87.752403,620,"
            "\"NA\",\"US\",\"US-IL\",\"Chicago\",\"yes\",\"KMDW\",\"MDW\",\"MDW\",\"\",\"\",\"\"\n";
    return text;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

template <typename Run> double medianMs(Run run) {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(secondsSince(start) * 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

// The older text flight plan of 65,535 waypoints: degrees and decimal minutes, a cruise altitude.
std::string textPlan() {
    std::string text = "[flightplan]\r\ntitle=Long route\r\ncruising_altitude=4500\r\n";
    char line[120];
    for (int32_t i = 0; i < records; ++i) {
        std::snprintf(line, sizeof line,
                      "waypoint.%d=W%05d, I, N%d* %.2f', W%03d* %.2f', +000000.00,\r\n", i, i,
                      10 + i % 70, (i % 6000) / 100.0, 1 + i % 170, (i % 5900) / 100.0);
        text += line;
    }
    return text;
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tarvix-db-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    auto at = [&](const char* name) { return (folder / name).string(); };
    std::ofstream(at("TarvixDb.dat"), std::ios::binary) << database();
    std::ostringstream sink;

    // Inputs of the full size in every format, made by the tool itself from the database.
    ConvertOptions make{at("TarvixDb.dat"),
                        at("all.gpx"),
                        FileFormat::unknown,
                        FileFormat::unknown,
                        0,
                        false,
                        true};
    runConvert(make, sink, sink);
    make.output = at("all.csv");
    runConvert(make, sink, sink);
    // One route of 65,535 points and one folder of 65,535 airports.
    ConvertOptions asTour{
        at("all.csv"), at("TarvixTr.dat"), FileFormat::unknown, FileFormat::tour, 0, false, true};
    std::ofstream csvAll(at("flat.csv"), std::ios::binary);
    {
        std::ifstream in(at("all.csv"), std::ios::binary);
        std::string row;
        while (std::getline(in, row))
            csvAll << row.substr(0, row.rfind(',', row.rfind(',') - 1)) << "\n";
    }
    csvAll.close();
    asTour.input = at("flat.csv");
    runConvert(asTour, sink, sink);
    ConvertOptions asAirports{
        at("flat.csv"), at("Tarvix.dat"), FileFormat::unknown, FileFormat::unknown, 0, false, true};
    runConvert(asAirports, sink, sink);
    ConvertOptions tourGpx{at("TarvixTr.dat"),
                           at("route.gpx"),
                           FileFormat::unknown,
                           FileFormat::unknown,
                           0,
                           false,
                           true};
    runConvert(tourGpx, sink, sink);
    // The same route as each kind of flight plan, made by the tool from the tour file.
    for (const char* plan : {"route.pln", "route.fms", "route.fpl"}) {
        ConvertOptions asPlan{
            at("TarvixTr.dat"), at(plan), FileFormat::unknown, FileFormat::unknown, 0, false, true};
        runConvert(asPlan, sink, sink);
    }
    std::ofstream(at("airports.csv"), std::ios::binary) << airportTable();
    std::ofstream(at("route-text.pln"), std::ios::binary) << textPlan();

    struct Case {
        const char* what;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"convert TarvixDb.dat -> GPX", "TarvixDb.dat", "out.gpx"},
        {"convert TarvixDb.dat -> CSV", "TarvixDb.dat", "out.csv"},
        {"convert GPX route -> TarvixTr.dat", "route.gpx", "TarvixTr.dat"},
        {"convert CSV -> Tarvix.dat", "flat.csv", "Tarvix.dat"},
        {"convert TarvixTr.dat -> GPX", "TarvixTr.dat", "out2.gpx"},
        {"convert Tarvix.dat -> CSV", "Tarvix.dat", "out2.csv"},
        {"convert XML flight plan -> TarvixTr.dat", "route.pln", "TarvixTr.dat"},
        {"convert plan of fixes -> TarvixTr.dat", "route.fms", "TarvixTr.dat"},
        {"convert GPS route -> TarvixTr.dat", "route.fpl", "TarvixTr.dat"},
        {"convert older text plan -> TarvixTr.dat", "route-text.pln", "TarvixTr.dat"},
    };
    std::printf("tarvix-db, %d records (median of 5 runs)\n", records);
    CheckOptions check{at("TarvixDb.dat"), FileFormat::unknown, false};
    int status = 0;
    std::printf("  %-42s %8.1f ms\n", "check TarvixDb.dat",
                medianMs([&] { status = runCheck(check, sink, sink); }));
    if (status != exitClean)
        std::printf("  (the check found problems: %d)\n", status);
    check.json = true;
    std::printf("  %-42s %8.1f ms\n", "check TarvixDb.dat --json",
                medianMs([&] { runCheck(check, sink, sink); }));
    check = CheckOptions{at("Tarvix.dat"), FileFormat::unknown, false};
    std::printf("  %-42s %8.1f ms\n", "check Tarvix.dat",
                medianMs([&] { runCheck(check, sink, sink); }));
    for (const Case& c : cases) {
        ConvertOptions options{at(c.in), at(c.out), FileFormat::unknown, FileFormat::unknown, 0,
                               false,    true};
        int result = 0;
        double ms = medianMs([&] {
            sink.str("");
            result = runConvert(options, sink, sink);
        });
        std::printf("  %-42s %8.1f ms%s\n", c.what, ms, result == exitClean ? "" : "  (not clean)");
    }
    // The whole airport table down to the airports of one country, and of one region around an
    // airport: the pilot's way past the 65,535 records a database holds.
    const struct {
        const char* what;
        PointFilters filters;
    } filtered[] = {
        {"airport table (80,001 rows) --country US", {"US", "", "", "", 0, ""}},
        {"airport table --within 150 --of KMDW", {"", "", "", "", 150, "KMDW"}},
    };
    for (const auto& f : filtered) {
        ConvertOptions options{at("airports.csv"),
                               at("Tarvix.dat"),
                               FileFormat::unknown,
                               FileFormat::unknown,
                               0,
                               false,
                               true};
        options.filters = f.filters;
        options.verbosity = Verbosity::quiet;
        int result = 0;
        double ms = medianMs([&] {
            sink.str("");
            result = runConvert(options, sink, sink);
        });
        // The report's last line says how many airports the filters kept.
        std::string report = sink.str();
        size_t lastLine = report.rfind('\n', report.size() < 2 ? 0 : report.size() - 2);
        report = lastLine == std::string::npos ? report : report.substr(lastLine + 1);
        size_t named = report.find(at("Tarvix.dat"));
        if (named != std::string::npos)
            report.replace(named, at("Tarvix.dat").size(), "Tarvix.dat");
        std::printf("  %-42s %8.1f ms%s  %s", f.what, ms,
                    result == exitClean ? "" : "  (not clean)", report.c_str());
    }
    // The program itself as a pilot starts it, process start and all.
    const std::string program = besideThisProgram(TARVIX_DB_TOOL_PROGRAM);
    const std::string runs[][2] = {
        {"tarvix-db check TarvixDb.dat", "check TarvixDb.dat"},
        {"tarvix-db convert TarvixDb.dat -> GPX", "convert --force TarvixDb.dat out.gpx"},
        {"tarvix-db convert GPX -> TarvixTr.dat", "convert --force route.gpx TarvixTr.dat"},
    };
    for (const auto& r : runs) {
        std::string command =
            "cd '" + folder.string() + "' && '" + program + "' " + r[1] + " >/dev/null 2>&1";
        std::printf("  %-42s %8.1f ms\n", r[0].c_str(),
                    medianMs([&] { status = std::system(command.c_str()); }));
    }
    fs::remove_all(folder);
    return 0;
}
