#include "gif/GIFHeader.h"

#include <cctype>
#include <cstring>

#include "gif/GIFImage.h"
#include "platform/core/TStream.h"

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), FColorMap(image) {}

void TGIFHeader::Clear()
{
    FColorMap.Clear();
    FDescriptor.fill(0);
}

void TGIFHeader::Assign(const TGIFHeader& source)
{
    FColorMap.Assign(source.FColorMap);
    FDescriptor = source.FDescriptor;
}

void TGIFHeader::Assign(const TGIFColorMap& source)
{
    Clear();
    FColorMap.Assign(source);
}

int TGIFHeader::GetVersion() const
{
    return FColorMap.Optimized() || AspectRatio() != 0 ? 2 : 1;
}

namespace {

bool IsSignature(const std::uint8_t* bytes)
{
    return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}

} // namespace

void TGIFHeader::LoadFromStream(TStream& stream)
{
    const std::int64_t start = stream.Position();
    std::uint8_t head[6];
    ReadExact(stream, head, 6);
    if (!IsSignature(head)) {
        // Some writers put a few bytes before the signature.
        stream.SetPosition(start + 4);
        ReadExact(stream, head, 6);
        if (!IsSignature(head))
            GIFError("Invalid GIF signature");
    }
    FReadVersion.assign(reinterpret_cast<const char*>(head + 3), 3);
    ReadExact(stream, FDescriptor.data(), FDescriptor.size());
    if (Packed() & 0x80)
        FColorMap.LoadFromStream(stream, 2 << (Packed() & 0x07));
    else
        FColorMap.Clear();
}

void TGIFHeader::Prepare()
{
    int resolution = FImage ? FImage->MaxColorResolution() : ColorResolution();
    std::uint8_t packed = 0;
    if (FColorMap.Count() > 0)
        packed |= 0x80;
    if (FColorMap.Optimized())
        packed |= 0x08;
    packed |= static_cast<std::uint8_t>((resolution & 0x07) << 4);
    packed |= static_cast<std::uint8_t>((FColorMap.BitsPerPixel() - 1) & 0x07);
    FDescriptor[4] = packed;
}

void TGIFHeader::SaveToStream(TStream& stream)
{
    const int version = FImage ? FImage->MaxVersion() : GetVersion();
    if (version == 0)
        GIFError("Unsupported GIF version");
    Prepare();
    stream.WriteString("GIF");
    stream.WriteString(version >= 2 ? "89a" : "87a");
    stream.WriteBuffer(FDescriptor.data(), FDescriptor.size());
    FColorMap.SaveToStream(stream);
}
