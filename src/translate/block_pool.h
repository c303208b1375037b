// Blocks of one size for the nodes of parsed expressions and queries. A saved query makes a
// dozen small nodes and frees them together much later; the general allocator takes several
// times as long for them as the parser takes to fill them. Freed blocks go on a list of the
// freeing thread, from which that thread's next nodes are taken; the chunks the blocks are cut
// from are kept for the life of the program, linked from one global list.
#pragma once

#include <atomic>
#include <cstddef>
#include <new>
#include <vector>

namespace zl::translate {

template <std::size_t Size>
class BlockPool {
public:
    static void* allocate() {
        FreeBlock*& free = t_free;
        if (free == nullptr) free = refill();
        FreeBlock* block = free;
        free = block->next;
        return block;
    }

    static void release(void* pointer) noexcept {
        auto* block = static_cast<FreeBlock*>(pointer);
        block->next = t_free;
        t_free = block;
    }

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    struct Chunk {
        Chunk* next;
    };
    static constexpr std::size_t kAlign = alignof(std::max_align_t);
    static constexpr std::size_t kBlock = (Size + kAlign - 1) / kAlign * kAlign;
    static constexpr std::size_t kHead = (sizeof(Chunk) + kAlign - 1) / kAlign * kAlign;
    static constexpr std::size_t kBlocksPerChunk = kBlock <= 256 ? 64 : 16;

    // A new chunk's blocks, linked in order.
    static FreeBlock* refill() {
        auto* memory = static_cast<std::byte*>(::operator new(kHead + kBlock * kBlocksPerChunk));
        auto* chunk = new (memory) Chunk{s_chunks.load(std::memory_order_relaxed)};
        while (!s_chunks.compare_exchange_weak(chunk->next, chunk, std::memory_order_release,
                                               std::memory_order_relaxed)) {
        }
        FreeBlock* first = nullptr;
        for (std::size_t i = kBlocksPerChunk; i-- > 0;) {
            first = new (memory + kHead + i * kBlock) FreeBlock{first};
        }
        return first;
    }

    static inline thread_local FreeBlock* t_free = nullptr;
    static inline std::atomic<Chunk*> s_chunks{nullptr};
};

// Bytes for a small container of parse nodes or tokens, from the pool of the next size up; larger
// ones from the general allocator.
inline void* allocatePooled(std::size_t size) {
    if (size <= 32) return BlockPool<32>::allocate();
    if (size <= 64) return BlockPool<64>::allocate();
    if (size <= 128) return BlockPool<128>::allocate();
    if (size <= 256) return BlockPool<256>::allocate();
    if (size <= 512) return BlockPool<512>::allocate();
    if (size <= 1024) return BlockPool<1024>::allocate();
    return ::operator new(size);
}

inline void releasePooled(void* pointer, std::size_t size) noexcept {
    if (size <= 32) {
        BlockPool<32>::release(pointer);
    } else if (size <= 64) {
        BlockPool<64>::release(pointer);
    } else if (size <= 128) {
        BlockPool<128>::release(pointer);
    } else if (size <= 256) {
        BlockPool<256>::release(pointer);
    } else if (size <= 512) {
        BlockPool<512>::release(pointer);
    } else if (size <= 1024) {
        BlockPool<1024>::release(pointer);
    } else {
        ::operator delete(pointer);
    }
}

// The allocator of the lists in a parse tree (arguments, select items, FROM items, ...).
template <class T>
struct PoolAllocator {
    static_assert(alignof(T) <= alignof(std::max_align_t));
    using value_type = T;
    // The size of an element; T is any type a container holds, pointers included (the buckets
    // of a hash map).
    static constexpr std::size_t kSize = sizeof(T);  // NOLINT(bugprone-sizeof-expression)

    PoolAllocator() = default;
    template <class U>
    explicit PoolAllocator(const PoolAllocator<U>& /*other*/) noexcept {}

    T* allocate(std::size_t count) { return static_cast<T*>(allocatePooled(count * kSize)); }
    void deallocate(T* pointer, std::size_t count) noexcept {
        releasePooled(pointer, count * kSize);
    }
    friend bool operator==(const PoolAllocator& /*a*/, const PoolAllocator& /*b*/) { return true; }
};

template <class T>
using PoolVector = std::vector<T, PoolAllocator<T>>;

}  // namespace zl::translate
