// The real gauge module driven by the stand-in simulator, as the simulator drives it. Each test
// is a process of its own in a fresh working folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>
#include <utility>

#include "common/sim_ids.h"
#include "gauge/screen_area.h"
#include "host/panel_host.h"
#include "testkit/kept_block.h"
#include "testkit/test_support.h"

namespace {

struct GaugeInHost : ::testing::Test {
    void SetUp() override {
        enterFreshFolder();
        std::string error;
        ASSERT_TRUE(loadGauge(gaugePath(), error)) << error;
        setVariable(varLatitude, 4642000.0);
        setVariable(varLongitude, 206100000000000.0);
    }
    void TearDown() override { unloadGauge(); }

    static int countCalls(uint32_t offset, int32_t resourceId) {
        int count = 0;
        for (const ServiceCall& call : serviceCalls()) {
            auto* element = static_cast<const ImageElement*>(call.subject);
            if (call.offset == offset && element->resourceId == resourceId)
                ++count;
        }
        return count;
    }
    static bool dialogLibraryLoaded() { return GetModuleHandleA("TarvixDlg.dll") != nullptr; }
};

TEST_F(GaugeInHost, InstallHandsOverTheMouseTable) {
    hostInstall();
    const MouseRect* table = installedMouseTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(installedMouseSize()[0], 280);
    EXPECT_EQ(installedMouseSize()[1], 316);
    struct Expected {
        int32_t kind, x, y, width, height, cursor;
        uint32_t flags;
        bool handler;
    } expected[10] = {{1, 0, 0, 0, 0, -1, 0, false},
                      {2, 30, 262, 38, 15, 5, 0x20000000, true},
                      {2, 75, 262, 38, 15, 5, 0x20000000, true},
                      {2, 30, 284, 38, 15, 5, 0x20000000, true},
                      {2, 75, 284, 38, 15, 5, 0x20000000, true},
                      {2, 120, 284, 38, 15, 5, 0x20000000, true},
                      {2, 165, 284, 38, 15, 5, 0x20000000, true},
                      {2, 210, 284, 38, 15, 5, 0x20000000, true},
                      {3, 0, 0, 0, 0, -1, 0, false},
                      {0, 0, 0, 0, 0, -1, 0, false}};
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i + 1));
        const MouseRect& rect = table[i];
        EXPECT_EQ(rect.kind, expected[i].kind);
        EXPECT_EQ(rect.x, expected[i].x);
        EXPECT_EQ(rect.y, expected[i].y);
        EXPECT_EQ(rect.width, expected[i].width);
        EXPECT_EQ(rect.height, expected[i].height);
        EXPECT_EQ(rect.cursor, expected[i].cursor);
        EXPECT_EQ(rect.mouseFlags, expected[i].flags);
        EXPECT_EQ(rect.handler != nullptr, expected[i].handler);
        EXPECT_EQ(rect.helpId | rect.eventId | static_cast<int32_t>(rect.userData), 0);
    }
}

