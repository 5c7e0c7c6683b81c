#include "gif/GIFExtension.h"

#include <algorithm>
#include <cstring>

#include "gif/GIFExtensionRegistry.h"
#include "gif/GIFSubImage.h"
#include "gif/GIFUtils.h"
#include "platform/core/TStream.h"

void WriteTextSubBlocks(TStream& stream, const TStringList& text)
{
    for (const std::string& line : text.Items()) {
        for (std::size_t at = 0; at < line.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, line.size() - at);
            WriteByte(stream, static_cast<std::uint8_t>(n));
            stream.WriteBuffer(line.data() + at, n);
        }
    }
    WriteByte(stream, 0);
}

void ReadTextSubBlocks(TStream& stream, TStringList& text)
{
    text.Clear();
    char block[255];
    for (;;) {
        const int count = ReadByte(stream);
        if (count <= 0)
            return;
        const std::size_t got = stream.Read(block, static_cast<std::size_t>(count));
        const char* zero = static_cast<const char*>(std::memchr(block, 0, got));
        text.Add(std::string(block, zero ? static_cast<std::size_t>(zero - block) : got));
        if (got < static_cast<std::size_t>(count))
            return;
    }
}

// ---- TGIFExtension

TGIFExtension::TGIFExtension(TGIFSubImage* subImage)
    : TGIFItem(subImage ? subImage->Image() : nullptr), FSubImage(subImage)
{
}

TGIFExtension::~TGIFExtension()
{
    // The frame's list may still hold this one when the owner frees it directly.
    if (FSubImage) {
        std::unique_ptr<TGIFExtension> self = FSubImage->Extensions().Remove(this);
        (void)self.release();
    }
}

std::uint8_t TGIFExtension::ExtensionType() const
{
    return ExtensionClass().Label;
}

std::uint8_t TGIFExtension::LoadHead(TStream& stream)
{
    std::uint8_t head[2];
    ReadExact(stream, head, 2);
    if (head[0] != bsExtensionIntroducer)
        GIFError("Invalid extension introducer");
    return head[1];
}

void TGIFExtension::LoadFromStream(TStream& stream)
{
    if (LoadHead(stream) != ExtensionType())
        GIFError("Internal error: Extension Instance does not match Extension Label");
    LoadBody(stream);
}

void TGIFExtension::SaveToStream(TStream& stream)
{
    const std::uint8_t head[2] = {bsExtensionIntroducer, ExtensionType()};
    stream.WriteBuffer(head, 2);
    SaveBody(stream);
}

// ---- TGIFGraphicControlExtension

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* subImage) : TGIFExtension(subImage)
{
    if (subImage && !subImage->FGCE)
        subImage->FGCE = this;
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension()
{
    if (TGIFSubImage* frame = SubImage()) {
        if (frame->FGCE == this)
            frame->FGCE = nullptr;
        if (Transparent())
            frame->FTransparent = false;
    }
}

void TGIFGraphicControlExtension::SetTransparent(bool value)
{
    FBody[1] = static_cast<std::uint8_t>(value ? FBody[1] | 0x01 : FBody[1] & ~0x01);
    if (SubImage())
        SubImage()->FTransparent = value;
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    if (SubImage()) {
        const int count = SubImage()->ActiveColorMap().Count();
        if (count > 0 && (index < 0 || index >= count)) {
            Warning(1, "Invalid color index");
            index = 0;
        }
    }
    FBody[4] = static_cast<std::uint8_t>(index);
}

std::uint16_t TGIFGraphicControlExtension::Delay() const
{
    return ReadLE16(&FBody[2]);
}

void TGIFGraphicControlExtension::SetDelay(std::uint16_t value)
{
    WriteLE16(&FBody[2], value);
}

void TGIFGraphicControlExtension::SetDisposal(int value)
{
    FBody[1] = static_cast<std::uint8_t>((FBody[1] & ~0x1C) | ((value & 0x07) << 2));
}

void TGIFGraphicControlExtension::LoadBody(TStream& stream)
{
    const std::size_t got = stream.Read(FBody.data(), FBody.size());
    if (got < FBody.size())
        Warning(1, "Premature end of data");
    if (Transparent() && SubImage())
        SubImage()->FTransparent = true;
}

void TGIFGraphicControlExtension::SaveBody(TStream& stream)
{
    // giflib and gifsicle refuse a block whose terminator is not 0.
    std::array<std::uint8_t, 6> body = FBody;
    body[5] = 0;
    stream.WriteBuffer(body.data(), body.size());
}

// ---- TGIFTextExtension

TGIFTextExtension::TGIFTextExtension(TGIFSubImage* subImage) : TGIFExtension(subImage) {}

std::uint16_t TGIFTextExtension::Left() const { return ReadLE16(&FBody[1]); }
std::uint16_t TGIFTextExtension::Top() const { return ReadLE16(&FBody[3]); }
std::uint16_t TGIFTextExtension::GridWidth() const { return ReadLE16(&FBody[5]); }
std::uint16_t TGIFTextExtension::GridHeight() const { return ReadLE16(&FBody[7]); }

void TGIFTextExtension::LoadBody(TStream& stream)
{
    ReadExact(stream, FBody.data(), FBody.size());
    ReadTextSubBlocks(stream, FText);
}

void TGIFTextExtension::SaveBody(TStream& stream)
{
    stream.WriteBuffer(FBody.data(), FBody.size());
    WriteTextSubBlocks(stream, FText);
}

// ---- TGIFCommentExtension

TGIFCommentExtension::TGIFCommentExtension(TGIFSubImage* subImage) : TGIFExtension(subImage) {}

void TGIFCommentExtension::SaveToStream(TStream& stream)
{
    const auto& lines = FComment.Items();
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.empty(); }))
        return;
    TGIFExtension::SaveToStream(stream);
}

