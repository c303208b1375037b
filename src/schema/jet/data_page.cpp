// Data page row directory.
//
// Data page:
//   OFFSET        SIZE DESCRIPTION
//   0x00          1    page type 0x01
//   0x01          1    unknown (always 0x01)
//   0x02          2    free space in the page
//   0x04          4    owning table definition page ("LVAL" on long value pages)
//   0x08 (Jet 4)  4    unknown
//   0x08/0x0C     2    number of rows
//   then          2*n  row offsets: low 13 bits the start of the row; 0x8000 deleted,
//                      0x4000 overflow. Rows are stored from the end of the page backwards,
//                      so row i ends where row i-1 starts (row 0 ends at the page end).
#include "schema/jet/data_page.h"

namespace zl::schema::jet {
namespace {

constexpr std::uint16_t kOffsetMask = 0x1FFF;
constexpr std::uint16_t kDeletedFlag = 0x8000;
constexpr std::uint16_t kOverflowFlag = 0x4000;
constexpr std::size_t kOwnerOffset = 4;

}  // namespace

DataPage::DataPage(PageData page, const JetFormat& format, std::uint32_t number)
    : m_page(std::move(page)), m_format(&format), m_number(number), m_origin(number, 0) {}

Result<DataPage> DataPage::open(PageReader& reader, const JetFormat& format, std::uint32_t number) {
    JET_ASSIGN_OR_RETURN(PageData data, reader.page(number, "data page"));
    DataPage page(std::move(data), format, number);
    const Bytes bytes = bytesOf(page.m_page);
    ByteCursor cursor(bytes, page.m_origin);
    const std::uint8_t type = cursor.u8("page type");
    if (type != kDataPageType) {
        return cursor.failAt(0, "page type " + std::to_string(type) + ", expected a data page (1)");
    }
    cursor.seek(kOwnerOffset);
    page.m_owner = cursor.u32("owner");
    cursor.seek(format.rowCountOffset);
    const std::size_t count = cursor.u16("row count");
    JET_TRY(cursor.status());
    const std::size_t directoryEnd = format.rowCountOffset + 2 + 2 * count;
    if (directoryEnd > bytes.size()) {
        return cursor.failAt(format.rowCountOffset,
                             "row count " + std::to_string(count) + " does not fit the page");
    }
    page.m_rowCount = count;
    return page;
}

Result<RowSlot> DataPage::slot(std::size_t index) const {
    const Bytes bytes = bytesOf(m_page);
    if (index >= m_rowCount) {
        return corruption(
            m_origin, m_format->rowCountOffset,
            "row " + std::to_string(index) + " wanted, the page has " + std::to_string(m_rowCount));
    }
    const std::size_t entryOffset = m_format->rowCountOffset + 2 + 2 * index;
    const std::uint16_t raw = loadU16(bytes, entryOffset);
    RowSlot slot;
    slot.index = index;
    slot.deleted = (raw & kDeletedFlag) != 0;
    slot.overflow = (raw & kOverflowFlag) != 0;
    slot.start = raw & kOffsetMask;
    slot.end = index == 0 ? bytes.size()
                          : static_cast<std::size_t>(loadU16(bytes, entryOffset - 2) & kOffsetMask);
    if (!slot.deleted) {
        JET_TRY(checkBounds(slot));
    }
    return slot;
}

Status DataPage::checkBounds(const RowSlot& slot) const {
    const std::size_t directoryEnd = m_format->rowCountOffset + 2 + 2 * m_rowCount;
    const std::size_t pageSize = m_page->size();
    if (slot.start < directoryEnd || slot.start > slot.end || slot.end > pageSize) {
        return corruption(m_origin, m_format->rowCountOffset + 2 + 2 * slot.index,
                          "row " + std::to_string(slot.index) + " spans " +
                              std::to_string(slot.start) + ".." + std::to_string(slot.end) +
                              ", outside the row area " + std::to_string(directoryEnd) + ".." +
                              std::to_string(pageSize));
    }
    return {};
}

Result<Bytes> DataPage::rowBytes(const RowSlot& slot) const {
    JET_TRY(checkBounds(slot));
    return bytesOf(m_page).subspan(slot.start, slot.end - slot.start);
}

RowPointer decodeRowPointer(std::uint32_t raw) {
    return RowPointer{raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)};
}

}  // namespace zl::schema::jet
