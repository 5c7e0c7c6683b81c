// GIF decode and encode of real-sized pictures (photo-like pictures of 256
// colours at 640 x 480 and 2000 x 1500, an animation of 50 frames): through
// TGIFImage, and through giflib in the same program. Prints the median of
// each over the corpus and, last, the two ratios of ours to giflib. Then the
// frame optimisation of a 100-frame animation (a still scene with a moving
// square: load, optimise, save) next to `gifsicle -O2` on the same file.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gif_lib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "bench/common/PairedTiming.h"
#include "gif/GIFImage.h"
#include "platform/core/TStream.h"

namespace {

constexpr int Runs = 9;

// A photograph's look: smooth light and colour changes with grain, cut to a
// 6 x 7 x 6 colour cube with a little dither, as a reduced photo is.
void PaintPhoto(std::uint8_t* pixels, int width, int height, int seed)
{
    unsigned state = 12345u + unsigned(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const double noise = double((state >> 16) % 21) - 10;
            const double fx = double(x) / width, fy = double(y) / height;
            const double r = 128 + 100 * std::sin(6 * fx + seed) * std::cos(3 * fy) + noise;
            const double g = 128 + 90 * std::sin(4 * fy + 2 * fx) + noise;
            const double b = 128 + 110 * std::cos(5 * (fx - fy) + seed) + noise;
            auto level = [](double v, int levels) { return std::clamp(int(v * levels / 256), 0, levels - 1); };
            pixels[std::size_t(y) * width + x] = static_cast<std::uint8_t>(level(r, 6) * 42 + level(g, 7) * 6 + level(b, 6));
        }
}

std::unique_ptr<TGIFImage> MakePicture(int width, int height, int frames)
{
    auto image = std::make_unique<TGIFImage>();
    for (int i = 0; i < 256; ++i)
        image->GlobalColorMap().Add(RGB(i / 42 * 51, i / 6 % 7 * 42, i % 6 * 51));
    for (int f = 0; f < frames; ++f) {
        image->AddFrame(std::make_unique<TGIFSubImage>(image.get()));
        TGIFSubImage& frame = *image->Images().Items(f);
        frame.SetBounds(0, 0, width, height);
        PaintPhoto(frame.Data(), width, height, f);
        if (frames > 1) {
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
            gce->SetDelay(4);
            frame.Extensions().Add(std::move(gce));
        }
    }
    return image;
}

struct TMemoryReader {
    const std::string* Data;
    std::size_t Position;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* reader = static_cast<TMemoryReader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(count), reader->Data->size() - reader->Position);
    std::memcpy(buffer, reader->Data->data() + reader->Position, n);
    reader->Position += n;
    return int(n);
}

int WriteMemory(GifFileType* gif, const GifByteType* buffer, int count)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(buffer), std::size_t(count));
    return count;
}

void GiflibDecode(const std::string& file)
{
    TMemoryReader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        std::printf("warning: giflib refuses the file\n");
    DGifCloseFile(gif, &error);
}

std::string GiflibEncode(TGIFImage& image)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) {
        const TGIFColor& c = image.GlobalColorMap().Entry(i);
        colors[i] = {c.Red, c.Green, c.Blue};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifPutScreenDesc(gif, image.Width(), image.Height(), 8, 0, map);
    for (const auto& frame : image.Images()) {
        EGifPutImageDesc(gif, frame->Left(), frame->Top(), frame->Width(), frame->Height(), false, nullptr);
        for (int y = 0; y < frame->Height(); ++y)
            EGifPutLine(gif, frame->Scanline(y), frame->Width());
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// A still photograph with a square moving over it, every frame whole.
std::unique_ptr<TGIFImage> MakeScene(int width, int height, int frames)
{
    auto image = MakePicture(width, height, 1);
    TGIFSubImage& first = *image->Images().Items(0);
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&first);
    gce->SetDelay(4);
    first.Extensions().Add(std::move(gce));
    for (int f = 1; f < frames; ++f) {
        auto frame = std::make_unique<TGIFSubImage>(image.get());
        frame->SetBounds(0, 0, width, height);
        std::memcpy(frame->Data(), first.Data(), std::size_t(width) * height);
        const int left = f * (width - 40) / frames;
        const int top = (f * 7) % (height - 40);
        for (int y = top; y < top + 40; ++y)
            std::memset(frame->Scanline(y) + left, 200 + f % 40, 40);
        auto control = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        control->SetDelay(4);
        frame->Extensions().Add(std::move(control));
        image->AddFrame(std::move(frame));
    }
    return image;
}

void BenchOptimise()
{
    auto scene = MakeScene(320, 240, 100);
    TMemoryStream written;
    scene->SaveToStream(written);
    const std::string file = written.Bytes();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-gif-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string in = (folder / "scene.gif").string();
    const std::string out = (folder / "gifsicle.gif").string();
    std::ofstream(in, std::ios::binary) << file;
    std::size_t oursSize = 0;
    const auto [ours, peer] = PairedMedianMs(5,
        [&] {
            TMemoryStream input(file);
            TGIFImage gif;
            gif.LoadFromStream(input);
            gif.OptimizeFrames(ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors, 0);
            TMemoryStream output;
            gif.SaveToStream(output);
            oursSize = output.Bytes().size();
        },
        [&] {
            if (std::system(("gifsicle -O2 '" + in + "' -o '" + out + "'").c_str()) != 0)
                std::printf("warning: gifsicle failed\n");
        });
    std::error_code error;
    const auto peerSize = std::filesystem::file_size(out, error);
    std::printf("optimise 100 frames 320x240: %zu bytes to %zu in %.1f ms (gifsicle -O2: %ju bytes in %.1f ms)\n",
                file.size(), oursSize, ours, static_cast<std::uintmax_t>(error ? 0 : peerSize), peer);
    std::printf("gif optimise/gifsicle: %.2f\n", ours / peer);
    std::filesystem::remove_all(folder, error);
}

} // namespace

int main()
{
    struct TCase {
        const char* Name;
        int Width, Height, Frames;
    };
    const TCase cases[] = {{"photo 640x480", 640, 480, 1}, {"photo 2000x1500", 2000, 1500, 1}, {"animation 50 frames 320x240", 320, 240, 50}};
    double decodeOurs = 0, decodePeer = 0, encodeOurs = 0, encodePeer = 0;
    for (const TCase& c : cases) {
        auto image = MakePicture(c.Width, c.Height, c.Frames);
        TMemoryStream written;
        image->SaveToStream(written);
        const std::string file = written.Bytes();
        const auto [dOurs, dPeer] = PairedMedianMs(Runs,
            [&] {
                TMemoryStream input(file);
                TGIFImage gif;
                gif.LoadFromStream(input);
            },
            [&] { GiflibDecode(file); });
        const auto [eOurs, ePeer] = PairedMedianMs(Runs,
            [&] {
                TMemoryStream output;
                image->SaveToStream(output);
            },
            [&] { GiflibEncode(*image); });
        std::printf("%s: %zu bytes; decode %.1f ms (giflib %.1f), encode %.1f ms (giflib %.1f)\n", c.Name, file.size(),
                    dOurs, dPeer, eOurs, ePeer);
        decodeOurs += dOurs;
        decodePeer += dPeer;
        encodeOurs += eOurs;
        encodePeer += ePeer;
    }
    std::printf("gif decode/giflib: %.2f\n", decodeOurs / decodePeer);
    std::printf("gif encode/giflib: %.2f\n", encodeOurs / encodePeer);
    BenchOptimise();
    return 0;
}
