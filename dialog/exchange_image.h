// The image of ExchangeState in the shared mapping: the record's layout, but with both texts
// space-padded and without their NUL (ident in bytes 0-4, byte 5 a space; name in 6-30, byte 31
// a space).
#pragma once
#include <cstddef>
#include <cstdint>

#include "common/exchange_record.h"

constexpr size_t exchangeImageSize = sizeof(ExchangeRecord);
constexpr size_t imageIdentLength = 5;
constexpr size_t imageNameLength = 25;

void encodeExchangeImage(const ExchangeRecord& state, uint8_t* image);

// ident takes exactly 5 bytes and name exactly 25, untrimmed, each followed by a NUL.
void decodeExchangeImage(const uint8_t* image, ExchangeRecord& state);
