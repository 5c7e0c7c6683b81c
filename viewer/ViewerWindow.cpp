#include "viewer/ViewerWindow.h"

#include <algorithm>
#include <deque>
#include <future>

#include "platform/controls/TApplication.h"
#include "platform/controls/TScreen.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"
#include "platform/core/TStream.h"
#include "platform/core/WorkerPool.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"
#include "shared/veskotools.h"
#include "viewer/ContentNotesDialog.h"
#include "viewer/LoadingWindow.h"
#include "viewer/MiniImage.h"
#include "platform/graphics/StoredJpeg.h"
#include "viewer/ViewerInfoDialog.h"
#include "gif/GIFImage.h"

namespace {

// The block's GIF as a picture, and frame 0 at its screen size in `decoded`
// for the thumbnails. A GIF without a frame to show is an error like a
// broken JPEG.
std::unique_ptr<TGIFImage> DecodeGif(std::string_view bytes, TBitmap& decoded)
{
    auto gif = std::make_unique<TGIFImage>();
    TMemoryStream stream{std::string(bytes)};
    gif->LoadFromStream(stream);
    const std::shared_ptr<TBitmap> bitmap = gif->GetPictureBitmap();
    if (!bitmap || bitmap->Empty())
        throw GIFException("Image is empty");
    decoded.Assign(*bitmap);
    decoded.SetPixelFormat(pf24bit);
    // Copied: the picture need not hold frame 0 for as long as it is shown.
    gif->ReleasePictureBitmap();
    return gif;
}

// What a worker makes of one picture of the block: its glyph, its size, the
// GIF picture itself, or why it cannot be shown; the decoded pixels only when
// asked (the block's last picture, for the working images).
struct TThumbnailWork {
    std::string Error;
    std::unique_ptr<TBitmap> Glyph;
    std::unique_ptr<TGIFImage> Gif;
    int Width = 0;
    int Height = 0;
    std::unique_ptr<TBitmap> Decoded;
};

constexpr TColor GlyphTransparent = 0xFF00FF;

// Runs on a worker: it touches the picture's bytes (read-only, shared by
// nobody that writes), its own decoding target and new value objects only.
TThumbnailWork MakeThumbnail(const TBlockPicture& picture, TBitmap& decoded, bool keepDecoded)
{
    TThumbnailWork work;
    try {
        if (picture.Gif())
            work.Gif = DecodeGif(picture.Bytes, decoded);
        else {
            bool grayscale = false;
            DecodeJpeg(picture.Bytes, decoded, grayscale);
        }
    } catch (const Exception& e) {
        work.Error = e.Message();
        return work;
    }
    work.Width = decoded.Width();
    work.Height = decoded.Height();
    work.Glyph = getMiniImage(decoded, 90, 90);
    work.Glyph->SetTransparentColor(GlyphTransparent);
    if (keepDecoded) {
        work.Decoded = std::make_unique<TBitmap>();
        work.Decoded->Assign(decoded);
    }
    return work;
}

}  // namespace

TForm1* ViewerWindow = nullptr;

