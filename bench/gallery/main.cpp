// A web gallery of 24 pictures of 4000 x 3000, with internet optimisation
// (at most 600 wide, 400 high and 150 KB) and thumbnails of 20 percent, built
// by the builder's own run. In the same run two peers do the same job:
// (a) the codec work alone, with libjpeg called directly: each picture decoded
// once, then the encodes of the quality search and of the thumbnail; (b)
// ImageMagick's convert making the same full pictures and thumbnails. The last
// lines give the ratios of the build's time to theirs and the peak memory.
// (c) vipsthumbnail, on all cores, making them from the same files. The
// build does the picture work on all cores too; "build wall/codec" is its
// wall time over the codec work done once on one core. ImageMagick runs
// single pictures one after the other.

#include <sys/resource.h>
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

#include "builder/generator/GalleryBuild.h"
#include "builder/dialogs/BackgroundDialog.h"
#include "builder/dialogs/BuildCancelWindow.h"
#include "builder/generator/BuildPicture.h"
#include "builder/dialogs/CompressProgressForm.h"
#include "builder/dialogs/CopyrightDialog.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/dialogs/FontOptionsDialog.h"
#include "builder/dialogs/GalleryDoneDialog.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/dialogs/OverwritePrompt.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/graphics/PixelAllocator.h"
#include "platform/shell/ShellExecute.h"

