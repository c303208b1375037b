// The pages of the database being written, held in memory until the file is saved.
#pragma once

#include <cstdint>
#include <span>

#include "jetwrite/byte_writer.h"

namespace zl::jetwrite {

using PageNumber = std::uint32_t;

// A growing array of zero-filled 4 KiB pages, addressed by page number.
class PageFile {
public:
    // Appends a zero-filled page and returns its number. Throws WriteError past the largest
    // file Jet 4 can address (page numbers are 3 bytes wide in row pointers).
    PageNumber allocate();
    // The bytes of page `number`; throws std::logic_error for a page not allocated.
    std::span<std::byte> page(PageNumber number);
    std::span<const std::byte> page(PageNumber number) const;
    PageNumber pageCount() const;
    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

}  // namespace zl::jetwrite
