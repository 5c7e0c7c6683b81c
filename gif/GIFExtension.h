#pragma once

// The extension blocks that stand before a frame: graphic control, comment,
// plain text and application extensions (the loop extension, and any other
// kept as raw data). Each belongs to the frame it precedes. A class is found
// for a block by its label and, for application blocks, by the identifier;
// see GIFExtensionRegistry.h; a block whose label no class knows is kept raw.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gif/GIFItem.h"
#include "platform/core/TStringList.h"

class TGIFSubImage;
struct TGIFExtensionClass;

constexpr std::uint8_t bsExtensionIntroducer = 0x21;
constexpr std::uint8_t bsImageSeparator = 0x2C;
constexpr std::uint8_t bsTrailer = 0x3B;
constexpr std::uint8_t bsPlainTextExtension = 0x01;
constexpr std::uint8_t bsGraphicControlExtension = 0xF9;
constexpr std::uint8_t bsCommentExtension = 0xFE;
constexpr std::uint8_t bsApplicationExtension = 0xFF;

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* subImage);
    ~TGIFExtension() override;

    TGIFSubImage* SubImage() const { return FSubImage; }
    virtual const TGIFExtensionClass& ExtensionClass() const = 0;
    // The class's label; the raw kind answers with the label it read.
    virtual std::uint8_t ExtensionType() const;
    int GetVersion() const override { return 2; }
    // Reads introducer and label and checks them; the body is the class's.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

protected:
    // Reads and checks the introducer; returns the label after it.
    std::uint8_t LoadHead(TStream& stream);
    virtual void LoadBody(TStream& stream) = 0;
    virtual void SaveBody(TStream& stream) = 0;

private:
    TGIFSubImage* FSubImage;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    explicit TGIFGraphicControlExtension(TGIFSubImage* subImage);
    ~TGIFGraphicControlExtension() override;
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }

    bool Transparent() const { return FBody[1] & 0x01; }
    // Also sets the frame's transparent flag.
    void SetTransparent(bool value);
    std::uint8_t TransparentColorIndex() const { return FBody[4]; }
    // An index not below the active colour map's count (when it has entries)
    // warns "Invalid color index" and stores 0.
    void SetTransparentColorIndex(int index);
    std::uint16_t Delay() const;
    void SetDelay(std::uint16_t value);
    bool UserInput() const { return FBody[1] & 0x02; }
    int Disposal() const { return (FBody[1] >> 2) & 0x07; }
    void SetDisposal(int value);
    // The stored body: block size, packed, delay, index, terminator. The
    // terminator is written as 0 whatever was read.
    const std::array<std::uint8_t, 6>& Body() const { return FBody; }

protected:
    void LoadBody(TStream& stream) override;
    void SaveBody(TStream& stream) override;

private:
    std::array<std::uint8_t, 6> FBody{4, 0, 0, 0, 0, 0};
};

class TGIFTextExtension : public TGIFExtension {
public:
    explicit TGIFTextExtension(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }

    TStringList& Text() { return FText; }
    // Block size, grid left, top, width, height (16 bits each), cell width
    // and height, foreground and background index.
    std::array<std::uint8_t, 13>& Body() { return FBody; }
    std::uint16_t Left() const;
    std::uint16_t Top() const;
    std::uint16_t GridWidth() const;
    std::uint16_t GridHeight() const;
    std::uint8_t CharWidth() const { return FBody[9]; }
    std::uint8_t CharHeight() const { return FBody[10]; }
    std::uint8_t ForegroundColorIndex() const { return FBody[11]; }
    std::uint8_t BackgroundColorIndex() const { return FBody[12]; }

protected:
    void LoadBody(TStream& stream) override;
    void SaveBody(TStream& stream) override;

private:
    TStringList FText;
    std::array<std::uint8_t, 13> FBody{12};
};

class TGIFCommentExtension : public TGIFExtension {
public:
    explicit TGIFCommentExtension(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }
    TStringList& Comment() { return FComment; }
    // A comment without text writes nothing: giflib refuses the whole file
    // for an extension without data.
    void SaveToStream(TStream& stream) override;

protected:
    void LoadBody(TStream& stream) override;
    void SaveBody(TStream& stream) override;

private:
    TStringList FComment;
};

// One raw data sub-block: its size byte and bytes.
class TGIFBlock {
public:
    explicit TGIFBlock(int size) : FData(static_cast<std::size_t>(size), '\0') {}
    int Size() const { return static_cast<int>(FData.size()); }
    std::string& Data() { return FData; }
    const std::string& Data() const { return FData; }
    // Reads exactly Size bytes ("Premature end of data" when short).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

private:
    std::string FData;
};

// Raw data sub-blocks up to a size byte 0 or the end of the stream; written
// back unchanged, followed by a terminator.
void ReadRawBlocks(TStream& stream, std::vector<TGIFBlock>& blocks);
void WriteRawBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks);

// A block whose label no class is registered for: browsers skip it and show
// the picture, so it is read as raw data sub-blocks (with a warning by the
// frame's list) and written back as read, label included.
class TGIFUnknownExtension : public TGIFExtension {
public:
    explicit TGIFUnknownExtension(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }
    std::uint8_t ExtensionType() const override { return FLabel; }
    void LoadFromStream(TStream& stream) override;

protected:
    void LoadBody(TStream& stream) override;
    void SaveBody(TStream& stream) override;

private:
    std::uint8_t FLabel = 0;
    std::vector<TGIFBlock> FRawBlocks;
};

using TGIFApplicationIdentifier = std::array<std::uint8_t, 11>;

// An application block. Its data sub-blocks are kept as raw blocks, also for
// a block of an unusual size, so that re-saving loses no data.
class TGIFApplicationExtension : public TGIFExtension {
public:
    explicit TGIFApplicationExtension(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }

    // 8 bytes of application identifier, 3 of authentication code.
    const TGIFApplicationIdentifier& Identifier() const { return FIdentifier; }
    void SetIdentifier(const TGIFApplicationIdentifier& value) { FIdentifier = value; }
    void SetIdentifier(std::string_view elevenBytes);
    std::vector<TGIFBlock>& Blocks() { return FRawBlocks; }

protected:
    void LoadBody(TStream& stream) override;
    void SaveBody(TStream& stream) override;
    virtual void LoadData(TStream& stream);
    virtual void SaveData(TStream& stream);

private:
    TGIFApplicationIdentifier FIdentifier{};
    std::vector<TGIFBlock> FRawBlocks;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    explicit TGIFUnknownAppExtension(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }
};

// The loop extension ("NETSCAPE2.0" or "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* subImage);
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }

    std::uint16_t Loops() const { return FLoops; }
    void SetLoops(std::uint16_t value) { FLoops = value; }
    std::uint32_t BufferSize() const { return FBufferSize; }
    void SetBufferSize(std::uint32_t value) { FBufferSize = value; }

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) override;

private:
    std::uint16_t FLoops = 0;
    std::uint32_t FBufferSize = 0;
};

// Text in sub-blocks: each string in pieces of at most 255 bytes, then a
// terminator; read back one string per sub-block, cut at a zero byte.
void WriteTextSubBlocks(TStream& stream, const TStringList& text);
void ReadTextSubBlocks(TStream& stream, TStringList& text);