namespace {

constexpr int Pictures = 24;
constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr int MaxWidth = 600;
constexpr int MaxHeight = 400;
constexpr std::int64_t MaxBytes = 150 * 1000;
constexpr int ThumbPercent = 20;
constexpr const char* ImageMagick = "/usr/bin/convert";
constexpr const char* Vips = "/usr/bin/vipsthumbnail";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A photograph-like picture, written row by row so that making it costs no
// picture's worth of memory.
void WritePicture(const std::string& path, unsigned seed)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(path.c_str());
        std::exit(1);
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = Width;
    info.image_height = Height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(std::size_t(Width) * 3);
    unsigned state = seed * 7919u + 1;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 21) - 10;
            unsigned char* p = &row[std::size_t(x) * 3];
            p[0] = static_cast<unsigned char>(std::clamp((x + int(seed) * 97) % Width * 255 / Width + noise, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(y * 255 / Height + noise, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(((x / 40 + y / 40) % 2) * 120 + 60 - noise, 0, 255));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

// Nearest neighbour, as the builder samples.
std::vector<unsigned char> Sample(const unsigned char* rgb, int width, int height, int toWidth, int toHeight)
{
    std::vector<unsigned char> out(std::size_t(toWidth) * toHeight * 3);
    for (int y = 0; y < toHeight; ++y) {
        const int sy = static_cast<int>(std::int64_t(y) * height / toHeight);
        for (int x = 0; x < toWidth; ++x) {
            const int sx = static_cast<int>(std::int64_t(x) * width / toWidth);
            std::copy_n(&rgb[(std::size_t(sy) * width + sx) * 3], 3, &out[(std::size_t(y) * toWidth + x) * 3]);
        }
    }
    return out;
}

struct TPeerJob {
    TPictureSize Full;
    TPictureSize Thumbnail;
    int Quality = 100;
};

// The resident memory now, in MB.
double ResidentMb()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

// `resident`: the memory the program holds when the build starts, its windows made.
double RunBuild(const std::vector<std::string>& paths, const std::string& gallery, double& resident)
{
    TApplication app;
    THeadlessScript script;
    SetLayoutDirectory(GALLERY_SOURCE_DIR "/resources");
    SetShellRecordOnly(true);
    app.CreateForm(WizardForm);
    InstallGalleryBuild(*WizardForm);
    app.CreateForm(FolderChooserDialog);
    app.CreateForm(GalleryDoneDialog);
    app.CreateForm(BackgroundDialog);
    app.CreateForm(FontOptionsDialog);
    app.CreateForm(CopyrightDialog);
    app.CreateForm(CompressProgressForm);
    app.CreateForm(LimitsDialog);
    app.CreateForm(BuildCancelWindow);
    app.CreateForm(OverwritePrompt);
    for (const std::string& path : paths) {
        WizardForm->ListBox1->Items().Add(path);
        WizardForm->ListBox2->Items().Add(" ");
    }
    WizardForm->Label2->SetCaption(gallery);
    WizardForm->CheckBox9->SetChecked(true);
    LimitsDialog->Edit1->SetText(IntToStr(MaxHeight));
    LimitsDialog->Edit2->SetText(IntToStr(MaxWidth));
    LimitsDialog->Edit3->SetText(IntToStr(MaxBytes / 1000));
    WizardForm->RadioButton1->SetChecked(true);
    WizardForm->Edit1->SetText(IntToStr(ThumbPercent));
    script.AnswerModal("GalleryDoneDialog", mrCancel);
    resident = std::max(resident, ResidentMb());
    const Clock::time_point start = Clock::now();
    WizardForm->BitBtn2Click(nullptr);
    return Seconds(start);
}

double RunCodec(const std::vector<std::string>& paths, std::vector<TPeerJob>& jobs)
{
    const Clock::time_point start = Clock::now();
    for (const std::string& path : paths) {
        // Each picture decodes into memory of its own, of a bitmap's allocation
        // policy, as every picture of the build does.
        const TDirectPicture picture = DirectDecode(ReadFileBytes(path));
        const TPixelBytes& rgb = picture.Rgb;
        const int width = picture.Width;
        const int height = picture.Height;
        TPeerJob job;
        job.Full = ShrunkSize({width, height}, MaxWidth, MaxHeight);
        const std::vector<unsigned char> full = Sample(rgb.data(), width, height, job.Full.Width, job.Full.Height);
        while (DirectEncode(full.data(), job.Full.Width, job.Full.Height, job.Quality).size() > std::size_t(MaxBytes) &&
               job.Quality > 10)
            job.Quality -= 5;
        job.Thumbnail = PercentThumbnailSize(job.Full, ThumbPercent);
        const std::vector<unsigned char> thumbnail =
            Sample(full.data(), job.Full.Width, job.Full.Height, job.Thumbnail.Width, job.Thumbnail.Height);
        DirectEncode(thumbnail.data(), job.Thumbnail.Width, job.Thumbnail.Height, job.Quality);
        jobs.push_back(job);
    }
    return Seconds(start);
}

double RunImageMagick(const std::vector<std::string>& paths, const std::vector<TPeerJob>& jobs,
                      const std::string& folder)
{
    const Clock::time_point start = Clock::now();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const TPeerJob& job = jobs[i];
        const std::string n = std::to_string(i);
        const std::string command = std::string(ImageMagick) + " '" + paths[i] + "' -sample " +
                                    std::to_string(job.Full.Width) + "x" + std::to_string(job.Full.Height) +
                                    "! -quality " + std::to_string(job.Quality) + " -write '" + folder + "th_" + n +
                                    "_big.jpg' -sample " + std::to_string(job.Thumbnail.Width) + "x" +
                                    std::to_string(job.Thumbnail.Height) + "! '" + folder + "th_" + n + ".jpg'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "convert failed: %s\n", command.c_str());
            return -1;
        }
    }
    return Seconds(start);
}

