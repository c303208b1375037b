// Whole pages by number, through a small cache, counting what is read from the source.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "schema/jet/byte_cursor.h"
#include "schema/jet/page_source.h"
#include "schema/jet/result.h"

namespace zl::schema::jet {

// Leaves new elements uninitialized: a page buffer is filled by its read at once, and zeroing
// it first would cost as much as a page's decoding.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    UninitializedAllocator() = default;
    template <typename U>
    explicit UninitializedAllocator(const UninitializedAllocator<U>& /*other*/) noexcept {}
    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

using PageBytes = std::vector<std::byte, UninitializedAllocator<std::byte>>;

// One page of the file; shared so that a page stays valid while the cache moves on.
using PageData = std::shared_ptr<const PageBytes>;

// Counters for the benchmark and the tests.
struct ReadStats {
    std::uint64_t pagesRead = 0;     // pages fetched from the source (cache misses)
    std::uint64_t pageRequests = 0;  // pages asked for, cached or not
};

// Reads fixed-size pages. Page numbers at or past the page count are corruption.
class PageReader {
public:
    // `cacheCapacity` pages are kept, least recently used dropped first.
    PageReader(std::unique_ptr<PageSource> source, std::size_t pageSize, std::uint32_t pageCount,
               std::size_t cacheCapacity = 256);

    // The bytes of page `number`, or Corrupt when it is past the end (message names `what`
    // refers to it), or Io when the source fails.
    Result<PageData> page(std::uint32_t number, const char* what = "page");

    // Counts a page read from the source before this reader existed (the header).
    void countPriorRead() { ++m_stats.pagesRead; }

    std::size_t pageSize() const { return m_pageSize; }
    std::uint32_t pageCount() const { return m_pageCount; }
    const ReadStats& stats() const { return m_stats; }

private:
    std::unique_ptr<PageSource> m_source;
    std::size_t m_pageSize;
    std::uint32_t m_pageCount;
    std::size_t m_capacity;
    std::list<std::uint32_t> m_recent;  // most recent first
    struct Entry {
        PageData data;
        std::list<std::uint32_t>::iterator position;
    };
    std::unordered_map<std::uint32_t, Entry> m_cache;
    ReadStats m_stats;
};

// A view of a page as bytes.
inline Bytes bytesOf(const PageData& page) { return {page->data(), page->size()}; }

}  // namespace zl::schema::jet
