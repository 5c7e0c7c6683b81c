// A gallery appended to a copy of the real viewer, run without a display: the
// viewer reads its own file and reports what it loaded.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "builder/generator/ExeGalleryFile.h"
#include "shared/GalleryDataBlock.h"
#include "platform/core/Files.h"
#include "tests/shared/program_file_fixtures.h"
#include "tests/support/TempFolder.h"

namespace {

std::string RunReported(const std::filesystem::path& dir, const std::string& programBytes)
{
    const std::string program = (dir / "MyGallery.exe").string();
    WriteExeGallery(program, programBytes);
    const std::string report = (dir / "report.txt").string();
    std::filesystem::remove(report);
    const std::string command = "env -u DISPLAY GLIMRA_REPORT='" + report + "' timeout 60 '" + program + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return FileExists(report) ? ReadFileBytes(report) : "";
}

TEST(BuiltGallery, TheViewerReadsTheBlockBehindItsOwnImage)
{
    const testsupport::TempFolder folder;
    const std::filesystem::path dir = folder.Path();
    const std::string viewer = ReadFileBytes(GLIMRA_PROGRAM);

    EXPECT_EQ(RunReported(dir, viewer), "result no images\npictures 0\nnotes \nmessage No Images\n");

    TGalleryDataBlock block(viewer, "All photos (c) us");
    block.AddPicture(SmallJpeg(40, 30, clRed), false, "Beach");
    block.AddPicture(SmallJpeg(20, 10, clBlue), false, " ");
    EXPECT_EQ(RunReported(dir, block.Bytes()),
              "result loaded\npictures 2\nnotes All photos (c) us\n"
              "picture 0 JPG 40x30 Beach\npicture 1 JPG 20x10  \n");

    block.AddPicture("broken", false, "x");
    const std::string damaged = RunReported(dir, block.Bytes());
    EXPECT_NE(damaged.find("pictures 2\n"), std::string::npos) << damaged;
    EXPECT_NE(damaged.find("message Picture 3 cannot be shown"), std::string::npos) << damaged;
}

}  // namespace
