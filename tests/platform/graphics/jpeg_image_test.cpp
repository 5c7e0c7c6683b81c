// TJPEGImage: which bytes a save writes, what assignment copies, and how bad
// input fails.

#include "platform/graphics/TJPEGImage.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "jpeg_fixtures.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TCanvas.h"
#include "platform/graphics/TPicture.h"

namespace {

using namespace jpegtest;

std::string Saved(TJPEGImage& jpeg)
{
    TMemoryStream out;
    jpeg.SaveToStream(out);
    return out.Bytes();
}

void Load(TJPEGImage& jpeg, const std::string& bytes)
{
    TMemoryStream in(bytes);
    jpeg.LoadFromStream(in);
}

// A file our encoder would never write at the default quality, with bytes
// after its end marker: only a picture that keeps its data saves it again.
std::string ForeignFile()
{
    return LibjpegFile(SyntheticPicture(67, 45), 37, true, false) + "trailing bytes";
}

TEST(JpegImage, LoadedPictureSavesItsOwnBytes)
{
    const std::string file = ForeignFile();
    TJPEGImage jpeg;
    Load(jpeg, file);
    EXPECT_TRUE(SameBytes(Saved(jpeg), file));
    // Setting the quality alone does not re-encode.
    jpeg.SetCompressionQuality(50);
    EXPECT_TRUE(SameBytes(Saved(jpeg), file));

    TempDir dir;
    const std::string path = dir / "kept.jpg";
    jpeg.SaveToFile(path);
    TJPEGImage again;
    again.LoadFromFile(path);
    EXPECT_TRUE(SameBytes(again.Data(), file));
}

// Bytes saved elsewhere are written as SaveToFile writes the picture, with
// the same error for a path that cannot be created.
TEST(JpegImage, SavedBytesAreWrittenAsTheFileOfThePicture)
{
    TJPEGImage jpeg;
    Load(jpeg, ForeignFile());
    TempDir dir;
    const std::string saved = (dir / "saved.jpg");
    const std::string written = (dir / "written.jpg");
    jpeg.SaveToFile(saved);
    SaveGraphicBytes(written, Saved(jpeg));
    TJPEGImage a, b;
    a.LoadFromFile(saved);
    b.LoadFromFile(written);
    EXPECT_TRUE(SameBytes(a.Data(), b.Data()));

    std::filesystem::create_directories(dir / "folder.jpg");
    const std::string folder = (dir / "folder.jpg");
    std::string fromPicture, fromBytes;
    try {
        jpeg.SaveToFile(folder);
    } catch (const EFCreateError& e) {
        fromPicture = e.what();
    }
    try {
        SaveGraphicBytes(folder, "bytes");
    } catch (const EFCreateError& e) {
        fromBytes = e.what();
    }
    EXPECT_FALSE(fromPicture.empty());
    EXPECT_EQ(fromPicture, fromBytes);
}

TEST(JpegImage, PictureLoadsJpegFilesByExtension)
{
    TempDir dir;
    const std::string file = ForeignFile();
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg", "d.JPEG"}) {
        SCOPED_TRACE(name);
        WriteAll(dir / name, file);
        TPicture picture;
        picture.LoadFromFile(dir / name);
        auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
        ASSERT_NE(jpeg, nullptr);
        EXPECT_TRUE(SameBytes(jpeg->Data(), file));
    }
}

TEST(JpegImage, LoadReadsTheRestOfTheStream)
{
    const std::string file = ForeignFile();
    TMemoryStream in("PREFIX" + file);
    in.SetPosition(6);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(in);
    EXPECT_TRUE(SameBytes(jpeg.Data(), file));
    EXPECT_EQ(in.Position(), in.Size());
}

