// GIF decode and encode of real-sized pictures (photo-like pictures of 256
// colours at 640 x 480 and 2000 x 1500, an animation of 50 frames): through
// TGIFImage, and through giflib in the same program. Prints the median of
// each over the corpus and, last, the two ratios of ours to giflib.

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times two ways of doing one job, taking turns at going first.
template <typename Ours, typename Peer>
std::pair<double, double> MedianMs(Ours&& ours, Peer&& peer)
{
    std::vector<double> oursTimes, peerTimes;
    auto time = [](auto& run) {
        const auto start = std::chrono::steady_clock::now();
        run();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < Runs; ++i) {
        if (i % 2 == 0) {
            oursTimes.push_back(time(ours));
            peerTimes.push_back(time(peer));
        } else {
            peerTimes.push_back(time(peer));
            oursTimes.push_back(time(ours));
        }
    }
    return {Median(oursTimes), Median(peerTimes)};
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
        const auto [dOurs, dPeer] = MedianMs(
            [&] {
                TMemoryStream input(file);
                TGIFImage gif;
                gif.LoadFromStream(input);
            },
            [&] { GiflibDecode(file); });
        const auto [eOurs, ePeer] = MedianMs(
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
    return 0;
}
