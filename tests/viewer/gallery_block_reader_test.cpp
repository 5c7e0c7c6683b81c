#include "viewer/GalleryBlockReader.h"

#include <gtest/gtest.h>

#include "builder/build/GalleryDataBlock.h"
#include "viewer_test_support.h"

namespace {

TEST(ElfImageSize, MeasuresHeadersAndRefusesBrokenImages)
{
    const std::string program = TinyProgram();
    EXPECT_EQ(ElfImageSize(program), program.size());
    EXPECT_EQ(ElfImageSize(program + "<PICTURES>appended"), program.size());
    EXPECT_EQ(ElfImageSize(program.substr(0, program.size() - 1)), 0u);  // section table cut off
    EXPECT_EQ(ElfImageSize("not a program at all, but long enough to hold a header......"), 0u);
    EXPECT_EQ(ElfImageSize(""), 0u);

    std::string huge = program;
    PutLittle(huge, 40, UINT64_MAX - 10, 8);  // a section table offset that wraps
    EXPECT_EQ(ElfImageSize(huge), 0u);
    std::string lying = program;
    PutLittle(lying, 60, 0xFFFF, 2);  // far more section headers than the file holds
    EXPECT_EQ(ElfImageSize(lying), 0u);
}

TEST(GalleryBlockReader, ReadsWhatTheBuilderWrote)
{
    const std::string jpeg1 = SmallJpeg(8, 6, clRed);
    const std::string jpeg2 = SmallJpeg(4, 4, clBlue);
    TGalleryDataBlock block(TinyProgram(), "Hello\r\nWorld");
    block.AddPicture(jpeg1, false, "Beach");
    block.AddPicture(jpeg2, false, " ");
    block.AddPicture("GIF89a", true, "anim");

    const TGalleryBlock read = ReadProgramGallery(block.Bytes());
    EXPECT_TRUE(read.Found);
    EXPECT_EQ(read.Error, "");
    EXPECT_EQ(read.Notes, "Hello\r\nWorld");
    ASSERT_EQ(read.Pictures.size(), 3u);
    EXPECT_EQ(read.Pictures[0].Bytes, jpeg1);
    EXPECT_EQ(read.Pictures[0].Comment, "Beach");
    EXPECT_EQ(read.Pictures[1].Bytes, jpeg2);
    EXPECT_EQ(read.Pictures[1].Comment, " ");
    EXPECT_FALSE(read.Pictures[1].Gif());
    EXPECT_TRUE(read.Pictures[2].Gif());
    EXPECT_EQ(read.Pictures[2].Bytes, "GIF89a");
}

TEST(GalleryBlockReader, BareProgramAndEmptyNotes)
{
    // The tags inside the program's own code are never taken for a gallery.
    const TGalleryBlock bare = ReadProgramGallery(TinyProgram());
    EXPECT_FALSE(bare.Found);
    EXPECT_TRUE(bare.Pictures.empty());
    EXPECT_EQ(bare.Error, "");

    const TGalleryBlock empty = ReadProgramGallery(TGalleryDataBlock(TinyProgram(), "").Bytes());
    EXPECT_TRUE(empty.Found);
    EXPECT_EQ(empty.Notes, "");
    EXPECT_TRUE(empty.Pictures.empty());
    EXPECT_EQ(empty.Error, "");
}

TEST(GalleryBlockReader, DamagedBlocksGiveThePicturesBeforeTheDamage)
{
    const std::string good = "AAAA<PEND>JPG<FORMAT>one<KOMM>";
    const std::string head = "<PICTURES> <LICENCENOTES>";
    struct Case {
        std::string name;
        std::string block;
        std::size_t pictures;
        std::string errorPart;
    };
    const Case cases[] = {
        {"cut inside picture 2", head + good + "BBB", 1, "picture 2 is cut off"},
        {"cut inside a tag", head + good + "BBB<PE", 1, "picture 2 is cut off"},
        {"format end missing", head + good + "BBB<PEND>JPG", 1, "format of picture 2"},
        {"comment end missing", head + good + "BBB<PEND>JPG<FORMAT>two", 1, "comment of picture 2"},
        {"unknown format word", head + "BBB<PEND>PNG<FORMAT>two<KOMM>" + good, 0, "picture 1 has no known format"},
        {"lower-case format word", head + good + "BBB<PEND>jpg<FORMAT>two<KOMM>", 1, "no known format"},
        {"notes end missing", "<PICTURES>notes without end" + good, 0, "end of its notes"},
        {"empty picture is left to the decoder", head + "<PEND>JPG<FORMAT>c<KOMM>", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TGalleryBlock read = ReadGalleryBlock(c.block);
        EXPECT_TRUE(read.Found);
        EXPECT_EQ(read.Pictures.size(), c.pictures);
        if (c.errorPart.empty()) {
            EXPECT_EQ(read.Error, "");
        } else {
            EXPECT_NE(read.Error.find(c.errorPart), std::string::npos) << read.Error;
        }
        if (c.pictures > 0 && c.name != "empty picture is left to the decoder") {
            EXPECT_EQ(read.Pictures[0].Bytes, "AAAA");
        }
    }
    EXPECT_FALSE(ReadGalleryBlock("<PICTURE").Found);
    EXPECT_NE(ReadProgramGallery("junk").Error, "");
}

}  // namespace
