// Usage map row: a type byte, then either a start page and a 512-page bitmap (inline map), or
// 17 pointers to bitmap pages that each cover 32,736 pages (reference map).
#include "jetwrite/usage_map_store.h"

#include <algorithm>

#include "jetwrite/jet_format.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {
constexpr std::size_t kInlineBitmapOffset = 5;
constexpr std::size_t kBitmapPageDataOffset = 4;

void setBit(std::span<std::byte> bitmap, std::size_t bit) {
    bitmap[bit / 8] |= std::byte{static_cast<std::uint8_t>(1u << (bit % 8))};
}
}  // namespace

UsageMapStore::UsageMapStore(PageFile& pages) : m_pages(pages), m_packer(pages, 0) {}

std::uint32_t UsageMapStore::add(std::vector<PageNumber> pages) {
    const Bytes row = encodeRow(std::move(pages));
    return m_packer.add(row).pointer();
}

Bytes UsageMapStore::encodeRow(std::vector<PageNumber> pages) {
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    if (pages.empty() || pages.back() - pages.front() < jet::kInlineMapPages)
        return inlineRow(pages);
    return referenceRow(pages);
}

Bytes UsageMapStore::inlineRow(const std::vector<PageNumber>& pages) const {
    ByteWriter row;
    row.u8(jet::kUsageMapInline);
    const PageNumber start = pages.empty() ? 0 : pages.front();
    row.u32(start);
    row.zeros(jet::kUsageMapRowSize - kInlineBitmapOffset);
    Bytes bytes = row.take();
    auto bitmap = std::span<std::byte>(bytes).subspan(kInlineBitmapOffset);
    for (const PageNumber page : pages) setBit(bitmap, page - start);
    return bytes;
}

Bytes UsageMapStore::referenceRow(const std::vector<PageNumber>& pages) {
    if (pages.back() / jet::kBitmapPagePages >= jet::kReferenceMapSlots) {
        throw WriteError("a usage map cannot address page " + std::to_string(pages.back()));
    }
    std::vector<PageNumber> slots(jet::kReferenceMapSlots, 0);
    for (const PageNumber page : pages) {
        const std::size_t slot = page / jet::kBitmapPagePages;
        if (slots[slot] == 0) {
            slots[slot] = m_pages.allocate();
            auto bitmapPage = m_pages.page(slots[slot]);
            bitmapPage[0] = std::byte{static_cast<std::uint8_t>(jet::PageType::UsageBitmap)};
            bitmapPage[1] = std::byte{0x01};
        }
        auto bitmap = m_pages.page(slots[slot]).subspan(kBitmapPageDataOffset);
        setBit(bitmap, page % jet::kBitmapPagePages);
    }
    ByteWriter row;
    row.u8(jet::kUsageMapReference);
    for (const PageNumber slot : slots) row.u32(slot);
    return row.take();
}

}  // namespace zl::jetwrite
