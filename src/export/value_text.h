// The written forms of row values that both targets share: exact decimals, dates, GUIDs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/engine.h"

namespace zl::exporter {

// Room for the longest currencyText and dateText.
inline constexpr std::size_t kValueChars = 32;

// The bytes of text and binary data a row's values hold: what bounds the rows kept in memory.
inline std::size_t payload(const std::vector<schema::Value>& values) {
    std::size_t bytes = 0;
    for (const schema::Value& value : values) bytes += value.text.size() + value.bytes.size();
    return bytes;
}

// The exact decimal of a Currency value held in ten-thousandths: "-922337203685477.5808".
std::string currencyText(std::int64_t tenThousandths);
// The same written to `out` (kValueChars at least), without allocating; returns its length.
std::size_t writeCurrency(std::int64_t tenThousandths, char* out);

// A stored date (days since 1899-12-30, the time of day apart from the sign) as
// "YYYY-MM-DD HH:MM:SS", with ".ffffff" only when the fraction of a second is not zero. The
// fraction is whole milliseconds when the stored value is exactly such a time, else the nearest
// microsecond. Nullopt when the value lies outside 0100-01-01 .. 9999-12-31 or is not a number.
std::optional<std::string> dateText(double days);
// The same written to `out` (kValueChars at least), without allocating; returns its length, 0
// where dateText gives nullopt.
std::size_t writeDate(double days, char* out);

// An extended date as the reader gives it, "YYYY-MM-DD HH:MM:SS.fffffff", in the one date form:
// six digits of fraction, none when they are all zero, and the 7th only when it is not zero (so
// the text keeps every digit and still sorts by time). Other text is returned as it is.
std::string_view extendedDateText(std::string_view text);

// A GUID's 16 bytes as lowercase text without braces: "6b29fc40-ca47-1067-b31d-00dd010662da".
std::string guidText(const std::vector<std::byte>& bytes);

// The shortest text that reads back as exactly the same double ("0.1", "1e+300", "NaN",
// "Infinity", "-Infinity"); `single` writes the shortest text of the float instead.
std::string realText(double value, bool single);

// A short, printable form of any value for reports (texts cut at 60 characters).
std::string describeValue(const schema::Value& value);

}  // namespace zl::exporter
