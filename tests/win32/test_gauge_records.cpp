// What the simulator reads from the real gauge module, checked field by field.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "common/panel_records.h"
#include "testkit/test_support.h"

namespace {

struct GaugeModule : ::testing::Test {
    HMODULE module = nullptr;
    const struct Linkage* linkage = nullptr;
    const struct ImportTable* imports = nullptr;
    void SetUp() override {
        module = LoadLibraryA(gaugePath().c_str());
        ASSERT_NE(module, nullptr);
        linkage = reinterpret_cast<const struct Linkage*>(GetProcAddress(module, "Linkage"));
        imports =
            reinterpret_cast<const struct ImportTable*>(GetProcAddress(module, "ImportTable"));
        ASSERT_NE(linkage, nullptr);
        ASSERT_NE(imports, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }
};

TEST_F(GaugeModule, LinkageAndImportTable) {
    EXPECT_EQ(linkage->moduleId, 0x13u);
    EXPECT_NE(linkage->moduleInit, nullptr);
    EXPECT_NE(linkage->moduleDeinit, nullptr);
    EXPECT_EQ(linkage->reserved[0] | linkage->reserved[1] | linkage->reserved[2], 0u);
    EXPECT_NE(linkage->gauges[0], nullptr);
    EXPECT_EQ(linkage->gauges[1], nullptr);
    linkage->moduleInit();
    linkage->moduleDeinit();

    EXPECT_EQ(imports->id, 0xFu);
    EXPECT_EQ(imports->panelServices, nullptr) << "the simulator fills the slot";
    EXPECT_EQ(imports->end[0] | imports->end[1], 0u);
}

TEST_F(GaugeModule, HeaderNamesItsRoutinesAndOneElement) {
    const GaugeHeader* header = linkage->gauges[0];
    EXPECT_EQ(header->version, 0x262u);
    EXPECT_STREQ(header->name, "Tarvix42");
    ASSERT_NE(header->elements, nullptr);
    EXPECT_NE(header->elements[0], nullptr);
    EXPECT_EQ(header->elements[1], nullptr);
    const void* routines[] = {reinterpret_cast<const void*>(header->query),
                              reinterpret_cast<const void*>(header->install),
                              reinterpret_cast<const void*>(header->initialize),
                              reinterpret_cast<const void*>(header->update),
                              reinterpret_cast<const void*>(header->generate),
                              reinterpret_cast<const void*>(header->draw),
                              reinterpret_cast<const void*>(header->kill)};
    for (const void* routine : routines)
        EXPECT_NE(routine, nullptr);
    for (uint32_t word : header->reserved)
        EXPECT_EQ(word, 0u);
}

void expectElement(const ImageElement* e, int32_t resource, int32_t flags,
                   const GaugeHeader* header) {
    EXPECT_EQ(e->type, 0);
    EXPECT_EQ(e->resourceId, resource);
    for (int32_t c : e->coordinates)
        EXPECT_EQ(c, 0);
    EXPECT_EQ(e->header, header);
    EXPECT_EQ(e->reserved1, nullptr);
    EXPECT_EQ(e->reserved2, nullptr);
    EXPECT_EQ(e->imageFlags, flags);
    EXPECT_EQ(e->reserved3[0] | e->reserved3[1], 0);
    EXPECT_EQ(e->image, nullptr);
    for (uint32_t word : e->simulatorData)
        EXPECT_EQ(word, 0u);
}

TEST_F(GaugeModule, BezelElementCarriesTheScreenElement) {
    const GaugeHeader* header = linkage->gauges[0];
    const ImageElement* bezel = header->elements[0];
    expectElement(bezel, 101, 1, header);
    ASSERT_NE(bezel->children, nullptr);
    const ImageElement* screen = bezel->children[0];
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(bezel->children[1], nullptr);
    expectElement(screen, 102, 5, header);
    EXPECT_EQ(screen->children, nullptr);
}

// A later panel system reads a 252-byte header and 96-byte elements: what lies past our fields up
// to there must be ours and zero, not the next record of the module.
TEST_F(GaugeModule, RecordsReachTheLaterSizesWithZeros) {
    const GaugeHeader* header = linkage->gauges[0];
    const ImageElement* bezel = header->elements[0];
    const struct {
        const char* name;
        const void* record;
        size_t ours, later;
    } records[] = {
        {"header", header, 84, simulatorLayout ? 252 : sizeof(GaugeHeader)},
        {"bezel", bezel, 80, simulatorLayout ? 96 : sizeof(ImageElement)},
        {"screen", bezel->children[0], 80, simulatorLayout ? 96 : sizeof(ImageElement)},
        {"linkage", linkage, sizeof(struct Linkage), sizeof(struct Linkage)},
        {"imports", imports, sizeof(struct ImportTable), sizeof(struct ImportTable)},
    };
    for (const auto& r : records) {
        const auto* bytes = static_cast<const uint8_t*>(r.record);
        const size_t from = simulatorLayout ? r.ours : r.later;
        for (size_t i = from; i < r.later; ++i)
            ASSERT_EQ(bytes[i], 0) << r.name << " byte " << i;
        for (const auto& other : records) {
            const auto* start = static_cast<const uint8_t*>(other.record);
            const bool apart =
                &other == &r || start + other.later <= bytes || bytes + r.later <= start;
            EXPECT_TRUE(apart) << r.name << " reaches into " << other.name;
        }
    }
}

TEST_F(GaugeModule, BitmapsAreEightBitAtTheDesignSize) {
    for (int id : {101, 102}) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(bitmap, nullptr) << id;
        BITMAP info;
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 280) << id;
        EXPECT_EQ(info.bmHeight, 316) << id;
        DeleteObject(bitmap);
        HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, resource)));
        EXPECT_EQ(header->biBitCount, 8) << id;
    }
}

} // namespace
