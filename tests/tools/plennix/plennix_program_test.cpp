// The converter as a program: the PDF of what it can read, and what it skipped named.

#include <gtest/gtest.h>

#include "gif/GIFImage.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/platform/graphics/jpeg_fixtures.h"
#include "tests/tools/plennix/plennix_fixture.h"

namespace plennixtest {
namespace {

std::string PageCount(const std::string& info)
{
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? "" : info.substr(at, info.find('\n', at) - at);
}

// Red, with a transparent top row.
std::string TransparentGif()
{
    TBitmap bitmap(40, 30, pf24bit);
    bitmap.Fill(clRed);
    for (int x = 0; x < 40; ++x)
        bitmap.SetPixel(x, 0, clBlue);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(clBlue);
    TGIFImage gif;
    gif.Assign(bitmap);
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

TEST(PlennixProgram, BadInputGivesThePdfOfWhatItCanRead)
{
    SKIP_WITHOUT_PEERS();
    const std::string jpeg = jpegtest::LibjpegFile(jpegtest::SyntheticPicture(80, 60), 85, false, false);
    const std::string progressive = jpegtest::LibjpegFile(jpegtest::SyntheticPicture(80, 60), 85, true, false);
    const std::string progressiveCut = progressive.substr(0, jpegtest::MiddleOfLongestScan(progressive)) + "\xFF\xD9";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // name in the work folder, bytes
        std::string pictures;                                   // f.dat lines; "@" stands for the work folder
        const char* comments;                                   // k.dat, or nullptr for none
        const char* arguments;
        const char* pages;                                      // pdfinfo's line, or nullptr for no PDF
        std::vector<std::string> named;                         // in the log
    } cases[] = {
        {"all good", {{"0.jpg", jpeg}, {"1.jpg", jpeg}}, "@0.jpg\r\n@1.jpg\r\n", "a\r\nb\r\n", "1 T A D",
         "Pages:           2", {}},
        {"missing and broken pictures", {{"0.jpg", jpeg}, {"2.jpg", "not a jpeg"}, {"3.gif", "GIF89a"}},
         "@0.jpg\r\n@1.jpg\r\n@2.jpg\r\n@3.gif\r\n", "a\r\nb\r\nc\r\nd\r\n", "1 T A D", "Pages:           1",
         {"@1.jpg: Cannot open", "@2.jpg: not a JPEG picture", "@3.gif: "}},
        {"a JPEG and a transparent GIF", {{"0.jpg", jpeg}, {"1.gif", TransparentGif()}}, "@0.jpg\r\n@1.gif\r\n",
         "a\r\nb\r\n", "1 T A D", "Pages:           2", {}},
        {"JPEG cut in its data", {{"0.jpg", jpeg.substr(0, jpeg.size() / 2)}, {"1.jpg", jpeg}}, "@0.jpg\r\n@1.jpg\r\n",
         "", "1 T A D", "Pages:           1", {"@0.jpg: not a JPEG picture (Premature end of JPEG file)"}},
        {"JPEG cut in its data, end marker after",
         {{"0.jpg", jpeg.substr(0, jpeg.size() / 2) + "\xFF\xD9"}, {"1.jpg", progressiveCut}, {"2.jpg", progressive}},
         "@0.jpg\r\n@1.jpg\r\n@2.jpg\r\n", "", "1 T A D", "Pages:           1",
         {"@0.jpg: not a JPEG picture (Corrupt JPEG data: premature end of data segment)",
          "@1.jpg: not a JPEG picture (Corrupt JPEG data: premature end of data segment)"}},
        {"truncated JPEG header", {{"0.jpg", jpeg.substr(0, 30)}, {"1.jpg", jpeg}}, "@0.jpg\r\n@1.jpg\r\n", "", "1 T A D",
         "Pages:           1", {"@0.jpg: not a JPEG picture"}},
        {"empty k.dat", {{"0.jpg", jpeg}}, "@0.jpg\r\n", "", "1 T A D", "Pages:           1", {}},
        {"no k.dat", {{"0.jpg", jpeg}}, "@0.jpg\r\n", nullptr, "1 T A D", "Pages:           1", {"k.dat could not be read"}},
        {"too few arguments", {{"0.jpg", jpeg}}, "@0.jpg\n", "a\n", "1", "Pages:           1",
         {"The argument line has no title.", "no author", "no date"}},
        {"nothing readable", {{"0.jpg", "x"}}, "@0.jpg\r\n", "a\r\n", "1 T A D", nullptr,
         {"@0.jpg: not a JPEG picture", "No PDF was written"}},
        {"no f.dat", {}, "", "a\r\n", "1 T A D", nullptr, {"f.dat could not be read", "No PDF was written"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlennixRun run;
        auto inWork = [&](std::string text) {
            for (std::size_t at; (at = text.find('@')) != std::string::npos;)
                text.replace(at, 1, run.Work);
            return text;
        };
        for (const auto& [name, bytes] : c.files)
            WriteFileBytes(run.Work + name, bytes);
        if (!c.pictures.empty() || std::string(c.name) != "no f.dat")
            WriteFileBytes(run.Work + "f.dat", inWork(c.pictures));
        if (c.comments)
            WriteFileBytes(run.Work + "k.dat", c.comments);
        std::string output;
        const int status = run.Run(c.arguments, &output);
        const std::string log = run.Log();
        for (const std::string& named : c.named)
            EXPECT_NE(log.find(inWork(named)), std::string::npos) << named << "\n" << log;
        if (!c.named.empty()) {
            EXPECT_NE(output.find("plennix: "), std::string::npos) << "also said on the error output";
        }
        if (!c.pages) {
            EXPECT_EQ(status, 1);
            EXPECT_FALSE(FileExists(run.Pdf()));
            EXPECT_FALSE(FileExists(run.Pdf() + ".part"));
            EXPECT_EQ(run.Opened(), "");
            continue;
        }
        EXPECT_EQ(status, 0) << output;
        ASSERT_TRUE(FileExists(run.Pdf()));
        EXPECT_EQ(pdftest::QpdfProblems(run.Pdf()), "");
        EXPECT_EQ(PageCount(RunCommand("pdfinfo '" + run.Pdf() + "'").Output), c.pages);
        EXPECT_EQ(run.Opened(), run.Pdf() + "\n") << "handed to the desktop's viewer";
        if (std::string(c.name) == "a JPEG and a transparent GIF") {
            // The GIF's page holds its 40 x 30 pixels in colour.
            const std::string images = RunCommand("pdfimages -list '" + run.Pdf() + "'").Output;
            EXPECT_NE(images.find("   2     1 image      40    30  rgb     3   8  image"), std::string::npos) << images;
        }
    }
}

// Started detached by the builder, the converter says where the PDF is when
// no viewer opens it, and that none was written when none was.
TEST(PlennixProgram, WithoutAViewerItSaysWhereThePdfIs)
{
    PlennixRun run;
    run.WithoutViewer();
    WriteFileBytes(run.Work + "0.jpg", jpegtest::LibjpegFile(jpegtest::SyntheticPicture(80, 60), 85, false, false));
    WriteFileBytes(run.Work + "f.dat", run.Work + "0.jpg\r\n");
    WriteFileBytes(run.Work + "k.dat", "a\r\n");
    std::string output;
    EXPECT_EQ(run.Run("1 T A D", &output), 0);
    ASSERT_TRUE(FileExists(run.Pdf()));
    EXPECT_NE(run.Log().find("No viewer could be started for " + run.Pdf()), std::string::npos) << run.Log();
    EXPECT_NE(output.find("plennix: The PDF gallery was written to\r\n" + run.Pdf() +
                          "\r\nbut no PDF viewer could be opened for it."),
              std::string::npos)
        << output;

    WriteFileBytes(run.Work + "0.jpg", "x");
    EXPECT_EQ(run.Run("1 T A D", &output), 1);
    EXPECT_NE(output.find("plennix: No PDF gallery was written: no picture could be read."), std::string::npos)
        << output;
}

}  // namespace
}  // namespace plennixtest
