// Composing animations: every frame of a few animations loaded through
// TGIFImage and shown by its painter (run inside Draw, on a clock that never
// really waits) into a picture of the logical screen's size, next to
// ImageMagick decoding and coalescing the same files (`convert FILE -coalesce
// null:`, less its start-up, `convert xc: null:`). Both sides decode and
// compose every frame and write nothing.
//
// The animations are made here, the same on every run, in the shapes real
// files have: a 1000 x 175 banner of 259 whole frames whose unchanged pixels
// are transparent; the same banner cut by `gifsicle -O2` to what changes;
// sprites that restore the previous picture over a 1920 x 1080 one; balls on
// a transparent screen that restore the background; opaque 1280 x 720 slides.
//
// Before timing, the last composed picture of each animation is checked
// against ImageMagick's last coalesced frame. The last line is our total time
// over ImageMagick's.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/common/GuardedRounds.h"
#include "gif/GIFImage.h"
#include "gif/GIFPainter.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TCanvas.h"
#include "platform/loop/TThread.h"

namespace {

constexpr const char* ImageMagick = "/usr/bin/convert";
constexpr const char* Gifsicle = "/usr/bin/gifsicle";
constexpr int Runs = 3;
// What the target shows before the first frame; transparent pixels keep it.
constexpr TColor StartColour = RGB(3, 200, 77);
// Colours 0..251 are a 6 x 7 x 6 cube; 252 stands for transparent pixels.
constexpr std::uint8_t Clear = 252;

// Time moves only when the painter sleeps.
struct TBenchClock : TGIFPainterClock {
    std::atomic<DWORD> Time{1000};
    DWORD Now() override { return Time; }
    bool WaitWake(TEvent&, DWORD ms) override
    {
        Time += ms;
        return false;
    }
    void Sleep(DWORD ms) override { Time += ms; }
};

std::uint8_t Cube(double r, double g, double b)
{
    auto level = [](double v, int levels) { return std::clamp(int(v * levels / 256), 0, levels - 1); };
    return std::uint8_t(level(r, 6) * 42 + level(g, 7) * 6 + level(b, 6));
}

// A picture of palette indexes, rows top to bottom.
struct TIndexed {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Pixels;
    TIndexed(int width, int height, std::uint8_t fill = 0)
        : Width(width), Height(height), Pixels(std::size_t(width) * height, fill)
    {
    }
    std::uint8_t* Row(int y) { return Pixels.data() + std::size_t(y) * Width; }
    void Box(int left, int top, int width, int height, std::uint8_t index)
    {
        for (int y = std::max(top, 0); y < std::min(top + height, Height); ++y)
            for (int x = std::max(left, 0); x < std::min(left + width, Width); ++x)
                Row(y)[x] = index;
    }
    void Disc(int cx, int cy, int radius, std::uint8_t index)
    {
        for (int y = std::max(cy - radius, 0); y <= std::min(cy + radius, Height - 1); ++y)
            for (int x = std::max(cx - radius, 0); x <= std::min(cx + radius, Width - 1); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                    Row(y)[x] = index;
    }
};

// A photograph's look: smooth light and colour with grain.
TIndexed Photo(int width, int height, int seed)
{
    TIndexed p(width, height);
    unsigned state = 777u + unsigned(seed) * 31u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const double noise = double((state >> 16) % 25) - 12;
            const double fx = double(x) / width, fy = double(y) / height;
            p.Row(y)[x] = Cube(128 + 100 * std::sin(6 * fx + seed) * std::cos(3 * fy) + noise,
                               128 + 90 * std::sin(4 * fy + 2 * fx + seed * 0.3) + noise,
                               128 + 110 * std::cos(5 * (fx - fy) + seed) + noise);
        }
    return p;
}

struct TFrameSpec {
    int Left = 0, Top = 0;
    int Disposal = 1;
    bool Transparent = false;
};

class TAnimationWriter {
public:
    TAnimationWriter(int width, int height)
    {
        for (int i = 0; i < 256; ++i)
            FImage.GlobalColorMap().Add(i < Clear ? RGB(i / 42 * 51, i / 6 % 7 * 42, i % 6 * 51) : RGB(255, 0, 255));
        FImage.Header().SetWidth(width);
        FImage.Header().SetHeight(height);
    }
    void Add(const TIndexed& picture, const TFrameSpec& spec, int delay = 4)
    {
        auto frame = std::make_unique<TGIFSubImage>(&FImage);
        TGIFSubImage& f = *frame;
        FImage.AddFrame(std::move(frame));
        f.SetBounds(spec.Left, spec.Top, picture.Width, picture.Height);
        std::memcpy(f.Data(), picture.Pixels.data(), picture.Pixels.size());
        if (FImage.Images().Count() == 1) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&f);
            loop->SetLoops(0);
            f.Extensions().Add(std::move(loop));
        }
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
        gce->SetDisposal(spec.Disposal);
        gce->SetDelay(std::uint16_t(delay));
        if (spec.Transparent) {
            gce->SetTransparent(true);
            gce->SetTransparentColorIndex(Clear);
        }
        f.Extensions().Add(std::move(gce));
    }
    bool Save(const std::string& path)
    {
        TMemoryStream out;
        FImage.SaveToStream(out);
        WriteFileBytes(path, out.Bytes());
        return true;
    }

