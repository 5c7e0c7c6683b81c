#include "net/WSockBuf.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int DefaultSize = 1514;

}  // namespace

TBuffer::TBuffer(int size) { ResizeBuffer(size); }

void TBuffer::ResizeBuffer(int size)
{
    if (size <= 0)
        size = DefaultSize;
    if (size == FSize || size < FWrCount)
        return;
    auto area = std::make_unique<char[]>(static_cast<std::size_t>(size));
    if (FWrCount != FRdCount && FBuf)
        std::memcpy(area.get(), FBuf.get(), static_cast<std::size_t>(FWrCount));
    FBuf = std::move(area);
    FSize = size;
}

int TBuffer::Write(const void* data, int length)
{
    int count = std::min(length, FSize - FWrCount);
    if (count <= 0)
        return 0;
    std::memcpy(FBuf.get() + FWrCount, data, static_cast<std::size_t>(count));
    FWrCount += count;
    return count;
}

const char* TBuffer::Peek(int& length) const
{
    length = FWrCount - FRdCount;
    return length > 0 ? FBuf.get() + FRdCount : nullptr;
}

int TBuffer::Remove(int length)
{
    int count = std::clamp(length, 0, FWrCount - FRdCount);
    FRdCount += count;
    if (FRdCount >= FWrCount) {
        FRdCount = 0;
        FWrCount = 0;
    }
    return count;
}
