// Usage map decoding.
//
// Usage map row, inline (type 0):
//   OFFSET SIZE DESCRIPTION
//   0x00   1    map type 0
//   0x01   4    page number of bit 0
//   0x05   n    bitmap, least significant bit first: bit i set = page (start + i) is used
// Usage map row, reference (type 1):
//   0x00   1    map type 1
//   0x01   4*n  page numbers of bitmap pages (0 = none); bitmap page k covers pages
//               k*B .. (k+1)*B-1 with B = (page size - 4) * 8
// Bitmap page:
//   0x00   1    page type 0x05
//   0x01   3    unknown
//   0x04   ...  bitmap as above
#include "schema/jet/usage_map.h"

#include "schema/jet/data_page.h"

namespace zl::schema::jet {
namespace {

constexpr std::uint8_t kInlineMap = 0;
constexpr std::uint8_t kReferenceMap = 1;
constexpr std::size_t kBitmapPageHeader = 4;

// Adds the pages whose bits are set in `bitmap`, bit 0 standing for `firstPage`.
Status collectBits(Bytes bitmap, std::uint64_t firstPage, std::uint32_t pageCount,
                   const Origin& origin, std::size_t bitmapOffset,
                   std::vector<std::uint32_t>& pages) {
    for (std::size_t byteIndex = 0; byteIndex < bitmap.size(); ++byteIndex) {
        const auto bits = std::to_integer<unsigned>(bitmap[byteIndex]);
        for (unsigned bit = 0; bit < 8; ++bit) {
            if ((bits & (1u << bit)) == 0) {
                continue;
            }
            const std::uint64_t page = firstPage + byteIndex * 8 + bit;
            if (page >= pageCount) {
                return corruption(origin, bitmapOffset + byteIndex,
                                  "usage map marks page " + std::to_string(page) +
                                      ", past the end of the file (" + std::to_string(pageCount) +
                                      " pages)");
            }
            pages.push_back(static_cast<std::uint32_t>(page));
        }
    }
    return {};
}

Status readReferenceMap(PageReader& reader, ByteCursor& row, std::vector<std::uint32_t>& pages) {
    const std::uint64_t pagesPerBitmap = (reader.pageSize() - kBitmapPageHeader) * 8;
    for (std::size_t index = 0; row.remaining() >= 4; ++index) {
        const std::size_t entryOffset = row.position();
        const std::uint32_t bitmapPage = row.u32("bitmap page");
        if (bitmapPage == 0) {
            continue;
        }
        JET_ASSIGN_OR_RETURN(PageData page, reader.page(bitmapPage, "usage bitmap page"));
        const Bytes bytes = bytesOf(page);
        const Origin origin(bitmapPage, 0);
        if (std::to_integer<std::uint8_t>(bytes[0]) != kUsageMapPageType) {
            return corruption(row.origin(), entryOffset,
                              "usage map points to page " + std::to_string(bitmapPage) +
                                  " of type " + std::to_string(std::to_integer<int>(bytes[0])) +
                                  ", expected a bitmap page (5)");
        }
        JET_TRY(collectBits(bytes.subspan(kBitmapPageHeader), index * pagesPerBitmap,
                            reader.pageCount(), origin, kBitmapPageHeader, pages));
    }
    return {};
}

}  // namespace

Result<std::vector<std::uint32_t>> readUsageMap(PageReader& reader, const JetFormat& format,
                                                std::uint32_t reference) {
    const RowPointer where = decodeRowPointer(reference);
    JET_ASSIGN_OR_RETURN(const DataPage page, DataPage::open(reader, format, where.page));
    JET_ASSIGN_OR_RETURN(const RowSlot slot, page.slot(where.row));
    if (slot.deleted) {
        return corruption(page.origin(), slot.start,
                          "usage map row " + std::to_string(where.row) + " is deleted");
    }
    const Origin origin = page.origin().shifted(slot.start);
    JET_ASSIGN_OR_RETURN(const Bytes bytes, page.rowBytes(slot));
    ByteCursor row(bytes, origin);
    const std::uint8_t type = row.u8("usage map type");
    std::vector<std::uint32_t> pages;
    if (type == kInlineMap) {
        const std::uint32_t first = row.u32("usage map start page");
        JET_TRY(row.status());
        JET_TRY(
            collectBits(row.bytes(row.remaining()), first, reader.pageCount(), origin, 5, pages));
    } else if (type == kReferenceMap) {
        JET_TRY(readReferenceMap(reader, row, pages));
    } else {
        return row.failAt(0, "usage map type " + std::to_string(type) + ", expected 0 or 1");
    }
    JET_TRY(row.status());
    return pages;
}

}  // namespace zl::schema::jet