namespace {

// Mapped, not read: the pictures are slices of these bytes, and copies of a
// hundred photographs cost the load more in first touches than decoding.
TSharedBytes ReadOwnExecutable()
{
    return TSharedBytes::MapFile(ProgramFileName());
}

// The hourglass for the length of a handler, restored however it ends.
class TBusyCursor {
public:
    TBusyCursor() : FOld(Screen ? Screen->Cursor() : crDefault)
    {
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~TBusyCursor()
    {
        if (Screen)
            Screen->SetCursor(FOld);
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    TCursor FOld;
};

// The message for a picture of the block (0-based) that cannot be shown, in
// the viewer's two languages.
std::string CannotBeShown(std::size_t index, const std::string& reason)
{
    const std::string number = std::to_string(index + 1);
    return "Picture " + number + " cannot be shown: " + reason + "\r\nBild " + number +
           " kann nicht gezeigt werden.";
}

// Damage to the block itself, in the viewer's two languages.
std::string BlockDamaged(const std::string& error)
{
    return error + "\r\nDie Galerie ist besch\xE4" "digt.";
}

void ProcessPending()
{
    if (Application)
        Application->ProcessMessages();
}

}  // namespace

namespace {

// The components TForm1 holds, by their names in the layout.
const TBindingTable ViewerWindowBindings = {
    {"ScrollBox1", &TForm1::ScrollBox1},
    {"Splitter1", &TForm1::Splitter1},
    {"Panel1", &TForm1::Panel1},
    {"ToolBar1", &TForm1::ToolBar1},
    {"BitBtn2", &TForm1::BitBtn2},
    {"BitBtn3", &TForm1::BitBtn3},
    {"BitBtn4", &TForm1::BitBtn4},
    {"BitBtn5", &TForm1::BitBtn5},
    {"BitBtn6", &TForm1::BitBtn6},
    {"ComboBox1", &TForm1::ComboBox1},
    {"Edit1", &TForm1::Edit1},
    {"Image4", &TForm1::Image4},
    {"ScrollBox2", &TForm1::ScrollBox2},
    {"Image5", &TForm1::Image5},
    {"Image1", &TForm1::Image1},
    {"Image3", &TForm1::Image3},
    {"Image6", &TForm1::Image6},
    {"Timer1", &TForm1::Timer1},
    {"SavePictureDialog1", &TForm1::SavePictureDialog1},
    {"ColorDialog1", &TForm1::ColorDialog1},
};

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    THandlerTable handlers;
    handlers.Add("FormCreate", this, &TForm1::FormCreate);
    handlers.Add("FormResize", this, &TForm1::FormResize);
    handlers.Add("Timer1Timer", this, &TForm1::Timer1Timer);
    handlers.Add("ComboBox1Change", this, &TForm1::ComboBox1Change);
    handlers.Add("BitBtn2Click", this, &TForm1::BitBtn2Click);
    handlers.Add("BitBtn3Click", this, &TForm1::BitBtn3Click);
    handlers.Add("BitBtn4Click", this, &TForm1::BitBtn4Click);
    handlers.Add("BitBtn5Click", this, &TForm1::BitBtn5Click);
    handlers.Add("BitBtn6Click", this, &TForm1::BitBtn6Click);
    handlers.Add("Image4Click", this, &TForm1::Image4Click);
    ReadLayout("ViewerWindow", handlers, &ViewerWindowBindings);
}

TForm1::~TForm1()
{
    if (ViewerWindow == this)
        ViewerWindow = nullptr;
}

void TForm1::FormCreate(TObject*)
{
    FSelectedPictureName.clear();
}

void TForm1::FormResize(TObject*)
{
    // The tool bar panel and the picture area share what the thumbnail column leaves.
    const int left = ScrollBox1->Width() + Splitter1->Width();
    Panel1->SetBounds(left, 0, std::max(0, Width() - ScrollBox1->Width() - Splitter1->Width() - 15),
                      Panel1->Height());
    ScrollBox2->SetBounds(left, Panel1->Height(), std::max(0, ClientWidth() - left),
                          std::max(0, ClientHeight() - Panel1->Height()));
}

void TForm1::Timer1Timer(TObject*)
{
    Timer1->SetEnabled(false);
    SetEnabled(false);
    if (LoadingWindow) {
        LoadingWindow->Show();
        ProcessPending();
    }
    TLoadResult result = TLoadResult::NoImages;
    try {
        result = LoadImages(ReadOwnExecutable());
    } catch (const Exception& e) {
        FLoadError = e.Message();
    }
    if (LoadingWindow)
        LoadingWindow->Hide();
    SetEnabled(true);
    if (result == TLoadResult::Loaded && !FLoadError.empty())
        ShowMessage(FLoadError);
    if (OnLoadDone)
        OnLoadDone(result);
    if (result != TLoadResult::Loaded || (Application && Application->Terminated())) {
        if (Application)
            Application->Terminate();
        return;
    }
    SetWindowState(wsMaximized);
    SetFocus();
}

TForm1::TLoadResult TForm1::LoadImages(std::string_view programFile)
{
    return LoadImages(TSharedBytes(std::string(programFile)));
}

TForm1::TLoadResult TForm1::LoadImages(const TSharedBytes& programFile)
{
    FLoadError.clear();
    // Pictures of an earlier load keep their views into their own file.
    FProgramFiles.push_back(programFile);
    const TSharedBytes& file = FProgramFiles.back();
    TGalleryBlock block = ReadProgramGallery(file.View());
    if (block.Pictures.empty()) {
        // A bare viewer, or a block that holds no picture it could read.
        FLoadError = block.Error.empty() ? "" : BlockDamaged(block.Error);
        ShowMessage(FLoadError.empty() ? "No Images" : FLoadError + "\r\nNo Images");
        return TLoadResult::NoImages;
    }
    FNotes = block.Notes;
    if (!FNotes.empty() && ContentNotesDialog) {
        ContentNotesDialog->Memo1->Lines().SetText(FNotes);
        if (ContentNotesDialog->ShowModal() == mrCancel)
            return TLoadResult::NotesRefused;
    }

    // A picture that does not decode is skipped, named, and the others load;
    // only damage to the block itself (block.Error) ends the list early.
    // Workers decode ahead and make the glyphs; the buttons come here, in
    // block order, each as soon as its picture is done.
    std::vector<std::string> skipped;
    const std::size_t last = block.Pictures.size() - 1;
    // Every picture of one worker decodes into the same pixels: fresh memory
    // for each of a hundred photographs costs more in first touches than the
    // decoding. Declared before the pool, which ends first.
    const int workers = FLoadWorkers > 0 ? FLoadWorkers : TWorkerPool::MachineWorkers();
    std::vector<TBitmap> scratch(static_cast<std::size_t>(workers));
    TWorkerPool pool(workers);
    std::deque<std::future<TThumbnailWork>> ahead;
    std::size_t handedOver = 0;
    const auto handOverNext = [&] {
        const TBlockPicture& picture = block.Pictures[handedOver];
        const bool keep = handedOver == last;
        ahead.push_back(pool.Submit([&picture, &scratch, keep](int worker) {
            return MakeThumbnail(picture, scratch[static_cast<std::size_t>(worker)], keep);
        }));
        ++handedOver;
    };
    std::unique_ptr<TBitmap> lastDecoded;
    for (std::size_t i = 0; i < block.Pictures.size(); ++i) {
        const std::size_t inFlight = static_cast<std::size_t>(pool.Size());
        while (handedOver < block.Pictures.size() && handedOver < i + inFlight)
            handOverNext();
        TThumbnailWork work = ahead.front().get();
        ahead.pop_front();
        if (handedOver < block.Pictures.size())
            handOverNext();
        TBlockPicture& picture = block.Pictures[i];
        const int n = PictureCount();
        if (!work.Error.empty()) {
            skipped.push_back(CannotBeShown(i, work.Error));
            continue;
        }

        auto* button = new TBitBtn(this);
        button->SetName("BT" + std::to_string(n));
        button->SetParent(ScrollBox1);
        // The picture's own number in the gallery, the one a skip message names;
        // the component names count the buttons.
        const std::string number = std::to_string(i + 1);
        button->SetCaption("IMG " + number);
        button->SetBounds(1, n * 122 + 10, 120, 120);
        button->SetLayout(blGlyphTop);
        button->SetHint(picture.Comment);
        button->SetShowHint(true);
        button->SetGlyph(*work.Glyph);
        button->OnClick = [this](TObject* sender) { btnclick(sender); };

        auto* hidden = new TImage(this);
        hidden->SetName((work.Gif ? "GF" : "IM") + std::to_string(n));
        hidden->SetVisible(false);
        hidden->SetParent(this);
        if (work.Gif)
            hidden->Picture().SetGraphic(std::move(work.Gif));
        else
            hidden->Picture().SetGraphic(
                std::make_unique<TStoredJpeg>(file.SliceOf(picture.Bytes), work.Width, work.Height));
        lastDecoded = std::move(work.Decoded);

        FPictures.push_back(std::move(picture));
        if (LoadingWindow)
            LoadingWindow->Label1->SetCaption("Load: Picture: " + number);
        ProcessPending();
    }
    TBitmap decoded;
    for (const std::string& line : skipped)
        FLoadError += (FLoadError.empty() ? "" : "\r\n") + line;
    if (!block.Error.empty())
        FLoadError += (FLoadError.empty() ? "" : "\r\n") + BlockDamaged(block.Error);
    if (FPictures.empty()) {
        ShowMessage(FLoadError + "\r\nNo Images");
        return TLoadResult::NoImages;
    }
    if (lastDecoded) {
        decoded.Assign(*lastDecoded);
    } else {
        // The last picture of the block failed; the working images take the
        // last one that was shown.
        bool grayscale = false;
        if (FPictures.back().Gif())
            DecodeGif(FPictures.back().Bytes, decoded);
        else
            DecodeJpeg(FPictures.back().Bytes, decoded, grayscale);
    }
    // The working images end up holding the last picture, as if each picture
    // had passed through them; filled once here, since two copies of every
    // decoded picture cost the load more than its decoding did.
    if (FPictures.back().Gif())
        Image1->Picture().SetGraphic(DecodeGif(FPictures.back().Bytes, decoded));
    else
        Image1->Picture().SetGraphic(
            std::make_unique<TStoredJpeg>(file.SliceOf(FPictures.back().Bytes), decoded.Width(), decoded.Height()));
    Image3->Picture().Bitmap().Assign(decoded);
    return TLoadResult::Loaded;
}

int TForm1::SelectedNumber() const
{
    if (FSelectedPictureName.size() < 3)
        return -1;
    return std::stoi(FSelectedPictureName.substr(2));
}

void TForm1::btnclick(TObject* Sender)
{
    auto* button = dynamic_cast<TBitBtn*>(Sender);
    if (!button)
        return;
    FRotationCount = 0;
    FSelectedPictureName = button->Name();
    const std::string k = FSelectedPictureName.substr(2);
    TImage* hidden = dynamic_cast<TImage*>(FindComponent("IM" + k));
    if (!hidden)
        hidden = dynamic_cast<TImage*>(FindComponent("GF" + k));
    if (!hidden || !hidden->Picture().Graphic())
        return;
    if (const auto* stored = dynamic_cast<const TStoredJpeg*>(hidden->Picture().Graphic()))
        Image5->Picture().SetGraphic(stored->Decoded());
    else
        Image5->Picture().SetGraphic(hidden->Picture().Graphic()->Clone());
    Edit1->SetText(button->Hint());
    Image5->SetBounds(Image5->Left(), Image5->Top(), hidden->Picture().Width(), hidden->Picture().Height());
    PBox();
}

void TForm1::PBox()
{
    TBusyCursor busy;
    TViewerBox box{Image5->Left(), Image5->Top(), Image5->Width(), Image5->Height()};
    const int index = ComboBox1->ItemIndex();
    if (index >= 0) {
        const std::string& t = ComboBox1->Items().Strings(index);
        if (index == 0) {
            OptimumSize(box.Width, box.Height, ScrollBox2->Width(), ScrollBox2->Height(), box);
        } else if (t != "100") {
            const TViewerBox sized = PercentSize(box.Width, box.Height, std::stoi(t));
            box.Width = sized.Width;
            box.Height = sized.Height;
        }
    }
    PlacePicture(box, ScrollBox2->Width(), ScrollBox2->Height());
    // A new picture or size starts at its top-left corner, not where the last one was scrolled to.
    ScrollBox2->HorzScrollBar().SetPosition(0);
    ScrollBox2->VertScrollBar().SetPosition(0);
    Image5->SetBounds(box.Left, box.Top, box.Width, box.Height);
}

void TForm1::ComboBox1Change(TObject*)
{
    if (FSelectedPictureName.empty())
        return;
    if (TComponent* button = FindComponent(FSelectedPictureName))
        btnclick(button);
}

void TForm1::BitBtn2Click(TObject*)
{
    Close();
}

void TForm1::BitBtn3Click(TObject*)
{
    if (FSelectedPictureName.empty()) {
        ShowMessage("Kein Bild ausgew\xE4hlt..");
        return;
    }
    const int k = SelectedNumber();
    if (k < 0 || k >= PictureCount())
        return;
    const bool gif = FindComponent("IM" + std::to_string(k)) == nullptr;
    SavePictureDialog1->SetFilter(gif ? "*.gif (GIF-Dateien)|*.gif" : "*.jpg (JPG-Dateien)|*.jpg");
    if (!SavePictureDialog1->Execute())
        return;
    // The bytes as they arrived in the gallery: neither scaled, turned nor re-encoded.
    WriteFileBytes(SavePictureFileName(SavePictureDialog1->FileName(), gif), BlockPicture(k).Bytes);
}

void TForm1::BitBtn4Click(TObject*)
{
    if (!ColorDialog1->Execute())
        return;
    ScrollBox1->SetColor(ColorDialog1->Color());
    ScrollBox2->SetColor(ColorDialog1->Color());
}

void TForm1::Turn(bool right)
{
    TBusyCursor busy;
    if (!Image5->Picture().Graphic() || Image5->Width() < 1 || Image5->Height() < 1)
        return;
    if (FRotationCount == 0) {
        TBitmap own;
        own.Assign(*Image5->Picture().Graphic());
        std::unique_ptr<TBitmap> display = getMiniImage(own, Image5->Width(), Image5->Height());
        Image6->Picture().SetGraphic(std::move(display));
        ++FRotationCount;
    }
    const TBitmap& source = Image6->Picture().Bitmap();
    std::unique_ptr<TBitmap> turned = right ? RotateBitmapRight(source) : RotateBitmapLeft(source);
    Image5->Picture().SetGraphic(turned->Clone());
    Image6->Picture().SetGraphic(std::move(turned));
    TViewerBox box{0, 0, Image5->Height(), Image5->Width()};
    CentrePicture(box, ScrollBox2->Width(), ScrollBox2->Height());
    Image5->SetBounds(box.Left, box.Top, box.Width, box.Height);
}

void TForm1::BitBtn5Click(TObject*)
{
    Turn(true);
}

void TForm1::BitBtn6Click(TObject*)
{
    Turn(false);
}

void TForm1::Image4Click(TObject*)
{
    if (ViewerInfoDialog)
        ViewerInfoDialog->Show();
}

const TImage* TForm1::HiddenPicture(int n) const
{
    const TComponent* hidden = FindComponent("IM" + std::to_string(n));
    if (!hidden)
        hidden = FindComponent("GF" + std::to_string(n));
    return dynamic_cast<const TImage*>(hidden);
}
