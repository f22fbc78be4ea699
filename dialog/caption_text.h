// The dialogs' captions are kept scrambled in the library's data: every character one code
// higher, ended by the byte 'Z'. They are unscrambled into the window's title as it opens.
#pragma once
#include <cstddef>
#include <cstdint>

template <size_t Size> struct ScrambledText {
    uint8_t bytes[Size]; // the text's characters plus one, then 'Z'
};

// A 'Y' would scramble into the end mark and cut the caption short.
template <size_t Size> constexpr bool scramblesWhole(const char (&text)[Size]) {
    for (size_t i = 0; i + 1 < Size; ++i) {
        if (text[i] == 'Y' || text[i] == '\0')
            return false;
    }
    return true;
}

template <size_t Size> constexpr ScrambledText<Size> scrambleText(const char (&text)[Size]) {
    ScrambledText<Size> out{};
    for (size_t i = 0; i + 1 < Size; ++i)
        out.bytes[i] = static_cast<uint8_t>(text[i] + 1);
    out.bytes[Size - 1] = 'Z';
    return out;
}

struct StoredCaption {
    const uint8_t* bytes;
    size_t size;
};
extern const StoredCaption settingsCaption;
extern const StoredCaption aboutCaption;

// Writes the plain caption into out (at most outSize - 1 characters and a NUL): every byte
// before the first 'Z' less one. Never reads past the stored bytes, so data without an end mark
// still gives a bounded title. Returns the caption's length.
size_t unscrambleCaption(const StoredCaption& stored, char* out, size_t outSize);
