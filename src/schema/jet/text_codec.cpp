// UCS-2, compressed Unicode and code page texts.
#include "schema/jet/text_codec.h"

#include "schema/jet/code_page.h"

namespace zl::schema::jet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Accumulates UTF-16 code units, pairing surrogates across calls.
class Utf16Sink {
public:
    explicit Utf16Sink(std::string& out) : m_out(out) {}
    ~Utf16Sink() { flush(); }
    Utf16Sink(const Utf16Sink&) = delete;
    Utf16Sink& operator=(const Utf16Sink&) = delete;

    void add(char32_t unit) {
        if (m_pendingHigh != 0) {
            if (isLowSurrogate(unit)) {
                appendUtf8(m_out, 0x10000 + ((m_pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
                m_pendingHigh = 0;
                return;
            }
            flush();
        }
        if (isHighSurrogate(unit)) {
            m_pendingHigh = unit;
        } else {
            appendUtf8(m_out, unit);  // a lone low surrogate becomes U+FFFD there
        }
    }
    void flush() {
        if (m_pendingHigh != 0) {
            appendUtf8(m_out, kReplacement);
            m_pendingHigh = 0;
        }
    }

private:
    std::string& m_out;
    char32_t m_pendingHigh = 0;
};

char32_t unitAt(Bytes bytes, std::size_t offset) {
    return std::to_integer<char32_t>(bytes[offset]) |
           (std::to_integer<char32_t>(bytes[offset + 1]) << 8);
}

}  // namespace

namespace {

// Most names and texts are ASCII; they are copied without the general conversion. False (and
// `out` untouched) when some unit is not.
bool decodeAsciiUtf16(Bytes bytes, std::string& out) {
    if (bytes.size() % 2 != 0) {
        return false;
    }
    const std::size_t count = bytes.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::to_integer<unsigned>(bytes[2 * i + 1]) != 0 ||
            std::to_integer<unsigned>(bytes[2 * i]) >= 0x80) {
            return false;
        }
    }
    out.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = std::to_integer<char>(bytes[2 * i]);
    }
    return true;
}

}  // namespace

std::string decodeUtf16(Bytes bytes) {
    std::string out;
    if (decodeAsciiUtf16(bytes, out)) {
        return out;
    }
    out.reserve(bytes.size());
    {
        Utf16Sink sink(out);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            sink.add(unitAt(bytes, i));
        }
    }
    if (bytes.size() % 2 != 0) {
        appendUtf8(out, kReplacement);
    }
    return out;
}

std::string decodeJet4Text(Bytes bytes) {
    const bool compressed = bytes.size() >= 2 && std::to_integer<int>(bytes[0]) == 0xFF &&
                            std::to_integer<int>(bytes[1]) == 0xFE;
    if (!compressed) {
        return decodeUtf16(bytes);
    }
    std::string out;
    out.reserve(bytes.size());
    Utf16Sink sink(out);
    bool oneByte = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
        if (std::to_integer<int>(bytes[i]) == 0) {
            // A zero byte switches between one-byte and two-byte characters.
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            sink.add(std::to_integer<char32_t>(bytes[i]));
            ++i;
        } else if (i + 1 < bytes.size()) {
            sink.add(unitAt(bytes, i));
            i += 2;
        } else {
            sink.add(kReplacement);
            ++i;
        }
    }
    sink.flush();
    return out;
}

std::string TextDecoder::value(Bytes bytes) const {
    return m_jet3 ? decodeCodePage(bytes, m_codePage) : decodeJet4Text(bytes);
}

std::string TextDecoder::name(Bytes bytes) const {
    return m_jet3 ? decodeCodePage(bytes, m_codePage) : decodeUtf16(bytes);
}

}  // namespace zl::schema::jet
