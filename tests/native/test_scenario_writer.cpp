// Scenario files written: read back, each is the scenario that was written, over scenarios of
// every shape the reader can give.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "common/limits.h"
#include "host/scenario_writer.h"

static bool operator==(const TypedPosition& a, const TypedPosition& b) {
    return std::tie(a.northOrEast, a.degrees, a.minutes, a.seconds) ==
           std::tie(b.northOrEast, b.degrees, b.minutes, b.seconds);
}

static bool operator==(const DialogSetting& a, const DialogSetting& b) {
    return std::tie(a.field, a.text, a.on, a.position) ==
           std::tie(b.field, b.text, b.on, b.position);
}

static bool operator==(const ScenarioClick& a, const ScenarioClick& b) {
    return std::tie(a.at, a.button, a.press, a.select, a.settings, a.close, a.expectMessages,
                    a.answers, a.picture, a.timeLimit, a.name) ==
           std::tie(b.at, b.button, b.press, b.select, b.settings, b.close, b.expectMessages,
                    b.answers, b.picture, b.timeLimit, b.name);
}

namespace {

// The fields the file holds, the clicks apart.
auto writtenFields(const Scenario& s) {
    const Aircraft& a = s.aircraft;
    const ScenarioDestination& d = s.destination;
    return std::tie(s.name, a.latitude, a.longitude, a.heading, a.airspeed, a.altitude, a.windSpeed,
                    a.windDirection, a.variation, s.selector, s.frameRate, s.database, d.present,
                    d.record, d.autopilot, d.altitudeHold, d.altitude, s.duration, s.pictureEvery,
                    s.animationEvery, s.stopAtArrival);
}

struct ScenarioMaker {
    std::mt19937 random;

    bool coin() { return random() % 2 == 0; }
    double real(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    }
    int32_t whole(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    }
    // Half of them on a whole second, as a route's items and hand-written scenarios give them.
    double coordinate(double limit) {
        const int32_t seconds = static_cast<int32_t>(limit * 3600);
        return coin() ? whole(-seconds, seconds) / 3600.0 : real(-limit, limit);
    }
    template <typename T> std::vector<T> some(std::vector<T> from) {
        std::vector<T> kept;
        for (const T& item : from)
            if (coin())
                kept.push_back(item);
        return kept;
    }

    void dialogWork(ScenarioClick& c) {
        const bool settings = c.button == "DLG";
        c.close = settings ? some<std::string>({"OK", "Cancel"}) : some<std::string>({"OK"});
        c.expectMessages = some<std::string>({"Latitude Data Error !", "Overwrite?"});
        c.answers = some<std::string>({"Yes", "No", "OK"});
        c.picture = coin() ? "dialog.png" : "";
        c.timeLimit = coin() ? defaultDialogTimeLimit : real(1, 600);
        if (!settings)
            return;
        c.press = some<std::string>({"Tr Imp", "Ap Imp", "Exp"});
        c.select = coin() ? "Folder/001 - Escanaba \"Delta\"" : "";
        for (int f = 0; f <= static_cast<int>(DialogField::altitude); ++f) {
            DialogSetting s{static_cast<DialogField>(f), "", false, {}};
            if (s.field == DialogField::autopilot || s.field == DialogField::altitudeHold)
                s.on = coin();
            if (s.field == DialogField::ident || s.field == DialogField::name)
                s.text = s.field == DialogField::ident ? "KMKE" : "Milwaukee / Mitchell";
            if (s.field == DialogField::latitude || s.field == DialogField::longitude)
                typedPosition(std::to_string(real(-999, 999)), s.field == DialogField::latitude,
                              s.position);
            if (s.field == DialogField::altitude)
                s.text = std::to_string(whole(0, 99999));
            if (coin())
                c.settings.push_back(s);
        }
    }

    ScenarioClick click(size_t index, double duration) {
        static const char* const buttons[] = {"+", "-", "DLG", "INF", "AP", "Prev", "Next"};
        ScenarioClick c{};
        c.at = coin() ? whole(0, static_cast<int32_t>(duration)) : real(0, duration);
        c.button = buttons[random() % 7];
        c.timeLimit = defaultDialogTimeLimit;
        if (c.button == "DLG" || c.button == "INF")
            dialogWork(c);
        c.name = stepName(index, c);
        return c;
    }

    Scenario scenario() {
        Scenario s{};
        s.name = coin() ? "" : "Around \"the\" lake, \u00E0 l'est";
        s.aircraft.latitude = coordinate(90);
        s.aircraft.longitude = coordinate(180);
        s.aircraft.heading = coin() ? whole(0, 360) : real(0, 360);
        s.aircraft.airspeed = real(0, 2000);
        s.aircraft.altitude = coin() ? whole(-1500, highestAltitudeFeet) : real(0, 3000);
        if (coin())
            s.aircraft.windSpeed = real(0, 300), s.aircraft.windDirection = whole(0, 360);
        s.aircraft.variation = coin() ? 0 : real(-180, 180);
        s.selector = coin() ? 0 : whole(1, 65535);
        s.frameRate = coin() ? 18 : real(1, 100);
        s.duration = coin() ? whole(1, longestFlightSeconds) : real(1, 600);
        s.pictureEvery = coin() ? 0 : real(0, s.duration);
        s.animationEvery = coin() ? 0 : whole(0, static_cast<int32_t>(s.duration));
        s.stopAtArrival = coin();
        if (coin()) {
            s.database = "lake.dat";
            if (coin())
                s.destination = {true, whole(1, 65535), coin(), coin(), coin() ? 0.0 : 4500.0};
        }
        for (size_t i = 0, n = random() % 4; i < n; ++i)
            s.clicks.push_back(click(i, s.duration));
        return s;
    }
};

TEST(ScenarioWriter, WhatIsWrittenReadsBackAsTheSameScenarioAndTheSameText) {
    ScenarioMaker maker{std::mt19937(29)};
    for (int round = 0; round < 400; ++round) {
        const Scenario written = maker.scenario();
        const std::string text = scenarioText(written);
        Scenario read;
        std::string error;
        ASSERT_TRUE(parseScenario(text, read, error)) << error << "\n" << text;
        EXPECT_TRUE(writtenFields(read) == writtenFields(written)) << text;
        EXPECT_TRUE(read.clicks == written.clicks) << text;
        EXPECT_EQ(scenarioText(read), text);
    }
}

// The route flight's step: the settings dialog's button, its tour import and the folder the
// import makes, as the host reads them back.
TEST(ScenarioWriter, TheTourImportStepPressesTheDialogsOwnButtons) {
    Scenario s{};
    s.duration = 60;
    s.frameRate = 18;
    s.clicks = {tourImportClick(0, "001 - Escanaba")};
    Scenario read;
    std::string error;
    ASSERT_TRUE(parseScenario(scenarioText(s), read, error)) << error;
    EXPECT_EQ(read.clicks[0].button, "DLG");
    EXPECT_EQ(read.clicks[0].press, std::vector<std::string>{"Tr Imp"});
    EXPECT_EQ(read.clicks[0].select, "New Tour Folder/001 - Escanaba");
}

} // namespace
