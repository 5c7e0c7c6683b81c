#pragma once

// The plug-in's three windows made as the program makes them, headless, with
// the start arguments given, a scripted user-interaction and a temporary
// folder of test pictures.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Program.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "tests/support/TempFolder.h"
#include "watermark/GallerySelectDialog.h"
#include "watermark/StampelWindows.h"
#include "watermark/WatermarkAssistant.h"
#include "watermark/WatermarkWindow.h"

namespace stampeltest {

// A mid-grey picture with a little pattern, so stamping shows and JPEG keeps it.
inline std::unique_ptr<TBitmap> GreyPicture(int width, int height, int level = 100)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<std::uint8_t>(level + (x / 8 + y / 8) % 2 * 4);
    }
    return bitmap;
}

inline void WriteJpeg(const std::string& path, int width, int height, int level = 100)
{
    TJPEGImage jpeg;
    jpeg.Assign(*GreyPicture(width, height, level));
    jpeg.SaveToFile(path);
}

inline std::unique_ptr<TBitmap> ReadPicture(const std::string& path)
{
    auto bitmap = std::make_unique<TBitmap>();
    if (path.find(".jpg") != std::string::npos) {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(path);
        bitmap->Assign(jpeg.Bitmap());
    } else {
        bitmap->LoadFromFile(path);
    }
    return bitmap;
}

inline std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StampelWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = Temp.Path();
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        // An open dialog moves the current folder into the temporary one.
        StartFolder = std::filesystem::current_path();
    }
    void TearDown() override
    {
        Windows.reset();
        InitProgram(0, nullptr);
        std::filesystem::current_path(StartFolder);
        std::error_code error;
        std::filesystem::permissions(Folder, std::filesystem::perms::owner_all, error);
    }
    // Makes the windows with these start arguments.
    void Start(std::vector<std::string> arguments)
    {
        std::vector<char*> argv{const_cast<char*>("stampel.exe")};
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        InitProgram(static_cast<int>(argv.size() - 1), argv.data());
        Windows = std::make_unique<TApplication>();
        CreateStampelWindows(*Windows);
    }
    // The remote start's second step, as the dialog's timer runs it.
    void RunRemoteTimer()
    {
        ASSERT_TRUE(GallerySelectDialog->Timer1->Enabled());
        GallerySelectDialog->Timer1->OnTimer(GallerySelectDialog->Timer1);
    }
    std::vector<std::string> PictureList() const
    {
        std::vector<std::string> list;
        for (int i = 0; i < WatermarkWindow->ListBox1->Items().Count(); ++i)
            list.push_back(WatermarkWindow->ListBox1->Items().Strings(i));
        return list;
    }

    testsupport::TempFolder Temp;  // removed after TearDown gave its folder back its rights
    std::string Folder;
    std::filesystem::path StartFolder;
    THeadlessScript Script;
    std::unique_ptr<TApplication> Windows;
};

}  // namespace stampeltest
