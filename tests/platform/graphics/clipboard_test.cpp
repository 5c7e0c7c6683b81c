#include <gtest/gtest.h>

#include <cstring>

#include "canvas_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/Clipboard.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TGraphic.h"
#include "platform/graphics/TPicture.h"

using namespace canvastest;

TEST(ClipboardTest, RegisteredFormatsKeepTheirNumber)
{
    const UINT gif = RegisterClipboardFormat("GIF Image");
    EXPECT_GE(gif, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("gif image"), gif);
    EXPECT_NE(RegisterClipboardFormat("Another Format"), gif);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
}

TEST(ClipboardTest, MemoryBlocksGoThroughTheClipboardAndAreFreedWithIt)
{
    const UINT gif = RegisterClipboardFormat("GIF Image");
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 6);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), "GIF89a", 6);
    GlobalUnlock(block);
    // Closed: nothing can be placed.
    EXPECT_EQ(SetClipboardData(gif, block), nullptr);
    ASSERT_TRUE(OpenClipboard());
    EXPECT_FALSE(OpenClipboard());  // one opener at a time
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(gif, block), block);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(IsClipboardFormatAvailable(gif));

    ASSERT_TRUE(OpenClipboard());
    auto* data = static_cast<HGLOBAL>(GetClipboardData(gif));
    ASSERT_EQ(data, block);
    EXPECT_EQ(GlobalSize(data), 6u);
    EXPECT_EQ(std::memcmp(GlobalLock(data), "GIF89a", 6), 0);
    GlobalUnlock(data);
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EmptyClipboard();
    CloseClipboard();
    // Emptying freed the block: its handle is no longer known.
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_FALSE(IsClipboardFormatAvailable(gif));

    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, MaxGlobalBytes + 1), nullptr);
}

TEST(ClipboardTest, BitmapsPalettesAndText)
{
    auto picture = Filled(3, 2, clBlue);
    picture->SetPixel(2, 1, clRed);
    Clipboard().SetBitmap(*picture);
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
    TBitmap back;
    ASSERT_TRUE(Clipboard().GetBitmap(back));
    EXPECT_EQ(CountDifferences(back, *picture), 0);

    // A palette may sit beside the bitmap; a handle of the wrong kind may not.
    const PALETTEENTRY entries[1] = {{1, 2, 3, 0}};
    HPALETTE palette = CreatePalette(entries);
    ASSERT_TRUE(OpenClipboard());
    EXPECT_EQ(SetClipboardData(CF_BITMAP, palette), nullptr);
    EXPECT_EQ(SetClipboardData(CF_PALETTE, palette), palette);
    CloseClipboard();
    Clipboard().SetAsText("Zur\xFC" "ck");
    EXPECT_EQ(Clipboard().AsText(), "Zur\xFC" "ck");
    EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
    EXPECT_EQ(GetObjectType(palette), 0u);  // freed by the clipboard
    Clipboard().Clear();
    EXPECT_EQ(Clipboard().AsText(), "");
}

TEST(ClipboardTest, GraphicsGoThroughTheFormatsTheirClassesRegistered)
{
    const UINT format = RegisterClipboardFormat("Clipboard Test Picture");
    TPicture picture;
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(format));
    EXPECT_THROW(picture.LoadFromClipboardFormat(format, nullptr, nullptr), EInvalidGraphic);
    TPicture::RegisterClipboardFormat(format, [] { return std::make_unique<TBitmap>(); });
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(format));
    // A class that knows no clipboard format refuses, and the clipboard is closed again.
    EXPECT_THROW(picture.LoadFromClipboardFormat(format, nullptr, nullptr), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), nullptr);
    TBitmap bitmap(2, 2, pf24bit);
    EXPECT_THROW(Clipboard().Assign(bitmap), EInvalidGraphic);
    ASSERT_TRUE(OpenClipboard());
    CloseClipboard();
    TPicture::UnregisterClipboardFormat(format);
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(format));
}
