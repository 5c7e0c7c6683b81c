// Decoding and encoding through libjpeg.
//
// libjpeg reports errors by calling error_exit, which must not return. A C++
// exception cannot pass through libjpeg's C frames, so error_exit jumps back
// with longjmp to the stage that called libjpeg. Each such stage is a small
// function whose frame holds no object with a destructor (the jump would skip
// it); the stages report failure by their result and the C++ code around
// them raises the exception and cleans up.

#include "platform/graphics/TJPEGImage.h"

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/core/Exceptions.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// libjpeg only warns about corrupt or missing data and goes on with invented
// pixels; a picture loaded that way would look fine until someone sees it.
// The warnings after which every pixel came from the file pass (the list is in
// TJPEGImage.h); every other warning is an error.
bool HarmlessWarning(int code)
{
    switch (code) {
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_ICC: return true;
    default: return false;
    }
}

void OnMessage(j_common_ptr info, int level)
{
    if (level >= 0) return;  // trace output
    if (HarmlessWarning(info->err->msg_code)) {
        ++info->err->num_warnings;
        return;
    }
    (*info->err->error_exit)(info);
}

void InstallErrorManager(ErrorManager& error)
{
    jpeg_std_error(&error.pub);
    error.pub.error_exit = OnError;
    error.pub.emit_message = OnMessage;
    error.message[0] = '\0';
}

// ---- Decoding ----

struct DecodeJob {
    jpeg_decompress_struct info;
    ErrorManager error;
    const unsigned char* data;
    unsigned long size;
    bool cmyk;
    JSAMPROW* rows;           // one per output row, into the target bitmap
    unsigned char* inkRow;    // CMYK pictures: one row of four-byte pixels
};

// Destroys the decompressor however the decode ends. jpeg_destroy is safe on
// a zeroed struct and on one whose creation failed.
struct DecodeGuard {
    DecodeJob& job;
    ~DecodeGuard() { jpeg_destroy_decompress(&job.info); }
};

bool ReadHeader(DecodeJob& job)
{
    job.info.err = &job.error.pub;
    InstallErrorManager(job.error);
    if (setjmp(job.error.jump)) return false;
    jpeg_create_decompress(&job.info);
    // libjpeg's own work memory (whole-picture coefficient buffers of
    // progressive files) stays within the bitmap limit too.
    job.info.mem->max_memory_to_use = static_cast<long>(TBitmap::MaxBitmapBytes);
    jpeg_mem_src(&job.info, job.data, job.size);
    jpeg_read_header(&job.info, TRUE);
    job.cmyk = job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK;
    // Rows of a 24-bit bitmap are blue, green, red: libjpeg writes them so
    // directly. It cannot turn inks into light, so CMYK comes out as CMYK.
    job.info.out_color_space = job.cmyk ? JCS_CMYK : JCS_EXT_BGR;
    job.info.dct_method = JDCT_ISLOW;
    job.info.do_fancy_upsampling = TRUE;
    job.info.scale_num = 1;
    job.info.scale_denom = 1;
    jpeg_calc_output_dimensions(&job.info);
    return true;
}

// Every block of a Huffman-coded first scan costs at least one bit (its DC
// code), so the bytes after the scan header bound the blocks that can really
// follow. This refuses a header that lies about the size before the bitmap is
// allocated. Arithmetic coding and AC-first progressions have no such bound.
bool FirstScanCanFit(const jpeg_decompress_struct& info)
{
    if (info.arith_code || info.Ss != 0 || info.comps_in_scan < 1) return true;
    std::uint64_t blocks = 0;
    if (info.comps_in_scan == 1) {
        const jpeg_component_info& c = *info.cur_comp_info[0];
        blocks = std::uint64_t(c.width_in_blocks) * c.height_in_blocks;
    } else {
        const std::uint64_t mcuWidth = std::uint64_t(info.max_h_samp_factor) * DCTSIZE;
        const std::uint64_t mcuHeight = std::uint64_t(info.max_v_samp_factor) * DCTSIZE;
        const std::uint64_t mcus = ((info.image_width + mcuWidth - 1) / mcuWidth) *
                                   ((info.image_height + mcuHeight - 1) / mcuHeight);
        std::uint64_t perMcu = 0;
        for (int i = 0; i < info.comps_in_scan; ++i)
            perMcu += std::uint64_t(info.cur_comp_info[i]->h_samp_factor) * info.cur_comp_info[i]->v_samp_factor;
        blocks = mcus * perMcu;
    }
    return std::uint64_t(info.src->bytes_in_buffer) * 8 >= blocks;
}

// CMYK files hold inverted inks (255 = no ink), as Adobe's programs write
// them and as libjpeg itself writes CMYK; djpeg reads them the same way.
void InksToBgr(const unsigned char* inks, unsigned char* bgr, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x, inks += 4, bgr += 3) {
        const unsigned k = inks[3];
        bgr[0] = static_cast<unsigned char>((inks[2] * k + 127) / 255);
        bgr[1] = static_cast<unsigned char>((inks[1] * k + 127) / 255);
        bgr[2] = static_cast<unsigned char>((inks[0] * k + 127) / 255);
    }
}

