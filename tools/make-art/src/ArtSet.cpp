#include "tools/make-art/src/ArtSet.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"
#include "platform/graphics/FontEngine.h"
#include "platform/graphics/TJPEGImage.h"
#include "tools/make-art/src/GifWriter.h"
#include "tools/make-art/src/PageArt.h"
#include "tools/make-art/src/PhpArt.h"
#include "tools/make-art/src/Sounds.h"
#include "tools/make-art/src/StampelArt.h"
#include "tools/make-art/src/StartArt.h"
#include "tools/make-art/src/ViewerGlyphs.h"
#include "tools/make-art/src/WizardArt.h"

namespace {

constexpr int JpegQuality = 92;

std::string Bmp(const std::unique_ptr<TBitmap>& bitmap)
{
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    return stream.Bytes();
}

std::string Jpeg(const std::unique_ptr<TBitmap>& bitmap) { return EncodeJpeg(*bitmap, JpegQuality); }

std::string Language(bool german) { return german ? "-ger" : "-eng"; }

// The faces the pictures use, by the names they are asked for.
struct TFace {
    const char* Name;
    bool Bold;
};
constexpr std::array<TFace, 6> Faces = {{
    {"Arial", false}, {"Arial", true}, {"Verdana", false}, {"Verdana", true},
    {"Courier New", true}, {"Times New Roman", true},
}};

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

std::string FontRecord()
{
    std::string record;
    for (const TFace& face : Faces) {
        const std::filesystem::path file = ResolveFontFile(face.Name, face.Bold, false);
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(bytes)));
        record += std::string(face.Name) + (face.Bold ? " bold" : "") + ": " + file.filename().string() + " " +
                  std::to_string(bytes.size()) + " " + hash + "\n";
    }
    return record;
}