TEST(JpegImage, AssignedBitmapIsCompressedAtTheCurrentQuality)
{
    TBitmap picture;
    ToBitmap(SyntheticPicture(67, 45, 5), picture);
    TJPEGImage jpeg;
    Load(jpeg, ForeignFile());
    jpeg.Assign(picture);
    EXPECT_TRUE(jpeg.Data().empty());
    EXPECT_EQ(jpeg.Width(), 67);

    jpeg.SetCompressionQuality(50);
    jpeg.Compress();
    const std::string at50 = jpeg.Data();
    jpeg.SetCompressionQuality(90);
    jpeg.Compress();
    const std::string at90 = jpeg.Data();
    EXPECT_NE(at50, at90);
    EXPECT_LT(at50.size(), at90.size());
    EXPECT_TRUE(SameBytes(at50, EncodeJpeg(picture, 50)));
    EXPECT_TRUE(SameBytes(Saved(jpeg), at90));

    // A save without data compresses first and keeps what it wrote.
    jpeg.Assign(picture);
    EXPECT_TRUE(SameBytes(Saved(jpeg), at90));
    EXPECT_TRUE(SameBytes(jpeg.Data(), at90));
}

TEST(JpegImage, QualityStaysAcrossAssignments)
{
    TBitmap picture;
    ToBitmap(SyntheticPicture(20, 10), picture);
    TJPEGImage jpeg;
    EXPECT_EQ(jpeg.CompressionQuality(), 90);
    jpeg.SetCompressionQuality(50);
    jpeg.Assign(picture);
    Load(jpeg, ForeignFile());
    jpeg.Assign(picture);
    EXPECT_EQ(jpeg.CompressionQuality(), 50);
    EXPECT_TRUE(SameBytes(Saved(jpeg), EncodeJpeg(picture, 50)));
}

TEST(JpegImage, QualityIsClamped)
{
    const struct {
        int set;
        int expected;
    } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {77, 77}, {100, 100}, {101, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        TJPEGImage jpeg;
        jpeg.SetCompressionQuality(c.set);
        EXPECT_EQ(jpeg.CompressionQuality(), c.expected);
    }
}

TEST(JpegImage, JpegAssignmentAndCloneCopyEverything)
{
    TJPEGImage source;
    Load(source, LibjpegFile(SyntheticPicture(30, 20), 80, false, true));
    source.SetCompressionQuality(33);
    ASSERT_TRUE(source.Grayscale());

    TJPEGImage assigned;
    assigned.Assign(source);
    std::unique_ptr<TGraphic> cloned = source.Clone();
    auto* clone = dynamic_cast<TJPEGImage*>(cloned.get());
    ASSERT_NE(clone, nullptr);

    // The source changes afterwards; the copies must not follow.
    const std::string data = source.Data();
    TBitmap other;
    ToBitmap(SyntheticPicture(5, 5), other);
    source.Assign(other);
    EXPECT_FALSE(source.Grayscale());

    for (TJPEGImage* copy : {&assigned, clone}) {
        EXPECT_TRUE(SameBytes(copy->Data(), data));
        EXPECT_EQ(copy->CompressionQuality(), 33);
        EXPECT_TRUE(copy->Grayscale());
        EXPECT_EQ(copy->Width(), 30);
        EXPECT_EQ(copy->Bitmap().Pixel(3, 4), assigned.Bitmap().Pixel(3, 4));
    }
}

TEST(JpegImage, BitmapTakesTheDecodedPicture)
{
    const std::string file = ForeignFile();
    TJPEGImage jpeg;
    Load(jpeg, file);
    TBitmap bitmap;
    bitmap.Assign(jpeg);
    TBitmap expected;
    bool grayscale = false;
    DecodeJpeg(file, expected, grayscale);
    ASSERT_EQ(bitmap.Width(), 67);
    ASSERT_EQ(bitmap.Height(), 45);
    EXPECT_EQ(bitmap.BitCount(), 24);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 67; ++x) ASSERT_EQ(bitmap.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
}

TEST(JpegImage, DecodingIntoABitmapOfTheSizeReusesItsMemory)
{
    const std::string file = ForeignFile();
    TBitmap fresh;
    bool grayscale = false;
    DecodeJpeg(file, fresh, grayscale);
    struct Case {
        const char* name;
        TPixelFormat format;
        int width;
        bool reused;
    };
    for (const Case c : {Case{"same size", pf24bit, 67, true}, Case{"other width", pf24bit, 66, false},
                         Case{"other format", pf32bit, 67, false}}) {
        SCOPED_TRACE(c.name);
        TBitmap target(c.width, 45, c.format);
        target.Canvas().Brush().SetColor(clRed);
        target.Canvas().FillRect(Rect(0, 0, c.width, 45));
        const std::uint8_t* before = target.ScanLine(0);
        DecodeJpeg(file, target, grayscale);
        if (c.reused) {  // (a new buffer may happen to lie where the old one was)
            EXPECT_EQ(target.ScanLine(0), before);
        }
        ASSERT_EQ(target.BitCount(), 24);
        ASSERT_EQ(target.Width(), 67);
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 67; ++x) ASSERT_EQ(target.Pixel(x, y), fresh.Pixel(x, y)) << x << "," << y;
    }
}

