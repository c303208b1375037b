// Page cache over a page source.
#include "schema/jet/page_reader.h"

namespace zl::schema::jet {

PageReader::PageReader(std::unique_ptr<PageSource> source, std::size_t pageSize,
                       std::uint32_t pageCount, std::size_t cacheCapacity)
    : m_source(std::move(source)),
      m_pageSize(pageSize),
      m_pageCount(pageCount),
      m_capacity(cacheCapacity == 0 ? 1 : cacheCapacity) {}

Result<PageData> PageReader::page(std::uint32_t number, const char* what) {
    ++m_stats.pageRequests;
    if (number >= m_pageCount) {
        return corruption(std::string(what) + " " + std::to_string(number) +
                          " is past the end of the file (" + std::to_string(m_pageCount) +
                          " pages)");
    }
    if (auto found = m_cache.find(number); found != m_cache.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found->second.position);
        return found->second.data;
    }
    auto bytes = std::make_shared<PageBytes>(m_pageSize);
    JET_TRY(m_source->readAt(static_cast<std::uint64_t>(number) * m_pageSize, *bytes));
    ++m_stats.pagesRead;
    if (m_cache.size() >= m_capacity) {
        m_cache.erase(m_recent.back());
        m_recent.pop_back();
    }
    m_recent.push_front(number);
    PageData data = std::move(bytes);
    m_cache.emplace(number, Entry{data, m_recent.begin()});
    return data;
}

}  // namespace zl::schema::jet
