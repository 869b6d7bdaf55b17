#pragma once

#include <cstddef>
#include <new>

// Recycles memory blocks of one size. A large tree document creates and
// destroys hundreds of thousands of equal-sized elements; carving them from
// 64 KiB slabs and keeping freed blocks on a per-thread list is several
// times cheaper than the general heap.
//
// Slabs are never given back: the memory stays for reuse, bounded by the
// most blocks alive at once on a thread. A block may be released on another
// thread than the one that allocated it; it then serves that thread.
template <std::size_t Size> class FixedBlockPool {
public:
    static void* Allocate() {
        State& state = ThreadState();
        if (state.free) {
            Node* node = state.free;
            state.free = node->next;
            return node;
        }
        if (state.end - state.next < static_cast<std::ptrdiff_t>(BlockSize)) {
            state.next = static_cast<char*>(::operator new(SlabSize));
            state.end = state.next + SlabSize;
        }
        void* block = state.next;
        state.next += BlockSize;
        return block;
    }

    static void Release(void* block) noexcept {
        State& state = ThreadState();
        Node* node = static_cast<Node*>(block);
        node->next = state.free;
        state.free = node;
    }

private:
    struct Node {
        Node* next;
    };
    struct State {
        Node* free = nullptr;
        char* next = nullptr;
        char* end = nullptr;
    };

    static constexpr std::size_t Alignment = alignof(std::max_align_t);
    static constexpr std::size_t BlockSize = (Size + Alignment - 1) / Alignment * Alignment;
    static constexpr std::size_t SlabSize = 64 * 1024;
    static_assert(Size >= sizeof(Node) && BlockSize <= SlabSize);

    static State& ThreadState() {
        thread_local State state;
        return state;
    }
};