TEST(JpegImage, DrawShowsTheDecodedPicture)
{
    TJPEGImage jpeg;
    Load(jpeg, ForeignFile());
    TBitmap target(67, 45, pf24bit);
    jpeg.Draw(target.Canvas(), Rect(0, 0, 67, 45));
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 67; ++x) ASSERT_EQ(target.Pixel(x, y), jpeg.Bitmap().Pixel(x, y)) << x << "," << y;
}

// Every pixel format encodes as the colours it shows.
TEST(JpegImage, AnyBitmapFormatEncodesByItsColours)
{
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice}) {
        SCOPED_TRACE(BitsPerPixel(format));
        TBitmap source;
        ToBitmap(SyntheticPicture(23, 17, 9), source);
        source.SetPixelFormat(format);
        TBitmap reference(23, 17, pf24bit);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 23; ++x) reference.SetPixel(x, y, source.Pixel(x, y));

        EXPECT_TRUE(SameBytes(EncodeJpeg(source, 75), EncodeJpeg(reference, 75)));
        TJPEGImage jpeg;
        jpeg.Assign(source);
        EXPECT_EQ(jpeg.Bitmap().BitCount(), 24);
        EXPECT_EQ(jpeg.Bitmap().Pixel(22, 16), source.Pixel(22, 16));
        EXPECT_TRUE(SameBytes(Saved(jpeg), EncodeJpeg(reference, 90)));
    }
}

TEST(JpegImage, ChangeEventFollowsLoadsAndAssignments)
{
    TJPEGImage jpeg;
    int changes = 0;
    jpeg.OnChange = [&changes](TObject*) { ++changes; };
    Load(jpeg, ForeignFile());
    EXPECT_EQ(changes, 1);
    TBitmap picture;
    ToBitmap(SyntheticPicture(4, 4), picture);
    jpeg.Assign(picture);
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(Load(jpeg, "not a picture"), EInvalidGraphic);
    EXPECT_EQ(changes, 2);
}

TEST(JpegImage, SizeAndEmptyPictureOperationsRaise)
{
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_THROW(jpeg.Compress(), EInvalidGraphicOperation);
    TMemoryStream out;
    EXPECT_THROW(jpeg.SaveToStream(out), EInvalidGraphicOperation);
    EXPECT_EQ(out.Size(), 0);
    Load(jpeg, ForeignFile());
    EXPECT_THROW(jpeg.SetWidth(10), EInvalidGraphicOperation);
    EXPECT_THROW(jpeg.SetHeight(10), EInvalidGraphicOperation);
    EXPECT_EQ(jpeg.Width(), 67);
    TBitmap empty;
    EXPECT_THROW(EncodeJpeg(empty, 90), EInvalidGraphicOperation);
}

// ---- Bad input ----

std::size_t MarkerAt(const std::string& file, unsigned char marker)
{
    const std::size_t at = file.find(std::string{'\xFF', static_cast<char>(marker)});
    EXPECT_NE(at, std::string::npos) << "no marker " << int(marker);
    return at;
}

// The frame header's height and width, as a lying file would have them. The
// header segments are walked to the first SOFn marker (C0..CF without DHT C4,
// JPG C8 and DAC CC).
std::string WithSize(std::string file, int width, int height)
{
    std::size_t at = 2;
    while (at + 4 <= file.size()) {
        const auto marker = static_cast<unsigned char>(file[at + 1]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            file[at + 5] = static_cast<char>(height >> 8);
            file[at + 6] = static_cast<char>(height & 0xFF);
            file[at + 7] = static_cast<char>(width >> 8);
            file[at + 8] = static_cast<char>(width & 0xFF);
            return file;
        }
        at += 2 + (std::size_t(static_cast<unsigned char>(file[at + 2])) << 8 | static_cast<unsigned char>(file[at + 3]));
    }
    ADD_FAILURE() << "no frame header";
    return file;
}