std::vector<TArtFile> MakeArt()
{
    std::vector<TArtFile> files;
    const auto add = [&](std::string path, std::string bytes) { files.push_back({std::move(path), std::move(bytes)}); };

    for (bool german : {true, false})
        add("art/StartScreen" + Language(german) + ".jpg", Jpeg(DrawStartScreen(german)));

    const std::pair<TStartButton, const char*> startButtons[] = {
        {TStartButton::Mail, "Mail"}, {TStartButton::Web, "Web"},           {TStartButton::Thumbs, "Thumbs"},
        {TStartButton::Exe, "Exe"},   {TStartButton::Pdf, "Pdf"},           {TStartButton::Language, "Language"},
        {TStartButton::Exit, "Exit"},
    };
    for (const auto& [button, name] : startButtons)
        add(std::string("art/StartButton-") + name + ".bmp", Bmp(DrawStartButton(button)));

    const std::pair<TWizardButton, const char*> wizardButtons[] = {
        {TWizardButton::Add, "Add"},           {TWizardButton::Delete, "Delete"},
        {TWizardButton::Clear, "Clear"},       {TWizardButton::Fonts, "Fonts"},
        {TWizardButton::Background, "Background"}, {TWizardButton::Copyright, "Copyright"},
        {TWizardButton::LoadText, "LoadText"},
    };
    for (const auto& [role, name] : wizardButtons)
        for (bool german : {true, false})
            add(std::string("art/WizardButton-") + name + Language(german) + ".bmp",
                Bmp(DrawWizardButton(role, german)));

    const std::pair<TWizardIcon, const char*> icons[] = {
        {TWizardIcon::Start, "Start"}, {TWizardIcon::Publish, "Publish"}, {TWizardIcon::MetaTags, "MetaTags"}};
    for (const auto& [icon, name] : icons)
        add(std::string("art/WizardIcon-") + name + ".bmp", Bmp(DrawWizardIcon(icon)));

    const std::pair<TPagePicture, const char*> pages[] = {
        {TPagePicture::Pictures, "Pictures"}, {TPagePicture::Gallery, "Gallery"}, {TPagePicture::Texts, "Texts"},
        {TPagePicture::Mail, "Mail"},         {TPagePicture::Thumbs, "Thumbs"},   {TPagePicture::Exe, "Exe"},
        {TPagePicture::Pdf, "Pdf"},
    };
    for (const auto& [page, name] : pages) add(std::string("art/Page-") + name + ".jpg", Jpeg(DrawPagePicture(page)));

    add("art/Instructions.jpg", Jpeg(DrawInstructions()));
    add("art/Kind-Html.bmp", Bmp(DrawKindIcon(false)));
    add("art/Kind-Php.bmp", Bmp(DrawKindIcon(true)));
    add("art/Preview-Html.jpg", Jpeg(DrawKindPreview(false)));
    add("art/Preview-Php.jpg", Jpeg(DrawKindPreview(true)));

    const std::pair<TViewerGlyph, const char*> glyphs[] = {
        {TViewerGlyph::Exit, "Exit"},         {TViewerGlyph::Save, "Save"},
        {TViewerGlyph::Colour, "Colour"},     {TViewerGlyph::TurnLeft, "TurnLeft"},
        {TViewerGlyph::TurnRight, "TurnRight"}, {TViewerGlyph::Info, "Info"},
    };
    for (const auto& [glyph, name] : glyphs)
        add(std::string("art/ViewerGlyph-") + name + ".bmp", Bmp(DrawViewerGlyph(glyph)));

    add("art/Stampel-Assistant.jpg", Jpeg(DrawStampelAssistant()));
    const std::pair<TStampelButton, const char*> stampelButtons[] = {
        {TStampelButton::Cancel, "Cancel"}, {TStampelButton::Next, "Next"}, {TStampelButton::Back, "Back"}};
    for (const auto& [button, name] : stampelButtons)
        add(std::string("art/Stampel-") + name + ".bmp", Bmp(DrawStampelButton(button)));
    const std::pair<TStampelPosition, const char*> positions[] = {
        {TStampelPosition::TopLeft, "TopLeft"},         {TStampelPosition::BottomLeft, "BottomLeft"},
        {TStampelPosition::TopRight, "TopRight"},       {TStampelPosition::BottomRight, "BottomRight"},
        {TStampelPosition::Centre, "Centre"},
    };
    for (const auto& [position, name] : positions)
        add(std::string("art/Stampel-Position-") + name + ".bmp", Bmp(DrawStampelPosition(position)));
    // The PHP gallery's templates copy these into every PHP gallery.
    const std::pair<TPhpPicture, const char*> phpGifs[] = {
        {TPhpPicture::Eye, "eye"}, {TPhpPicture::Mail, "mail"}, {TPhpPicture::Vote, "vote"},
        {TPhpPicture::Comment, "com"}, {TPhpPicture::VoteSubmit, "votesubmit"},
    };
    for (const auto& [picture, name] : phpGifs)
        add(std::string("php_temps/") + name + ".gif", EncodeGif(*DrawPhpPicture(picture)));
    add("php_temps/sub2.jpg", Jpeg(DrawPhpPicture(TPhpPicture::Submit)));
    add("php_temps/admin.jpg", Jpeg(DrawPhpPicture(TPhpPicture::Admin)));
    add("php_temps/vt_logo.jpg", Jpeg(DrawPhpPicture(TPhpPicture::Logo)));

    add("sounds/PLAY1.wav", MakeHoverTick());
    add("sounds/PLAY2.wav", MakeButtonClick());
    add(FontRecordPath, FontRecord());
    return files;
}

void WriteArt(std::span<const TArtFile> files, const std::filesystem::path& resources)
{
    for (const TArtFile& file : files) {
        const std::filesystem::path target = resources / file.Path;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out) throw EFCreateError(target.string(), errno);
        out.write(file.Bytes.data(), std::streamsize(file.Bytes.size()));
        out.close();
        if (!out) throw EWriteError("Cannot write " + target.string());
    }
}
