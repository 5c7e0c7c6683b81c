#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "platform/shell/TWaveData.h"
#include "tests/platform/graphics/bitmap_test_support.h"
#include "tools/make-art/src/ArtPainter.h"
#include "tools/make-art/src/ArtSet.h"
#include "tools/make-art/src/Palette.h"
#include "tools/make-art/src/WizardArt.h"

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What each file must be for the layouts and the programs that use it.
enum TKind { Opaque, Keyed, Jpeg, Wave, Gif };
struct TExpected {
    int Width = 0;   // milliseconds for sounds
    int Height = 0;
    TKind Kind = Opaque;
};

std::map<std::string, TExpected> ExpectedFiles()
{
    std::map<std::string, TExpected> files;
    files["art/StartScreen-ger.jpg"] = {720, 500, Jpeg};
    files["art/StartScreen-eng.jpg"] = {720, 500, Jpeg};
    for (const char* b : {"Mail", "Web", "Thumbs", "Exe", "Pdf", "Language", "Exit"})
        files[std::string("art/StartButton-") + b + ".bmp"] = {64, 64, Keyed};
    for (const char* r : {"Add", "Delete", "Clear", "Fonts", "Background", "Copyright", "LoadText"})
        for (const char* l : {"ger", "eng"})
            files[std::string("art/WizardButton-") + r + "-" + l + ".bmp"] = {104, 28, Opaque};
    for (const char* i : {"Start", "Publish", "MetaTags"})
        files[std::string("art/WizardIcon-") + i + ".bmp"] = {48, 48, Opaque};
    for (const char* p : {"Pictures", "Gallery", "Texts", "Mail", "Thumbs", "Exe", "Pdf"})
        files[std::string("art/Page-") + p + ".jpg"] = {160, 120, Jpeg};
    files["art/Instructions.jpg"] = {740, 400, Jpeg};
    files["art/Kind-Html.bmp"] = {48, 48, Opaque};
    files["art/Kind-Php.bmp"] = {48, 48, Opaque};
    files["art/Preview-Html.jpg"] = {200, 150, Jpeg};
    files["art/Preview-Php.jpg"] = {200, 150, Jpeg};
    for (const char* g : {"Exit", "Save", "Colour", "TurnLeft", "TurnRight"})
        files[std::string("art/ViewerGlyph-") + g + ".bmp"] = {24, 24, Keyed};
    files["art/ViewerGlyph-Info.bmp"] = {28, 28, Keyed};
    files["art/Stampel-Assistant.jpg"] = {520, 330, Jpeg};
    for (const char* b : {"Cancel", "Next", "Back"})
        files[std::string("art/Stampel-") + b + ".bmp"] = {32, 32, Keyed};
    for (const char* p : {"TopLeft", "BottomLeft", "TopRight", "BottomRight", "Centre"})
        files[std::string("art/Stampel-Position-") + p + ".bmp"] = {32, 24, Opaque};
    for (const char* g : {"eye", "mail", "vote", "com"})
        files[std::string("php_temps/") + g + ".gif"] = {16, 16, Gif};
    files["php_temps/votesubmit.gif"] = {60, 20, Gif};
    files["php_temps/sub2.jpg"] = {80, 24, Jpeg};
    files["php_temps/admin.jpg"] = {70, 22, Jpeg};
    files["php_temps/vt_logo.jpg"] = {220, 48, Jpeg};
    files["sounds/PLAY1.wav"] = {50, 0, Wave};
    files["sounds/PLAY2.wav"] = {120, 0, Wave};
    return files;
}

void CheckBitmap(const std::string& bytes, const TExpected& expected)
{
    TBitmap bitmap;
    TMemoryStream stream(bytes);
    bitmap.LoadFromStream(stream);
    ASSERT_EQ(bitmap.Width(), expected.Width);
    ASSERT_EQ(bitmap.Height(), expected.Height);
    EXPECT_EQ(bitmap.BitCount(), 24);
    int keyed = 0;
    std::set<TColor> colours;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TColor c = bitmap.Pixel(x, y);
            keyed += c == Palette::TransparentKey;
            colours.insert(c);
        }
    const int total = bitmap.Width() * bitmap.Height();
    if (expected.Kind == Keyed) {
        // The image button and the bitmap buttons take the bottom-left pixel
        // as the transparent colour; the picture itself must stay visible.
        EXPECT_EQ(bitmap.TransparentColor(), Palette::TransparentKey);
        EXPECT_GT(keyed, 0);
        EXPECT_GT(total - keyed, total / 8);
    } else {
        EXPECT_EQ(keyed, 0);
    }
    // Anti-aliased drawing leaves many shades, not a handful of flat colours.
    EXPECT_GT(colours.size(), 12u);
}

void CheckJpeg(const std::string& bytes, const TExpected& expected)
{
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 3), "\xFF\xD8\xFF");
    TJPEGImage jpeg;
    TMemoryStream stream(bytes);
    jpeg.LoadFromStream(stream);
    EXPECT_EQ(jpeg.Width(), expected.Width);
    EXPECT_EQ(jpeg.Height(), expected.Height);
    EXPECT_FALSE(jpeg.Grayscale());
}

