// The memory of one Marshal tree: large blocks handed out front to back and freed all at
// once, so reading a file makes few allocations and touches few fresh pages, and freeing
// a tree of millions of nodes is one free per block. Every arena is self-contained: the
// nodes in it point only into its own blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorvane {

class MarshalArena {
  public:
    // firstBlock: the size of the first block (a file arena guesses it from the file size).
    explicit MarshalArena(size_t firstBlock = 512);
    ~MarshalArena();
    MarshalArena(const MarshalArena&) = delete;
    MarshalArena& operator=(const MarshalArena&) = delete;

    void* allocate(size_t bytes, size_t align = alignof(std::max_align_t));
    template <typename T>
    T* allocateArray(size_t n) {
        return static_cast<T*>(allocate(n * sizeof(T), alignof(T)));
    }
    // A copy of bytes inside the arena (nothing is allocated for an empty text).
    std::string_view copy(std::string_view bytes);

    // Keeps text made elsewhere (an inflated string) without copying it.
    std::string_view adopt(std::string&& text);

    // Forgets every allocation but keeps the largest block when it holds at least
    // firstBlock bytes: the next tree (the next of many files read in turn) then lands on
    // pages already faulted in. Otherwise starts over as a fresh arena of firstBlock.
    void reset(size_t firstBlock);

    // Bytes held in blocks (for the benchmarks and the memory tests).
    size_t reservedBytes() const { return reserved_; }

    // The arena whose blocks hold p, or null: how an edit of a node finds where its new
    // contents go. Blocks are registered process-wide, so this works from any thread.
    static MarshalArena* containing(const void* p);

    // Large blocks are given to the kernel as candidates for huge pages, which spares most
    // of the page faults of a fresh tree; ZORVANE_NO_HUGEPAGES=1 turns that off (for
    // measuring what it brings).
    static bool hugePagesEnabled();

  private:
    struct Block {
        std::unique_ptr<unsigned char, void (*)(void*)> memory{nullptr, nullptr};
        size_t size = 0;
    };
    unsigned char* newBlock(size_t atLeast);

    void registerRange(const void* at, size_t size);
    void release();

    std::vector<Block> blocks_;
    std::vector<std::string> adopted_;
    unsigned char* next_ = nullptr;
    unsigned char* end_ = nullptr;
    size_t nextSize_;
    size_t reserved_ = 0;
};

}  // namespace zorvane