TEST_F(GaugeInHost, InstallBuildsBothImagesFromTheModulesBitmaps) {
    hostInstall();
    const ImageRecord* bezel = installedImage(101);
    const ImageRecord* screen = installedImage(102);
    ASSERT_NE(bezel, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(bezel->width, 280);
    EXPECT_EQ(bezel->height, 316);
    EXPECT_EQ(screen->rowBytes, 280);
    EXPECT_EQ(screen->byteSize, 280u * 316u);
    for (int32_t y = 0; y < 316; ++y) {
        for (int32_t x = 0; x < 280; ++x) {
            bool inside = screen->pixels[y * 280 + x] != 0;
            ASSERT_EQ(inside, screenAreaContains(x, y)) << x << "," << y;
        }
    }
}

TEST_F(GaugeInHost, RunsWithoutTheDialogLibrary) {
    hostInstall();
    hostInitialize();
    std::vector<uint8_t> before(installedImage(102)->pixels,
                                installedImage(102)->pixels + installedImage(102)->byteSize);
    for (int frame = 0; frame < 300; ++frame)
        hostFrame();
    EXPECT_FALSE(dialogLibraryLoaded());
    std::vector<int32_t> expectedIds(registeredVariables,
                                     registeredVariables + registeredVariableCount);
    EXPECT_EQ(registeredVariableIds(), expectedIds);
    EXPECT_TRUE(keyEvents().empty()) << "nothing couples without a destination";
    PanelPicture picture;
    std::string error;
    EXPECT_TRUE(composePanel(picture, error)) << error;
    hostKill();
    EXPECT_EQ(installedImage(101), nullptr) << "kill releases the images";
}

TEST_F(GaugeInHost, RegistersEveryVariableAtInstallBeforeAnyLookup) {
    setVariable(varLatitude, 4.5e6);
    hostInstall();
    std::vector<int32_t> expectedIds(registeredVariables,
                                     registeredVariables + registeredVariableCount);
    EXPECT_EQ(registeredVariableIds(), expectedIds);
    hostInitialize();
    for (int frame = 0; frame < 40; ++frame)
        hostFrame();
    for (int32_t button = 0; button < 7; ++button) {
        int32_t x = 0, y = 0;
        ASSERT_TRUE(buttonCentre(button, x, y));
        clickGauge(x, y, nullptr);
        hostFrame();
    }
    hostKill();
    EXPECT_EQ(refusedLookups(), std::vector<int32_t>{});
}

TEST_F(GaugeInHost, TheStandInRefusesALookupOfAnUnregisteredVariable) {
    // A gauge that reads before it registers, as the services see it.
    auto lookup = reinterpret_cast<VariableFn>(panelServices()->entries[serviceVariableLookup / 4]);
    auto enrol =
        reinterpret_cast<VariableFn>(panelServices()->entries[serviceVariableRegister / 4]);
    setVariable(varAltitude, 1234.0);
    ModuleVar early = {varAltitude, {}, -1.0, {}};
    lookup(&early);
    EXPECT_EQ(early.value, -1.0) << "left as it was";
    EXPECT_EQ(refusedLookups(), std::vector<int32_t>{varAltitude});
    enrol(&early);
    early.value = -1.0;
    lookup(&early);
    EXPECT_EQ(early.value, 1234.0);
    ModuleVar other = {varAltitude, {}, -1.0, {}};
    lookup(&other);
    EXPECT_EQ(other.value, -1.0) << "registration belongs to the record, not to the id";
}

TEST_F(GaugeInHost, RedrawsOnEveryThirteenthUpdate) {
    hostInstall();
    hostInitialize();
    resetPanel();
    for (int call = 1; call <= 39; ++call) {
        hostUpdate();
        int expected = call / 13;
        ASSERT_EQ(countCalls(serviceElementUpdate, 101), expected) << "after update " << call;
        ASSERT_EQ(countCalls(serviceElementInitialize, 102), expected) << "after update " << call;
    }
    // Element update on the bezel, then initialize on the screen, each redraw.
    std::vector<uint32_t> order;
    for (const ServiceCall& call : serviceCalls())
        order.push_back(call.offset);
    std::vector<uint32_t> expected;
    for (int redraw = 0; redraw < 3; ++redraw) {
        expected.push_back(serviceElementUpdate);
        expected.push_back(serviceElementInitialize);
    }
    EXPECT_EQ(order, expected);
}

TEST_F(GaugeInHost, GenerateDrawAndQueryPassToTheBezel) {
    hostInstall();
    hostInitialize();
    resetPanel();
    hostGenerate(7);
    hostDraw();
    EXPECT_EQ(hostQuery(), 1u); // the stand-in answers 1 for an installed element
    ASSERT_EQ(serviceCalls().size(), 3u);
    EXPECT_EQ(serviceCalls()[0].offset, serviceElementGenerate);
    EXPECT_EQ(serviceCalls()[0].argument, 7u);
    EXPECT_EQ(serviceCalls()[1].offset, serviceElementDraw);
    EXPECT_EQ(serviceCalls()[2].offset, serviceElementQuery);
    for (const ServiceCall& call : serviceCalls())
        EXPECT_EQ(static_cast<const ImageElement*>(call.subject)->resourceId, 101);
}

TEST_F(GaugeInHost, DialogLibraryIsLoadedLazilyAndFreedAtKill) {
    hostInstall();
    hostInitialize();
    EXPECT_FALSE(dialogLibraryLoaded());
    ASSERT_TRUE(putDialogLibraryHere());
    for (int call = 1; call <= 12; ++call)
        hostUpdate();
    EXPECT_FALSE(dialogLibraryLoaded()) << "the retry waits for the 13th update";
    hostUpdate();
    EXPECT_TRUE(dialogLibraryLoaded());
    hostKill();
    EXPECT_FALSE(dialogLibraryLoaded());
}

TEST_F(GaugeInHost, DialogLibraryIsLoadedAtInstallWhenPresent) {
    ASSERT_TRUE(putDialogLibraryHere());
    hostInstall();
    EXPECT_TRUE(dialogLibraryLoaded());
    hostInitialize();
    for (int frame = 0; frame < 30; ++frame)
        hostFrame();
    hostKill();
    EXPECT_FALSE(dialogLibraryLoaded());
}

TEST_F(GaugeInHost, EveryButtonAnswersOneAndOnlyWhileRegistered) {
    hostInstall();
    hostInitialize();
    const int32_t centres[7][2] = {{49, 269},  {94, 269},  {49, 291}, {94, 291},
                                   {139, 291}, {184, 291}, {229, 291}};
    for (const auto& point : centres) {
        int32_t result = 0;
        EXPECT_TRUE(clickGauge(point[0], point[1], &result)) << point[0] << "," << point[1];
        EXPECT_EQ(result, 1);
    }
    EXPECT_FALSE(clickGauge(5, 5, nullptr));
    EXPECT_FALSE(clickGauge(68, 269, nullptr)) << "just right of the + button";
    hostKill();
    EXPECT_FALSE(clickGauge(49, 269, nullptr)) << "kill unregisters the table";
}

TEST_F(GaugeInHost, FirstInitializeStartsFromTheInitialValues) {
    EXPECT_FALSE(keptBlock()) << "no block before the first kill";
    hostInstall();
    hostInitialize();
    hostKill();
    std::optional<KeptSettings> block = keptBlock();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->mapScale, 5.0);
    EXPECT_EQ(block->routeOriginLatitude, 0.0);
    EXPECT_EQ(block->routeOriginLongitude, 0.0);
    EXPECT_EQ(block->spareFlag, 0);
}

