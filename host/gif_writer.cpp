#include "gif_writer.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

struct BitWriter {
    std::vector<uint8_t>& out;
    uint32_t buffer = 0;
    int32_t bits = 0;
    void write(uint32_t code, int32_t width) {
        buffer |= code << bits;
        bits += width;
        while (bits >= 8) {
            out.push_back(static_cast<uint8_t>(buffer));
            buffer >>= 8;
            bits -= 8;
        }
    }
    void flush() {
        if (bits > 0)
            out.push_back(static_cast<uint8_t>(buffer));
        buffer = 0;
        bits = 0;
    }
};

} // namespace

std::vector<uint8_t> gifCompress(const uint8_t* indices, size_t count) {
    const uint32_t clearCode = 256, endCode = 257, maxCodes = 4096;
    std::vector<uint8_t> out;
    BitWriter writer{out};
    std::unordered_map<uint32_t, uint32_t> table; // (prefix code << 8 | byte) -> code
    uint32_t nextCode = 258;
    int32_t width = 9;
    writer.write(clearCode, width);
    if (count == 0) {
        writer.write(endCode, width);
        writer.flush();
        return out;
    }
    uint32_t prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        uint32_t key = prefix << 8 | indices[i];
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.write(prefix, width);
        if (nextCode < maxCodes) {
            table.emplace(key, nextCode);
            // The decoder widens its codes one code later than it adds them.
            if (nextCode == (1u << width) && width < 12)
                ++width;
            ++nextCode;
        } else {
            writer.write(clearCode, width);
            table.clear();
            nextCode = 258;
            width = 9;
        }
        prefix = indices[i];
    }
    writer.write(prefix, width);
    writer.write(endCode, width);
    writer.flush();
    return out;
}

void gifBegin(GifAnimation& gif, int32_t width, int32_t height, const uint32_t* colours) {
    gif.width = width;
    gif.height = height;
    std::vector<uint8_t>& out = gif.bytes;
    out.clear();
    for (char c : std::string_view("GIF89a"))
        out.push_back(static_cast<uint8_t>(c));
    put16(out, static_cast<uint32_t>(width));
    put16(out, static_cast<uint32_t>(height));
    out.push_back(0xF7); // global colour table of 256 entries, 8 bits of colour resolution
    out.push_back(0);    // background
    out.push_back(0);    // aspect
    for (int i = 0; i < 256; ++i) {
        out.push_back(static_cast<uint8_t>(colours[i] >> 16));
        out.push_back(static_cast<uint8_t>(colours[i] >> 8));
        out.push_back(static_cast<uint8_t>(colours[i]));
    }
    const uint8_t loop[] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
    out.insert(out.end(), loop, loop + sizeof loop);
}

void gifAddFrame(GifAnimation& gif, const uint8_t* indices, uint16_t delay) {
    std::vector<uint8_t>& out = gif.bytes;
    const uint8_t control[] = {
        0x21, 0xF9, 4, 0, static_cast<uint8_t>(delay), static_cast<uint8_t>(delay >> 8), 0, 0};
    out.insert(out.end(), control, control + sizeof control);
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(gif.width));
    put16(out, static_cast<uint32_t>(gif.height));
    out.push_back(0); // no local colour table, not interlaced
    out.push_back(8); // minimum code size
    std::vector<uint8_t> data = gifCompress(indices, size_t(gif.width) * gif.height);
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t block = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(block));
        out.insert(out.end(), data.begin() + at, data.begin() + at + block);
    }
    out.push_back(0);
}

void gifEnd(GifAnimation& gif) {
    gif.bytes.push_back(0x3B);
}
