// The gauge against what a damaged mapping, a hand-edited database or a misbehaving library can
// hand it: how many tour steps it asks for (counted by a library that stands in front of the
// real one), which altitudes it sends, and what a position that is not a number does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "common/exchange_record.h"
#include "common/position_units.h"
#include "common/sim_ids.h"
#include "testkit/db_fixtures.h"
#include "testkit/gauge_fixture.h"
#include "host/panel_host.h"
#include "testkit/test_support.h"

namespace {

// Records: 1 the tour folder, 2-4 its items "001" to "003", 5 an airport folder.
const double itemLatitude[] = {41.0, 41.5, 42.0};
const double itemLongitude = -87.5;

std::string itemLine(int sequence, const char* altitude) {
    double lat = itemLatitude[sequence - 1];
    std::string degrees = std::to_string(int(lat)), minutes = std::to_string(int(lat * 60) % 60);
    char ident[4];
    std::snprintf(ident, sizeof ident, "%03d", sequence);
    LineFields f;
    f.ident = ident;
    f.name = "Stop";
    f.latitude[1] = degrees.c_str();
    f.latitude[2] = minutes.c_str();
    f.longitude[0] = "W";
    f.longitude[1] = "87";
    f.longitude[2] = "30";
    f.tourFlag = "1";
    f.altitude = altitude;
    return recordLine(f);
}

struct HostileInput : GaugeBesideLibrary { // beside the counting stand-in
    int32_t(__stdcall* steps)() = nullptr;
    void(__stdcall* answer)(int32_t, int32_t) = nullptr;
    HANDLE mapping = nullptr;

    void SetUp() override {
        enterFreshFolder();
        writeFileBytes("TarvixDb.dat", folderLine("Circuit", 1, true) + itemLine(1, "3000") +
                                           itemLine(2, "99999") + itemLine(3, "99996") +
                                           folderLine("Airports", 1));
        ASSERT_TRUE(CopyFileA(dialogLibraryPath().c_str(), "TarvixDlgReal.dll", FALSE));
        std::string counting = binFolder() + "\\tests\\counting\\TarvixDlg.dll";
        ASSERT_TRUE(CopyFileA(counting.c_str(), "TarvixDlg.dll", FALSE));
        ASSERT_NO_FATAL_FAILURE(loadLibraryAndGauge());
        steps = exported<int32_t(__stdcall*)()>("CountingSteps");
        answer = exported<void(__stdcall*)(int32_t, int32_t)>("CountingAnswer");
        ASSERT_TRUE(steps && answer);
        placeAircraft(40.0, itemLongitude);
        setVariable(varSpeed, 150);
    }
    void TearDown() override {
        GaugeBesideLibrary::TearDown();
        if (mapping)
            CloseHandle(mapping);
    }

    // Tour item 1-3 as the settings dialog stores it, coupled with altitude hold.
    static ExchangeRecord tourItem(int sequence) {
        ExchangeRecord r{};
        std::snprintf(r.ident, sizeof r.ident, "%03d", sequence);
        std::strcpy(r.name, "Stop");
        r.latitude = latitudeFromDegrees(itemLatitude[sequence - 1]);
        r.longitude = longitudeFromDegrees(itemLongitude);
        r.mode = 1;
        r.recordNumber = sequence + 1;
        r.tourAutopilot = 1;
        r.tourAltitudeHold = 1;
        r.tourAltitude = 3000;
        return r;
    }

    // The record as another program could leave it in the library's mapping.
    void writeMapping(const ExchangeRecord& record) {
        if (!mapping)
            mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024,
                                         "TarvixMapFile");
        ASSERT_NE(mapping, nullptr);
        void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
        ASSERT_NE(view, nullptr);
        std::memcpy(view, &record, sizeof record);
        UnmapViewOfFile(view);
    }

    int32_t libraryItem() {
        ExchangeRecord r{};
        getData(&r);
        return r.recordNumber;
    }

    static bool sentAltitude(int32_t* feet) {
        for (const KeyEventRecord& k : keyEvents())
            if (k.event == keyAltitude) {
                *feet = k.value;
                return true;
            }
        return false;
    }

    static void start() {
        hostInstall();
        hostInitialize();
    }
    static void clickNext() { clickGauge(229, 291, nullptr); }
    static void clickPrev() { clickGauge(184, 291, nullptr); }
};

