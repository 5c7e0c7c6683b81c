#include "platform/graphics/FontEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"

namespace {

struct TFamilyFiles {
    const char* Family;
    const char* Regular;
    const char* Bold;
    const char* Italic;
    const char* BoldItalic;
};

constexpr const char* LiberationDir = "/usr/share/fonts/truetype/liberation/";
constexpr const char* DejaVuDir = "/usr/share/fonts/truetype/dejavu/";

const TFamilyFiles KnownFamilies[] = {
    {"Liberation Sans", "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
     "LiberationSans-BoldItalic.ttf"},
    {"Liberation Serif", "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf",
     "LiberationSerif-BoldItalic.ttf"},
    {"Liberation Mono", "LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
     "LiberationMono-BoldItalic.ttf"},
    {"DejaVu Sans", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
    {"DejaVu Serif", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf",
     "DejaVuSerif-BoldItalic.ttf"},
    {"DejaVu Sans Mono", "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
     "DejaVuSansMono-BoldOblique.ttf"},
};

struct TNameMapping {
    const char* Name;
    const char* Family;
    bool Bold;
};

const TNameMapping WindowsNames[] = {
    {"Arial", "Liberation Sans", false},
    {"Helvetica", "Liberation Sans", false},
    {"MS Sans Serif", "Liberation Sans", false},
    {"Microsoft Sans Serif", "Liberation Sans", false},
    {"MS Shell Dlg", "Liberation Sans", false},
    {"MS Shell Dlg 2", "Liberation Sans", false},
    {"System", "Liberation Sans", false},
    {"Tahoma", "Liberation Sans", false},
    {"Segoe UI", "Liberation Sans", false},
    {"Verdana", "DejaVu Sans", false},
    {"Trebuchet MS", "DejaVu Sans", false},
    {"Comic Sans MS", "DejaVu Sans", false},
    {"Arial Black", "DejaVu Sans", true},
    {"Times New Roman", "Liberation Serif", false},
    {"Times", "Liberation Serif", false},
    {"MS Serif", "Liberation Serif", false},
    {"Georgia", "DejaVu Serif", false},
    {"Courier New", "Liberation Mono", false},
    {"Courier", "Liberation Mono", false},
    {"Lucida Console", "Liberation Mono", false},
    {"Consolas", "Liberation Mono", false},
    {"Fixedsys", "Liberation Mono", false},
};

constexpr const char* DefaultFamily = "Liberation Sans";

const TFamilyFiles* FindFamily(std::string_view family)
{
    for (const auto& f : KnownFamilies)
        if (SameText(f.Family, family)) return &f;
    return nullptr;
}

std::string FixedPath(const TFamilyFiles& f, bool bold, bool italic)
{
    const char* dir = std::strncmp(f.Family, "Liberation", 10) == 0 ? LiberationDir : DejaVuDir;
    const char* file = bold ? (italic ? f.BoldItalic : f.Bold) : (italic ? f.Italic : f.Regular);
    return std::string(dir) + file;
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// fontconfig's answer for a family and style, with the family it chose.
std::string AskFontconfig(const std::string& family, bool bold, bool italic, std::string& chosenFamily)
{
    static std::mutex lock;
    std::lock_guard guard(lock);
    static FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return {};
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return {};
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string file;
    if (match) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch && value)
            file = reinterpret_cast<const char*>(value);
        if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch && value)
            chosenFamily = reinterpret_cast<const char*>(value);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// The file of one of our fixed families: fontconfig's, when it is that family.
std::string FamilyFile(const TFamilyFiles& f, bool bold, bool italic)
{
    std::string chosen;
    std::string file = AskFontconfig(f.Family, bold, italic, chosen);
    if (SameText(chosen, f.Family) && FileExists(file)) {
        // fontconfig may offer a style variant ("Condensed"); take the plain
        // file when that is what the package installs.
        const std::string fixed = FixedPath(f, bold, italic);
        if (FileExists(fixed) && std::filesystem::path(file).filename() != std::filesystem::path(fixed).filename())
            return fixed;
        return file;
    }
    file = FixedPath(f, bold, italic);
    return FileExists(file) ? file : std::string();
}

struct TFreeType {
    std::mutex Lock;
    FT_Library Library = nullptr;
    TFreeType() { FT_Init_FreeType(&Library); }
};

TFreeType& FreeType()
{
    // Never destroyed: faces held by static objects may close after main.
    static TFreeType* library = new TFreeType;
    return *library;
}

int Scale(long units, int ppem, int unitsPerEm)
{
    if (unitsPerEm <= 0) return 0;
    return int(std::lround(double(units) * ppem / unitsPerEm));
}

}  // namespace

std::string MappedFontFamily(std::string_view name)
{
    for (const auto& m : WindowsNames)
        if (SameText(m.Name, name)) return m.Family;
    if (const TFamilyFiles* f = FindFamily(name)) return f->Family;
    return {};
}

std::string ResolveFontFile(std::string_view name, bool bold, bool italic)
{
    bool forceBold = false;
    for (const auto& m : WindowsNames)
        if (SameText(m.Name, name)) forceBold = m.Bold;
    const std::string family = MappedFontFamily(name);
    if (!family.empty()) {
        std::string file = FamilyFile(*FindFamily(family), bold || forceBold, italic);
        if (!file.empty()) return file;
    } else if (!name.empty()) {
        std::string chosen;
        std::string file = AskFontconfig(std::string(name), bold, italic, chosen);
        if (FileExists(file)) return file;
    }
    return FamilyFile(*FindFamily(DefaultFamily), bold, italic);
}

struct TFontInstance::TFace {
    FT_Face Face = nullptr;
    ~TFace()
    {
        if (Face) {
            std::lock_guard guard(FreeType().Lock);
            FT_Done_Face(Face);
        }
    }
};

TFontInstance::TFontInstance(const std::string& file, int height) : FFile(file), FFace(std::make_unique<TFace>())
{
    TFreeType& freeType = FreeType();
    {
        std::lock_guard guard(freeType.Lock);
        if (!freeType.Library || FT_New_Face(freeType.Library, file.c_str(), 0, &FFace->Face) != 0) {
            FFace->Face = nullptr;
            throw Exception("Cannot open font file " + file);
        }
    }
    FT_Face face = FFace->Face;
    const int upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const long winAscent = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
    const long winDescent = os2 && os2->usWinAscent ? os2->usWinDescent : -face->descender;
    int ppem;
    if (height < 0) ppem = -height;
    else if (height > 0) ppem = int(std::lround(double(height) * upem / std::max(1L, winAscent + winDescent)));
    else ppem = 12;
    ppem = std::clamp(ppem, 1, 1000);
    FPixelSize = ppem;
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(ppem));
    FMetrics.Ascent = Scale(winAscent, ppem, upem);
    FMetrics.Descent = Scale(winDescent, ppem, upem);
    FMetrics.Height = FMetrics.Ascent + FMetrics.Descent;
    FMetrics.InternalLeading = std::max(0, FMetrics.Height - ppem);
    FMetrics.AveCharWidth = os2 && os2->xAvgCharWidth > 0 ? Scale(os2->xAvgCharWidth, ppem, upem) : 0;
    if (FMetrics.AveCharWidth <= 0) FMetrics.AveCharWidth = std::max(1, Advance(U'x'));
    FMetrics.UnderlinePosition = std::max(1, Scale(-face->underline_position, ppem, upem));
    FMetrics.UnderlineThickness = std::max(1, Scale(face->underline_thickness, ppem, upem));
    FMetrics.StrikeoutPosition = os2 ? Scale(os2->yStrikeoutPosition, ppem, upem) : FMetrics.Ascent / 3;
    FMetrics.StrikeoutThickness = std::max(1, os2 ? Scale(os2->yStrikeoutSize, ppem, upem) : 1);
}

