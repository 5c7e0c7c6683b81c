#pragma once

// Byte streams. `Read` and `Write` move as many bytes as they can and return
// the count; `ReadBuffer` and `WriteBuffer` move all or raise EReadError /
// EWriteError. Positions and sizes are 64-bit.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;

    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    void WriteBuffer(std::span<const std::uint8_t> bytes) { WriteBuffer(bytes.data(), bytes.size()); }
    void WriteString(std::string_view bytes) { WriteBuffer(bytes.data(), bytes.size()); }

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size);

    // Copies `count` bytes from `source` at its position; 0 copies all of
    // `source` from its start. Returns the count copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

    // All bytes from the current position to the end.
    std::string ReadRest();
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : FData(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t size) override;

    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& target);
    void SaveToFile(const std::string& fileName);

    const std::string& Bytes() const { return FData; }
    std::string& Bytes() { return FData; }
    const std::uint8_t* Memory() const { return reinterpret_cast<const std::uint8_t*>(FData.data()); }

private:
    std::string FData;
    std::size_t FPosition = 0;
};

// File modes: one open mode or fmCreate, combined with a share mode. Share modes
// have no Linux equivalent and are accepted and ignored.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A file opened by its CP1252 name. Opening raises EFOpenError (EFCreateError
// for fmCreate) naming the file; I/O failures raise EInOutError.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    int FHandle = -1;
};
