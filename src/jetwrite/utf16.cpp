// UTF-8 decoding with validation, producing UTF-16LE.
#include "jetwrite/utf16.h"

#include <cstdint>
#include <vector>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

[[noreturn]] void throwInvalid(std::string_view what) {
    throw WriteError("the " + std::string(what) + " is not valid UTF-8");
}

// Decodes one code point starting at `pos`; advances `pos`.
char32_t decodeOne(std::string_view text, std::size_t& pos, std::string_view what) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07u;
    } else {
        throwInvalid(what);
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size()) throwInvalid(what);
        const auto next = static_cast<unsigned char>(text[pos++]);
        if ((next & 0xC0) != 0x80) throwInvalid(what);
        value = (value << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        throwInvalid(what);
    }
    return value;
}

std::vector<std::uint16_t> toUnits(std::string_view text, std::string_view what) {
    std::vector<std::uint16_t> units;
    units.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = decodeOne(text, pos, what);
        if (cp >= 0x10000) {
            const char32_t rest = cp - 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (rest >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (rest & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(cp));
        }
    }
    return units;
}

}  // namespace

Bytes toUtf16le(std::string_view text, std::string_view what) {
    ByteWriter out;
    for (const std::uint16_t unit : toUnits(text, what)) out.u16(unit);
    return out.take();
}

std::size_t utf16Length(std::string_view text, std::string_view what) {
    return toUnits(text, what).size();
}

}  // namespace zl::jetwrite
