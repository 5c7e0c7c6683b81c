#pragma once

// A write-only stream that packs what is written into data sub-blocks of at
// most 255 bytes on the target stream. The last, partial block goes out in
// Flush or when the writer is destroyed; no empty block is ever written.

#include <cstdint>

#include "platform/core/TStream.h"

class TGIFWriter : public TStream {
public:
    explicit TGIFWriter(TStream& target) : FTarget(target) {}
    ~TGIFWriter() override;
    TGIFWriter(const TGIFWriter&) = delete;
    TGIFWriter& operator=(const TGIFWriter&) = delete;

    // Reading and seeking raise "Invalid stream operation".
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

    void WriteByte(std::uint8_t value)
    {
        FBuffer[++FCount] = value;
        if (FCount == 255)
            FlushBlock();
    }
    void Flush();

private:
    void FlushBlock();

    TStream& FTarget;
    // The count byte and 255 data bytes.
    std::uint8_t FBuffer[256];
    int FCount = 0;
};
