// The converter's pictures, read and checked ahead on workers: the gallery and
// what it skipped are the same for any number of them.

#include <gtest/gtest.h>

#include <regex>

#include "gif/GIFImage.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "tests/pdf/pdf_peers.h"
#include "tests/platform/graphics/jpeg_fixtures.h"
#include "tools/plennix/PdfGallery.h"

namespace {

using jpegtest::LibjpegFile;
using jpegtest::MiddleOfLongestScan;
using jpegtest::SyntheticPicture;

std::string GifFile()
{
    TBitmap bitmap(30, 20, pf24bit);
    bitmap.Fill(clRed);
    TGIFImage gif;
    gif.Assign(bitmap);
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

// The document's bytes with the moment it was written taken out.
std::string WithoutDate(const std::string& pdf)
{
    static const std::regex date(R"(D:[0-9]{14})");
    return std::regex_replace(pdf, date, "D:");
}

TEST(PlennixPictures, AnyNumberOfWorkersWritesTheSameGalleryAndSkipsTheCutPictures)
{
    pdftest::TempFolder folder;
    const std::string baseline = LibjpegFile(SyntheticPicture(80, 60), 85, false, false);
    const std::string progressive = LibjpegFile(SyntheticPicture(60, 80, 2), 85, true, false);
    const std::string grey = LibjpegFile(SyntheticPicture(50, 50, 3), 85, false, true);
    const std::string eoi = "\xFF\xD9";
    const std::string cutEarly = "not a JPEG picture (Premature end of JPEG file)";
    const std::string cutAtMarker = "not a JPEG picture (Corrupt JPEG data: premature end of data segment)";
    const struct {
        std::string name;
        std::string bytes;
        std::string skipped;  // why it is left out; empty for a page
    } files[] = {
        {"0.jpg", baseline, ""},
        {"1.jpg", baseline.substr(0, baseline.size() / 2), cutEarly},
        {"2.jpg", baseline.substr(0, baseline.size() / 2) + eoi, cutAtMarker},
        {"3.jpg", progressive, ""},
        {"4.jpg", progressive.substr(0, MiddleOfLongestScan(progressive)), cutEarly},
        {"5.jpg", progressive.substr(0, MiddleOfLongestScan(progressive)) + eoi, cutAtMarker},
        {"6.jpg", grey, ""},
        {"7.gif", GifFile(), ""},
        {"8.jpg", "not a picture", "not a JPEG picture (Not a JPEG file: starts with 0x6e 0x6f)"},
        {"9.jpg", baseline.substr(0, baseline.size() - 2), cutEarly},
        {"10.jpg", baseline, ""},
    };
    std::vector<TGalleryPicture> pictures;
    std::vector<std::string> skipped;
    for (const auto& f : files) {
        const std::string path = folder.Path() + f.name;
        WriteFileBytes(path, f.bytes);
        pictures.push_back({path, "Comment of " + f.name});
        if (!f.skipped.empty())
            skipped.push_back(path + ": " + f.skipped);
    }
    pictures.push_back({folder.Path() + "missing.jpg", ""});
    TPdfGalleryArguments arguments;
    arguments.Title = "Trip";

    std::string alone;
    for (int workers : {1, 2, 8}) {
        SCOPED_TRACE(workers);
        TMemoryStream pdf;
        const TPdfGalleryResult result = WritePdfGallery(pictures, arguments, pdf, workers);
        EXPECT_EQ(result.Pages, 5);
        ASSERT_EQ(result.Skipped.size(), skipped.size() + 1);
        for (std::size_t i = 0; i < skipped.size(); ++i)
            EXPECT_EQ(result.Skipped[i].substr(0, skipped[i].size()), skipped[i]);
        EXPECT_EQ(result.Skipped.back().rfind(folder.Path() + "missing.jpg: ", 0), 0u) << result.Skipped.back();
        // The whole JPEGs go in as they are.
        for (const std::string* whole : {&baseline, &progressive, &grey})
            EXPECT_NE(pdf.Bytes().find(*whole), std::string::npos);
        if (workers == 1)
            alone = WithoutDate(pdf.Bytes());
        else
            EXPECT_TRUE(jpegtest::SameBytes(WithoutDate(pdf.Bytes()), alone)) << "as one worker writes it";
    }
}

}  // namespace
