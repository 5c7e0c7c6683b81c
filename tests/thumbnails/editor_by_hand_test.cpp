// The picture editor through the real program: a JPEG of the list turned a
// quarter to the right and then brightened, by clicks and keys; the editor and
// its preview photographed and compared with the expected pixels; the backup
// copy decoded by djpeg equal to the pixels the platform's own helpers give,
// and the user's file unchanged.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "builder_by_hand.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"

namespace {

using namespace thumbnailstest;

std::unique_ptr<TBitmap> BitmapOf(const TGraphic& graphic)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(graphic);
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

std::unique_ptr<TBitmap> DecodedJpeg(const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteString(bytes);
    stream.SetPosition(0);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(stream);
    return BitmapOf(jpeg);
}

std::string JpegBytes(const TBitmap& bitmap)
{
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    TMemoryStream stream;
    jpeg.SaveToStream(stream);
    return stream.Bytes();
}

// djpeg's reading of a JPEG file, as a bitmap.
std::unique_ptr<TBitmap> DecodedByDjpeg(const std::string& file)
{
    const std::string ppm = file + ".ppm";
    if (std::system(("djpeg -ppm -outfile '" + ppm + "' '" + file + "'").c_str()) != 0)
        return nullptr;
    std::string bytes;
    LoadFileToString(ppm, bytes);
    std::filesystem::remove(ppm);
    int width = 0, height = 0, maximum = 0, header = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &width, &height, &maximum, &header) != 3 || maximum != 255)
        return nullptr;
    ++header;  // the one white-space byte after the maximum
    if (bytes.size() < static_cast<std::size_t>(header) + 3u * width * height)
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + header;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 3)
            bitmap->SetPixel(x, y, static_cast<TColor>(p[0] | p[1] << 8 | p[2] << 16));
    return bitmap;
}

int DifferentPixels(const TBitmap& a, const TBitmap& b, int left = 0, int top = 0)
{
    int different = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (a.Pixel(left + x, top + y) != b.Pixel(x, y))
                ++different;
    return different;
}

class EditorByHand : public BuilderByHand {
protected:
    void Prepare() override
    {
        std::filesystem::create_directory(Folder + "/backups");
        TBitmap bitmap(64, 48, pf24bit);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                bitmap.SetPixel(x, y, static_cast<TColor>((x * 4) | (y * 5) << 8 | (x < 32 ? 0x30 : 0xB0) << 16));
        TJPEGImage jpeg;
        jpeg.Assign(bitmap);
        jpeg.SaveToFile(Photo());
    }

    std::string Photo() const { return Folder + "/photo.jpg"; }
    std::string Backup() const { return Folder + "/backups/BackUpPicture1.jpg"; }

    // The list's first picture, "Edit Picture..", and item `item` (from 0) of its menu.
    void OpenTheEditor(const TWindow& wizard, int item, TWindow& editor)
    {
        Click(wizard, Places().ListRow("WizardForm", "ListBox1", 0));
        Click(wizard, Places().Centre("WizardForm", "Label52"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (int i = 0; i <= item; ++i)
            ASSERT_TRUE(XServer::Tool("key Down"));
        ASSERT_TRUE(XServer::Tool("key Return"));
        ASSERT_TRUE(FindWindow("Edit Picture / Bild bearbeiten\\.\\.", editor)) << "the editor did not show";
    }

    void PressOk(const TWindow& editor)
    {
        Click(editor, Places().Centre("PictureEditorForm", "BitBtn3"));
        ASSERT_TRUE(XServer::WaitUntilGone(editor.Id, 5)) << "the editor stayed open";
    }

    // The preview's pixels in a shot of the editor.
    TPoint PreviewCorner()
    {
        const TPoint centre = Places().Centre("PictureEditorForm", "Image1");
        return {centre.X - 177 / 2, centre.Y - 177 / 2};
    }
};

TEST_F(EditorByHand, AJpegTurnedAndBrightenedGoesToABackupCopy)
{
    std::string original;
    LoadFileToString(Photo(), original);
    TWindow wizard;
    ASSERT_NO_FATAL_FAILURE(OpenAnHtmlWizard(wizard));
    ASSERT_NO_FATAL_FAILURE(AddPicturesThroughTheOpenDialog(wizard, {Photo()}));

    TWindow editor;
    ASSERT_NO_FATAL_FAILURE(OpenTheEditor(wizard, 0, editor));  // "Rotation"
    Shot(editor, "editor-rotation-opened");
    Click(editor, Places().Centre("PictureEditorForm", "BitBtn2"));  // +90
    const auto turnedShot = Shot(editor, "editor-rotation-turned");
    const auto photo = DecodedJpeg(original);
    const auto turnedPreview = RotateBitmapRight(*ResizeBitmap(*photo, 177, 177));
    const TPoint corner = PreviewCorner();
    EXPECT_EQ(DifferentPixels(*turnedShot, *turnedPreview, corner.X, corner.Y), 0);
    ASSERT_NO_FATAL_FAILURE(PressOk(editor));
    ASSERT_TRUE(std::filesystem::exists(Backup())) << "no backup copy";
    const std::string turned = JpegBytes(*RotateBitmapRight(*photo));
    std::string saved;
    LoadFileToString(Backup(), saved);
    EXPECT_TRUE(saved == turned) << "the turned copy differs";

    // The entry is the copy now; brightness +40 in eight steps of 5.
    ASSERT_NO_FATAL_FAILURE(OpenTheEditor(wizard, 1, editor));  // "Brightness / Helligkeit"
    Click(editor, Places().Centre("PictureEditorForm", "TrackBar1"));  // the middle: 0
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(XServer::Tool("key Right"));
    const auto base = DecodedJpeg(turned);
    const auto small = ResizeBitmap(*base, 177, 177);
    auto brightPreview = BitmapOf(*small);
    AdjustBrightness(*brightPreview, *small, 177, 177, 40);
    // The preview follows the track bar after a second.
    const auto brightShot = ShotOnceItShows(editor, "editor-brightness-preview", [&](const TBitmap& shot) {
        return DifferentPixels(shot, *brightPreview, corner.X, corner.Y) == 0;
    });
    EXPECT_EQ(DifferentPixels(*brightShot, *brightPreview, corner.X, corner.Y), 0);
    ASSERT_NO_FATAL_FAILURE(PressOk(editor));
    Shot(wizard, "editor-wizard-after-ok");

    auto bright = BitmapOf(*base);
    AdjustBrightness(*bright, *base, base->Height(), base->Width(), 40);
    const std::string expected = JpegBytes(*bright);
    LoadFileToString(Backup(), saved);
    EXPECT_TRUE(saved == expected) << "the brightened copy differs";
    const auto byDjpeg = DecodedByDjpeg(Backup());
    ASSERT_TRUE(byDjpeg) << "djpeg could not read the copy";
    const auto expectedPixels = DecodedJpeg(expected);
    ASSERT_EQ(byDjpeg->Width(), 48);
    ASSERT_EQ(byDjpeg->Height(), 64);
    EXPECT_EQ(DifferentPixels(*byDjpeg, *expectedPixels), 0);
    EXPECT_FALSE(std::filesystem::exists(Folder + "/backups/BackUpPicture2.jpg"));
    std::string after;
    LoadFileToString(Photo(), after);
    EXPECT_TRUE(after == original) << "the user's picture was written";
}

}  // namespace