// Entropy-coded data starts after the first SOS header.
std::size_t ScanStart(const std::string& file)
{
    const std::size_t sos = MarkerAt(file, 0xDA);
    return sos + 2 + (std::size_t(static_cast<unsigned char>(file[sos + 2])) << 8 |
                      static_cast<unsigned char>(file[sos + 3]));
}

struct BadInput {
    std::string name;
    std::string bytes;
};

// A restart marker after every MCU row.
std::string RestartFile(const Pnm& p)
{
    return ReferenceJpeg(reinterpret_cast<const unsigned char*>(p.pixels.data()), p.width, p.height, 3, JCS_RGB,
                         {.Quality = 75, .RestartRows = 1});
}

std::vector<BadInput> BadInputs()
{
    const std::string baseline = LibjpegFile(SyntheticPicture(67, 45), 75, false, false);
    const std::string progressive = LibjpegFile(SyntheticPicture(67, 45), 75, true, false);
    // Arithmetic coding gives no bound on the blocks a few bytes can hold,
    // so only the size limit stops this one.
    const std::string arithmetic = LibjpegFile(SyntheticPicture(67, 45), 75, false, false, true);
    const std::size_t scan = ScanStart(baseline);
    std::string markerInScan = baseline;
    markerInScan.insert(scan + (baseline.size() - scan) / 2, "\xFF\xD0");
    const std::string restarts = RestartFile(SyntheticPicture(67, 45));
    // An end marker after the cut ends the file as a whole one does.
    const std::string eoi = "\xFF\xD9";
    return {
        {"empty", ""},
        {"text", "This is not a picture at all."},
        {"png signature", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)},
        {"only SOI", baseline.substr(0, 2)},
        {"cut in the headers", baseline.substr(0, 40)},
        {"cut right after the scan header", baseline.substr(0, scan)},
        {"cut in the scan", baseline.substr(0, scan + (baseline.size() - scan) / 2)},
        {"cut before EOI", baseline.substr(0, baseline.size() - 2)},
        {"progressive cut in the scans", progressive.substr(0, progressive.size() * 2 / 3)},
        {"progressive cut before EOI", progressive.substr(0, progressive.size() - 2)},
        {"cut in the scan, EOI after", baseline.substr(0, scan + (baseline.size() - scan) / 2) + eoi},
        {"cut in the last row, EOI after", baseline.substr(0, baseline.size() - 8) + eoi},
        {"progressive cut in a scan, EOI after", progressive.substr(0, MiddleOfLongestScan(progressive)) + eoi},
        {"cut between restart markers, EOI after", restarts.substr(0, restarts.size() / 2) + eoi},
        {"marker inside the scan", markerInScan},
        {"header claims 65000x65000", WithSize(baseline, 65000, 65000)},
        {"progressive header claims 65000x65000", WithSize(progressive, 65000, 65000)},
        {"arithmetic header claims 65000x65000", WithSize(arithmetic, 65000, 65000)},
        {"header claims 0 wide", WithSize(baseline, 0, 45)},
    };
}

TEST(JpegImageBadInput, EveryCaseFailsAtLoadNamingTheFile)
{
    TempDir dir;
    TJPEGImage good;
    Load(good, ForeignFile());
    const std::string goodData = good.Data();
    int n = 0;
    for (const BadInput& c : BadInputs()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / ("bad" + std::to_string(n++) + ".jpg");
        WriteAll(path, c.bytes);
        TJPEGImage jpeg;
        try {
            jpeg.LoadFromFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_TRUE(jpeg.Empty());
        // A failed load leaves a picture as it was.
        EXPECT_THROW(Load(good, c.bytes), EInvalidGraphic);
        EXPECT_TRUE(SameBytes(good.Data(), goodData));
        EXPECT_EQ(good.Width(), 67);
    }
}

// Checking a file reads its coded data as loading does, making no pixels.
TEST(JpegImageBadInput, CheckingRefusesWhatLoadingRefuses)
{
    for (const BadInput& c : BadInputs()) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(CheckJpegDecodes(c.bytes), EInvalidGraphic);
    }
    const std::string baseline = LibjpegFile(SyntheticPicture(67, 45), 75, false, false);
    std::string extraneous = baseline;
    extraneous.insert(baseline.size() - 2, "\x12\x34");
    for (const std::string& good : {baseline, LibjpegFile(SyntheticPicture(67, 45), 75, true, true), extraneous,
                                    CmykJpeg(JCS_YCCK, 40, 30), ForeignFile(), RestartFile(SyntheticPicture(67, 45)),
                                    LibjpegFile(SyntheticPicture(67, 45), 75, false, false, true),
                                    LibjpegFile(SyntheticPicture(1, 1), 75, false, false)})
        EXPECT_NO_THROW(CheckJpegDecodes(good));
}

