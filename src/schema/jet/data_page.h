// The row directory of a data page (type 0x01): where each row lies and whether it is
// deleted or moved to another page.
#pragma once

#include <cstdint>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"

namespace zl::schema::jet {

inline constexpr std::uint8_t kDataPageType = 0x01;
inline constexpr std::uint8_t kTableDefinitionPageType = 0x02;
inline constexpr std::uint8_t kUsageMapPageType = 0x05;

// One entry of the row directory.
struct RowSlot {
    std::size_t index = 0;  // position in the row directory
    std::size_t start = 0;  // first byte of the row in the page
    std::size_t end = 0;    // one past its last byte
    bool deleted = false;   // flag 0x8000: the row is gone
    bool overflow = false;  // flag 0x4000: the row holds a pointer to its moved data
};

// A data page and its row directory.
class DataPage {
public:
    // Checks that page `number` is a data page and that its row directory fits the page.
    static Result<DataPage> open(PageReader& reader, const JetFormat& format, std::uint32_t number);

    std::uint32_t number() const { return m_number; }
    // The table definition page that owns the page (or "LVAL" bytes on long value pages).
    std::uint32_t owner() const { return m_owner; }
    std::size_t rowCount() const { return m_rowCount; }
    // The flags and bounds of row `index`; Corrupt when a live row's bounds fall outside the
    // row area. Bounds of deleted rows are left unchecked, since scans never read them.
    Result<RowSlot> slot(std::size_t index) const;
    // The bytes of a row whose slot came from slot(); its bounds are checked here whatever its
    // flags (a moved row's data sits in a row flagged deleted).
    Result<Bytes> rowBytes(const RowSlot& slot) const;
    const Origin& origin() const { return m_origin; }

private:
    DataPage(PageData page, const JetFormat& format, std::uint32_t number);
    Status checkBounds(const RowSlot& slot) const;

    PageData m_page;
    const JetFormat* m_format;
    std::uint32_t m_number;
    std::uint32_t m_owner = 0;
    std::size_t m_rowCount = 0;
    Origin m_origin;
};

// A reference to a row elsewhere, stored as 1 byte row number and 3 bytes page number.
struct RowPointer {
    std::uint32_t page = 0;
    std::uint8_t row = 0;
};
RowPointer decodeRowPointer(std::uint32_t raw);

}  // namespace zl::schema::jet