bool ReadPixels(DecodeJob& job)
{
    if (setjmp(job.error.jump)) return false;
    jpeg_start_decompress(&job.info);
    while (job.info.output_scanline < job.info.output_height) {
        const JDIMENSION row = job.info.output_scanline;
        if (job.cmyk) {
            JSAMPROW ink = job.inkRow;
            jpeg_read_scanlines(&job.info, &ink, 1);
            InksToBgr(job.inkRow, job.rows[row], job.info.output_width);
        } else {
            jpeg_read_scanlines(&job.info, job.rows + row, job.info.output_height - row);
        }
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

// Reads the coded data to the end of the file as decoding does, so it fails
// where decoding fails, without making the pixels. The rows of a single-scan
// file are skipped, which runs only the entropy decoder; the last row is read,
// since skipping to the end would stop short of the data. A file of several
// scans (progressive) is taken in buffered-image mode, which reads every scan
// into the coefficients decoding needs too and stops before the inverse DCT.
bool ReadCodedData(DecodeJob& job)
{
    if (setjmp(job.error.jump)) return false;
    job.info.buffered_image = jpeg_has_multiple_scans(&job.info);
    jpeg_start_decompress(&job.info);
    if (!job.info.buffered_image) {
        jpeg_skip_scanlines(&job.info, job.info.output_height - 1);
        jpeg_read_scanlines(&job.info, job.rows, 1);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

[[noreturn]] void RaiseDecodeError(const DecodeJob& job)
{
    throw EInvalidGraphic(job.error.message[0] ? job.error.message : "JPEG error");
}

void OpenForDecoding(DecodeJob& job, std::string_view data)
{
    job.data = reinterpret_cast<const unsigned char*>(data.data());
    job.size = static_cast<unsigned long>(data.size());
    if (!ReadHeader(job)) RaiseDecodeError(job);
    if (!FirstScanCanFit(job.info)) throw EInvalidGraphic("Premature end of JPEG file");
    // Arithmetic-coded data gives no bound on the blocks it holds: the size
    // limit is what stops its header from lying.
    const std::size_t rowBytes = (std::size_t(job.info.output_width) * 3 + 3) & ~std::size_t(3);
    if (rowBytes * job.info.output_height > TBitmap::MaxBitmapBytes)
        throw EInvalidGraphic("JPEG image too large (" + std::to_string(job.info.output_width) + " x " +
                              std::to_string(job.info.output_height) + " pixels)");
}

// ---- Encoding ----

// libjpeg writes into a small chunk that is appended to the output when full.
// The output's capacity is reserved up front for a generous guess of the
// file size, so a large picture is written once, into pages touched only as
// they fill, instead of being zero-filled and copied on every growth.
constexpr std::size_t ChunkBytes = 64 * 1024;

struct EncodeJob {
    jpeg_compress_struct info;
    ErrorManager error;
    jpeg_destination_mgr destination;
    std::string* output;
    unsigned char* chunk;
    JSAMPROW* rows;               // 24- and 32-bit bitmaps: their own rows
    const TBitmap* expandSource;  // other formats: expanded row by row
    unsigned char* expandedRow;
    JDIMENSION width;
    JDIMENSION height;
    J_COLOR_SPACE space;
    int components;
    int quality;
};

struct EncodeGuard {
    EncodeJob& job;
    ~EncodeGuard() { jpeg_destroy_compress(&job.info); }
};

EncodeJob& JobOf(j_compress_ptr info) { return *static_cast<EncodeJob*>(info->client_data); }

// A failed allocation becomes libjpeg's out-of-memory error rather than an
// exception inside libjpeg.
void Append(j_compress_ptr info, std::size_t count)
{
    EncodeJob& job = JobOf(info);
    bool appended = true;
    try {
        job.output->append(reinterpret_cast<const char*>(job.chunk), count);
    } catch (...) {
        appended = false;
    }
    if (!appended) {
        info->err->msg_code = JERR_OUT_OF_MEMORY;
        (*info->err->error_exit)(reinterpret_cast<j_common_ptr>(info));
    }
}

void InitDestination(j_compress_ptr info)
{
    info->dest->next_output_byte = JobOf(info).chunk;
    info->dest->free_in_buffer = ChunkBytes;
}

boolean EmptyOutput(j_compress_ptr info)
{
    Append(info, ChunkBytes);
    info->dest->next_output_byte = JobOf(info).chunk;
    info->dest->free_in_buffer = ChunkBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr info) { Append(info, ChunkBytes - info->dest->free_in_buffer); }

void ExpandRow(const TBitmap& source, int y, unsigned char* bgr) noexcept
{
    for (int x = 0; x < source.Width(); ++x, bgr += 3) {
        const TColor c = source.Pixel(x, y);
        bgr[0] = GetBValue(c);
        bgr[1] = GetGValue(c);
        bgr[2] = GetRValue(c);
    }
}

bool WriteAll(EncodeJob& job)
{
    job.info.err = &job.error.pub;
    InstallErrorManager(job.error);
    if (setjmp(job.error.jump)) return false;
    jpeg_create_compress(&job.info);
    job.info.client_data = &job;
    job.destination.init_destination = InitDestination;
    job.destination.empty_output_buffer = EmptyOutput;
    job.destination.term_destination = TermDestination;
    job.info.dest = &job.destination;
    job.info.image_width = job.width;
    job.info.image_height = job.height;
    job.info.input_components = job.components;
    job.info.in_color_space = job.space;
    jpeg_set_defaults(&job.info);
    jpeg_set_quality(&job.info, job.quality, TRUE);
    jpeg_start_compress(&job.info, TRUE);
    while (job.info.next_scanline < job.info.image_height) {
        if (job.expandSource) {
            ExpandRow(*job.expandSource, static_cast<int>(job.info.next_scanline), job.expandedRow);
            JSAMPROW row = job.expandedRow;
            jpeg_write_scanlines(&job.info, &row, 1);
        } else {
            jpeg_write_scanlines(&job.info, job.rows + job.info.next_scanline,
                                 job.info.image_height - job.info.next_scanline);
        }
    }
    jpeg_finish_compress(&job.info);
    return true;
}

}  // namespace

TJpegHeader ReadJpegHeader(std::string_view data)
{
    DecodeJob job{};
    DecodeGuard guard{job};
    job.data = reinterpret_cast<const unsigned char*>(data.data());
    job.size = static_cast<unsigned long>(data.size());
    if (!ReadHeader(job)) RaiseDecodeError(job);
    TJpegHeader header;
    header.Width = static_cast<int>(job.info.image_width);
    header.Height = static_cast<int>(job.info.image_height);
    header.Components = job.info.num_components;
    header.AdobeMarker = job.info.saw_Adobe_marker != 0;
    return header;
}

void DecodeJpeg(std::string_view data, TBitmap& target, bool& grayscale)
{
    DecodeJob job{};
    DecodeGuard guard{job};
    OpenForDecoding(job, data);

    const JDIMENSION width = job.info.output_width;
    const JDIMENSION height = job.info.output_height;

    // A bitmap of the picture's size and format is decoded into as it is: every
    // pixel is written, and fresh memory for each of many pictures costs more
    // in first touches than the decoding.
    if (target.PixelFormat() != pf24bit || target.Width() != static_cast<int>(width) ||
        target.Height() != static_cast<int>(height)) {
        target.SetSize(0, 0);
        target.SetPixelFormat(pf24bit);
        target.SetSize(static_cast<int>(width), static_cast<int>(height));
    }
    std::vector<JSAMPROW> rows(height);
    for (JDIMENSION y = 0; y < height; ++y) rows[y] = target.ScanLine(static_cast<int>(y));
    std::vector<unsigned char> inkRow(job.cmyk ? std::size_t(width) * 4 : 0);
    job.rows = rows.data();
    job.inkRow = inkRow.data();
    if (!ReadPixels(job)) RaiseDecodeError(job);
    grayscale = job.info.jpeg_color_space == JCS_GRAYSCALE;
}

void CheckJpegDecodes(std::string_view data)
{
    DecodeJob job{};
    DecodeGuard guard{job};
    OpenForDecoding(job, data);
    // Room for the one row the check reads, in either output format.
    std::vector<unsigned char> row(std::size_t(job.info.output_width) * 4);
    JSAMPROW rowPointer = row.data();
    job.rows = &rowPointer;
    if (!ReadCodedData(job)) RaiseDecodeError(job);
}

std::string EncodeJpeg(const TBitmap& source, int quality)
{
    if (source.Empty()) throw EInvalidGraphicOperation("Cannot encode an empty picture as JPEG");
    const int width = source.Width();
    const int height = source.Height();

    // 24- and 32-bit rows go to libjpeg as they are; other formats are
    // expanded through their colours, one row at a time.
    const bool direct = source.BitCount() == 24 || source.BitCount() == 32;
    std::vector<JSAMPROW> rows(direct ? static_cast<std::size_t>(height) : 0);
    std::vector<unsigned char> expandedRow(direct ? 0 : std::size_t(width) * 3);
    if (direct)
        for (int y = 0; y < height; ++y) rows[y] = const_cast<JSAMPROW>(source.ScanLine(y));

    // A quarter of the raw size holds the file at the usual qualities; a
    // larger one grows the string. Without the memory, growth starts small.
    std::string output;
    try {
        output.reserve(std::size_t(width) * height * 3 / 4 + ChunkBytes);
    } catch (const std::bad_alloc&) {
    }
    std::vector<unsigned char> chunk(ChunkBytes);
    EncodeJob job{};
    EncodeGuard guard{job};
    job.output = &output;
    job.chunk = chunk.data();
    job.rows = rows.data();
    job.expandSource = direct ? nullptr : &source;
    job.expandedRow = expandedRow.data();
    job.width = static_cast<JDIMENSION>(width);
    job.height = static_cast<JDIMENSION>(height);
    job.space = source.BitCount() == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
    job.components = source.BitCount() == 32 ? 4 : 3;
    job.quality = std::clamp(quality, 1, 100);
    if (!WriteAll(job)) throw EInvalidGraphic(job.error.message[0] ? job.error.message : "JPEG error");
    return output;
}