private:
    TGIFImage FImage;
};

// The banner after `frame` steps: blocks running left over a still gradient
// and a bouncing square.
TIndexed Banner(const TIndexed& background, int frame)
{
    TIndexed p = background;
    const int w = p.Width;
    for (int letter = 0; letter < 40; ++letter) {
        const int x = ((letter * 53 - frame * 4) % (w + 60) + w + 60) % (w + 60) - 30;
        const int height = 20 + (letter * 13) % 30;
        p.Box(x, 70 - height / 2, 22, height, Cube(255, 255, 255));
    }
    const int bounce = int(std::abs(std::sin(frame * 0.15)) * 100);
    p.Box((frame * 3) % w, 150 - bounce, 24, 24, Cube(210, 0, 0));
    return p;
}

// Whole frames; with `clearUnchanged`, what a frame leaves as it was is transparent.
bool MakeBanner(const std::string& path, bool clearUnchanged)
{
    constexpr int W = 1000, H = 175, Frames = 259;
    const TIndexed background = Photo(W, H, 3);
    TAnimationWriter writer(W, H);
    TIndexed previous = Banner(background, 0);
    writer.Add(previous, {});
    for (int f = 1; f < Frames; ++f) {
        TIndexed now = Banner(background, f);
        TIndexed frame = now;
        if (clearUnchanged)
            for (std::size_t i = 0; i < frame.Pixels.size(); ++i)
                if (now.Pixels[i] == previous.Pixels[i])
                    frame.Pixels[i] = Clear;
        writer.Add(frame, {0, 0, 1, clearUnchanged});
        previous = std::move(now);
    }
    return writer.Save(path);
}

bool MakeCutBanner(const std::string& folder, const std::string& path)
{
    const std::string whole = folder + "banner-whole.gif";
    return MakeBanner(whole, false) &&
           std::system((std::string(Gifsicle) + " -O2 '" + whole + "' -o '" + path + "'").c_str()) == 0;
}

// Sprites over a 1920 x 1080 picture, each frame only the sprite at its
// place, the picture restored under it afterwards.
bool MakeSprites(const std::string& path)
{
    constexpr int W = 1920, H = 1080, Frames = 30, SW = 240, SH = 180;
    TAnimationWriter writer(W, H);
    writer.Add(Photo(W, H, 11), {}, 6);
    for (int f = 0; f < Frames; ++f) {
        TIndexed sprite(SW, SH, Clear);
        sprite.Disc(SW / 2, SH / 2, 80, Cube(255, 210, 0));
        sprite.Box(40 + f % 60, 50, 60, 40, Cube(0, 84, 102));
        sprite.Disc(160, 90 + (f % 5) * 6, 20, Cube(51, 0, 153));
        writer.Add(sprite, {(f * 61) % (W - SW), (f * 37) % (H - SH), 3, true}, 6);
    }
    return writer.Save(path);
}

