// The transparent pictures shown by the controls that use them: the image
// button and the bitmap button must leave the key colour unpainted and show
// the drawing itself.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/controls/TApplication.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "shared/Tranbtn.h"
#include "tools/make-art/src/Palette.h"

namespace {

std::string ArtFile(const std::string& name)
{
    return (std::filesystem::path(GALLERY_SOURCE_DIR) / "resources" / "art" / name).string();
}

// Counts the surface's pixels inside `area` that show the key, and those that
// differ from the form's colour.
struct TSurfaceCount {
    int Key = 0;
    int Drawn = 0;
};

TSurfaceCount Count(TForm& form, const TRect& area)
{
    TSurfaceCount count;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x) {
            const TColor c = form.Surface().Pixel(x, y);
            count.Key += c == Palette::TransparentKey;
            count.Drawn += c != ColorToRGB(form.Color());
        }
    return count;
}

}  // namespace

TEST(ArtInControlsTest, StartButtonsShowTheirTileAndNoKey)
{
    for (const char* name : {"Mail", "Web", "Thumbs", "Exe", "Pdf", "Language", "Exit"}) {
        SCOPED_TRACE(name);
        TApplication app;
        TForm* form = new TForm(&app);
        form->SetBounds(0, 0, 120, 120);
        form->SetColor(Palette::StartBackdrop);
        TMTranBtn* button = new TMTranBtn(form);
        button->SetParent(form);
        button->SetBounds(20, 20, 80, 80);
        button->SetBorder(BSnone);
        TBitmap picture;
        picture.LoadFromFile(ArtFile(std::string("StartButton-") + name + ".bmp"));
        button->SetBitMap(picture);
        form->Show();
        form->PaintSurface();

        const TSurfaceCount all = Count(*form, Rect(0, 0, 120, 120));
        EXPECT_EQ(all.Key, 0);
        // The picture's corners are transparent: the form shows through.
        const TRect picture64 = Bounds(28, 28, 64, 64);
        EXPECT_EQ(form->Surface().Pixel(picture64.Left, picture64.Bottom - 1), ColorToRGB(form->Color()));
        EXPECT_EQ(form->Surface().Pixel(picture64.Right - 1, picture64.Top), ColorToRGB(form->Color()));
        // Most of the picture is the tile.
        EXPECT_GT(Count(*form, picture64).Drawn, 64 * 64 * 2 / 3);
        EXPECT_EQ(all.Drawn, Count(*form, picture64).Drawn);
    }
}

TEST(ArtInControlsTest, ViewerGlyphsLeaveTheKeyUnpainted)
{
    for (const char* name : {"Exit", "Save", "Colour", "TurnLeft", "TurnRight", "Info"}) {
        SCOPED_TRACE(name);
        TApplication app;
        TForm* form = new TForm(&app);
        form->SetBounds(0, 0, 80, 60);
        TBitBtn* button = new TBitBtn(form);
        button->SetParent(form);
        button->SetBounds(10, 10, 40, 36);
        TBitmap glyph;
        glyph.LoadFromFile(ArtFile(std::string("ViewerGlyph-") + name + ".bmp"));
        button->SetGlyph(glyph);
        form->Show();
        form->PaintSurface();
        EXPECT_EQ(Count(*form, Rect(0, 0, 80, 60)).Key, 0);
        // The button alone has a handful of colours; the glyph brings its shades.
        std::set<TColor> colours;
        for (int y = 10; y < 46; ++y)
            for (int x = 10; x < 50; ++x) colours.insert(form->Surface().Pixel(x, y));
        EXPECT_GT(colours.size(), 12u);
    }
}
