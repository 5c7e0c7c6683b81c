// How fast the plug-in stamps: 24 pictures of 4000 x 3000 through the
// program's own batch run (its windows made headless, as the program makes
// them), once with a text mark and once with a picture mark at 50 per cent,
// against ImageMagick's composite doing the same two marks on the same
// pictures in one script run (the marks as pictures, since composite takes
// pictures). Both read and write JPEG at quality 90. The last line gives the
// ratio of the two times.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/Files.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "watermark/StampelWindows.h"
#include "watermark/WatermarkStamp.h"
#include "watermark/WatermarkWindow.h"

namespace {

constexpr int Pictures = 24;
constexpr int Width = 4000;
constexpr int Height = 3000;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Gradients with noise, like a photograph.
void WritePicture(const std::string& path, unsigned seed)
{
    TBitmap bitmap(Width, Height, pf24bit);
    unsigned state = seed * 2654435761u + 1u;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 25) - 12;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(x * 255 / Width + noise, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y * 255 / Height + noise, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(int(seed * 9 % 255) + noise, 0, 255));
        }
    }
    WriteFileBytes(path, EncodeJpeg(bitmap, 90));
}

double StampelBatch(const std::string& in, const std::string& out, const std::string& markFile)
{
    TApplication application;
    THeadlessScript script;
    CreateStampelWindows(application);
    TForm1& w = *WatermarkWindow;
    std::vector<std::string> list;
    for (int i = 0; i < Pictures; ++i) list.push_back(in + "p" + std::to_string(i) + ".jpg");
    w.SetPictureList(list);
    w.Label21->SetCaption(out);
    w.RadioButton1->SetChecked(true);  // full size: no preview sizing in between
    const auto start = Clock::now();
    // The text mark, large, at the bottom right.
    w.Label1->SetCaption("(c) Norvale Photography 2026");
    TFont font = w.Label1->Font();
    font.SetSize(72);
    w.Label1->SetFont(font);
    w.RadioButton6->SetChecked(true);
    script.AnswerMessage(IDOK, "complete!");
    w.RunBatch();
    // The picture mark at 50 per cent, in the centre.
    script.AnswerOpen({markFile});
    w.BitBtn2Click(nullptr);
    w.RadioButton7->SetChecked(true);
    // Its pictures replace those of the text mark.
    script.AnswerMessage(IDYES, "already there").AnswerMessage(IDOK, "complete!");
    w.RunBatch();
    return SecondsSince(start);
}

double ImageMagick(const std::string& in, const std::string& out, const std::string& textMark,
                   const std::string& markFile)
{
    std::string script = "set -e\n";
    for (int i = 0; i < Pictures; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        script += "composite -compose Lighten -gravity southeast '" + textMark + "' '" + in + name +
                  "' -quality 90 '" + out + name + "'\n";
        script += "composite -dissolve 50 -gravity center '" + markFile + "' '" + in + name + "' -quality 90 '" +
                  out + name + "'\n";
    }
    const std::string file = out + "run.sh";
    std::ofstream(file) << script;
    const auto start = Clock::now();
    if (std::system(("sh '" + file + "'").c_str()) != 0)
        throw std::runtime_error("composite failed");
    return SecondsSince(start);
}

}  // namespace

int main()
{
    try {
        if (std::system("composite -version > /dev/null 2>&1") != 0) {
            std::fprintf(stderr, "bench_watermark: ImageMagick's composite is missing\n");
            return 1;
        }
        const std::string dir = (std::filesystem::temp_directory_path() / ("bench-watermark-" + std::to_string(getpid())))
                                    .string() + "/";
        for (const char* sub : {"in", "ours", "peer"}) std::filesystem::create_directories(dir + sub);
        SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
        std::printf("writing %d pictures of %d x %d\n", Pictures, Width, Height);
        for (int i = 0; i < Pictures; ++i) WritePicture(dir + "in/p" + std::to_string(i) + ".jpg", unsigned(i + 1));
        const std::string markFile = dir + "mark.bmp";
        TBitmap mark(600, 300, pf24bit);
        mark.Canvas().Brush().SetColor(RGB(200, 40, 40));
        mark.Canvas().FillRect({0, 0, 600, 300});
        mark.Canvas().Brush().SetColor(RGB(250, 250, 250));
        mark.Canvas().FillRect({100, 75, 500, 225});
        mark.SaveToFile(markFile);
        const std::string textMark = dir + "text.bmp";
        DrawTextMark("(c) Norvale Photography 2026", "Arial Black", 72, 0)->SaveToFile(textMark);

        const double ours = StampelBatch(dir + "in/", dir + "ours/", markFile);
        std::printf("stampel batch, text and picture mark: %.2f s\n", ours);
        if (FindFiles(dir + "ours", "*.jpg").size() != Pictures)
            throw std::runtime_error("the batch did not write every picture");
        const double peer = ImageMagick(dir + "in/", dir + "peer/", textMark, markFile);
        std::printf("imagemagick composite, the same two marks: %.2f s\n", peer);
        std::filesystem::remove_all(dir);
        std::printf("stamp/imagemagick: %.2f\n", ours / peer);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_watermark: %s\n", e.what());
        return 1;
    }
    return 0;
}