TEST_F(GaugeInHost, KeptSettingsOutliveTheGaugeHandleAndComeBack) {
    hostInstall();
    hostInitialize();
    hostKill();
    ASSERT_TRUE(keptBlock()) << "the block outlives the kill";

    // What an earlier life of the gauge kept must be what the next one restores and keeps.
    ASSERT_TRUE(writeKeptBlock({4500000.0, 207000000000000.0, 0.4, 1}));

    hostInstall();
    hostInitialize();
    hostKill();
    std::optional<KeptSettings> block = keptBlock();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->routeOriginLatitude, 4500000.0);
    EXPECT_EQ(block->routeOriginLongitude, 207000000000000.0);
    EXPECT_EQ(block->mapScale, 0.4);
    EXPECT_EQ(block->spareFlag, 1);
}

struct HostileScale : GaugeInHost, ::testing::WithParamInterface<std::pair<double, double>> {};

TEST_P(HostileScale, IsBroughtIntoRangeOrIgnored) {
    ASSERT_TRUE(writeKeptBlock({0.0, 0.0, GetParam().first, 0}));
    hostInstall();
    hostInitialize();
    for (int frame = 0; frame < 26; ++frame)
        hostFrame();
    hostKill();
    std::optional<KeptSettings> block = keptBlock();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->mapScale, GetParam().second);
}

std::string scaleName(const ::testing::TestParamInfo<std::pair<double, double>>& scale) {
    static const char* const names[] = {"Zero", "Huge", "NotANumber", "MinusInfinity", "InRange"};
    return names[scale.index];
}

INSTANTIATE_TEST_SUITE_P(Scales, HostileScale,
                         ::testing::Values(std::make_pair(0.0, 0.2), std::make_pair(1e9, 20.0),
                                           std::make_pair(double(NAN), 5.0),
                                           std::make_pair(-double(INFINITY), 5.0),
                                           std::make_pair(7.5, 7.5)),
                         scaleName);

TEST_F(GaugeInHost, RunsTwiceInOneProcess) {
    for (int life = 0; life < 2; ++life) {
        SCOPED_TRACE("life " + std::to_string(life + 1));
        hostInstall();
        ASSERT_NE(installedImage(102), nullptr);
        ASSERT_NE(installedMouseTable(), nullptr);
        hostInitialize();
        for (int frame = 0; frame < 40; ++frame)
            hostFrame();
        int32_t result = 0;
        EXPECT_TRUE(clickGauge(49, 269, &result));
        hostKill();
        EXPECT_EQ(installedImage(102), nullptr);
        EXPECT_EQ(installedMouseTable(), nullptr);
    }
}

} // namespace
