#include "platform/graphics/PixelAllocator.h"

#include <cstdlib>
#include <sys/mman.h>

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t HugeThreshold = std::size_t(4) << 20;

}  // namespace

void* AllocatePixelMemory(std::size_t bytes)
{
    if (bytes < HugeThreshold) {
        void* memory = std::malloc(bytes == 0 ? 1 : bytes);
        if (!memory) throw std::bad_alloc();
        return memory;
    }
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* memory = std::aligned_alloc(HugePage, rounded);
    if (!memory) throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

void FreePixelMemory(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