// Record numbers that name no tour item: the library answers -1 to every step.
struct NoTourItem : HostileInput, ::testing::WithParamInterface<int32_t> {};

TEST_P(NoTourItem, InitializeStepsOnlyAFewTimes) {
    ExchangeRecord r = tourItem(1);
    r.recordNumber = GetParam();
    writeMapping(r);
    start(); // before: 65,536 steps at about a millisecond each, inside the simulator's frame
    EXPECT_LE(steps(), 3) << "leg start, next waypoint and tour table: one refused step each";
    placeAircraft(itemLatitude[0], itemLongitude); // on the destination the mapping names
    for (int frame = 0; frame < 30; ++frame)
        hostUpdate();
    clickNext();
    clickPrev();
    EXPECT_LE(steps(), 5) << "no arrival steps without a next waypoint; one step a click";
}

std::string recordName(const ::testing::TestParamInfo<int32_t>& record) {
    return (record.param < 0 ? "Minus" : "") + std::to_string(std::abs(record.param));
}

INSTANTIATE_TEST_SUITE_P(Records, NoTourItem, ::testing::Values(2147483647, 0, -5, 1, 5, 9999),
                         recordName);

// Answers no tour gives, from the first step of initialize on.
struct BadAnswer {
    const char* name;
    int32_t kind; // CountingAnswer's kinds
    int32_t value;
    int32_t mostSteps;
};
void PrintTo(const BadAnswer& c, std::ostream* out) {
    *out << c.name;
}
struct BadAnswers : HostileInput, ::testing::WithParamInterface<BadAnswer> {};

TEST_P(BadAnswers, EndTheWalkAtOnce) {
    ExchangeRecord r = tourItem(2);
    ASSERT_EQ(setData(&r), 1);
    answer(GetParam().kind, GetParam().value);
    start();
    EXPECT_LE(steps(), GetParam().mostSteps);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadAnswers,
    ::testing::Values(BadAnswer{"Refused", 1, 0, 3},
                      BadAnswer{"FarJump", 3, 2147483647, 3}, // no tour steps so far either way
                      // Back from 3 to 9 could be a wrap onto the last item; forward it cannot.
                      BadAnswer{"JumpAhead", 3, 9, 4},
                      // As long as the longest tour the database's 5 records can hold (the
                      // table's round), after the leg's 4 steps, and no longer.
                      BadAnswer{"NeverWraps", 2, 3, 4 + 5 + 1}),
    [](const ::testing::TestParamInfo<BadAnswer>& test) { return std::string(test.param.name); });

TEST_F(HostileInput, EveryWalkOfInitializeEndsAtItsFirstRefusal) {
    // From the middle item of three: leg start 2 steps, next waypoint 2, the table's round 3.
    ExchangeRecord middle = tourItem(2);
    setData(&middle);
    start();
    const int32_t clean = steps();
    ASSERT_EQ(clean, 7);
    EXPECT_EQ(libraryItem(), 3);
    for (int32_t refused = 0; refused < clean; ++refused) {
        hostKill();
        setData(&middle);
        answer(1, refused); // the real library for that many steps, then -1
        start();
        // The walk that meets the refusal ends; each later operation tries one step.
        EXPECT_LE(steps(), refused + 3) << "refused from step " << refused + 1;
    }
}

// The table of a tour costs one step an item, whatever its length: once round from the active
// item, which is where the library ends.
TEST_F(HostileInput, TheTourTableTakesOneStepAnItem) {
    for (int32_t items : {3, 1003}) {
        SCOPED_TRACE(items);
        std::string database = folderLine("Long", 1, true);
        for (int item = 1; item <= items; ++item)
            database += tourItemLine(item, "Stop");
        writeFileBytes("TarvixDb.dat", database + folderLine("After", 1));
        ExchangeRecord second = tourItem(2);
        setData(&second);
        answer(0, 0);
        start();
        EXPECT_EQ(steps(), 2 + 2 + items) << "leg start, next waypoint, the round";
        EXPECT_EQ(libraryItem(), 3);
        hostKill();
    }
}

