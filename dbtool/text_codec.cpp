#include "text_codec.h"

#include <cstdlib>

namespace {

// Code page 1252 at 0x80-0x9F; 0 where the code page leaves a byte undefined. The other bytes
// above 0x7F are the Latin-1 characters of the same number.
const uint16_t cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

uint32_t unicodeOfAnsi(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return cp1252High[byte - 0x80] != 0 ? cp1252High[byte - 0x80] : 0xFFFD;
    return byte;
}

// One UTF-8 sequence at text[at]: its code and length, or length 0 when it is not valid.
size_t decodeUtf8(const std::string& text, size_t at, uint32_t& code) {
    uint8_t first = static_cast<uint8_t>(text[at]);
    size_t length = first < 0x80    ? 1
                    : first >= 0xF0 ? 4
                    : first >= 0xE0 ? 3
                    : first >= 0xC2 ? 2
                                    : 0;
    if (length == 0 || first > 0xF4 || at + length > text.size())
        return 0;
    code = length == 1 ? first : first & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        uint8_t next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return 0;
    return length;
}

// Walks the text: character(code, offset, length) for each valid UTF-8 sequence, stray(byte)
// for each byte that is none.
template <typename Character, typename Stray>
void forEachCharacter(const std::string& text, Character character, Stray stray) {
    for (size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        size_t length = decodeUtf8(text, at, code);
        if (length == 0) {
            stray(text[at++]);
            continue;
        }
        character(code, at, length);
        at += length;
    }
}

} // namespace

bool realNumber(const std::string& text, double& value, bool decimalComma) {
    std::string t = trimmed(text);
    if (decimalComma && t.find('.') == std::string::npos) {
        size_t comma = t.find(',');
        if (comma != std::string::npos)
            t[comma] = '.';
    }
    if (t.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return end != nullptr && *end == '\0';
}

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string ansiFromUtf8(const std::string& text, bool& changed) {
    std::string out;
    out.reserve(text.size());
    forEachCharacter(
        text,
        [&](uint32_t code, size_t, size_t) {
            if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
                out += static_cast<char>(code);
                return;
            }
            char found = '?';
            for (int i = 0; i < 32; ++i)
                if (cp1252High[i] == code)
                    found = static_cast<char>(0x80 + i);
            changed = changed || found == '?';
            out += found;
        },
        // Not UTF-8 after all: the byte is already code page 1252.
        [&](char byte) { out += byte; });
    return out;
}

std::string utf8FromAnsi(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        appendUtf8(out, unicodeOfAnsi(static_cast<uint8_t>(c)));
    return out;
}

std::string utf8Repaired(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    forEachCharacter(
        text, [&](uint32_t, size_t at, size_t length) { out.append(text, at, length); },
        [&](char byte) { appendUtf8(out, unicodeOfAnsi(static_cast<uint8_t>(byte))); });
    return out;
}

std::string asciiLowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string fittedAnsi(const std::string& utf8, size_t width, const char* what, int32_t line,
                       Findings& findings) {
    bool changed = false;
    std::string ansi = ansiFromUtf8(utf8, changed);
    // A tab or a line break inside a fixed-width column would split the line for every editor.
    for (char& c : ansi)
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F)
            c = ' ';
    if (changed)
        addWarning(findings, line,
                   std::string(what) + " '" + utf8 +
                       "' has characters the database cannot hold: " + "written as '?'",
                   std::string(what) + "s with characters the database cannot hold");
    if (ansi.size() > width) {
        ansi.resize(width);
        addWarning(findings, line,
                   std::string(what) + " '" + utf8 + "' is longer than " + std::to_string(width) +
                       " characters: cut to '" + utf8FromAnsi(ansi) + "'",
                   std::string(what) + "s cut to " + std::to_string(width) + " characters");
    }
    return ansi;
}
