#include "platform/core/SharedBytes.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

TEST(SharedBytes, MappedFileSlicesOutliveTheirWhole)
{
    testsupport::TempFolder folder;
    std::string bytes(300000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    WriteFileBytes(folder.Path() + "f.bin", bytes);

    TSharedBytes tail;
    TSharedBytes viewed;
    {
        const TSharedBytes whole = TSharedBytes::MapFile(folder.Path() + "f.bin");
        ASSERT_EQ(whole.View(), bytes);
        tail = whole.Slice(299990);
        viewed = whole.SliceOf(whole.View().substr(1000, 5));
        EXPECT_EQ(viewed.View().data(), whole.View().data() + 1000) << "a part of the bytes is not copied";
        EXPECT_EQ(whole.Slice(400000).Size(), 0u);
        EXPECT_EQ(whole.Slice(10, 5).View(), bytes.substr(10, 5));
    }
    // The file goes, the mapping stays while a slice holds it.
    DeleteFile(folder.Path() + "f.bin");
    EXPECT_EQ(tail.View(), bytes.substr(299990));
    EXPECT_EQ(viewed.View(), bytes.substr(1000, 5));
}

TEST(SharedBytes, OwnedTextsAndForeignViews)
{
    const TSharedBytes text(std::string("hello world"));
    const std::string elsewhere = "world";
    const TSharedBytes copied = text.SliceOf(elsewhere);
    EXPECT_EQ(copied.View(), "world");
    EXPECT_NE(copied.View().data(), text.View().data() + 6);
    EXPECT_EQ(text.SliceOf(text.View().substr(6)).View().data(), text.View().data() + 6);
    EXPECT_TRUE(TSharedBytes().Empty());
}

TEST(SharedBytes, MappingErrorsNameTheFile)
{
    testsupport::TempFolder folder;
    EXPECT_THROW(TSharedBytes::MapFile(folder.Path() + "none"), EFOpenError);
    EXPECT_THROW(TSharedBytes::MapFile(folder.Path()), EFOpenError);
    WriteFileBytes(folder.Path() + "empty", "");
    EXPECT_TRUE(TSharedBytes::MapFile(folder.Path() + "empty").Empty());
}

}  // namespace