TEST_F(HostileInput, ArrivalAndButtonsTakeOneStepWhenRefused) {
    ExchangeRecord first = tourItem(1);
    setData(&first);
    start();
    placeAircraft(itemLatitude[0], itemLongitude); // arrived: the rule steps forward
    answer(1, 0);
    hostUpdate();
    EXPECT_EQ(steps(), 1) << "a refused step is not a wrap to step back from";
    clickNext();
    EXPECT_EQ(steps(), 2);
    clickPrev();
    EXPECT_EQ(steps(), 3);
    answer(0, 0);
    EXPECT_EQ(libraryItem(), 2) << "the library stays on the item it was on";
}

TEST_F(HostileInput, PositionThatIsNotANumberNeverArrives) {
    ExchangeRecord first = tourItem(1);
    setData(&first);
    start();
    placeAircraft(40.5, itemLongitude); // 30 nm south of item 001
    resetPanel();
    hostUpdate();
    ASSERT_EQ(keyEvents().size(), 2u);
    const int32_t heading = keyEvents()[1].value;
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY)}) {
        resetPanel();
        answer(0, 0);
        setVariable(varLatitude, bad);
        for (int frame = 0; frame < 20; ++frame)
            hostUpdate();
        EXPECT_EQ(steps(), 0) << "no arrival, so no step";
        EXPECT_EQ(libraryItem(), 2);
        ASSERT_FALSE(keyEvents().empty());
        EXPECT_EQ(keyEvents().back().value, heading) << "the autopilot keeps the last heading";
        placeAircraft(40.5, itemLongitude);
        setVariable(varLongitude, bad);
        hostUpdate();
        EXPECT_EQ(steps(), 0);
        placeAircraft(40.5, itemLongitude);
    }
}

// Target altitudes in a damaged mapping (airport mode) and what the gauge sends from them.
struct MappedAltitude {
    const char* name;
    double feet;
    bool sent;
};
void PrintTo(const MappedAltitude& c, std::ostream* out) {
    *out << c.name;
}
struct MappedAltitudes : HostileInput, ::testing::WithParamInterface<MappedAltitude> {};

TEST_P(MappedAltitudes, OnlyFlyableOnesAreSent) {
    ExchangeRecord r{};
    std::strcpy(r.ident, "KMKE");
    r.latitude = latitudeFromDegrees(42.9472);
    r.longitude = longitudeFromDegrees(-87.8966);
    r.airportAutopilot = 1;
    r.airportAltitudeHold = 1;
    r.airportAltitude = GetParam().feet;
    writeMapping(r);
    start(); // coupled at initialize
    int32_t feet = -1;
    EXPECT_EQ(sentAltitude(&feet), GetParam().sent) << GetParam().feet;
    if (GetParam().sent) {
        EXPECT_EQ(feet, int32_t(GetParam().feet));
    } else {
        for (const KeyEventRecord& k : keyEvents())
            EXPECT_NE(k.event, keyAltitudeHoldOn) << "no hold without an altitude";
    }
    resetPanel();
    clickGauge(139, 291, nullptr); // "AP" off
    clickGauge(139, 291, nullptr); // and on again: the couple sequence
    EXPECT_EQ(sentAltitude(&feet), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Feet, MappedAltitudes,
                         ::testing::Values(MappedAltitude{"Usual", 4500, true},
                                           MappedAltitude{"Zero", 0, true},
                                           MappedAltitude{"Highest", 99996, true},
                                           MappedAltitude{"JustAbove", 99996.5, false},
                                           MappedAltitude{"Absurd", 1e30, false},
                                           MappedAltitude{"Negative", -1, false},
                                           MappedAltitude{"NotANumber", double(NAN), false},
                                           MappedAltitude{"Infinite", double(INFINITY), false}),
                         [](const ::testing::TestParamInfo<MappedAltitude>& test) {
                             return std::string(test.param.name);
                         });

TEST_F(HostileInput, TourItemAltitudeTextOutOfRangeIsNotSent) {
    // Item 002 reads "99999", item 003 "99996": the step to each applies the autopilot.
    ExchangeRecord first = tourItem(1);
    setData(&first);
    start();
    resetPanel();
    clickNext();
    int32_t feet = -1;
    EXPECT_FALSE(sentAltitude(&feet)) << "99,999 ft was sent as " << feet;
    resetPanel();
    clickNext();
    ASSERT_TRUE(sentAltitude(&feet));
    EXPECT_EQ(feet, 99996);
}

} // namespace
