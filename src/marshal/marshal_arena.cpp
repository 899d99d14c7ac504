// Blocks come from the C allocator (so the sanitizers see a use after the tree is freed),
// large ones aligned to the huge-page size and offered to the kernel as huge pages.
#include "marshal/marshal_arena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace zorvane {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMaxGrowth = size_t{32} << 20;

struct Registry {
    std::mutex mutex;
    // first byte -> (one past the last byte, arena)
    std::map<uintptr_t, std::pair<uintptr_t, MarshalArena*>> blocks;
};

// Never destroyed: arenas of static objects may outlive every other static.
Registry& registry() {
    static Registry* r = std::make_unique<Registry>().release();
    return *r;
}

size_t roundUp(size_t n, size_t to) {
    return (n + to - 1) / to * to;
}

}  // namespace

bool MarshalArena::hugePagesEnabled() {
    static const bool enabled = [] {
        const char* off = std::getenv("ZORVANE_NO_HUGEPAGES");
        return !(off && *off && std::strcmp(off, "0") != 0);
    }();
    return enabled;
}

MarshalArena::MarshalArena(size_t firstBlock) : nextSize_(firstBlock < 256 ? 256 : firstBlock) {}

MarshalArena::~MarshalArena() {
    release();
}

// Unregisters every block and adopted text; the caller frees them.
void MarshalArena::release() {
    if (blocks_.empty() && adopted_.empty()) return;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (const Block& b : blocks_) r.blocks.erase(reinterpret_cast<uintptr_t>(b.memory.get()));
    for (const std::string& s : adopted_) r.blocks.erase(reinterpret_cast<uintptr_t>(s.data()));
}

void MarshalArena::reset(size_t firstBlock) {
    auto largest = std::max_element(blocks_.begin(), blocks_.end(),
                                    [](const Block& a, const Block& b) { return a.size < b.size; });
    Block kept;
    if (largest != blocks_.end() && largest->size >= firstBlock) kept = std::move(*largest);
    // The kept block stays registered under the same arena; the rest go.
    if (kept.memory) blocks_.erase(largest);
    release();
    blocks_.clear();
    adopted_.clear();
    reserved_ = 0;
    next_ = end_ = nullptr;
    nextSize_ = firstBlock < 256 ? 256 : firstBlock;
    if (!kept.memory) return;
    next_ = kept.memory.get();
    end_ = next_ + kept.size;
    reserved_ = kept.size;
    blocks_.push_back(std::move(kept));
}

void MarshalArena::registerRange(const void* at, size_t size) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto begin = reinterpret_cast<uintptr_t>(at);
    r.blocks[begin] = {begin + size, this};
}

std::string_view MarshalArena::adopt(std::string&& text) {
    if (text.empty()) return {};
    if (text.size() < 4096) return copy(text);  // small: not worth a block of its own
    text.shrink_to_fit();
    adopted_.push_back(std::move(text));
    const std::string& kept = adopted_.back();
    registerRange(kept.data(), kept.size());
    reserved_ += kept.capacity();
    return kept;
}

unsigned char* MarshalArena::newBlock(size_t atLeast) {
    size_t size = atLeast > nextSize_ ? atLeast : nextSize_;
    void* memory = nullptr;
    if (size >= kHugePage) {
        size = roundUp(size, kHugePage);
        memory = std::aligned_alloc(kHugePage, size);
#ifdef MADV_HUGEPAGE
        if (memory && hugePagesEnabled()) ::madvise(memory, size, MADV_HUGEPAGE);
#endif
    } else {
        memory = std::malloc(size);
    }
    if (!memory) throw std::bad_alloc();
    Block block;
    block.memory = {static_cast<unsigned char*>(memory), std::free};
    block.size = size;
    registerRange(memory, size);
    blocks_.push_back(std::move(block));
    reserved_ += size;
    if (nextSize_ < kMaxGrowth) nextSize_ *= 2;
    return static_cast<unsigned char*>(memory);
}

void* MarshalArena::allocate(size_t bytes, size_t align) {
    auto at = reinterpret_cast<uintptr_t>(next_);
    uintptr_t aligned = (at + align - 1) & ~(uintptr_t{align} - 1);
    if (!next_ || aligned + bytes > reinterpret_cast<uintptr_t>(end_)) {
        // A request larger than a quarter of the growth gets its own block, so the rest of
        // the current block is not thrown away for it.
        if (next_ && bytes > nextSize_ / 4) {
            return newBlock(bytes);
        }
        next_ = newBlock(bytes + align);
        end_ = next_ + blocks_.back().size;
        at = reinterpret_cast<uintptr_t>(next_);
        aligned = (at + align - 1) & ~(uintptr_t{align} - 1);
    }
    next_ = reinterpret_cast<unsigned char*>(aligned + bytes);
    return reinterpret_cast<void*>(aligned);
}

std::string_view MarshalArena::copy(std::string_view bytes) {
    if (bytes.empty()) return {};
    auto* to = static_cast<char*>(allocate(bytes.size(), 1));
    std::memcpy(to, bytes.data(), bytes.size());
    return {to, bytes.size()};
}

MarshalArena* MarshalArena::containing(const void* p) {
    if (!p) return nullptr;
    auto at = reinterpret_cast<uintptr_t>(p);
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.blocks.upper_bound(at);
    if (it == r.blocks.begin()) return nullptr;
    --it;
    return at < it->second.first ? it->second.second : nullptr;
}

}  // namespace zorvane
