#include "caption_text.h"

namespace {
constexpr char settingsText[] = "Tarvix Waypoints and Tours";
constexpr char aboutText[] = "About Tarvix";
static_assert(scramblesWhole(settingsText) && scramblesWhole(aboutText));
constexpr ScrambledText<sizeof settingsText> settingsBytes = scrambleText(settingsText);
constexpr ScrambledText<sizeof aboutText> aboutBytes = scrambleText(aboutText);
} // namespace

const StoredCaption settingsCaption = {settingsBytes.bytes, sizeof settingsBytes.bytes};
const StoredCaption aboutCaption = {aboutBytes.bytes, sizeof aboutBytes.bytes};

size_t unscrambleCaption(const StoredCaption& stored, char* out, size_t outSize) {
    if (outSize == 0)
        return 0;
    size_t length = 0;
    while (length < stored.size && length + 1 < outSize && stored.bytes[length] != 'Z') {
        out[length] = static_cast<char>(stored.bytes[length] - 1);
        ++length;
    }
    out[length] = '\0';
    return length;
}
