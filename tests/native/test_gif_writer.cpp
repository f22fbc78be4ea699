// The GIF writer, read back by a decoder written here from the format's rules.
#include <gtest/gtest.h>

#include <random>

#include "host/gif_writer.h"

namespace {

struct BitReader {
    const std::vector<uint8_t>& in;
    size_t at = 0;
    uint32_t buffer = 0;
    int bits = 0;
    bool read(int width, uint32_t& code) {
        while (bits < width) {
            if (at >= in.size())
                return false;
            buffer |= uint32_t(in[at++]) << bits;
            bits += 8;
        }
        code = buffer & ((1u << width) - 1);
        buffer >>= width;
        bits -= width;
        return true;
    }
};

std::vector<uint8_t> decode(const std::vector<uint8_t>& stream) {
    std::vector<std::vector<uint8_t>> dict(4096);
    for (int i = 0; i < 256; ++i)
        dict[i] = {uint8_t(i)};
    BitReader reader{stream};
    std::vector<uint8_t> out;
    int width = 9;
    uint32_t next = 258, code = 0;
    int64_t prev = -1;
    while (reader.read(width, code)) {
        if (code == 256) {
            width = 9;
            next = 258;
            prev = -1;
            continue;
        }
        if (code == 257)
            break;
        std::vector<uint8_t> entry;
        if (prev < 0) {
            entry = dict[code];
        } else {
            if (code < next) {
                entry = dict[code];
            } else {
                EXPECT_EQ(code, next) << "code beyond the table";
                entry = dict[prev];
                entry.push_back(dict[prev][0]);
            }
            if (next < 4096) {
                dict[next] = dict[prev];
                dict[next].push_back(entry[0]);
                ++next;
                if (next == (1u << width) && width < 12)
                    ++width;
            }
        }
        out.insert(out.end(), entry.begin(), entry.end());
        prev = code;
    }
    return out;
}

TEST(GifWriter, CompressionRoundTrips) {
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> images = {
        {},
        {42},
        std::vector<uint8_t>(5000, 3),  // long runs: many widenings
        std::vector<uint8_t>(88480, 0), // a whole blank panel
    };
    std::vector<uint8_t> noise(120000), stripes(100000);
    for (uint8_t& b : noise)
        b = uint8_t(random());
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = uint8_t((i / 7) % 13); // fills the table and forces clear codes
    images.push_back(noise);
    images.push_back(stripes);
    for (const auto& image : images)
        EXPECT_EQ(decode(gifCompress(image.data(), image.size())), image)
            << "image of " << image.size() << " bytes";
}

TEST(GifWriter, FileHasHeaderColoursFramesAndTrailer) {
    uint32_t colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = uint32_t(i) * 0x010101;
    GifAnimation gif;
    gifBegin(gif, 4, 2, colours);
    const uint8_t frame[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    gifAddFrame(gif, frame, 50);
    gifAddFrame(gif, frame, 50);
    gifEnd(gif);
    const std::vector<uint8_t>& b = gif.bytes;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
    EXPECT_EQ(b[6] | b[7] << 8, 4);
    EXPECT_EQ(b[8] | b[9] << 8, 2);
    EXPECT_EQ(b[10], 0xF7);
    EXPECT_EQ(b[13 + 3 * 200], 200); // red of colour 200
    EXPECT_EQ(b.back(), 0x3B);
    size_t frames = 0;
    for (size_t i = 13 + 768; i + 1 < b.size(); ++i)
        if (b[i] == 0x21 && b[i + 1] == 0xF9)
            ++frames;
    EXPECT_EQ(frames, 2u);
}

} // namespace
