// The dialogs' scrambled captions: unscrambling stops at the end mark, at the stored size and at
// the output's size, whichever comes first; the library's own captions are stored scrambled.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog/caption_text.h"

namespace {

struct UnscrambleCase {
    const char* stored; // as stored; its size is strlen, so a missing 'Z' is a real overrun test
    size_t outSize;
    const char* plain;
};

TEST(CaptionText, UnscramblesUpToTheFirstEndMarkWithinBothBounds) {
    const UnscrambleCase cases[] = {
        {"Ubswjy!Bcpvu", 64, "Tarvix About"}, // no end mark: the stored size bounds it
        {"UbswjyZ!Bcpvu", 64, "Tarvix"},      // the first 'Z' ends it
        {"Z", 64, ""},
        {"Ubswjy!BcpvuZ", 7, "Tarvix"}, // the output's size bounds it
        {"[", 64, "Z"},                 // a stored '[' is a plain 'Z'
    };
    for (const UnscrambleCase& c : cases) {
        SCOPED_TRACE(c.stored);
        std::string stored(c.stored); // exactly strlen bytes, no NUL read by the function
        char out[64];
        std::memset(out, '#', sizeof out);
        StoredCaption caption{reinterpret_cast<const uint8_t*>(stored.data()), stored.size()};
        size_t length = unscrambleCaption(caption, out, c.outSize);
        EXPECT_STREQ(out, c.plain);
        EXPECT_EQ(length, std::strlen(c.plain));
    }
    char untouched = '#';
    EXPECT_EQ(unscrambleCaption(settingsCaption, &untouched, 0), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST(CaptionText, TheLibrarysCaptionsAreStoredScrambledAndReadBackWhole) {
    for (const StoredCaption* caption : {&settingsCaption, &aboutCaption}) {
        char plain[128];
        size_t length = unscrambleCaption(*caption, plain, sizeof plain);
        EXPECT_EQ(length + 1, caption->size) << "the end mark is the last stored byte";
        EXPECT_NE(std::string(plain).find("Tarvix"), std::string::npos) << plain;
        std::string stored(reinterpret_cast<const char*>(caption->bytes), caption->size);
        EXPECT_EQ(stored.find("Tarvix"), std::string::npos) << "kept in plain text";
    }
}

} // namespace
