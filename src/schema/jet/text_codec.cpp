// UCS-2, compressed Unicode and code page texts.
#include "schema/jet/text_codec.h"

#include "schema/jet/code_page.h"

namespace zl::schema::jet {
namespace {

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Appends UTF-16 code units as UTF-8, pairing surrogates; a lone one becomes U+FFFD.
class Utf8Builder {
public:
    Utf8Builder(std::string& out, bool& inexact) : m_out(out), m_inexact(inexact) {}
    void add(char32_t unit) {
        if (m_high != 0) {
            if (isLowSurrogate(unit)) {
                appendUtf8(m_out, 0x10000 + ((m_high - 0xD800) << 10) + (unit - 0xDC00));
                m_high = 0;
                return;
            }
            lone();
        }
        if (isHighSurrogate(unit)) {
            m_high = unit;
        } else if (isLowSurrogate(unit)) {
            lone();
        } else {
            appendUtf8(m_out, unit);
        }
    }
    // A run of ASCII characters, appended whole.
    void addAscii(const char* run, std::size_t length) {
        if (length == 0) {
            return;
        }
        if (m_high != 0) {
            lone();
        }
        m_out.append(run, length);
    }
    void finish() {
        if (m_high != 0) {
            lone();
        }
    }
    // A unit that is no character (a trailing odd byte): U+FFFD, after any pending surrogate.
    void addBroken() {
        finish();
        lone();
    }

private:
    void lone() {
        appendUtf8(m_out, 0xFFFD);
        m_inexact = true;
        m_high = 0;
    }
    std::string& m_out;
    bool& m_inexact;
    char32_t m_high = 0;
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
    bool inexact = false;
    Utf8Builder builder(out, inexact);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        builder.add(unitAt(bytes, i));
    }
    if (bytes.size() % 2 != 0) {
        builder.addBroken();
    }
    builder.finish();
    return out;
}

void decodeJet4Text(Bytes bytes, std::string& out, bool& inexact) {
    out.clear();
    Utf8Builder builder(out, inexact);
    const bool compressed = bytes.size() >= 2 && std::to_integer<int>(bytes[0]) == 0xFF &&
                            std::to_integer<int>(bytes[1]) == 0xFE;
    if (!compressed) {
        // ASCII characters gather in a buffer appended whole; others go one by one.
        char ascii[256];
        std::size_t gathered = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const char32_t unit = unitAt(bytes, i);
            if (unit < 0x80 && gathered < sizeof ascii) {
                ascii[gathered++] = static_cast<char>(unit);
                continue;
            }
            builder.addAscii(ascii, gathered);
            gathered = 0;
            if (unit < 0x80) {
                ascii[gathered++] = static_cast<char>(unit);
            } else {
                builder.add(unit);
            }
        }
        builder.addAscii(ascii, gathered);
        if (bytes.size() % 2 != 0) {
            builder.addBroken();
        }
        builder.finish();
        return;
    }
    // Runs of one-byte and two-byte characters; each zero byte switches between them.
    bool oneByte = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
        if (std::to_integer<int>(bytes[i]) == 0) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            // Compressed texts are mostly ASCII: such runs need no conversion.
            std::size_t end = i;
            while (end < bytes.size() && std::to_integer<unsigned>(bytes[end]) - 1 < 0x7F) {
                ++end;
            }
            if (end > i) {
                builder.addAscii(reinterpret_cast<const char*>(bytes.data() + i), end - i);
                i = end;
            } else {
                builder.add(std::to_integer<char32_t>(bytes[i]));
                ++i;
            }
        } else if (i + 1 < bytes.size()) {
            builder.add(unitAt(bytes, i));
            i += 2;
        } else {
            builder.addBroken();  // a two-byte run cut by the end
            ++i;
        }
    }
    builder.finish();
}

std::string decodeJet4Text(Bytes bytes) {
    std::string out;
    bool inexact = false;
    decodeJet4Text(bytes, out, inexact);
    return out;
}

std::string TextDecoder::value(Bytes bytes) const {
    return m_jet3 ? decodeCodePage(bytes, m_codePage) : decodeJet4Text(bytes);
}

std::string TextDecoder::name(Bytes bytes) const {
    return m_jet3 ? decodeCodePage(bytes, m_codePage) : decodeUtf16(bytes);
}

}  // namespace zl::schema::jet
