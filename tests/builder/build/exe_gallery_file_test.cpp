#include "builder/build/ExeGalleryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/Files.h"

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
    const auto dir = std::filesystem::temp_directory_path() / ("gdb_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "g.exe").string();
    WriteFileBytes(target, "an older and longer file");
    WriteExeGallery(target, std::string("ab\0c", 4));
    EXPECT_EQ(ReadFileBytes(target), std::string("ab\0c", 4));
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    std::filesystem::remove_all(dir);
}

}  // namespace
