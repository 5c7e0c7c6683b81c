#include <algorithm>

#include "builder/build/BuildPicture.h"
#include "builder/build/GalleryBuild.h"
#include "shared/GalleryDataBlock.h"
#include "builder/build/PdfWorkFiles.h"
#include "builder/pages/GalleryGrid.h"
#include "builder/pages/GalleryPages.h"
#include "builder/pages/MailPage.h"
#include "builder/wizard/WizardForm.h"
#include "gif/GIFFrameBitmap.h"
#include "gif/GIFImage.h"
#include "platform/controls/TApplication.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "shared/veskotools.h"

namespace {

std::string GifBytes(TGIFImage& gif)
{
    TMemoryStream stream;
    gif.SaveToStream(stream);
    return stream.Bytes();
}

// A colour that no entry of frame 0's colours has, so that it can stand for
// the transparent pixels alone.
TColor TransparentKey(TGIFImage& gif)
{
    TGIFColorMap& map = gif.Images().Items(0)->ActiveColorMap();
    for (int k = 0;; ++k) {
        const TColor key = RGB(k & 0xFF, (k >> 8) + 1, 254);
        bool used = false;
        for (int i = 0; i < map.Count() && !used; ++i) {
            const TGIFColor& c = map.Entry(i);
            used = RGB(c.Red, c.Green, c.Blue) == key;
        }
        if (!used)
            return key;
    }
}

// Frame 0 at the picture's screen size as a 24-bit bitmap to resize. In a
// transparent picture the pixels that frame 0 leaves transparent, and only
// those, show `key`.
std::unique_ptr<TBitmap> GifBitmap(TGIFImage& gif, bool transparent, TColor key)
{
    if (gif.Empty() || gif.Width() == 0 || gif.Height() == 0)
        throw EInvalidGraphic("the GIF picture has nothing to show");
    if (transparent) {
        auto bitmap = std::make_unique<TBitmap>(gif.Width(), gif.Height(), pf24bit);
        bitmap->Fill(key);
        DrawFrame(*gif.Images().Items(0), bitmap->Canvas(), TRect{0, 0, gif.Width(), gif.Height()}, true, false);
        return bitmap;
    }
    std::unique_ptr<TBitmap> bitmap = gif.GetPictureBitmap();
    if (!bitmap || bitmap->Empty())
        throw EInvalidGraphic("the GIF picture has nothing to show");
    bitmap->SetPixelFormat(pf24bit);
    return bitmap;
}

// A transparent picture's thumbnail is transparent where it shows the key
// colour, which only its transparent pixels have: the top-left pixel's colour
// would also take away every opaque pixel of that colour.
void AssignThumbnail(TGIFImage& gif, TBitmap& thumbnail, bool transparent, TColor key)
{
    if (transparent) {
        thumbnail.SetTransparent(true);
        thumbnail.SetTransparentColor(key);
    }
    gif.Assign(thumbnail);
    if (transparent)
        gif.SetTransparent(true);
}

}  // namespace

void TGalleryBuild::BuildGifPicture(const std::string& path, int number, const std::string& comment)
{
    auto gif = std::make_unique<TGIFImage>();
    std::unique_ptr<TBitmap> bitmap;
    bool transparent = false;
    TColor key = clNone;
    try {
        gif->LoadFromFile(path);
        transparent = gif->QueryTransparent();
        if (transparent)
            key = TransparentKey(*gif);
        bitmap = GifBitmap(*gif, transparent, key);
    } catch (const Exception&) {
        ShowMessage("file format not found");
        return;
    }
    const bool web = FKind == TGalleryKind::Web;
    const bool linked = FSettings.LinkMode == TLinkMode::FullPicture;

    if (FWizard.CheckBox9->Checked() && FKind != TGalleryKind::Email &&
        (FMaxPictureHeight < gif->Height() || FMaxPictureWidth < gif->Width())) {
        // Shrunk to the limits, never recompressed to a byte limit.
        const TPictureSize size = ShrunkSize({gif->Width(), gif->Height()}, FMaxPictureWidth, FMaxPictureHeight);
        std::unique_ptr<TBitmap> shrunk = ResizeBitmap(*bitmap, size.Width, size.Height);
        AssignThumbnail(*gif, *shrunk, transparent, key);
        bitmap = std::move(shrunk);
    }

    if (FKind == TGalleryKind::Application) {
        if (FDataBlock) {
            FDataBlock->AddPicture(GifBytes(*gif), true, comment);
            return;
        }
        const std::string target = FWorkFolder + PdfPictureFileName(number, true);
        gif->SaveToFile(target);
        FPdfPictureList.push_back(target);
        return;
    }

    const TPictureSize thumbSize = ThumbnailSize(TPictureSize{bitmap->Width(), bitmap->Height()});
    std::unique_ptr<TBitmap> thumbnail = ResizeBitmap(*bitmap, thumbSize.Width, thumbSize.Height);
    if (FKind == TGalleryKind::Email) {
        AssignThumbnail(*gif, *thumbnail, transparent, key);
        gif->SaveToFile(FWorkFolder + MailThumbnailName(number, true));
        FMailPage->AddPicture(number, true, comment);
        return;
    }

    if (web && linked) {
        const TFullPicture full{number, true, comment, FGrid->PagesWritten(), FPictureCount};
        WritePage({FullPicturePageName(FSettings, number), FullPicturePageText(FSettings, full), false});
    }
    if (web) {
        TThumbnailCell cell{number, true, comment, std::nullopt};
        if (CellShowsSizeInfo(FSettings))
            cell.SizeInfo = TPictureSizeInfo{gif->Height(), gif->Width(),
                                             static_cast<std::int64_t>(GifBytes(*gif).size())};
        FGrid->AppendThumbnailCell(cell);
    }
    if (web && linked)
        gif->SaveToFile(FFolder + "th_" + IntToStr(number) + "_big.gif");

    AssignThumbnail(*gif, *thumbnail, transparent, key);
    FMaxThumbWidth = std::max(FMaxThumbWidth, gif->Width());
    FMaxThumbHeight = std::max(FMaxThumbHeight, gif->Height());
    if (FWizard.PageControl1->ActivePage() == FWizard.TabSheet6 && FWizard.CheckBox13->Checked()) {
        const std::string target = FFolder + ExtractFileName(path);
        if (SameFile(path, target)) {
            ShowMessage("The thumbnail would replace its own picture and is not written: " + path);
            return;
        }
        gif->SaveToFile(target);
        return;
    }
    gif->SaveToFile(FFolder + "th_" + IntToStr(number) + ".gif");
}
