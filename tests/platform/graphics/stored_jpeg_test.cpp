// The hidden full pictures keep only their bytes; whatever shows or copies
// them must get the decoded picture.

#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/StoredJpeg.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/support/SmallJpeg.h"

namespace {

TEST(StoredJpeg, KeepsTheBytesAndGivesTheDecodedPictureToCopies)
{
    const std::string bytes = SmallJpeg(40, 30, clRed);
    TBitmap expected;
    bool grayscale = false;
    DecodeJpeg(bytes, expected, grayscale);

    TStoredJpeg stored(bytes, 40, 30);
    EXPECT_EQ(stored.Width(), 40);
    EXPECT_EQ(stored.Height(), 30);
    EXPECT_THROW(stored.SetWidth(10), EInvalidGraphicOperation);

    TBitmap asBitmap;
    asBitmap.Assign(stored);
    TJPEGImage asJpeg;
    asJpeg.Assign(stored);
    const std::unique_ptr<TGraphic> clone = stored.Clone();
    TBitmap fromClone;
    fromClone.Assign(*clone);
    EXPECT_EQ(asJpeg.Data(), bytes);
    for (const TBitmap* copy : std::initializer_list<const TBitmap*>{&asBitmap, &asJpeg.Bitmap(), &fromClone}) {
        ASSERT_EQ(copy->Width(), 40);
        ASSERT_EQ(copy->Height(), 30);
        for (int y = 0; y < 30; y += 5)
            for (int x = 0; x < 40; x += 5)
                ASSERT_EQ(copy->Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
    }

    TMemoryStream saved;
    stored.SaveToStream(saved);
    EXPECT_EQ(saved.Size(), static_cast<std::int64_t>(bytes.size()));
}

TEST(StoredJpeg, LoadingBadBytesFailsAndKeepsThePicture)
{
    TStoredJpeg stored(SmallJpeg(20, 10, clBlue), 20, 10);
    TMemoryStream junk(std::string("not a jpeg"));
    EXPECT_THROW(stored.LoadFromStream(junk), EInvalidGraphic);
    EXPECT_EQ(stored.Width(), 20);
    EXPECT_EQ(stored.Decoded()->Height(), 10);

    TMemoryStream good(SmallJpeg(8, 6, clLime));
    stored.LoadFromStream(good);
    EXPECT_EQ(stored.Width(), 8);
    EXPECT_EQ(stored.Height(), 6);
}

}  // namespace
