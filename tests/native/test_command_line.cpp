// What the host's command line asks to fly: a scenario file, a free flight built from the
// options, or the default scenario when neither is asked for; and the options that belong to
// one kind of flight refused beside another.
#include <gtest/gtest.h>

#include <vector>

#include "host/command_line.h"

namespace {

CommandLine parse(std::vector<std::string> arguments, HostOptions& options, std::string& error) {
    arguments.insert(arguments.begin(), "tarvix-host");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}

struct SourceCase {
    std::vector<std::string> arguments;
    FlightSource source;
};

TEST(CommandLine, OptionsThatSetNoFlightLeaveTheDefaultScenario) {
    const SourceCase cases[] = {
        {{}, FlightSource::builtInFile},
        {{"--out", "o", "--gauge", "g.gau", "--all-key-events"}, FlightSource::builtInFile},
        {{"--default-out", "/x/out/fly"}, FlightSource::builtInFile},
        {{"--window", "--time-rate", "16", "--close-after", "60"}, FlightSource::builtInFile},
        {{"s.json"}, FlightSource::file},
        {{"--window", "--scenario", "s.json"}, FlightSource::file},
        {{"--frames", "5"}, FlightSource::options},
        {{"--picture", "p.png"}, FlightSource::options},
        {{"--window", "--speed", "140", "--heading", "270"}, FlightSource::options},
    };
    for (const SourceCase& c : cases) {
        HostOptions options;
        std::string error;
        std::string shown;
        for (const std::string& a : c.arguments)
            shown += a + " ";
        ASSERT_EQ(parse(c.arguments, options, error), CommandLine::run) << shown << error;
        EXPECT_EQ(options.source, c.source) << shown;
    }
}

TEST(CommandLine, TheFreeFlightIsAScenarioOfItsOptions) {
    HostOptions o;
    std::string error;
    ASSERT_EQ(parse({"--frames", "36", "--latitude", "N41 47 10", "--speed", "150", "--click",
                     "AP@18", "--click", "DLG@0", "--click", "INF@35", "--destination",
                     "KMKE,Milwaukee Mitchell,42.9472,W87 53 48", "--wind-from", "270"},
                    o, error),
              CommandLine::run)
        << error;
    const Scenario& f = o.flight;
    EXPECT_NEAR(f.aircraft.latitude, 41 + 47 / 60.0 + 10 / 3600.0, 1e-12);
    EXPECT_EQ(f.aircraft.longitude, -87.7522) << "the default start, Chicago Midway";
    EXPECT_EQ(f.aircraft.heading, 360);
    EXPECT_EQ(f.aircraft.airspeed, 150);
    EXPECT_EQ(f.aircraft.windDirection, 270);
    EXPECT_EQ(f.frameRate * f.duration, 36) << "exactly the frames asked for";
    EXPECT_EQ(f.pictureEvery, 0);
    EXPECT_EQ(f.animationEvery, 0);
    ASSERT_EQ(f.clicks.size(), 3u);
    // Pressed at the start of their frame, the dialogs dismissed as they open.
    EXPECT_EQ(f.clicks[0].at * f.frameRate, 18);
    EXPECT_TRUE(f.clicks[0].close.empty());
    EXPECT_EQ(f.clicks[1].at, 0);
    EXPECT_EQ(f.clicks[1].close, std::vector<std::string>{"Cancel"});
    EXPECT_EQ(f.clicks[2].close, std::vector<std::string>{"OK"});
    EXPECT_EQ(f.clicks[2].name, "--click INF@35");
    EXPECT_TRUE(f.handed.present);
    EXPECT_EQ(f.handed.ident + "|" + f.handed.name, "KMKE|Milwaukee Mitchell");
    EXPECT_NEAR(f.handed.longitude, -(87 + 53 / 60.0 + 48 / 3600.0), 1e-12);
    EXPECT_FALSE(f.destination.present);

    ASSERT_EQ(parse({"--window", "--speed", "140"}, o, error), CommandLine::run) << error;
    EXPECT_EQ(o.flight.duration, 48 * 3600) << "the window flies until it is closed";
}

struct RefusalCase {
    std::vector<std::string> arguments;
    const char* message;
};

TEST(CommandLine, OptionsOfAnotherKindOfFlightAreRefusedByName) {
    const RefusalCase cases[] = {
        {{"s.json", "--speed", "100"},
         "option --speed is for a flight without a scenario; the scenario file 's.json' sets"},
        {{"--window", "s.json", "--click", "AP@3"}, "option --click is for a flight without the"},
        {{"--window", "--frames", "3"}, "option --frames is for a flight without the window"},
        {{"--time-rate", "4"}, "option --time-rate is for the live window (--window)"},
        {{"--frames", "9", "--window-picture", "w.png"}, "option --window-picture is for the"},
        {{"--window", "--time-rate", "2"}, "option --time-rate: '2' is not 1, 4 or 16"},
        {{"--click", "AP@50", "--frames", "10"}, "'AP@50' comes after the last frame (9)"},
        {{"--destination", "KMKE,Milwaukee,42.9"}, "'KMKE,Milwaukee,42.9' is not IDENT,NAME,LAT"},
        {{"--destination", "TOOLONG,x,1,1"}, "is not IDENT,NAME,LAT,LON"},
        {{"a.json", "b.json"}, "unexpected argument 'b.json'"},
    };
    for (const RefusalCase& c : cases) {
        HostOptions options;
        std::string error;
        EXPECT_EQ(parse(c.arguments, options, error), CommandLine::refused) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

} // namespace
