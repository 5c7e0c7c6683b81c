#pragma once

// Shared by the wizard and build tests: the builder's windows made as the
// program makes them, headless, with a scripted user-interaction and shell
// starts recorded only; a private temporary folder; and the test pictures,
// written through the platform's own picture classes.

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "builder/generator/GalleryBuild.h"
#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/dialogs/CompressProgressForm.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/GalleryDoneDialog.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/language/Language.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/MetaHeadText.h"
#include "builder/dialogs/MetaTagsEditor.h"
#include "builder/dialogs/NewFolderDialog.h"
#include "builder/dialogs/OverwritePrompt.h"
#include "builder/dialogs/PleaseWaitForm.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "platform/shell/ShellExecute.h"

namespace buildertest {

using testsupport::TempFolder;

// Smooth colour ramps with a little noise: small files that still decode to
// distinct pictures. `noise` (0..255) makes large files.
inline std::unique_ptr<TBitmap> TestBitmap(int width, int height, unsigned seed = 1, int noise = 16)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, pf24bit);
    unsigned state = seed;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const int n = noise > 0 ? static_cast<int>((state >> 16) % unsigned(noise)) : 0;
            row[3 * x] = static_cast<std::uint8_t>((x * 255 / std::max(width - 1, 1) + n) & 0xFF);
            row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / std::max(height - 1, 1) + n) & 0xFF);
            row[3 * x + 2] = static_cast<std::uint8_t>((seed * 40 + n) & 0xFF);
        }
    }
    return bitmap;
}

inline void WriteJpeg(const std::string& path, int width, int height, unsigned seed = 1, int quality = 90,
                      int noise = 16)
{
    const std::unique_ptr<TBitmap> bitmap = TestBitmap(width, height, seed, noise);
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(quality);
    jpeg.Assign(*bitmap);
    jpeg.SaveToFile(path);
}

inline void WriteBmp(const std::string& path, int width, int height, unsigned seed = 1)
{
    TestBitmap(width, height, seed)->SaveToFile(path);
}

inline void Put16(std::string& s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}

inline void Put32(std::string& s, std::uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A placeable WMF, 96 units per inch, `width` x `height`, white with a
// rectangle from (width/4, height/4) to (3 width/4, 3 height/4) filled with
// `fill` (a COLORREF: red in the low byte).
inline void WriteWmf(const std::string& path, int width, int height, std::uint32_t fill)
{
    std::string records;
    auto record = [&records](unsigned function, std::initializer_list<unsigned> words) {
        Put32(records, static_cast<std::uint32_t>(3 + words.size()));  // size in words
        Put16(records, function);
        for (unsigned w : words)
            Put16(records, w);
    };
    record(0x020B, {0u, 0u});                                                    // SETWINDOWORG y, x
    record(0x020C, {unsigned(height), unsigned(width)});                         // SETWINDOWEXT y, x
    record(0x02FC, {0u, fill & 0xFFFF, fill >> 16, 0u});                         // CREATEBRUSHINDIRECT solid
    record(0x012D, {0u});                                                        // SELECTOBJECT 0
    record(0x041B, {unsigned(height * 3 / 4), unsigned(width * 3 / 4), unsigned(height / 4),
                    unsigned(width / 4)});                                       // RECTANGLE b, r, t, l
    record(0x0000, {});                                                          // EOF
    std::string file;
    // Placeable header: key, handle, bounds, units per inch, reserved, checksum.
    std::string placeable;
    Put32(placeable, 0x9AC6CDD7u);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, 0);
    Put16(placeable, unsigned(width));
    Put16(placeable, unsigned(height));
    Put16(placeable, 96);
    Put32(placeable, 0);
    unsigned checksum = 0;
    for (std::size_t i = 0; i < placeable.size(); i += 2)
        checksum ^= static_cast<unsigned char>(placeable[i]) | static_cast<unsigned char>(placeable[i + 1]) << 8;
    Put16(placeable, checksum);
    file += placeable;
    // METAHEADER: memory type, 9 words, version 3.0, size in words, one object,
    // the largest record, no parameters.
    Put16(file, 1);
    Put16(file, 9);
    Put16(file, 0x0300);
    Put32(file, static_cast<std::uint32_t>(9 + records.size() / 2));
    Put16(file, 1);
    Put32(file, 7);
    Put16(file, 0);
    file += records;
    WriteFileBytes(path, file);
}

