// Saving a GIF picture to a file: a save the writer refuses halfway leaves
// the file that was there, or none.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "GifTestSupport.h"
#include "gif/GIFUtils.h"
#include "platform/core/Exceptions.h"

namespace {

// One 2 x 1 frame over a two-colour global table.
std::unique_ptr<TGIFImage> TwoPixels()
{
    auto image = std::make_unique<TGIFImage>();
    image->GlobalColorMap().Add(clBlack);
    image->GlobalColorMap().Add(clWhite);
    image->AddFrame(std::make_unique<TGIFSubImage>(image.get()));
    image->Images().Items(0)->SetBounds(0, 0, 2, 1);
    return image;
}

TEST(GifPictureSave, ARefusedSaveLeavesTheOldFileOrNone)
{
    struct TCase {
        const char* Name;
        std::function<std::unique_ptr<TGIFImage>()> Picture;
        const char* Error;
    };
    const TCase cases[] = {
        {"no frames", [] { return std::make_unique<TGIFImage>(); }, "Unsupported GIF version"},
        // Refused in the pixel data, after the header and tables.
        {"a pixel beyond the table",
         [] {
             auto image = TwoPixels();
             image->Images().Items(0)->Data()[1] = 5;
             return image;
         },
         "Color not in color table"},
    };
    const std::string folder = TempFolder("gif-save");
    const std::string old = folder + "/old.gif";
    const std::string fresh = folder + "/fresh.gif";
    const std::string before = SaveGif(*TwoPixels());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBinaryFile(old, before);
        auto image = c.Picture();
        for (const std::string& target : {old, fresh}) {
            try {
                image->SaveToFile(target);
                ADD_FAILURE() << "no error";
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), c.Error);
            }
            EXPECT_FALSE(std::filesystem::exists(target + ".new"));
        }
        EXPECT_EQ(ReadBinaryFile(old), before);
        EXPECT_FALSE(std::filesystem::exists(fresh));
    }
}

}  // namespace
