// A 2000 x 1500 photograph-like picture reduced to 256 colours: by the octree
// (reduction method 7 at 8 bits) and by the 216-colour cube (method 6), each
// without dithering and with Floyd-Steinberg, next to ImageMagick's
// `-colors 256` (its default dithering) and `-colors 256 +dither` on the same
// picture in the same run. ImageMagick's times are taken less its time to
// read the picture and start (`convert picture.ppm null:`), so only its
// reduction counts. Medians of 5 runs; the mean error per channel of each
// result shows that the reductions are comparable. The last line is our
// dithered octree over ImageMagick's dithered run.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gif/ColorReduction.h"
#include "platform/core/Files.h"

namespace {

constexpr int Width = 2000;
constexpr int Height = 1500;
constexpr int Runs = 5;
constexpr const char* ImageMagick = "/usr/bin/convert";

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Ms(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Sky, hills and foliage: smooth gradients, coloured texture and fine noise.
std::unique_ptr<TBitmap> MakePhoto()
{
    auto photo = std::make_unique<TBitmap>(Width, Height, pf24bit);
    TBitmap& bitmap = *photo;
    unsigned state = 2024;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        const double fy = double(y) / Height;
        for (int x = 0; x < Width; ++x) {
            const double fx = double(x) / Width;
            state = state * 1103515245u + 12345u;
            const double noise = double(int((state >> 16) % 17) - 8);
            const double horizon = 0.45 + 0.08 * std::sin(fx * 9.0) + 0.03 * std::sin(fx * 31.0);
            double r, g, b;
            if (fy < horizon) {
                r = 90 + 120 * fy + 40 * fx;
                g = 140 + 90 * fy;
                b = 230 - 40 * fy;
            } else {
                const double t = std::sin(fx * 140.0 + std::sin(fy * 60.0) * 3.0) * std::cos(fy * 110.0);
                r = 70 + 60 * t + 90 * fx * (1 - fy);
                g = 110 + 70 * t - 30 * fy;
                b = 40 + 30 * t + 50 * fy;
            }
            row[3 * x] = std::uint8_t(std::clamp(b + noise, 0.0, 255.0));
            row[3 * x + 1] = std::uint8_t(std::clamp(g + noise, 0.0, 255.0));
            row[3 * x + 2] = std::uint8_t(std::clamp(r + noise, 0.0, 255.0));
        }
    }
    return photo;
}

void WritePpm(const TBitmap& bitmap, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << Width << " " << Height << "\n255\n";
    std::vector<char> row(std::size_t(Width) * 3);
    for (int y = 0; y < Height; ++y) {
        const std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < Width; ++x) {
            row[std::size_t(3 * x)] = char(p[3 * x + 2]);
            row[std::size_t(3 * x + 1)] = char(p[3 * x + 1]);
            row[std::size_t(3 * x + 2)] = char(p[3 * x]);
        }
        out.write(row.data(), std::streamsize(row.size()));
    }
}

// Mean absolute error per channel of RGB bytes against the picture.
double MeanError(const TBitmap& photo, const std::vector<std::uint8_t>& rgb)
{
    double sum = 0;
    for (int y = 0; y < Height; ++y) {
        const std::uint8_t* p = photo.ScanLine(y);
        const std::uint8_t* q = rgb.data() + std::size_t(y) * Width * 3;
        for (int x = 0; x < Width; ++x)
            sum += std::abs(p[3 * x + 2] - q[3 * x]) + std::abs(p[3 * x + 1] - q[3 * x + 1]) +
                   std::abs(p[3 * x] - q[3 * x + 2]);
    }
    return sum / (double(Width) * Height * 3);
}

std::vector<std::uint8_t> RgbOf(const TBitmap& reduced)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(Width) * Height * 3);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const TColor c = reduced.Pixel(x, y);
            rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    return rgb;
}

// The raw RGB of a binary PPM as ImageMagick writes it (header of 4 tokens).
std::vector<std::uint8_t> ReadPpm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    std::vector<std::uint8_t> rgb(std::size_t(Width) * Height * 3);
    if (w != Width || h != Height) return {};
    in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()));
    return rgb;
}

double MedianOurs(const TBitmap& photo, int method, int dither, double& error)
{
    std::vector<double> times;
    std::unique_ptr<TBitmap> reduced;
    for (int i = 0; i < Runs; ++i) {
        TBitmap source;
        source.Assign(photo);
        const Clock::time_point start = Clock::now();
        reduced = ReduceToPalette(source, method, dither, nullptr, 8);
        times.push_back(Ms(start));
    }
    error = MeanError(photo, RgbOf(*reduced));
    return Median(times);
}

double MedianCommand(const std::string& command)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        const Clock::time_point start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            return -1;
        }
        times.push_back(Ms(start));
    }
    return Median(times);
}

}  // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-quantize-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string work = pattern + "/";
    const std::unique_ptr<TBitmap> picture = MakePhoto();
    const TBitmap& photo = *picture;
    WritePpm(photo, work + "photo.ppm");
    std::printf("picture %d x %d to 256 colours, medians of %d runs\n", Width, Height, Runs);

    double error = 0;
    const double octree = MedianOurs(photo, rmOctree, dmNearest, error);
    std::printf("octree: %.1f ms, mean error %.2f\n", octree, error);
    const double octreeDithered = MedianOurs(photo, rmOctree, dmFloydSteinberg, error);
    std::printf("octree, Floyd-Steinberg: %.1f ms, mean error %.2f\n", octreeDithered, error);
    const double cube = MedianOurs(photo, rmColorCube, dmNearest, error);
    std::printf("cube: %.1f ms, mean error %.2f\n", cube, error);
    const double cubeDithered = MedianOurs(photo, rmColorCube, dmFloydSteinberg, error);
    std::printf("cube, Floyd-Steinberg: %.1f ms, mean error %.2f\n", cubeDithered, error);

    double ratio = -1;
    if (FileExists(ImageMagick)) {
        const std::string in = std::string(ImageMagick) + " '" + work + "photo.ppm' ";
        const double baseline = MedianCommand(in + "null:");
        const double dithered = MedianCommand(in + "-colors 256 null:") - baseline;
        const double plain = MedianCommand(in + "+dither -colors 256 null:") - baseline;
        std::system((in + "-colors 256 '" + work + "dithered.ppm'").c_str());
        std::system((in + "+dither -colors 256 '" + work + "plain.ppm'").c_str());
        std::printf("ImageMagick read and start: %.1f ms\n", baseline);
        std::printf("ImageMagick -colors 256: %.1f ms, mean error %.2f\n", dithered,
                    MeanError(photo, ReadPpm(work + "dithered.ppm")));
        std::printf("ImageMagick +dither -colors 256: %.1f ms, mean error %.2f\n", plain,
                    MeanError(photo, ReadPpm(work + "plain.ppm")));
        if (dithered > 0) ratio = octreeDithered / dithered;
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    if (ratio > 0)
        std::printf("quantize/imagemagick: %.2f\n", ratio);
    else
        std::printf("quantize/imagemagick: n/a (no ImageMagick at %s)\n", ImageMagick);
    return 0;
}
