#pragma once

// Helper routines shared by all four programs: text and file helpers, picture
// helpers on 24-bit bitmaps, and the keyed byte scrambler.
//
// Texts are CP1252 byte strings with 1-based positions. Routines with an out
// parameter overwrite it. Picture routines that return a bitmap create it and
// the caller owns it; routines with a target write into it. Real numbers are
// rounded half to even.

#include <array>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TJPEGImage;

// The folder of the running program file, ending in "/".
void AppPath(std::string& dir);
// The whole file as bytes, read in chunks of 2048; raises EFOpenError naming
// the file (a folder included); `data` is left alone on any error.
void LoadFileToString(const std::string& fileName, std::string& data);
// mode 0: the first occurrence; mode 1: every occurrence, left to right, the
// search resuming behind each replacement; any other mode: no change.
void ReplaceText(const std::string& find, const std::string& replacement, std::string& text, int mode);
// The halves around the first `ch` / `separator`; when absent, before = "" and
// after = the whole text.
void SplitAtChar(char ch, const std::string& s, std::string& before, std::string& after);
void SplitAtText(const std::string& separator, const std::string& s, std::string& before, std::string& after);
// The text after the last "."; the whole text when it holds none.
void ExtractLastDotPart(const std::string& s, std::string& part);

// New pf24bit bitmaps, whatever the source's format (24-bit sources are copied
// by row, others through Pixel()). An empty source gives an empty target.
// Right: target(H-1-y, x) := source(x, y); left: target(y, W-1-x) := source(x, y).
std::unique_ptr<TBitmap> RotateBitmapRight(const TBitmap& source);
std::unique_ptr<TBitmap> RotateBitmapLeft(const TBitmap& source);
// Nearest neighbour; the aspect ratio is not kept. Each axis samples from one
// step in, a position grows while the next step stays below the size, and a
// sample rounded up to the size is taken as size - 1. A 0 size or an empty
// source gives a white target of the asked size; a negative size raises
// EInvalidGraphicOperation.
std::unique_ptr<TBitmap> ResizeBitmap(const TBitmap& source, int width, int height);
// The source index that ResizeBitmap samples for each target index along one
// axis; ascending.
std::vector<int> ResizeSamples(int sourceSize, int targetSize);

// Both bitmaps 24-bit (pf24bit or pfDevice), else EInvalidGraphicOperation.
// Writes table[source byte] into the target's bytes of the routine's channel
// and leaves the target's other bytes alone. The counts are cut to both
// bitmaps' sizes. delta in -255..255 (beyond that it acts as +/-255).
TBitmap& AdjustBlue(TBitmap& target, const TBitmap& source, int rowCount, int pixelsPerRow, int delta);
TBitmap& AdjustGreen(TBitmap& target, const TBitmap& source, int rowCount, int pixelsPerRow, int delta);
TBitmap& AdjustRed(TBitmap& target, const TBitmap& source, int rowCount, int pixelsPerRow, int delta);
TBitmap& AdjustBrightness(TBitmap& target, const TBitmap& source, int rowCount, int pixelsPerRow, int delta);
// amount 0..255 (clamped) raises contrast by the factor 1 + amount / 100, over
// the target's whole size (cut to the source's); 24-bit as the Adjust* above.
void AdjustContrast(TBitmap& target, const TBitmap& source, int amount);

// Saves; on an Exception retries at quality 80, then at 50 (recompressed from
// the bitmap); the third failure propagates.
void SaveJpegWithFallback(TJPEGImage& image, const std::string& fileName);

// The keyed byte scrambler: out[i] = text[i] +/- key[(i - 1) mod length] (mod 256).
// Row i of the table is the alphabet turned left by i.
using TScrambleTable = std::array<std::string, 256>;
// The byte values 0..255 in order; empty until BuildScrambleTable runs.
extern std::string ScrambleAlphabet;
// Fills ScrambleAlphabet afresh and the table; run it before the scramblers.
void BuildScrambleTable(TScrambleTable& table);
// Any byte passes, 0, CR and LF included, and any byte may come out. An empty
// key raises Exception.
void ScrambleText(const TScrambleTable& table, const std::string& key, std::string& text);
void UnscrambleText(const TScrambleTable& table, const std::string& key, std::string& text);

// Round half to even, as every picture size and placement of the system does.
// Values beyond int saturate; NaN gives 0.
int RoundHalfEven(double value);
