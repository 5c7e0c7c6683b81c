// How fast an EXE gallery of 100 pictures of 2000 x 1500 loads: the real
// viewer program, run headless with GLIMRA_REPORT, from its start until it
// has made every thumbnail button and written its report, against libjpeg
// called directly decoding the same 100 pictures once each (accurate integer
// DCT, fancy upsampling, RGB out, as the picture class decodes). The viewer
// waits one second on its start timer before it reads anything; that wait is
// taken off its time. The last lines give the ratio of the two medians: the
// viewer's wall time, decoding on all cores, over the one-core decode.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <jpeglib.h>

#include "bench/common/DirectJpeg.h"

#include "builder/generator/ExeGalleryFile.h"
#include "shared/GalleryDataBlock.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/graphics/PixelAllocator.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

constexpr int Pictures = 100;
constexpr int Width = 2000;
constexpr int Height = 1500;
constexpr int Quality = 90;
constexpr int Runs = 5;
// The viewer's start timer: it reads its gallery this long after start.
constexpr double StartTimerMs = 1000.0;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Gradients that differ per picture, with noise: smooth areas and fine
// detail, like a photograph.
std::string MakePicture(unsigned seed)
{
    TBitmap bitmap(Width, Height, pf24bit);
    unsigned state = seed * 2654435761u + 1u;
    const int phase = static_cast<int>(seed * 37 % 255);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 25) - 12;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp((x * 255 / Width + phase) % 256 + noise, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y * 255 / Height + noise, 0, 255));
            row[3 * x + 2] =
                static_cast<std::uint8_t>(std::clamp((x + y + phase * 8) * 255 / (Width + Height) % 256 - noise, 0, 255));
        }
    }
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    jpeg.SetCompressionQuality(Quality);
    jpeg.Compress();
    return jpeg.Data();
}

// The viewer that this bench was built with: beside the bench folder.
std::filesystem::path BuiltViewer()
{
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return self.parent_path().parent_path() / "program" / "PictureViewer" / "glimra.exe";
}

// Runs a gallery program headless; returns its report.
std::string RunReported(const std::string& program, const std::string& report)
{
    std::filesystem::remove(report);
    const std::string command = "env -u DISPLAY GLIMRA_REPORT='" + report + "' '" + program + "'";
    if (std::system(command.c_str()) != 0) throw Exception("the viewer failed: " + command);
    return FileExists(report) ? ReadFileBytes(report) : "";
}

}  // namespace

int main()
{
    try {
        const std::filesystem::path viewer = BuiltViewer();
        if (!std::filesystem::exists(viewer)) {
            std::fprintf(stderr, "bench_viewer: no viewer at %s (build the glimra target)\n", viewer.c_str());
            return 1;
        }
        const auto dir = std::filesystem::temp_directory_path() / ("bench_viewer_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);

        std::vector<std::string> files;
        files.reserve(Pictures);
        std::size_t totalBytes = 0;
        for (int n = 0; n < Pictures; ++n) {
            files.push_back(MakePicture(static_cast<unsigned>(n)));
            totalBytes += files.back().size();
        }

        const std::string viewerBytes = ReadFileBytes(viewer.string());
        TGalleryDataBlock block(viewerBytes, " ");
        for (int n = 0; n < Pictures; ++n)
            block.AddPicture(files[static_cast<std::size_t>(n)], false, "Picture " + std::to_string(n + 1));
        const std::string gallery = (dir / "Bench.exe").string();
        WriteExeGallery(gallery, block.Bytes());
        const std::string report = (dir / "report.txt").string();

        std::printf("gallery: %d pictures of %d x %d, JPEG quality %d, %.1f MB of pictures, median of %d runs\n",
                    Pictures, Width, Height, Quality, static_cast<double>(totalBytes) / 1e6, Runs);

        // Turns at going first, so that both see the same state of the machine.
        std::vector<double> loadTimes;
        std::vector<double> decodeTimes;
        std::string lastReport;
        auto timeLoad = [&] {
            const auto start = Clock::now();
            lastReport = RunReported(gallery, report);
            loadTimes.push_back(MsSince(start) - StartTimerMs);
        };
        auto timeDecode = [&] {
            const auto start = Clock::now();
            for (const std::string& file : files) {
                const TPixelBytes pixels = DirectDecode(file).Rgb;
                if (pixels.empty()) throw Exception("empty decode");
            }
            decodeTimes.push_back(MsSince(start));
        };
        for (int i = 0; i < Runs; ++i) {
            if (i % 2 == 0) {
                timeLoad();
                timeDecode();
            } else {
                timeDecode();
                timeLoad();
            }
        }
        const std::string expected = "pictures " + std::to_string(Pictures) + "\n";
        if (lastReport.find(expected) == std::string::npos ||
            lastReport.find("picture 99 JPG 2000x1500 Picture 100\n") == std::string::npos) {
            std::fprintf(stderr, "bench_viewer: the viewer did not load the gallery:\n%s", lastReport.c_str());
            return 1;
        }

        // What the viewer costs without pictures: process start, its windows,
        // reading its own file, the report and the end.
        std::vector<double> bareTimes;
        const std::string bare = (dir / "Bare.exe").string();
        WriteExeGallery(bare, viewerBytes);
        for (int i = 0; i < Runs; ++i) {
            const auto start = Clock::now();
            RunReported(bare, report);
            bareTimes.push_back(MsSince(start) - StartTimerMs);
        }
        std::filesystem::remove_all(dir);

        const double load = Median(loadTimes);
        const double decode = Median(decodeTimes);
        std::printf("viewer without pictures, start to end (start timer taken off): %.1f ms\n", Median(bareTimes));
        std::printf("viewer load, start to last thumbnail and report (start timer taken off): %.1f ms\n", load);
        std::printf("libjpeg direct decode of the %d pictures: %.1f ms\n", Pictures, decode);
        std::printf("load/decode: %.2f\n", load / decode);
        // The viewer decodes on every core; the peer on one.
        std::printf("cores: %d\n", static_cast<int>(std::thread::hardware_concurrency()));
        std::printf("load wall/decode: %.2f\n", load / decode);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_viewer: %s\n", e.what());
        return 1;
    }
}
