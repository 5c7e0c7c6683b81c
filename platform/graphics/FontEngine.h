#pragma once

// Fonts for the canvas: Windows family names resolved to Debian's font files,
// glyphs rasterised by FreeType as hard (monochrome, hinted) bitmaps, so that
// text pixels are GDI-like and the same on every machine with the packages
// fonts-liberation and fonts-dejavu-core.
//
// Family names. The Windows names the programs use map to fixed families:
//   Arial, Helvetica, MS Sans Serif, Microsoft Sans Serif, MS Shell Dlg (2),
//   System, Tahoma, Segoe UI                      -> Liberation Sans
//   Verdana, Trebuchet MS, Comic Sans MS          -> DejaVu Sans
//   Arial Black                                   -> DejaVu Sans, always bold
//   Times New Roman, Times, MS Serif              -> Liberation Serif
//   Georgia                                       -> DejaVu Serif
//   Courier New, Courier, Lucida Console,
//   Consolas, Fixedsys                            -> Liberation Mono
// The Liberation and DejaVu names themselves stand for their own families.
// A mapped family is asked of fontconfig, and its answer is taken only when it
// is that family; otherwise (or when fontconfig finds nothing) the package's
// fixed file path is used. Any other name goes to fontconfig as it is; when
// that finds no file either, the default font is used. The default font is
// Liberation Sans (the canvas's "MS Sans Serif" 8 pt, 11 pixels); if even its
// file is missing, text raises Exception "No font file found for <name>".
//
// Sizes: a negative height is the character (em) height in pixels, a positive
// one the cell height (ascent + descent), 0 means 12 pixels; pixel sizes are
// held to 1..1000. Metrics come from the face's Windows metrics (OS/2
// usWinAscent/usWinDescent, xAvgCharWidth) scaled and rounded, as the
// platform's text metrics do.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct TFontRequest {
    std::string Name;
    int Height = -11;
    bool Bold = false;
    bool Italic = false;
    friend auto operator<=>(const TFontRequest&, const TFontRequest&) = default;
};

struct TFontMetrics {
    int Ascent = 0;
    int Descent = 0;
    int Height = 0;             // Ascent + Descent
    int InternalLeading = 0;    // Height - em size
    int AveCharWidth = 0;
    int UnderlinePosition = 0;  // pixels below the baseline
    int UnderlineThickness = 1;
    int StrikeoutPosition = 0;  // pixels above the baseline
    int StrikeoutThickness = 1;
};

// One rendered glyph: 1 bit per pixel, most significant bit first, rows of
// Pitch bytes; Left and Top place the bitmap's top-left corner relative to
// the pen position on the baseline (Top upwards).
struct TGlyph {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Pitch = 0;
    int Advance = 0;
    std::vector<std::uint8_t> Bits;
    bool On(int x, int y) const { return (Bits[std::size_t(y * Pitch + (x >> 3))] >> (7 - (x & 7))) & 1; }
};

// One face at one pixel size. Glyphs are rendered on first use and kept;
// the instance may be used from several threads.
class TFontInstance {
public:
    TFontInstance(const std::string& file, int height);
    ~TFontInstance();
    TFontInstance(const TFontInstance&) = delete;
    TFontInstance& operator=(const TFontInstance&) = delete;

    const TFontMetrics& Metrics() const { return FMetrics; }
    const std::string& File() const { return FFile; }
    int PixelSize() const { return FPixelSize; }
    const TGlyph& Glyph(char32_t c);
    int Advance(char32_t c) { return Glyph(c).Advance; }

private:
    struct TFace;
    std::string FFile;
    int FPixelSize = 0;
    TFontMetrics FMetrics;
    std::unique_ptr<TFace> FFace;
    std::mutex FLock;
    std::map<char32_t, TGlyph> FGlyphs;
};

// The font file for a family name and style (see above).
std::string ResolveFontFile(std::string_view name, bool bold, bool italic);
// The family a Windows name maps to ("" for names outside the table).
std::string MappedFontFamily(std::string_view name);

// A shared, cached instance for a request; raises Exception when no font
// file exists at all.
std::shared_ptr<TFontInstance> FontInstance(const TFontRequest& request);