TFontInstance::~TFontInstance() = default;

const TGlyph& TFontInstance::Glyph(char32_t c)
{
    std::lock_guard guard(FLock);
    if (auto it = FGlyphs.find(c); it != FGlyphs.end()) return it->second;
    TGlyph glyph;
    FT_Face face = FFace->Face;
    if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        glyph.Advance = int((slot->advance.x + 32) >> 6);
        const FT_Bitmap& b = slot->bitmap;
        if (b.pixel_mode == FT_PIXEL_MODE_MONO && b.width > 0 && b.rows > 0) {
            glyph.Left = slot->bitmap_left;
            glyph.Top = slot->bitmap_top;
            glyph.Width = int(b.width);
            glyph.Height = int(b.rows);
            glyph.Pitch = (glyph.Width + 7) / 8;
            glyph.Bits.resize(std::size_t(glyph.Pitch) * std::size_t(glyph.Height));
            for (int y = 0; y < glyph.Height; ++y) {
                const unsigned char* row = b.buffer + std::ptrdiff_t(y) * b.pitch;
                std::memcpy(glyph.Bits.data() + std::size_t(y * glyph.Pitch), row, std::size_t(glyph.Pitch));
            }
        }
    }
    return FGlyphs.emplace(c, std::move(glyph)).first->second;
}

std::shared_ptr<TFontInstance> FontInstance(const TFontRequest& request)
{
    static std::mutex lock;
    static std::map<TFontRequest, std::shared_ptr<TFontInstance>> cache;
    std::lock_guard guard(lock);
    if (auto it = cache.find(request); it != cache.end()) return it->second;
    const std::string file = ResolveFontFile(request.Name, request.Bold, request.Italic);
    if (file.empty()) throw Exception("No font file found for " + PrintableText(request.Name));
    // Many sizes of many faces come and go in a long run: keep the cache small.
    if (cache.size() >= 64) cache.clear();
    auto instance = std::make_shared<TFontInstance>(file, request.Height);
    cache.emplace(request, instance);
    return instance;
}
