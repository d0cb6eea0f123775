#include "support/MemoryBlock.h"

#include "support/AllocationWatch.h"

#include <cstdint>
#include <cstdlib>

namespace
{
// Each block remembers its size in front of the bytes its owner sees, so that what is held can be
// counted without asking the allocator.
struct alignas(std::max_align_t) SBlockHeader
{
    size_t size;
};

thread_local int64_t t_liveBytes = 0;
} // namespace

void* ResizeBlock(void* block, size_t size)
{
    CAllocationWatch* watch = CAllocationWatch::Current();
    if (watch != nullptr && !watch->Admit(size))
        return nullptr;
    if (size > SIZE_MAX - sizeof(SBlockHeader))
        return nullptr;
    SBlockHeader* old = block != nullptr ? static_cast<SBlockHeader*>(block) - 1 : nullptr;
    const size_t oldSize = old != nullptr ? old->size : 0;
    const uintptr_t oldAddress = reinterpret_cast<uintptr_t>(old);
    // realloc keeps the bytes and leaves the old block untouched when it fails.
    auto* header = static_cast<SBlockHeader*>(std::realloc(old, sizeof(SBlockHeader) + size));
    if (header == nullptr)
        return nullptr;
    header->size = size;
    t_liveBytes += static_cast<int64_t>(size) - static_cast<int64_t>(oldSize);
    if (watch != nullptr)
    {
        const bool moved = old != nullptr && reinterpret_cast<uintptr_t>(header) != oldAddress;
        watch->NoteResized(t_liveBytes, moved ? oldSize : 0);
    }
    return header + 1;
}

void FreeBlock(void* block)
{
    if (block == nullptr)
        return;
    SBlockHeader* header = static_cast<SBlockHeader*>(block) - 1;
    t_liveBytes -= static_cast<int64_t>(header->size);
    std::free(header);
}

int64_t LiveBlockBytes()
{
    return t_liveBytes;
}
