// The document written as a file. Offsets are counted by the writer itself,
// so they hold whatever stream the file goes to.

#include "pdf/PdfDoc.h"

#include <cstdio>

namespace {

// Gathers small writes into blocks and counts every byte that passes.
class TCountingWriter : public TStream {
public:
    explicit TCountingWriter(TStream& target) : FTarget(target) { FBuffer.reserve(BlockBytes); }
    ~TCountingWriter() override = default;

    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void* buffer, std::size_t count) override
    {
        FCount += static_cast<std::int64_t>(count);
        if (count >= BlockBytes) {
            Flush();
            FTarget.WriteBuffer(buffer, count);
            return count;
        }
        if (FBuffer.size() + count > BlockBytes)
            Flush();
        FBuffer.append(static_cast<const char*>(buffer), count);
        return count;
    }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return FCount; }
    void Flush()
    {
        if (!FBuffer.empty())
            FTarget.WriteBuffer(FBuffer.data(), FBuffer.size());
        FBuffer.clear();
    }
    std::int64_t Count() const { return FCount; }

private:
    static constexpr std::size_t BlockBytes = 1 << 16;
    TStream& FTarget;
    std::string FBuffer;
    std::int64_t FCount = 0;
};

std::string XrefLine(std::int64_t offset, int generation, char type)
{
    if (offset > 9999999999LL)
        throw EPdfInvalidOperation("SaveToStream --the file is too large for its cross-reference table.");
    char line[32];
    std::snprintf(line, sizeof line, "%010lld %05d %c\r\n", static_cast<long long>(offset), generation, type);
    return line;
}

}  // namespace

void TPdfDoc::SaveToStream(TStream& stream)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("SaveToStream --document is null.");
    if (FOutlineRoot)
        FOutlineRoot->Save();
    TCountingWriter out(stream);
    // The comment of high bytes tells transfer programs the file is binary.
    WriteTextBytes("%PDF-1.3\n%\xE2\xE3\xCF\xD3\n", out);
    for (int i = 1; i < FXref->ItemCount(); ++i) {
        TPdfXrefEntry& entry = FXref->Items(i);
        if (entry.EntryType() != "n")
            continue;
        entry.SetByteOffset(out.Count());
        WriteTextBytes(std::to_string(i) + " " + std::to_string(entry.GenerationNumber()) + " obj\n", out);
        entry.Value()->WriteObjectValue(out);
        WriteTextBytes("\nendobj\n", out);
    }
    const std::int64_t xrefOffset = out.Count();
    const int size = FXref->ItemCount();
    std::string table = "xref\n0 " + std::to_string(size) + "\n";
    for (int i = 0; i < size; ++i) {
        const TPdfXrefEntry& entry = FXref->Items(i);
        table += entry.EntryType() == "n" ? XrefLine(entry.ByteOffset(), entry.GenerationNumber(), 'n')
                                          : XrefLine(0, 65535, 'f');
    }
    WriteTextBytes(table, out);
    FTrailer->PdfNumberByName("Size")->SetValue(size);
    WriteTextBytes("trailer\n", out);
    FTrailer->WriteObjectValue(out);
    WriteTextBytes("\nstartxref\n" + std::to_string(xrefOffset) + "\n%%EOF\n", out);
    out.Flush();
}
