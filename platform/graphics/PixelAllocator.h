#pragma once

// The allocator of pixel memory. Large pictures spend most of their first
// touch in page faults; for buffers of several megabytes we align to 2 MiB
// and ask the kernel for huge pages, which it may grant or not (the memory
// works either way).

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

void* AllocatePixelMemory(std::size_t bytes);
void FreePixelMemory(void* memory, std::size_t bytes) noexcept;

template <class T>
struct TPixelAllocator {
    using value_type = T;

    TPixelAllocator() = default;
    template <class U>
    TPixelAllocator(const TPixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t count)
    {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AllocatePixelMemory(count * sizeof(T)));
    }
    void deallocate(T* memory, std::size_t count) noexcept { FreePixelMemory(memory, count * sizeof(T)); }

    template <class U>
    friend bool operator==(const TPixelAllocator&, const TPixelAllocator<U>&) noexcept { return true; }
};

using TPixelBytes = std::vector<std::uint8_t, TPixelAllocator<std::uint8_t>>;
