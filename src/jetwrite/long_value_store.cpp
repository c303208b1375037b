// Long values too large for their row go to LVAL pages; the row keeps a field that points there.
//
// Long value field in the row:
//   OFFSET SIZE DESCRIPTION
//   0      3    length of the value
//   3      1    where it is: 0x80 here (the value follows), 0x40 one LVAL row, 0x00 a chain
//   4      4    LVAL row (row number in the low byte, page above it)
//   8      4    unknown, 0
// A chain's rows start with the 4-byte pointer to the next part (0 in the last part).
#include "jetwrite/long_value_store.h"

#include <string>

#include "jetwrite/jet_format.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {

constexpr std::size_t kMaxLength = 0x00FFFFFF;  // the length field is 3 bytes wide
constexpr std::size_t kChainPointerSize = 4;

Bytes header(std::size_t length, std::uint8_t kind, std::uint32_t pointer) {
    ByteWriter out;
    out.u32(static_cast<std::uint32_t>(length) | (static_cast<std::uint32_t>(kind) << 24));
    out.u32(pointer);
    out.u32(0);
    return out.take();
}

}  // namespace

LongValueStore::LongValueStore(PageFile& pages) : m_packer(pages, RowPagePacker::kLongValueOwner) {}

Bytes LongValueStore::fieldFor(std::span<const std::byte> payload) {
    if (payload.size() > kMaxLength) {
        throw WriteError("a long value of " + std::to_string(payload.size()) +
                         " bytes exceeds 16 MiB");
    }
    if (payload.size() <= jet::kMaxInlineLongValue) {
        Bytes field = header(payload.size(), jet::kLongValueInline, 0);
        field.insert(field.end(), payload.begin(), payload.end());
        return field;
    }
    if (payload.size() <= jet::kMaxLongValueRowSize) {
        const RowLocation location = m_packer.add(payload);
        return header(payload.size(), jet::kLongValueSingleRow, location.pointer());
    }
    const RowLocation first = storeChain(payload);
    return header(payload.size(), jet::kLongValueChain, first.pointer());
}

RowLocation LongValueStore::storeChain(std::span<const std::byte> payload) {
    // Each part carries the pointer to the next part, so the parts are written last to first.
    constexpr std::size_t kPartSize = jet::kMaxLongValueRowSize - kChainPointerSize;
    const std::size_t parts = (payload.size() + kPartSize - 1) / kPartSize;
    std::uint32_t next = 0;
    RowLocation location;
    for (std::size_t part = parts; part-- > 0;) {
        const std::size_t begin = part * kPartSize;
        const std::size_t length = std::min(kPartSize, payload.size() - begin);
        ByteWriter row;
        row.u32(next);
        row.bytes(payload.subspan(begin, length));
        m_packer.startNewPage();
        location = m_packer.add(row.data());
        next = location.pointer();
    }
    return location;
}

}  // namespace zl::jetwrite
