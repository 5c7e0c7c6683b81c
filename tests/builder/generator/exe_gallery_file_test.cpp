#include "builder/generator/ExeGalleryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Files.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ExeGalleryFile, ExeTargetNaming)
{
    const std::pair<std::string, std::string> cases[] = {
        {"gallery.exe.bak", "gallery.exe.bak"},
        {"gallery", "gallery.exe"},
        {"Gallery.EXE", "Gallery.EXE.exe"},
        {"/home/u/MyGallery", "/home/u/MyGallery.exe"},
        {"/home/u.exe/MyGallery", "/home/u.exe/MyGallery"},
    };
    for (const auto& [chosen, target] : cases)
        EXPECT_EQ(ExeGalleryTarget(chosen), target) << chosen;
    EXPECT_EQ(ExeGalleryCompleteMessage("/t/g.exe"), "Complete! To run the application choose: /t/g.exe!");
}

TEST(ExeGalleryFile, ExeGalleryIsWrittenExecutableAndReplaced)
{
    const testsupport::TempFolder folder;
    const std::filesystem::path dir = folder.Path();
    const std::string target = (dir / "g.exe").string();
    WriteFileBytes(target, "an older and longer file");
    WriteExeGallery(target, std::string("ab\0c", 4));
    EXPECT_EQ(ReadFileBytes(target), std::string("ab\0c", 4));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
}

}  // namespace
