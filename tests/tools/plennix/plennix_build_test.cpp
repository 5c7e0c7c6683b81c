// A PDF gallery built through the wizard from a greyscale and a CMYK photo,
// converted by the real converter as the shell would start it, read back by
// qpdf and poppler.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/shell/ShellExecute.h"
#include "shared/veskotools.h"
#include "tests/builder/road_fixture.h"
#include "tests/platform/graphics/jpeg_fixtures.h"
#include "tests/tools/plennix/plennix_fixture.h"

namespace plennixtest {
namespace {

using jpegtest::Pnm;

// Smooth and never near white, so the picture stands out of the page.
Pnm Photo(int width, int height)
{
    Pnm p{width, height, 3, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels += {static_cast<char>(30 + x * 170 / width), static_cast<char>(30 + y * 170 / height),
                         static_cast<char>(110 + 80 * std::sin((x + 2 * y) / 40.0))};
    return p;
}

struct TBox {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

bool Inked(const Pnm& page, int x, int y)
{
    const char* p = &page.pixels[(std::size_t(y) * page.width + x) * 3];
    return static_cast<unsigned char>(p[0]) < 240 || static_cast<unsigned char>(p[1]) < 240 ||
           static_cast<unsigned char>(p[2]) < 240;
}

// The longest inked run down the middle column, then across its middle row.
TBox PictureBox(const Pnm& page)
{
    auto longest = [](int count, auto inked, int& start) {
        int best = 0, run = 0;
        for (int i = 0; i < count; ++i) {
            run = inked(i) ? run + 1 : 0;
            if (run > best) {
                best = run;
                start = i - run + 1;
            }
        }
        return best;
    };
    TBox box;
    box.Height = longest(page.height, [&](int y) { return Inked(page, page.width / 2, y); }, box.Top);
    const int middle = box.Top + box.Height / 2;
    box.Width = longest(page.width, [&](int x) { return Inked(page, x, middle); }, box.Left);
    return box;
}

// Mean difference of the box against the picture, inside a border of 2 pixels.
double Difference(const Pnm& page, const TBox& box, const Pnm& picture)
{
    double sum = 0;
    long count = 0;
    for (int y = 2; y < box.Height - 2 && y < picture.height; ++y)
        for (int x = 2; x < box.Width - 2 && x < picture.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int a = static_cast<unsigned char>(page.pixels[((std::size_t(box.Top + y)) * page.width + box.Left + x) * 3 + c]);
                const int b = picture.channels == 1
                                  ? static_cast<unsigned char>(picture.pixels[std::size_t(y) * picture.width + x])
                                  : static_cast<unsigned char>(picture.pixels[(std::size_t(y) * picture.width + x) * 3 + c]);
                sum += std::abs(a - b);
                ++count;
            }
    return count ? sum / static_cast<double>(count) : 1e9;
}

class PlennixBuildTest : public buildertest::RoadTest {};

TEST_F(PlennixBuildTest, AGalleryOfAGreyAndACmykPhoto)
{
    SKIP_WITHOUT_PEERS();
    const Pnm colour = Photo(400, 300);
    const Pnm tall = Photo(300, 400);
    const std::string grey = In.Path() + "grey.jpg";
    const std::string cmyk = In.Path() + "cmyk.jpg";
    WriteFileBytes(grey, jpegtest::LibjpegFile(tall, 92, false, true));
    WriteFileBytes(In.Path() + "colour.ppm", "P6\n400 300\n255\n" + colour.pixels);
    if (RunCommand("convert '" + In.Path() + "colour.ppm' -colorspace CMYK -quality 92 '" + cmyk + "'").Status != 0)
        GTEST_SKIP() << "ImageMagick's convert is missing";

    const std::string work = ProgramFolder() + "PDFIMAGES/";
    ForceDirectories(work);
    std::filesystem::copy_file(PLENNIX_PROGRAM, work + "plennix.exe");
    ChoosePdf();
    AddPictures({grey, cmyk}, {"A grey morning (Sylt)", "Harbour in \x80 and CMYK"});
    Wizard->Edit26->SetText("My Trip");
    Wizard->Edit25->SetText("A. B.");
    Wizard->Edit27->SetText("01.02.2003");
    RunBuild();

    const auto starts = RecordedShellStarts();
    ASSERT_EQ(starts.size(), 1u);
    ASSERT_EQ(starts[0].Target, TShellTarget::Program);
    pdftest::TempFolder bin;
    WriteFileBytes(bin.Path() + "xdg-open", "#!/bin/sh\necho \"$@\" > '" + bin.Path() + "opened'\n");
    MakeExecutable(bin.Path() + "xdg-open");
    std::string command = "PATH='" + bin.Path() + "':\"$PATH\" '" + starts[0].Program + "'";
    for (const std::string& argument : starts[0].Arguments)
        command += " '" + argument + "'";
    const auto run = RunCommand(command);
    ASSERT_EQ(run.Status, 0) << run.Output;

    const std::string pdf = work + "gallery.pdf";
    EXPECT_EQ(ReadFileBytes(bin.Path() + "opened"), pdf + "\n");
    EXPECT_EQ(pdftest::QpdfProblems(pdf), "");
    const std::string info = RunCommand("pdfinfo '" + pdf + "'").Output;
    for (const char* line : {"Title:           My Trip", "Author:          A. B.", "Subject:         01.02.2003",
                             "Pages:           2", "Page size:       596 x 842 pts (A4)"})
        EXPECT_NE(info.find(line), std::string::npos) << line << "\n" << info;
    const std::string images = RunCommand("pdfimages -list '" + pdf + "'").Output;
    EXPECT_NE(images.find("   1     0 image     300   400  gray    1   8  jpeg"), std::string::npos) << images;
    EXPECT_NE(images.find("   2     1 image     400   300  cmyk    4   8  jpeg"), std::string::npos) << images;
    const std::string text = RunCommand("pdftotext -enc UTF-8 '" + pdf + "' -").Output;
    for (const char* shown : {"My Trip", "A grey morning (Sylt)", "Harbour in \xE2\x82\xAC and CMYK", "A. B., 01.02.2003"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;

    // The pages as a person sees them, kept beside the test program.
    std::string looked;
    AppPath(looked);
    looked += "pdf-pages/";
    ForceDirectories(looked);
    RunCommand("pdftoppm -png -r 50 '" + pdf + "' '" + looked + "gallery'");

    TBitmap greyDecoded;
    bool isGrey = false;
    DecodeJpeg(ReadFileBytes(grey), greyDecoded, isGrey);
    Pnm greyPixels{300, 400, 1, {}};
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 300; ++x)
            greyPixels.pixels += static_cast<char>(GetRValue(greyDecoded.Pixel(x, y)));
    const struct {
        int page;
        const Pnm& picture;
        double tolerance;
    } pages[] = {{1, greyPixels, 4}, {2, colour, 30}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        const std::string prefix = Out.Path() + "page" + std::to_string(p.page);
        RunCommand("pdftoppm -r 72 -singlefile -f " + std::to_string(p.page) + " -l " + std::to_string(p.page) + " '" +
                   pdf + "' '" + prefix + "'");
        const Pnm page = jpegtest::ParsePnm(ReadFileBytes(prefix + ".ppm"));
        const TBox box = PictureBox(page);
        EXPECT_NEAR(box.Width, p.picture.width, 1);
        EXPECT_NEAR(box.Height, p.picture.height, 1);
        EXPECT_NEAR(box.Left + box.Width / 2, 298, 1) << "centred across the page";
        EXPECT_LT(Difference(page, box, p.picture), p.tolerance);
    }
}

}  // namespace
}  // namespace plennixtest
