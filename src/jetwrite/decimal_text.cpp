// Exact decimal parsing into four 32-bit words.
#include "jetwrite/decimal_text.h"

#include <string>

#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

// magnitude = magnitude * 10 + digit; returns false on overflow past 128 bits.
bool multiplyAdd(std::array<std::uint32_t, 4>& magnitude, std::uint32_t digit) {
    std::uint64_t carry = digit;
    for (std::uint32_t& word : magnitude) {
        const std::uint64_t next = static_cast<std::uint64_t>(word) * 10u + carry;
        word = static_cast<std::uint32_t>(next & 0xFFFFFFFFu);
        carry = next >> 32;
    }
    return carry == 0;
}

// magnitude /= 10; returns the remainder.
std::uint32_t divideByTen(std::array<std::uint32_t, 4>& magnitude) {
    std::uint64_t remainder = 0;
    for (std::size_t i = magnitude.size(); i-- > 0;) {
        const std::uint64_t current = (remainder << 32) | magnitude[i];
        magnitude[i] = static_cast<std::uint32_t>(current / 10u);
        remainder = current % 10u;
    }
    return static_cast<std::uint32_t>(remainder);
}

bool isZero(const std::array<std::uint32_t, 4>& magnitude) {
    for (const std::uint32_t word : magnitude) {
        if (word != 0) return false;
    }
    return true;
}

}  // namespace

ScaledDecimal parseDecimalText(std::string_view text, int scale, std::string_view where) {
    const auto bad = [&]() {
        return WriteError(std::string(where) + ": \"" + std::string(text) +
                          "\" is not a decimal number");
    };
    ScaledDecimal result;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        result.negative = text[pos++] == '-';
    int fractionDigits = -1;  // -1 until the decimal point
    bool anyDigit = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && fractionDigits < 0) {
            fractionDigits = 0;
            continue;
        }
        if (c < '0' || c > '9') throw bad();
        anyDigit = true;
        if (fractionDigits >= 0 && ++fractionDigits > scale) {
            throw WriteError(std::string(where) + ": \"" + std::string(text) + "\" has more than " +
                             std::to_string(scale) + " decimal places");
        }
        if (!multiplyAdd(result.magnitude, static_cast<std::uint32_t>(c - '0'))) throw bad();
    }
    if (!anyDigit) throw bad();
    for (int i = fractionDigits < 0 ? 0 : fractionDigits; i < scale; ++i) {
        if (!multiplyAdd(result.magnitude, 0)) throw bad();
    }
    if (isZero(result.magnitude)) result.negative = false;
    return result;
}

int decimalDigits(const ScaledDecimal& value) {
    auto magnitude = value.magnitude;
    int digits = 0;
    while (!isZero(magnitude)) {
        divideByTen(magnitude);
        ++digits;
    }
    return digits;
}

}  // namespace zl::jetwrite
