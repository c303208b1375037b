// The global map is a data page with two usage-map rows; row 0 marks free pages with set bits.
// Access marks the page numbers past the end of the file as free, and so does this writer:
// within the inline bitmap for small files, within the bitmap page that covers the end of the
// file for large ones.
#include "jetwrite/global_usage_map.h"

#include "jetwrite/jet_format.h"

namespace zl::jetwrite {

namespace {

constexpr std::uint32_t kGlobalMapOwner = 1;  // the page names itself, as Access writes it
constexpr std::size_t kFreeSpaceOffset = 2;
constexpr std::size_t kOwnerOffset = 4;
constexpr std::size_t kInlineBitmapOffset = 5;
constexpr std::size_t kBitmapPageDataOffset = 4;

void setBits(std::span<std::byte> bitmap, std::size_t from, std::size_t to) {
    for (std::size_t bit = from; bit < to; ++bit) {
        bitmap[bit / 8] |= std::byte{static_cast<std::uint8_t>(1u << (bit % 8))};
    }
}

Bytes freePagesRow(PageFile& file) {
    Bytes row(jet::kUsageMapRowSize);
    if (file.pageCount() < jet::kInlineMapPages) {
        row[0] = std::byte{jet::kUsageMapInline};  // start page 0
        setBits(std::span<std::byte>(row).subspan(kInlineBitmapOffset), file.pageCount(),
                jet::kInlineMapPages);
        return row;
    }
    // One bitmap page for the range that holds the end of the file (it counts as used itself).
    const PageNumber bitmapPage = file.allocate();
    const std::size_t slot = file.pageCount() / jet::kBitmapPagePages;
    auto bitmap = file.page(bitmapPage);
    bitmap[0] = std::byte{static_cast<std::uint8_t>(jet::PageType::UsageBitmap)};
    bitmap[1] = std::byte{0x01};
    setBits(bitmap.subspan(kBitmapPageDataOffset), file.pageCount() % jet::kBitmapPagePages,
            jet::kBitmapPagePages);
    row[0] = std::byte{jet::kUsageMapReference};
    if (slot < jet::kReferenceMapSlots) storeU32(row, 1 + 4 * slot, bitmapPage);
    return row;
}

}  // namespace

void writeGlobalUsageMap(PageFile& file, PageNumber page) {
    const Bytes freeMap = freePagesRow(file);
    const Bytes emptyMap(jet::kUsageMapRowSize);
    auto bytes = file.page(page);
    bytes[0] = std::byte{static_cast<std::uint8_t>(jet::PageType::Data)};
    bytes[1] = std::byte{0x01};
    storeU32(bytes, kOwnerOffset, kGlobalMapOwner);
    const std::size_t row0 = jet::kPageSize - freeMap.size();
    const std::size_t row1 = row0 - emptyMap.size();
    storeBytes(bytes, row0, freeMap);
    storeBytes(bytes, row1, emptyMap);
    storeU16(bytes, jet::kDataPageHeaderSize, static_cast<std::uint16_t>(row0));
    storeU16(bytes, jet::kDataPageHeaderSize + 2, static_cast<std::uint16_t>(row1));
    storeU16(bytes, jet::kDataPageRowCountOffset, 2);
    storeU16(bytes, kFreeSpaceOffset,
             static_cast<std::uint16_t>(row1 - jet::kDataPageHeaderSize - 4));
}

}  // namespace zl::jetwrite
