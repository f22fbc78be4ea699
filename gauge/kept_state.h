// The block that keeps the pilot's map scale and route origin across a gauge reload.
#pragma once
#include <cstddef>
#include <cstdint>

struct KeptStateBlock {
    double routeOriginLatitude;  //   0, 8  raw
    double routeOriginLongitude; //   8, 8  raw
    double mapScale;             //  16, 8  pixels per nm
    int32_t spareFlag;           //  24, 4
    uint8_t unused[996];         //  28     zero in a new block
};
static_assert(sizeof(KeptStateBlock) == 1024, "KeptStateBlock is the whole 1024-byte block");
static_assert(offsetof(KeptStateBlock, routeOriginLongitude) == 8, "routeOriginLongitude");
static_assert(offsetof(KeptStateBlock, mapScale) == 16, "mapScale");
static_assert(offsetof(KeptStateBlock, spareFlag) == 24, "spareFlag");

struct KeptSettings {
    double routeOriginLatitude;
    double routeOriginLongitude;
    double mapScale;
    int32_t spareFlag;
};

constexpr double minimumMapScale = 0.2;
constexpr double maximumMapScale = 20.0;

// Writes the four values; the unused rest of the block is left alone.
void writeKeptState(KeptStateBlock& block, const KeptSettings& settings);

// Reads the four values into settings. The block may have been written by anyone: a scale that is
// not a finite number is ignored (settings keep theirs), a finite one outside 0.2 to 20 is
// brought to the nearer limit, and an origin that is not finite counts as no origin (0, 0).
void readKeptState(const KeptStateBlock& block, KeptSettings& settings);
