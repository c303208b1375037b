// In-memory page array.
#include "jetwrite/page_file.h"

#include <stdexcept>

#include "jetwrite/jet_format.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite {

namespace {
// Row pointers hold a page number in 3 bytes.
constexpr PageNumber kMaxPages = 0xFFFFFF;
}  // namespace

PageNumber PageFile::allocate() {
    const PageNumber number = pageCount();
    if (number >= kMaxPages) throw WriteError("the database would exceed the largest Jet 4 file");
    m_bytes.resize(m_bytes.size() + jet::kPageSize);
    return number;
}

std::span<std::byte> PageFile::page(PageNumber number) {
    if (number >= pageCount()) throw std::logic_error("page not allocated");
    return std::span<std::byte>(m_bytes).subspan(number * jet::kPageSize, jet::kPageSize);
}

std::span<const std::byte> PageFile::page(PageNumber number) const {
    if (number >= pageCount()) throw std::logic_error("page not allocated");
    return std::span<const std::byte>(m_bytes).subspan(number * jet::kPageSize, jet::kPageSize);
}

PageNumber PageFile::pageCount() const {
    return static_cast<PageNumber>(m_bytes.size() / jet::kPageSize);
}

}  // namespace zl::jetwrite