// An EMF of `width` x `height` pixels (96 dpi reference), white with the same
// rectangle as WriteWmf.
inline void WriteEmf(const std::string& path, int width, int height, std::uint32_t fill)
{
    std::string records;
    auto record = [&records](std::uint32_t type, std::initializer_list<std::uint32_t> values) {
        Put32(records, type);
        Put32(records, static_cast<std::uint32_t>(8 + 4 * values.size()));
        for (std::uint32_t v : values)
            Put32(records, v);
    };
    record(39, {1u, 0u, fill, 0u});  // CREATEBRUSHINDIRECT handle 1, solid
    record(37, {1u});                // SELECTOBJECT 1
    record(43, {std::uint32_t(width / 4), std::uint32_t(height / 4), std::uint32_t(width * 3 / 4),
                std::uint32_t(height * 3 / 4)});  // RECTANGLE
    record(14, {0u, 16u, 20u});                   // EOF
    const std::uint32_t total = 88 + static_cast<std::uint32_t>(records.size());
    std::string file;
    Put32(file, 1);   // EMR_HEADER
    Put32(file, 88);  // its size
    for (std::uint32_t v : {0u, 0u, std::uint32_t(width - 1), std::uint32_t(height - 1)})
        Put32(file, v);  // bounds, device units
    // The frame in 0.01 mm: 96 pixels are 2540 hundredths of a millimetre.
    for (std::uint32_t v : {0u, 0u, std::uint32_t(width * 2540 / 96), std::uint32_t(height * 2540 / 96)})
        Put32(file, v);
    Put32(file, 0x464D4520u);  // " EMF"
    Put32(file, 0x00010000u);
    Put32(file, total);
    Put32(file, 5);  // records, the header included
    Put16(file, 2);  // handles, the reserved one included
    Put16(file, 0);
    Put32(file, 0);  // no description
    Put32(file, 0);
    Put32(file, 0);  // no palette
    Put32(file, 1920);  // reference device: 1920 x 1080 pixels ...
    Put32(file, 1080);
    Put32(file, 508);  // ... on 508 x 286 mm, 96 dpi
    Put32(file, 286);
    file += records;
    WriteFileBytes(path, file);
}

// The builder's windows in the program's order, a script for every question,
// and shell starts recorded only. Layouts come from the source tree.
class WizardTest : public ::testing::Test {
protected:
    WizardTest()
    {
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        SetShellRecordOnly(true);
        ClearRecordedShellStarts();
        MetaHeadText = std::string(DefaultMetaHeadText);
        App.CreateForm(WizardForm);
        InstallGalleryBuild(*WizardForm);
        App.CreateForm(FolderChooserDialog);
        App.CreateForm(NewFolderDialog);
        App.CreateForm(GalleryDoneDialog);
        App.CreateForm(BackgroundDialog);
        App.CreateForm(FontOptionsDialog);
        App.CreateForm(CopyrightDialog);
        App.CreateForm(CompressProgressForm);
        App.CreateForm(LimitsDialog);
        App.CreateForm(BuildCancelWindow);
        App.CreateForm(OverwritePrompt);
        App.CreateForm(MetaTagsEditor);
        App.CreateForm(PleaseWaitForm);
        App.CreateForm(GalleryKindDialog);
        WizardForm->ConnectDialogs();
        Wizard = WizardForm;
        // The poll's first round would apply the language and clear the
        // design within half a second; tests of that set it back themselves.
        LanguageApplied = true;
    }
    // The open and save dialogs move the current folder, often into a
    // temporary folder that goes with the test.
    ~WizardTest() override
    {
        MetaHeadText = std::string(DefaultMetaHeadText);
        SetCurrentDir(FStartFolder);
    }

    // Puts pictures into the list as the add button does, each with its comment.
    void AddPictures(const std::vector<std::string>& paths, const std::vector<std::string>& comments = {})
    {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            Wizard->ListBox1->Items().Add(paths[i]);
            Wizard->ListBox2->Items().Add(i < comments.size() ? comments[i] : " ");
        }
    }

    std::string FStartFolder = GetCurrentDir();
    TApplication App;
    THeadlessScript Script;
    TForm1* Wizard = nullptr;
};

}  // namespace buildertest