// Balls on a transparent screen, each frame whole and cleared afterwards.
bool MakeBalls(const std::string& path)
{
    constexpr int W = 640, H = 480, Frames = 100;
    TAnimationWriter writer(W, H);
    for (int f = 0; f < Frames; ++f) {
        TIndexed frame(W, H, Clear);
        for (int ball = 0; ball < 6; ++ball)
            frame.Disc((f * (7 + ball * 3) + ball * 131) % W, int(H / 2 + std::sin(f * 0.1 + ball) * (H / 2 - 40)),
                       30 + ball * 4, Cube(51 * ball, 42 * (6 - ball), 102));
        writer.Add(frame, {0, 0, 2, true});
    }
    return writer.Save(path);
}

// Whole opaque pictures one after another.
bool MakeSlides(const std::string& path)
{
    constexpr int W = 1280, H = 720, Frames = 16;
    TAnimationWriter writer(W, H);
    for (int f = 0; f < Frames; ++f)
        writer.Add(Photo(W, H, 20 + f), {}, 50);
    return writer.Save(path);
}

// The picture composed after the last frame, and how many frames were shown.
struct TComposed {
    std::unique_ptr<TBitmap> Picture;
    int Shown = 0;
    int Frames = 0;
};

TComposed Compose(const std::string& bytes)
{
    TComposed result;
    TMemoryStream input(bytes);
    TGIFImage gif;
    gif.LoadFromStream(input);
    result.Frames = gif.Images().Count();
    gif.PainterClock = std::make_shared<TBenchClock>();
    gif.PaintFlags = pfTransparent | pfAnimate | pfDither | pfAutoDither;
    gif.OnFrameDone = [&](TObject*) { ++result.Shown; };
    result.Picture = std::make_unique<TBitmap>(gif.Width(), gif.Height(), pf24bit);
    result.Picture->Fill(StartColour);
    gif.Draw(result.Picture->Canvas(), TRect{0, 0, gif.Width(), gif.Height()});
    while (gif.PainterCount() > 0)
        CheckSynchronize(5);
    return result;
}

// "" when the file loads and every frame is shown, else what went wrong.
std::string TryCompose(const std::string& bytes, TComposed& composed)
{
    try {
        composed = Compose(bytes);
    } catch (const std::exception& e) {
        return e.what();
    }
    return composed.Shown == composed.Frames ? ""
                                             : std::to_string(composed.Shown) + " of " +
                                                   std::to_string(composed.Frames) + " frames shown";
}

bool RunQuietly(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// ImageMagick's last coalesced frame as RGBA; Depth 0 when it failed.
struct TPam {
    int Width = 0, Height = 0, Depth = 0;
    std::string Data;
};

TPam LastCoalescedFrame(const std::string& gif, const std::string& folder)
{
    const std::string pam = folder + "last.pam";
    TPam result;
    if (!RunQuietly(std::string(ImageMagick) + " '" + gif + "' -coalesce -delete 0--2 -alpha set '" + pam + "'"))
        return result;
    const std::string bytes = ReadFileBytes(pam);
    std::size_t at = 0;
    auto line = [&] {
        const std::size_t end = bytes.find('\n', at);
        std::string text = bytes.substr(at, end - at);
        at = end == std::string::npos ? bytes.size() : end + 1;
        return text;
    };
    for (std::string text = line(); at < bytes.size() && text != "ENDHDR"; text = line()) {
        if (text.rfind("WIDTH ", 0) == 0)
            result.Width = std::atoi(text.c_str() + 6);
        if (text.rfind("HEIGHT ", 0) == 0)
            result.Height = std::atoi(text.c_str() + 7);
        if (text.rfind("DEPTH ", 0) == 0)
            result.Depth = std::atoi(text.c_str() + 6);
    }
    result.Data = bytes.substr(at);
    return result;
}

// "" when our last picture shows what ImageMagick's last frame shows.
std::string Difference(const TComposed& ours, const TPam& theirs)
{
    const TBitmap& picture = *ours.Picture;
    if (theirs.Depth != 4 || theirs.Width != picture.Width() || theirs.Height != picture.Height() ||
        theirs.Data.size() < std::size_t(theirs.Width) * theirs.Height * 4)
        return "ImageMagick's last frame is not a picture of the screen's size";
    int wrong = 0;
    for (int y = 0; y < theirs.Height; ++y)
        for (int x = 0; x < theirs.Width; ++x) {
            const auto* p =
                reinterpret_cast<const unsigned char*>(theirs.Data.data()) + (std::size_t(y) * theirs.Width + x) * 4;
            const TColor want = p[3] < 128 ? StartColour : RGB(p[0], p[1], p[2]);
            wrong += picture.Pixel(x, y) != want;
        }
    return wrong ? std::to_string(wrong) + " pixels differ from ImageMagick's last frame" : "";
}

struct TAnimation {
    const char* Name;
    std::string Path;
    std::string Bytes;
};

} // namespace

