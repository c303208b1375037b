// Character-level conversions of UTF-8 text.
#include "support/encoding.h"

#include <array>
#include <cstdint>

namespace zl::support {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one code point at `at` and advances past it; a malformed sequence yields kInvalid and
// advances by one byte, so that decoding always moves on.
char32_t decode(std::string_view text, std::size_t& at) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // Sequence length, payload bits of the lead byte, and the smallest code point of that length.
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07u;
        minimum = 0x10000;
    } else {
        ++at;
        return kInvalid;
    }
    if (at + length > text.size()) {
        ++at;
        return kInvalid;
    }
    for (std::size_t i = 1; i < length; ++i) {
        std::uint8_t next = byte(at + i);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return kInvalid;
        }
        cp = (cp << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++at;
        return kInvalid;
    }
    at += length;
    return cp;
}

char windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

std::string replaceControls(std::string_view text, bool keepLineBreaks) {
    std::string result(text);
    for (char& c : result) {
        // Bytes below 0x20 are always whole characters in UTF-8.
        if (static_cast<unsigned char>(c) < 0x20) {
            if (keepLineBreaks && (c == '\r' || c == '\n')) continue;
            c = ' ';
        }
    }
    return result;
}

}  // namespace

std::string toWindows1252(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        // Plain ASCII runs are by far the common case.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            result.push_back(text[at++]);
            continue;
        }
        char32_t cp = decode(text, at);
        result.push_back(cp == kInvalid ? '?' : windows1252Byte(cp));
    }
    return result;
}

std::string toValidUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            result.push_back(text[at++]);
            continue;
        }
        if (decode(text, at) == kInvalid) {
            result.push_back('?');
        } else {
            result.append(text.substr(start, at - start));
        }
    }
    return result;
}

std::string controlsToSpaces(std::string_view text) { return replaceControls(text, false); }

void appendControlsToSpaces(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        if (static_cast<unsigned char>(out[i]) < 0x20) out[i] = ' ';
    }
}

std::string controlsToSpacesKeepingLineBreaks(std::string_view text) {
    return replaceControls(text, true);
}

std::string utf8Prefix(std::string_view text, std::size_t maxCharacters) {
    std::size_t at = 0;
    for (std::size_t count = 0; count < maxCharacters && at < text.size(); ++count) {
        decode(text, at);
    }
    return std::string(text.substr(0, at));
}

}  // namespace zl::support