void TGIFCommentExtension::LoadBody(TStream& stream)
{
    ReadTextSubBlocks(stream, FComment);
}

void TGIFCommentExtension::SaveBody(TStream& stream)
{
    WriteTextSubBlocks(stream, FComment);
}

// ---- TGIFBlock

void TGIFBlock::LoadFromStream(TStream& stream)
{
    ReadExact(stream, FData.data(), FData.size());
}

void TGIFBlock::SaveToStream(TStream& stream) const
{
    WriteByte(stream, static_cast<std::uint8_t>(FData.size()));
    stream.WriteBuffer(FData.data(), FData.size());
}

void ReadRawBlocks(TStream& stream, std::vector<TGIFBlock>& blocks)
{
    blocks.clear();
    for (;;) {
        const int size = ReadByte(stream);
        if (size <= 0)
            return;
        TGIFBlock block(size);
        block.LoadFromStream(stream);
        blocks.push_back(std::move(block));
    }
}

void WriteRawBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks)
{
    for (const TGIFBlock& block : blocks)
        block.SaveToStream(stream);
    WriteByte(stream, 0);
}

// ---- TGIFUnknownExtension

TGIFUnknownExtension::TGIFUnknownExtension(TGIFSubImage* subImage) : TGIFExtension(subImage) {}

void TGIFUnknownExtension::LoadFromStream(TStream& stream)
{
    FLabel = LoadHead(stream);
    LoadBody(stream);
}

void TGIFUnknownExtension::LoadBody(TStream& stream)
{
    ReadRawBlocks(stream, FRawBlocks);
}

void TGIFUnknownExtension::SaveBody(TStream& stream)
{
    WriteRawBlocks(stream, FRawBlocks);
}

// ---- TGIFApplicationExtension

TGIFApplicationExtension::TGIFApplicationExtension(TGIFSubImage* subImage) : TGIFExtension(subImage) {}

void TGIFApplicationExtension::SetIdentifier(std::string_view elevenBytes)
{
    FIdentifier.fill(0);
    std::copy_n(elevenBytes.begin(), std::min<std::size_t>(11, elevenBytes.size()), FIdentifier.begin());
}

void TGIFApplicationExtension::LoadBody(TStream& stream)
{
    std::uint8_t size;
    ReadExact(stream, &size, 1);
    if (size < 10)
        GIFError("Unsupported Application Extension block size");
    FIdentifier.fill(0);
    if (size == 10) {
        ReadExact(stream, FIdentifier.data(), 10);
    } else {
        ReadExact(stream, FIdentifier.data(), 11);
        std::uint8_t rest[255];
        ReadExact(stream, rest, size - 11u);
    }
    LoadData(stream);
}

void TGIFApplicationExtension::SaveBody(TStream& stream)
{
    WriteByte(stream, 11);
    stream.WriteBuffer(FIdentifier.data(), FIdentifier.size());
    SaveData(stream);
}

void TGIFApplicationExtension::LoadData(TStream& stream)
{
    ReadRawBlocks(stream, FRawBlocks);
}

void TGIFApplicationExtension::SaveData(TStream& stream)
{
    WriteRawBlocks(stream, FRawBlocks);
}

TGIFUnknownAppExtension::TGIFUnknownAppExtension(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage) {}

// ---- TGIFAppExtNSLoop

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage)
{
    SetIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::LoadData(TStream& stream)
{
    std::uint8_t block[255];
    for (;;) {
        const int size = ReadByte(stream);
        if (size <= 0)
            return;
        ReadExact(stream, block, static_cast<std::size_t>(size));
        switch (block[0] & 0x07) {
        case 1:
            if (size < 3)
                GIFError("Invalid GIF data");
            FLoops = ReadLE16(&block[1]);
            break;
        case 2:
            if (size < 5)
                GIFError("Invalid GIF data");
            FBufferSize = std::uint32_t(ReadLE16(&block[1])) | (std::uint32_t(ReadLE16(&block[3])) << 16);
            break;
        default:
            break;
        }
    }
}

void TGIFAppExtNSLoop::SaveData(TStream& stream)
{
    std::uint8_t loop[4] = {3, 1, 0, 0};
    WriteLE16(&loop[2], FLoops);
    stream.WriteBuffer(loop, 4);
    if (FBufferSize > 0) {
        std::uint8_t buffer[6] = {5, 2, 0, 0, 0, 0};
        WriteLE16(&buffer[2], static_cast<std::uint16_t>(FBufferSize));
        WriteLE16(&buffer[4], static_cast<std::uint16_t>(FBufferSize >> 16));
        stream.WriteBuffer(buffer, 6);
    }
    WriteByte(stream, 0);
}
