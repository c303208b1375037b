// Long value reading.
//
// Long value reference (12 bytes in the row):
//   OFFSET SIZE DESCRIPTION
//   0x00   3    length of the value
//   0x03   1    where: 0x80 inline (the data follows these 12 bytes), 0x40 in one row of
//               another page, 0x00 in a chain of rows
//   0x04   4    row pointer (1 byte row, 3 bytes page) of the first row
//   0x08   4    unknown
// A chained row starts with the 4-byte row pointer of the next row, then its share of the data.
#include "schema/jet/long_value.h"

#include <set>

#include "schema/jet/data_page.h"

namespace zl::schema::jet {
namespace {

constexpr std::uint32_t kLengthMask = 0x3FFFFFFF;
constexpr std::uint32_t kInlineFlag = 0x80000000;
constexpr std::uint32_t kSingleRowFlag = 0x40000000;

struct LocatedRow {
    Bytes bytes;
    Origin origin;
    DataPage page;
};

Result<LocatedRow> locateRow(PageReader& reader, const JetFormat& format, RowPointer where) {
    JET_ASSIGN_OR_RETURN(DataPage page, DataPage::open(reader, format, where.page));
    JET_ASSIGN_OR_RETURN(const RowSlot slot, page.slot(where.row));
    if (slot.deleted) {
        return corruption(page.origin(), slot.start,
                          "long value row " + std::to_string(where.row) + " is deleted");
    }
    JET_ASSIGN_OR_RETURN(const Bytes bytes, page.rowBytes(slot));
    Origin origin = page.origin().shifted(slot.start);
    return LocatedRow{bytes, std::move(origin), std::move(page)};
}

Status readChain(PageReader& reader, const JetFormat& format, RowPointer where, std::size_t length,
                 std::vector<std::byte>& out) {
    std::set<std::uint32_t> visited;
    while (out.size() < length) {
        const std::uint32_t key = (where.page << 8) | where.row;
        if (!visited.insert(key).second) {
            return corruption("long value chain loops back to page " + std::to_string(where.page) +
                              " row " + std::to_string(where.row));
        }
        JET_ASSIGN_OR_RETURN(const LocatedRow row, locateRow(reader, format, where));
        ByteCursor cursor(row.bytes, row.origin);
        const std::uint32_t next = cursor.u32("next long value row");
        JET_TRY(cursor.status());
        const Bytes chunk = cursor.bytes(std::min(cursor.remaining(), length - out.size()));
        out.insert(out.end(), chunk.begin(), chunk.end());
        if (out.size() < length) {
            if (next == 0) {
                return corruption(row.origin, 0,
                                  "long value chain ends after " + std::to_string(out.size()) +
                                      " of " + std::to_string(length) + " bytes");
            }
            where = decodeRowPointer(next);
        }
    }
    return {};
}

}  // namespace

Result<std::vector<std::byte>> readLongValue(PageReader& reader, const JetFormat& format,
                                             Bytes field, const Origin& origin,
                                             std::size_t maxLength) {
    ByteCursor cursor(field, origin);
    const std::uint32_t header = cursor.u32("long value length");
    const RowPointer where = decodeRowPointer(cursor.u32("long value row"));
    cursor.skip(4, "long value reference");
    JET_TRY(cursor.status());
    const std::size_t length = header & kLengthMask;
    const std::uint64_t fileBytes =
        static_cast<std::uint64_t>(reader.pageCount()) * reader.pageSize();
    if (length > maxLength || length > fileBytes) {
        return cursor.failAt(0, "long value length " + std::to_string(length) +
                                    " exceeds the limit of " +
                                    std::to_string(std::min<std::uint64_t>(maxLength, fileBytes)));
    }
    if ((header & kInlineFlag) != 0 && (header & kSingleRowFlag) != 0) {
        return cursor.failAt(3, "long value kind 0xC0 is unknown");
    }
    if ((header & kInlineFlag) != 0) {
        const Bytes data = cursor.bytes(length, "inline long value");
        JET_TRY(cursor.status());
        return std::vector<std::byte>(data.begin(), data.end());
    }
    if ((header & kSingleRowFlag) != 0) {
        JET_ASSIGN_OR_RETURN(const LocatedRow row, locateRow(reader, format, where));
        if (row.bytes.size() < length) {
            return corruption(row.origin, 0,
                              "long value row holds " + std::to_string(row.bytes.size()) +
                                  " bytes, " + std::to_string(length) + " expected");
        }
        return std::vector<std::byte>(row.bytes.begin(),
                                      row.bytes.begin() + static_cast<std::ptrdiff_t>(length));
    }
    std::vector<std::byte> out;
    out.reserve(length);
    JET_TRY(readChain(reader, format, where, length, out));
    return out;
}

}  // namespace zl::schema::jet
