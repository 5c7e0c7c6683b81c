#include "gif/GIFWriter.h"

#include "gif/GIFUtils.h"

TGIFWriter::~TGIFWriter()
{
    // A destructor must not throw; Flush is how callers see write errors.
    try {
        Flush();
    } catch (...) {
    }
}

std::size_t TGIFWriter::Read(void*, std::size_t)
{
    GIFError("Invalid stream operation");
}

std::int64_t TGIFWriter::Seek(std::int64_t, TSeekOrigin)
{
    GIFError("Invalid stream operation");
}

std::size_t TGIFWriter::Write(const void* buffer, std::size_t count)
{
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < count; ++i)
        WriteByte(bytes[i]);
    return count;
}

void TGIFWriter::FlushBlock()
{
    FBuffer[0] = static_cast<std::uint8_t>(FCount);
    const int n = FCount;
    FCount = 0;
    FTarget.WriteBuffer(FBuffer, static_cast<std::size_t>(n) + 1);
}

void TGIFWriter::Flush()
{
    if (FCount > 0)
        FlushBlock();
}
