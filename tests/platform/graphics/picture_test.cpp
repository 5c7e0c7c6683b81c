#include "platform/graphics/TPicture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "bitmap_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

using namespace bmptest;

// A graphic that only counts its loads, for registry tests.
class CountingGraphic : public TGraphic {
public:
    static inline int Loads = 0;
    const char* ClassName() const override { return "TCountingGraphic"; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<CountingGraphic>(); }
    int Width() const override { return 3; }
    int Height() const override { return 2; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return false; }
    void LoadFromStream(TStream&) override { ++Loads; }
    void SaveToStream(TStream&) override {}
    void Draw(TCanvas&, const TRect&) override {}

protected:
    bool AssignFrom(const TGraphic& source) override { return dynamic_cast<const CountingGraphic*>(&source); }
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A graphic whose encoder writes part of its bytes, then fails, or not.
class HalfSavedGraphic : public CountingGraphic {
public:
    bool Fails = true;
    void SaveToStream(TStream& stream) override
    {
        stream.WriteString("first half");
        if (Fails) throw EInvalidGraphic("Color not in color table");
        stream.WriteString(" and the rest");
    }
};

TEST(PictureRegistry, BuiltInFormatsAnyCase)
{
    for (const char* ext : {"bmp", "BMP", ".Bmp", "jpg", "JPG", ".jpeg", "JPE"}) {
        SCOPED_TRACE(ext);
        EXPECT_TRUE(TPicture::IsFileFormatRegistered(ext));
    }
    for (const char* ext : {"", "xyz", "bm", "jpgx"}) {
        SCOPED_TRACE(ext);
        EXPECT_FALSE(TPicture::IsFileFormatRegistered(ext));
    }
}

TEST(PictureRegistry, LoadPicksTheClassByExtension)
{
    TempDir dir;
    TBitmap bitmap(3, 2, pf24bit);
    bitmap.SetPixel(0, 0, clRed);
    bitmap.SaveToFile(dir / "UPPER.BMP");

    TPicture picture;
    picture.LoadFromFile(dir / "UPPER.BMP");
    auto* loaded = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Pixel(0, 0), clRed);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);

    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    jpeg.SaveToFile(dir / "photo.JpEg");
    picture.LoadFromFile(dir / "photo.JpEg");
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 3);
}

TEST(PictureRegistry, RegisteredFormatIsUsedAndCanBeRemoved)
{
    TempDir dir;
    WriteFile(dir / "a.Cnt", "x");
    TPicture::RegisterFileFormat("CNT", "Counting", [] { return std::make_unique<CountingGraphic>(); });
    EXPECT_TRUE(TPicture::IsFileFormatRegistered(".cnt"));
    EXPECT_NE(TPicture::GraphicFilter().find("Counting (*.cnt)|*.cnt"), std::string::npos);

    CountingGraphic::Loads = 0;
    TPicture picture;
    picture.LoadFromFile(dir / "a.Cnt");
    EXPECT_EQ(CountingGraphic::Loads, 1);
    EXPECT_NE(dynamic_cast<CountingGraphic*>(picture.Graphic()), nullptr);

    // A second registration of the extension replaces the first in its place.
    const std::size_t at = TPicture::GraphicFilter().find("|Counting");
    TPicture::RegisterFileFormat("cnt", "Bitmap under another name", [] { return std::make_unique<TBitmap>(); });
    EXPECT_EQ(TPicture::GraphicFilter().find("Counting"), std::string::npos);
    EXPECT_EQ(TPicture::GraphicFilter().find("|Bitmap under another name"), at);
    TBitmap(2, 2).SaveToFile(dir / "b.cnt");
    picture.LoadFromFile(dir / "b.cnt");
    EXPECT_EQ(CountingGraphic::Loads, 1);
    EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);

    TPicture::UnregisterFileFormat(".CNT");
    EXPECT_FALSE(TPicture::IsFileFormatRegistered("cnt"));
    EXPECT_THROW(picture.LoadFromFile(dir / "a.Cnt"), EInvalidGraphic);
}

