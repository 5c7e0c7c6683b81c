#pragma once

// Test pictures and files for the JPEG tests: a synthetic picture (gradients
// plus noise, so every coefficient matters), PNM reading and writing, a
// private temporary folder, and the peer tools cjpeg and djpeg.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "tests/support/ReferenceJpeg.h"
#include "tests/support/TempFolder.h"
#include "platform/graphics/TBitmap.h"

namespace jpegtest {

// Pixels as red, green, blue (or one grey byte) per pixel, rows top first.
struct Pnm {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::string pixels;
};

inline Pnm SyntheticPicture(int width, int height, unsigned seed = 1)
{
    Pnm p{width, height, 3, std::string(std::size_t(width) * height * 3, '\0')};
    unsigned state = seed;
    auto noise = [&state](int range) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % unsigned(range));
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            char* px = &p.pixels[(std::size_t(y) * width + x) * 3];
            px[0] = static_cast<char>((x * 255 / std::max(width - 1, 1) + noise(41) - 20) & 0xFF);
            px[1] = static_cast<char>((y * 255 / std::max(height - 1, 1)) & 0xFF);
            px[2] = static_cast<char>(((x + y) * 3 + noise(41)) & 0xFF);
        }
    return p;
}

inline std::string PnmFile(const Pnm& p)
{
    return std::string(p.channels == 1 ? "P5\n" : "P6\n") + std::to_string(p.width) + " " +
           std::to_string(p.height) + "\n255\n" + p.pixels;
}

// Reads the binary PPM/PGM that djpeg writes (no comments).
inline Pnm ParsePnm(const std::string& bytes)
{
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    Pnm p;
    in >> magic >> p.width >> p.height >> maxValue;
    in.get();
    if ((magic != "P6" && magic != "P5") || maxValue != 255 || !in) {
        ADD_FAILURE() << "not a binary PNM: " << bytes.substr(0, 16);
        return {};
    }
    p.channels = magic == "P6" ? 3 : 1;
    p.pixels = bytes.substr(static_cast<std::size_t>(in.tellg()));
    EXPECT_EQ(p.pixels.size(), std::size_t(p.width) * p.height * p.channels);
    return p;
}

inline void ToBitmap(const Pnm& p, TBitmap& bitmap)
{
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(p.width, p.height);
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < p.width; ++x) {
            const char* px = &p.pixels[(std::size_t(y) * p.width + x) * p.channels];
            row[3 * x + 2] = static_cast<std::uint8_t>(px[0]);
            row[3 * x + 1] = static_cast<std::uint8_t>(px[p.channels == 3 ? 1 : 0]);
            row[3 * x] = static_cast<std::uint8_t>(px[p.channels == 3 ? 2 : 0]);
        }
    }
}

// Compares a 24-bit bitmap with a PNM pixel for pixel (grey expands to R=G=B)
// and names the first difference.
inline ::testing::AssertionResult SamePixels(const TBitmap& bitmap, const Pnm& p)
{
    if (bitmap.Width() != p.width || bitmap.Height() != p.height)
        return ::testing::AssertionFailure() << "size " << bitmap.Width() << "x" << bitmap.Height()
                                             << ", expected " << p.width << "x" << p.height;
    if (bitmap.BitCount() != 24) return ::testing::AssertionFailure() << "not 24-bit";
    int differing = 0;
    std::string first;
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < p.width; ++x) {
            const auto* px = reinterpret_cast<const std::uint8_t*>(&p.pixels[(std::size_t(y) * p.width + x) * p.channels]);
            const int r = px[0], g = px[p.channels == 3 ? 1 : 0], b = px[p.channels == 3 ? 2 : 0];
            if (row[3 * x + 2] != r || row[3 * x + 1] != g || row[3 * x] != b) {
                if (differing++ == 0) {
                    std::ostringstream text;
                    text << "(" << x << "," << y << "): BGR " << int(row[3 * x]) << " " << int(row[3 * x + 1]) << " "
                         << int(row[3 * x + 2]) << ", expected RGB " << r << " " << g << " " << b;
                    first = text.str();
                }
            }
        }
    }
    if (differing) return ::testing::AssertionFailure() << differing << " pixels differ, first at " << first;
    return ::testing::AssertionSuccess();
}

// A JPEG file made by libjpeg directly.
inline std::string LibjpegFile(const Pnm& p, int quality, bool progressive, bool grayscale,
                               bool arithmetic = false)
{
    return ReferenceJpeg(reinterpret_cast<const unsigned char*>(p.pixels.data()), p.width, p.height, 3, JCS_RGB,
                         {quality, grayscale ? JCS_GRAYSCALE : JCS_UNKNOWN, progressive, arithmetic});
}

// A CMYK picture as libjpeg writes it (Adobe marker, inverted inks), stored
// as CMYK or as YCCK.
inline std::string CmykJpeg(J_COLOR_SPACE stored, int width, int height)
{
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = pixels.data() + std::size_t(y) * std::size_t(width) * 4;
        for (int x = 0; x < width; ++x) {
            row[4 * x] = static_cast<unsigned char>(x * 255 / width);
            row[4 * x + 1] = static_cast<unsigned char>(y * 255 / height);
            row[4 * x + 2] = static_cast<unsigned char>((x * y) & 0xFF);
            row[4 * x + 3] = static_cast<unsigned char>(255 - (x + y) % 128);
        }
    }
    return ReferenceJpeg(pixels.data(), width, height, 4, JCS_CMYK, {85, stored});
}

// The middle of the file's longest entropy-coded scan: a cut there leaves a
// scan short, where a cut at some share of a progressive file may fall between
// scans or into a table.
inline std::size_t MiddleOfLongestScan(const std::string& file)
{
    const std::string sos("\xFF\xDA", 2);
    std::size_t middle = 0, longest = 0;
    for (std::size_t at = file.find(sos); at != std::string::npos && at + 4 <= file.size(); at = file.find(sos, at)) {
        const std::size_t start = at + 2 + (std::size_t(static_cast<unsigned char>(file[at + 2])) << 8 |
                                            static_cast<unsigned char>(file[at + 3]));
        // The scan's data ends at the first marker that is neither a stuffed byte nor a restart.
        std::size_t end = start;
        for (; end + 1 < file.size(); ++end) {
            const auto next = static_cast<unsigned char>(file[end + 1]);
            if (file[end] == '\xFF' && next != 0 && (next < 0xD0 || next > 0xD7)) break;
        }
        if (end - start > longest) {
            longest = end - start;
            middle = start + longest / 2;
        }
        at = end;
    }
    EXPECT_GT(longest, 0u) << "no scan";
    return middle;
}

// Byte strings compared with a short report instead of a dump.
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes, expected " << expected.size()
                                         << "; first difference at offset " << at;
}

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

using TempDir = testsupport::TempFolder;

inline bool HasTool(const char* name)
{
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool HasPeerTools() { return HasTool("cjpeg") && HasTool("djpeg"); }

// Runs a shell command line; true when it exits with 0.
inline bool RunTool(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

inline std::string Quoted(const std::filesystem::path& path)
{
    std::string quoted = "'";
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

}  // namespace jpegtest
