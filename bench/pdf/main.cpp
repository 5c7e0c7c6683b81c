// A PDF gallery of 100 pictures of 4000 x 3000 through the converter
// stand-in, next to img2pdf on the same JPEG files. Both embed the JPEG
// bytes as they are. Prints the median time of each and, last, the ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/Files.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

constexpr int Pictures = 100;
constexpr int Runs = 3;

// A few different photographs' worth of bytes, cycled through the 100 files.
std::string Photo(unsigned seed)
{
    TBitmap bitmap(4000, 3000, pf24bit);
    unsigned state = seed;
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 17) - 8;
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(x * 255 / 4000 + noise, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(y * 255 / 3000 + noise, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(int(seed * 40 + (x + y) / 64) % 256 + noise, 0, 255));
        }
    }
    return EncodeJpeg(bitmap, 90);
}

double Seconds(const std::string& command)
{
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    if (std::system("command -v img2pdf > /dev/null") != 0) {
        std::printf("pdf: img2pdf missing (Debian package img2pdf)\n");
        return 1;
    }
    const std::string folder = (std::filesystem::temp_directory_path() / "bench-pdf").string() + "/";
    std::filesystem::remove_all(folder);
    const std::string work = folder + "PDFIMAGES/";
    ForceDirectories(work);
    std::filesystem::copy_file(PLENNIX_PROGRAM, work + "plennix.exe");
    std::vector<std::string> photos;
    for (unsigned seed = 1; seed <= 4; ++seed)
        photos.push_back(Photo(seed));
    std::string list, comments, files;
    for (int n = 0; n < Pictures; ++n) {
        const std::string path = work + std::to_string(n) + ".jpg";
        WriteFileBytes(path, photos[static_cast<std::size_t>(n) % photos.size()]);
        list += path + "\r\n";
        comments += "Picture " + std::to_string(n) + "\r\n";
        files += " '" + path + "'";
    }
    WriteFileBytes(work + "f.dat", list);
    WriteFileBytes(work + "k.dat", comments);

    std::vector<double> ours, peer;
    for (int run = 0; run < Runs; ++run) {
        ours.push_back(Seconds("GALLERY_SHELL=record '" + work + "plennix.exe' 1 Bench~Trip A.~B. 01.02.2003 2>/dev/null"));
        peer.push_back(Seconds("img2pdf --pagesize A4 -o '" + folder + "img2pdf.pdf'" + files));
    }
    const double a = Median(ours), b = Median(peer);
    std::printf("pdf: stand-in %.3f s, img2pdf %.3f s for %d pictures of 4000x3000 (%.0f MB)\n", a, b, Pictures,
                static_cast<double>(FileSize(work + "gallery.pdf")) / 1e6);
    std::filesystem::remove_all(folder);
    std::printf("pdf/img2pdf: %.2f\n", a / b);
    return 0;
}