TEST(PictureRegistry, UnknownExtension)
{
    TPicture picture;
    for (auto [name, message] : {std::pair{"photo.XYZ", "Unknown picture file extension (.xyz)"},
                                 std::pair{"folder.d/noext", "Unknown picture file extension (.)"}}) {
        SCOPED_TRACE(name);
        try {
            picture.LoadFromFile(name);
            FAIL() << "no exception";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(PictureRegistry, GraphicFilterListsEveryFormat)
{
    const std::string filter = TPicture::GraphicFilter();
    EXPECT_EQ(filter.rfind("All (*.jpg;*.jpeg;*.jpe;*.bmp", 0), 0u) << filter;
    EXPECT_NE(filter.find(")|*.jpg;*.jpeg;*.jpe;*.bmp"), std::string::npos) << filter;
    EXPECT_NE(filter.find("|JPEG Image File (*.jpg)|*.jpg|"), std::string::npos) << filter;
    EXPECT_NE(filter.find("|Bitmaps (*.bmp)|*.bmp"), std::string::npos) << filter;
}

TEST(Picture, FailedLoadKeepsTheOldGraphic)
{
    TempDir dir;
    WriteFile(dir / "bad.bmp", "BMxx");
    TPicture picture;
    picture.SetGraphic(std::make_unique<TBitmap>(4, 4));
    try {
        picture.LoadFromFile(dir / "bad.bmp");
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).rfind(dir / "bad.bmp" + ": ", 0), 0u) << e.what();
    }
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_THROW(picture.LoadFromFile(dir / "missing.bmp"), EFOpenError);
}

TEST(Picture, SetGraphicCopiesAndNullEmpties)
{
    TBitmap bitmap(2, 2);
    TPicture picture;
    EXPECT_TRUE(picture.Empty());
    picture.SetGraphic(&bitmap);
    ASSERT_NE(picture.Graphic(), &bitmap);
    bitmap.SetSize(5, 5);
    EXPECT_EQ(picture.Width(), 2);
    picture.SetGraphic(static_cast<const TGraphic*>(nullptr));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
}

TEST(Picture, BitmapReplacesAnotherGraphic)
{
    TPicture picture;
    picture.SetGraphic(std::make_unique<CountingGraphic>());
    TBitmap& bitmap = picture.Bitmap();
    EXPECT_EQ(picture.Graphic(), &bitmap);
    EXPECT_TRUE(bitmap.Empty());
    // A bitmap graphic is given as it is.
    bitmap.SetSize(3, 3);
    EXPECT_EQ(&picture.Bitmap(), &bitmap);
    EXPECT_EQ(picture.Width(), 3);
}

TEST(Picture, ChangesOfTheGraphicReachThePicture)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &picture);
        ++changes;
    };
    picture.Bitmap().SetSize(2, 2);
    EXPECT_EQ(changes, 2);  // the new bitmap, then its size
    TPicture other;
    other.Assign(picture);
    picture.Bitmap().SetSize(4, 4);
    EXPECT_EQ(other.Width(), 2);  // assigning copied the graphic
    other.Assign(other);
    EXPECT_EQ(other.Width(), 2);
}

TEST(Picture, SaveToFileWritesTheGraphic)
{
    TempDir dir;
    TPicture picture;
    picture.SaveToFile(dir / "nothing.bmp");  // an empty picture writes nothing
    EXPECT_FALSE(std::ifstream(dir / "nothing.bmp").good());
    picture.Bitmap().SetSize(3, 1);
    picture.SaveToFile(dir / "b.bmp");
    TBitmap loaded;
    loaded.LoadFromFile(dir / "b.bmp");
    EXPECT_EQ(loaded.Width(), 3);
}

TEST(Picture, AFailedSaveLeavesTheOldFileOrNone)
{
    TempDir dir;
    HalfSavedGraphic graphic;
    WriteFile(dir / "old.gif", "the old picture, longer than the new one");
    for (const std::string name : {"old.gif", "new.gif"}) {
        SCOPED_TRACE(name);
        const bool existed = std::ifstream(dir / name).good();
        try {
            graphic.SaveToFile(dir / name);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(std::string(e.what()), dir / name + ": Color not in color table");
        }
        EXPECT_EQ(std::ifstream(dir / name).good(), existed);
        EXPECT_FALSE(std::ifstream(dir / (name + ".new")).good());
    }
    EXPECT_EQ(ReadFile(dir / "old.gif"), "the old picture, longer than the new one");
    graphic.Fails = false;
    graphic.SaveToFile(dir / "old.gif");
    EXPECT_EQ(ReadFile(dir / "old.gif"), "first half and the rest");
}

}  // namespace
