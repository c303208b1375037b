// Windows code page texts to UTF-8.
#include "schema/jet/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace zl::schema::jet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

const std::array<std::uint16_t, 128>* singleByteTable(std::uint16_t codePage) {
    switch (codePage) {
        case 874:
            return &kCodePage874;
        case 1250:
            return &kCodePage1250;
        case 1251:
            return &kCodePage1251;
        case 1252:
            return &kCodePage1252;
        case 1253:
            return &kCodePage1253;
        case 1254:
            return &kCodePage1254;
        case 1255:
            return &kCodePage1255;
        case 1256:
            return &kCodePage1256;
        case 1257:
            return &kCodePage1257;
        case 1258:
            return &kCodePage1258;
        default:
            return nullptr;
    }
}

const char* doubleByteName(std::uint16_t codePage) {
    switch (codePage) {
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        default:
            return nullptr;
    }
}

// An iconv conversion descriptor, closed when it goes out of scope.
class IconvHandle {
public:
    explicit IconvHandle(const char* from) : m_handle(iconv_open("UTF-8", from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(m_handle);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }  // NOLINT
    iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

// Converts with iconv; false when the C library lacks the code page.
bool decodeWithIconv(Bytes bytes, const char* name, std::string& out) {
    IconvHandle handle(name);
    if (!handle.valid()) {
        return false;
    }
    std::vector<char> input(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        input[i] = std::to_integer<char>(bytes[i]);
    }
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::vector<char> buffer(bytes.size() * 4 + 16);
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(handle.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // An invalid or cut-off sequence: mark it and go on after its first byte.
        appendUtf8(out, kReplacement);
        ++in;
        --inLeft;
    }
    return true;
}

}  // namespace

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = kReplacement;
    }
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string decodeCodePage(Bytes bytes, std::uint16_t codePage) {
    std::string out;
    out.reserve(bytes.size());
    if (const char* name = doubleByteName(codePage)) {
        if (decodeWithIconv(bytes, name, out)) {
            return out;
        }
        out.clear();
    }
    const std::array<std::uint16_t, 128>* table = singleByteTable(codePage);
    if (table == nullptr) {
        table = &kCodePage1252;
    }
    for (const std::byte b : bytes) {
        const auto value = std::to_integer<std::uint8_t>(b);
        appendUtf8(out, value < 0x80 ? value : (*table)[value - 0x80u]);
    }
    return out;
}

}  // namespace zl::schema::jet