void CheckWave(const std::string& bytes, const TExpected& expected)
{
    const TWaveData wave = ReadWave({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_EQ(wave.Channels, 1u);
    EXPECT_EQ(wave.SampleRate, 22050u);
    EXPECT_EQ(wave.BitsPerSample, 16u);
    const double ms = wave.FrameCount() * 1000.0 / wave.SampleRate;
    EXPECT_NEAR(ms, expected.Width, expected.Width * 0.1);
    int peak = 0;
    std::vector<int> samples;
    for (std::size_t i = 0; i + 1 < wave.Samples.size(); i += 2) {
        const int s = std::int16_t(wave.Samples[i] | (wave.Samples[i + 1] << 8));
        samples.push_back(s);
        peak = std::max(peak, std::abs(s));
    }
    // Audible, never clipped, and silent at both ends so it neither pops nor cracks.
    EXPECT_GT(peak, 3000);
    EXPECT_LT(peak, 32000);
    ASSERT_FALSE(samples.empty());
    EXPECT_LT(std::abs(samples.front()), 200);
    EXPECT_LT(std::abs(samples.back()), 200);
}

// Browsers decode them (the PHP gallery's page test shows them loaded); here
// the frame of the file.
void CheckGif(const std::string& bytes, const TExpected& expected)
{
    ASSERT_GT(bytes.size(), 13u + 768u);
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
    const auto word = [&](std::size_t at) { return std::uint8_t(bytes[at]) | (std::uint8_t(bytes[at + 1]) << 8); };
    EXPECT_EQ(word(6), expected.Width);
    EXPECT_EQ(word(8), expected.Height);
    EXPECT_EQ(bytes.back(), ';');
}

}  // namespace

TEST(MakeArtTest, WritesEveryFileAtItsSizeAndFormat)
{
    const bmptest::TempDir temp;
    const std::filesystem::path folder = temp / "resources";
    WriteArt(MakeArt(), folder);

    const auto expected = ExpectedFiles();
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) written.insert(std::filesystem::relative(entry.path(), folder).generic_string());
    written.erase(FontRecordPath);
    std::set<std::string> names;
    for (const auto& [name, e] : expected) names.insert(name);
    EXPECT_EQ(written, names);

    for (const auto& [name, e] : expected) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadFile(folder / name);
        switch (e.Kind) {
        case Opaque:
        case Keyed: CheckBitmap(bytes, e); break;
        case Jpeg: CheckJpeg(bytes, e); break;
        case Wave: CheckWave(bytes, e); break;
        case Gif: CheckGif(bytes, e); break;
        }
    }
}

TEST(MakeArtTest, CommittedFilesEqualAFreshRun)
{
    const std::filesystem::path resources = std::filesystem::path(GALLERY_SOURCE_DIR) / "resources";
    // Other font files draw other letters: then only the drawing's owner can
    // tell whether the difference is right, by running `ninja art` and looking.
    if (ReadFile(resources / FontRecordPath) != FontRecord())
        GTEST_SKIP() << "the installed fonts differ from those the committed pictures were drawn with";
    for (const TArtFile& file : MakeArt()) {
        SCOPED_TRACE(file.Path);
        EXPECT_TRUE(ReadFile(resources / file.Path) == file.Bytes) << "differs from its program: run `ninja art`";
    }
}

TEST(MakeArtTest, KeyedPicturesBlendIntoTheirBackdropAndNeverShowTheKey)
{
    TArtPainter p(16, 16, Palette::ButtonFace);
    // Drawn in the key colour itself, which must still come out opaque.
    p.FillEllipse({3, 3, 10, 10}, Solid(Palette::TransparentKey));
    const auto bitmap = p.ResolveKeyed(Palette::TransparentKey);
    EXPECT_EQ(bitmap->Pixel(0, 15), Palette::TransparentKey);
    EXPECT_EQ(bitmap->Pixel(15, 0), Palette::TransparentKey);
    EXPECT_NE(bitmap->Pixel(8, 8), Palette::TransparentKey);
    // Edge pixels are mixtures with the backdrop, not with the key.
    bool mixed = false;
    for (int x = 0; x < 8; ++x) {
        const TColor c = bitmap->Pixel(x, 8);
        if (c == Palette::TransparentKey) continue;
        mixed |= GetGValue(c) > 0 && GetGValue(c) < GetGValue(Palette::ButtonFace);
    }
    EXPECT_TRUE(mixed);
}

// The wizard's word buttons stand side by side: a long word must not be set
// smaller than its neighbours.
TEST(MakeArtTest, WizardButtonsSetTheirWordsInOneSize)
{
    // The height of the word's ink right of the symbol: the capitals' height,
    // as none of these words has a descender.
    const auto inkHeight = [](TWizardButton role, bool german) {
        const auto button = DrawWizardButton(role, german);
        int top = button->Height(), bottom = -1;
        for (int y = 0; y < button->Height(); ++y)
            for (int x = 26; x < button->Width() - 6; ++x) {
                const TColor c = button->Pixel(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 140) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        return bottom - top + 1;
    };
    EXPECT_EQ(inkHeight(TWizardButton::Fonts, false), inkHeight(TWizardButton::Add, false));
    EXPECT_EQ(inkHeight(TWizardButton::Fonts, false), inkHeight(TWizardButton::Delete, false));
    EXPECT_EQ(inkHeight(TWizardButton::Fonts, false), inkHeight(TWizardButton::Clear, false));
    EXPECT_EQ(inkHeight(TWizardButton::Fonts, true), inkHeight(TWizardButton::Add, false));
}
