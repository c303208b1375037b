// Parses decimal texts ("-12.5") into the scaled 128-bit integers of Currency and Decimal fields.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zl::jetwrite {

// A decimal number as sign and unscaled magnitude: value = magnitude / 10^scale.
struct ScaledDecimal {
    bool negative = false;
    std::array<std::uint32_t, 4> magnitude{};  // least significant word first
};

// Parses "[+-]digits[.digits]" scaled to `scale` fraction digits. Throws WriteError naming
// `where` for other texts, for more fraction digits than `scale`, or past 128 bits.
ScaledDecimal parseDecimalText(std::string_view text, int scale, std::string_view where);

// The number of decimal digits of the magnitude (0 for zero).
int decimalDigits(const ScaledDecimal& value);

}  // namespace zl::jetwrite
