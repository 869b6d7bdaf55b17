#pragma once

#include "FixedBlockPool.h"

#include <cstddef>
#include <new>

// Allocator for the small lists inside tree elements (attributes, children):
// requests of 32, 64, 128 or 256 bytes are served by block pools, larger
// ones by the general heap. Stateless, so lists can be moved and swapped
// freely. Sanitizer builds (VELMORA_NO_POOL) use the general heap only.
template <typename T> class PoolAllocator {
public:
    using value_type = T;

    PoolAllocator() noexcept = default;
    template <typename U> PoolAllocator(const PoolAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
#ifndef VELMORA_NO_POOL
        if (bytes == 32)
            return static_cast<T*>(FixedBlockPool<32>::Allocate());
        if (bytes == 64)
            return static_cast<T*>(FixedBlockPool<64>::Allocate());
        if (bytes == 128)
            return static_cast<T*>(FixedBlockPool<128>::Allocate());
        if (bytes == 256)
            return static_cast<T*>(FixedBlockPool<256>::Allocate());
#endif
        return static_cast<T*>(::operator new(bytes));
    }

    void deallocate(T* block, std::size_t n) noexcept {
        [[maybe_unused]] const std::size_t bytes = n * sizeof(T);
#ifndef VELMORA_NO_POOL
        if (bytes == 32)
            return FixedBlockPool<32>::Release(block);
        if (bytes == 64)
            return FixedBlockPool<64>::Release(block);
        if (bytes == 128)
            return FixedBlockPool<128>::Release(block);
        if (bytes == 256)
            return FixedBlockPool<256>::Release(block);
#endif
        ::operator delete(block);
    }

    template <typename U> bool operator==(const PoolAllocator<U>&) const noexcept {
        return true;
    }
};