TEST(JpegImageBadInput, ErrorCarriesLibjpegsMessage)
{
    TJPEGImage jpeg;
    try {
        Load(jpeg, "GIF89a and so on");
        FAIL() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Not a JPEG file: starts with 0x47 0x49");
    }
    const std::string baseline = LibjpegFile(SyntheticPicture(67, 45), 75, false, false);
    try {
        Load(jpeg, baseline.substr(0, baseline.size() - 2));
        FAIL() << "loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Premature end of JPEG file");
    }
}

// The first SOS header's Se byte (the last coefficient, 63 in a sequential file).
std::size_t SosSpectralEnd(const std::string& file)
{
    const std::size_t sos = MarkerAt(file, 0xDA);
    const int components = static_cast<unsigned char>(file[sos + 4]);
    return sos + 5 + 2 * std::size_t(components) + 1;
}

TEST(JpegImageWarnings, WarningsThatLeaveEveryPixelLoadTheRestFail)
{
    const std::string baseline = LibjpegFile(SyntheticPicture(67, 45), 75, false, false);
    TJPEGImage reference;
    Load(reference, baseline);
    const std::size_t eoi = baseline.size() - 2;
    std::string extraneous = baseline;
    extraneous.insert(eoi, "\x12\x34");  // "2 extraneous bytes before marker 0xd9"
    std::string jfifMajor = baseline;
    jfifMajor[MarkerAt(baseline, 0xE0) + 9] = 2;  // JFIF version 2.01
    std::string notSequential = baseline;
    notSequential[SosSpectralEnd(baseline)] = 62;
    const std::size_t scan = ScanStart(baseline);
    // A run of one-bits (stuffed FF 00 pairs) is no Huffman code at all.
    std::string flipped = baseline;
    for (std::size_t i = scan + 20; i < scan + 60; i += 2) flipped.replace(i, 2, "\xFF\x00", 2);
    const struct {
        const char* name;
        std::string bytes;
        bool loads;
        bool samePixels;
    } cases[] = {
        {"extraneous bytes before EOI", extraneous, true, true},
        {"unknown JFIF revision", jfifMajor, true, true},
        {"sequential scan with Se 62", notSequential, true, true},
        {"truncated scan", baseline.substr(0, scan + (baseline.size() - scan) / 2), false, false},
        {"scan cut before EOI", baseline.substr(0, eoi), false, false},
        {"corrupt scan", flipped, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage jpeg;
        if (!c.loads) {
            EXPECT_THROW(Load(jpeg, c.bytes), EInvalidGraphic);
            continue;
        }
        ASSERT_NO_THROW(Load(jpeg, c.bytes));
        EXPECT_EQ(jpeg.Width(), 67);
        if (!c.samePixels)
            continue;
        for (int y = 0; y < 45; y += 11)
            for (int x = 0; x < 67; x += 13) {
                EXPECT_EQ(jpeg.Bitmap().Pixel(x, y), reference.Bitmap().Pixel(x, y));
            }
    }
}

TEST(JpegImageBadInput, MissingFileIsAnOpenErrorNamingIt)
{
    TempDir dir;
    const std::string path = dir / "absent.jpg";
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromFile(path);
        FAIL() << "loaded";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

// A small file whose header claims 12000 x 12000 pixels (a 432 MB bitmap)
// must fail before the bitmap is made.
TEST(JpegImageBadInput, LyingSizeAllocatesNothingLarge)
{
    const std::string file = WithSize(LibjpegFile(SyntheticPicture(67, 45), 75, false, false), 12000, 12000);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    TJPEGImage jpeg;
    EXPECT_THROW(Load(jpeg, file), EInvalidGraphic);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "peak grew by " << after.ru_maxrss - before.ru_maxrss
                                                             << " KiB";
}

}  // namespace