int main()
{
    if (!FileExists(ImageMagick) || !FileExists(Gifsicle)) {
        std::printf("gif draw/imagemagick: n/a (needs %s and %s)\n", ImageMagick, Gifsicle);
        return 0;
    }
    const std::filesystem::path folderPath =
        std::filesystem::temp_directory_path() / ("bench-gifdraw-" + std::to_string(getpid()));
    std::filesystem::create_directories(folderPath);
    const std::string folder = folderPath.string() + "/";
    struct TCleanup {
        std::filesystem::path Folder;
        ~TCleanup()
        {
            std::error_code error;
            std::filesystem::remove_all(Folder, error);
        }
    } cleanup{folderPath};

    std::vector<TAnimation> animations = {
        {"banner 1000x175, 259 whole frames", folder + "banner.gif", {}},
        {"banner cut by gifsicle -O2", folder + "banner-cut.gif", {}},
        {"sprites over 1920x1080, 31 frames", folder + "sprites.gif", {}},
        {"balls 640x480, 100 frames", folder + "balls.gif", {}},
        {"slides 1280x720, 16 frames", folder + "slides.gif", {}},
    };
    const bool made = MakeBanner(animations[0].Path, true) && MakeCutBanner(folder, animations[1].Path) &&
                      MakeSprites(animations[2].Path) && MakeBalls(animations[3].Path) &&
                      MakeSlides(animations[4].Path);
    if (!made) {
        std::printf("failed: the animations could not be made\n");
        return 1;
    }
    for (TAnimation& a : animations) {
        a.Bytes = ReadFileBytes(a.Path);
        TComposed composed;
        std::string wrong = TryCompose(a.Bytes, composed);
        if (wrong.empty())
            wrong = Difference(composed, LastCoalescedFrame(a.Path, folder));
        if (!wrong.empty()) {
            std::printf("failed: %s: %s\n", a.Name, wrong.c_str());
            return 1;
        }
    }

    const double start =
        PairedMedianMs(Runs, [] {}, [] { RunQuietly(std::string(ImageMagick) + " xc: null:"); }).second;
    std::vector<std::string> lines;
    double ours = 0, theirs = 0;
    for (const TAnimation& a : animations) {
        const GuardedTimes times = GuardedPairedMedianMs(
            Runs, 3,
            [&] {
                TComposed composed;
                return TryCompose(a.Bytes, composed);
            },
            [&]() -> std::string {
                return RunQuietly(std::string(ImageMagick) + " '" + a.Path + "' -coalesce null:") ? ""
                                                                                                  : "convert failed";
            });
        if (!times.Times) {
            std::printf("failed: %s: %s\n", a.Name, times.Failure.c_str());
            return 1;
        }
        const auto [o, t] = *times.Times;
        const double peer = std::max(t - start, 1.0);
        char line[200];
        std::snprintf(line, sizeof line, "%s: %zu bytes; load and compose %.1f ms (ImageMagick %.1f)", a.Name,
                      a.Bytes.size(), o, peer);
        lines.push_back(line);
        ours += o;
        theirs += peer;
    }
    std::printf("ImageMagick start: %.1f ms\n", start);
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    std::printf("gif draw/imagemagick: %.2f\n", ours / theirs);
    return 0;
}