// vipsthumbnail (libvips) making the same shrunk full pictures and thumbnails
// from the same files, one process per core at a time, each with libvips's
// own threads.
double RunVips(const std::vector<std::string>& paths, const std::vector<TPeerJob>& jobs, const std::string& folder)
{
    std::string commands;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const TPeerJob& job = jobs[i];
        const std::string quality = std::to_string(job.Quality);
        const auto line = [&](TPictureSize size, const std::string& name) {
            return std::string(Vips) + " '" + paths[i] + "' --size " + std::to_string(size.Width) + "x" +
                   std::to_string(size.Height) + "! -o '" + folder + name + "[Q=" + quality + "]'\n";
        };
        commands += line(job.Full, "th_" + std::to_string(i) + "_big.jpg");
        commands += line(job.Thumbnail, "th_" + std::to_string(i) + ".jpg");
    }
    const std::string list = folder + "commands.txt";
    WriteFileBytes(list, commands);
    const std::string command = "xargs -d '\\n' -n 1 -P " + std::to_string(std::thread::hardware_concurrency()) +
                                " sh -c < '" + list + "'";
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "vipsthumbnail failed: %s\n", command.c_str());
        return -1;
    }
    return Seconds(start);
}

}  // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-gallery-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string work = pattern + "/";
    std::vector<std::string> paths;
    for (int i = 0; i < Pictures; ++i) {
        paths.push_back(work + "picture" + std::to_string(i) + ".jpg");
        WritePicture(paths.back(), unsigned(i + 1));
    }
    std::printf("%d pictures of %d x %d, limits %d x %d and %lld KB, thumbnails %d %%\n", Pictures, Width, Height,
                MaxWidth, MaxHeight, static_cast<long long>(MaxBytes / 1000), ThumbPercent);

    // Three runs of each, in the order codec, build, build, codec, codec,
    // build, so that neither side always inherits the memory the other freed;
    // the medians count.
    std::vector<double> builds;
    std::vector<double> codecs;
    std::vector<TPeerJob> jobs;
    double resident = 0;
    for (const char side : std::string("cbbccb")) {
        if (side == 'b') {
            builds.push_back(RunBuild(paths, work + "gallery" + std::to_string(builds.size()) + "/", resident));
        } else {
            jobs.clear();
            codecs.push_back(RunCodec(paths, jobs));
        }
    }
    const double build = Median(builds);
    const double codec = Median(codecs);
    ForceDirectories(work + "magick");
    const bool magick = FileExists(ImageMagick);
    const double imageMagick = magick ? RunImageMagick(paths, jobs, work + "magick/") : -1;
    ForceDirectories(work + "vips");
    const bool vips = FileExists(Vips);
    const double vipsTime = vips ? RunVips(paths, jobs, work + "vips/") : -1;

    int written = 0;
    for (int i = 0; i < Pictures; ++i)
        written += FileExists(work + "gallery0/th_" + std::to_string(i) + "_big.jpg") &&
                   FileExists(work + "gallery0/th_" + std::to_string(i) + ".jpg");
    std::printf("full pictures and thumbnails written by the build: %d of %d\n", written, Pictures);
    std::printf("build: %.2f s, codec alone: %.2f s (medians of 3), ImageMagick: %.2f s, vipsthumbnail: %.2f s\n",
                build, codec, imageMagick, vipsTime);
    std::printf("full picture %d x %d at quality %d, thumbnail %d x %d\n", jobs.front().Full.Width,
                jobs.front().Full.Height, jobs.front().Quality, jobs.front().Thumbnail.Width,
                jobs.front().Thumbnail.Height);
    const double decoded = double(Width) * Height * 3 / (1024 * 1024);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    // A worker holds its picture decoded and the picture's file bytes.
    const double file = static_cast<double>(FileSize(paths.front())) / (1024 * 1024);
    const double bound = resident + (cores + 1) * (decoded + file);
    std::printf("one decoded picture: %.0f MB with its file of %.1f MB; one per core and the main thread's (%d) "
                "over the %.0f MB held when a build starts: %.0f MB\n",
                decoded, file, cores + 1, resident, bound);

    std::error_code error;
    std::filesystem::remove_all(pattern, error);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("cores: %d\n", cores);
    std::printf("build/codec: %.2f\n", build / codec);
    std::printf("build wall/codec: %.2f\n", build / codec);
    if (vipsTime > 0)
        std::printf("build/vips: %.2f\n", build / vipsTime);
    else
        std::printf("build/vips: n/a (no vipsthumbnail at %s)\n", Vips);
    if (imageMagick > 0)
        std::printf("build/imagemagick: %.2f\n", build / imageMagick);
    else
        std::printf("build/imagemagick: n/a (no ImageMagick at %s)\n", ImageMagick);
    std::printf("peak MB: %ld\n", usage.ru_maxrss / 1024);
    std::printf("peak bound MB: %.0f\n", bound);
    return written == Pictures ? 0 : 1;
}
