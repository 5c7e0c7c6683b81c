#include "platform/controls/TImage.h"

#include <algorithm>

#include "platform/controls/LayoutReader.h"
#include "platform/controls/Properties.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TJPEGImage.h"

namespace {

std::unique_ptr<TGraphic> GraphicFromBytes(const std::string& bytes)
{
    std::unique_ptr<TGraphic> graphic;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') graphic = std::make_unique<TBitmap>();
    else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
             static_cast<unsigned char>(bytes[1]) == 0xD8)
        graphic = std::make_unique<TJPEGImage>();
    else throw EInvalidGraphic("Picture data is neither BMP nor JPEG");
    TMemoryStream stream(bytes);
    graphic->LoadFromStream(stream);
    return graphic;
}

}  // namespace

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

const TPropertyTable& TImage::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Bool<TImage>("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
        t.Bool<TImage>("Center", &TImage::Center, &TImage::SetCenter);
        t.Bool<TImage>("Stretch", &TImage::Stretch, &TImage::SetStretch);
        t.Bool<TImage>("Proportional", &TImage::Proportional, &TImage::SetProportional);
        t.Bool<TImage>("Transparent", &TImage::Transparent, &TImage::SetTransparent);
        t.Add("Picture.FileName",
              [](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                  const std::string name = TPropertyTable::StringValue(v, ctx);
                  static_cast<TImage&>(c).Picture().LoadFromFile(LayoutFileName(name));
              },
              [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
        t.Add("Picture.Data",
              [](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                  if (v.Kind != TLayoutValue::vkBinary) ctx.Fail("Picture.Data holds binary data");
                  static_cast<TImage&>(c).Picture().SetGraphic(GraphicFromBytes(v.Text));
              },
              [](const TComponent& c) -> std::optional<TLayoutValue> {
                  TGraphic* g = static_cast<const TImage&>(c).Picture().Graphic();
                  if (!g || g->Empty()) return std::nullopt;
                  TMemoryStream stream;
                  g->WriteData(stream);
                  return TLayoutValue::MakeBinary(stream.Bytes());
              });
        return t;
    }();
    return table;
}

TCanvas& TImage::Canvas()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || !dynamic_cast<TBitmap*>(g)) {
        TBitmap& bitmap = FPicture->Bitmap();
        if (bitmap.Empty()) {
            bitmap.SetSize(Width(), Height());
        }
    }
    return FPicture->Bitmap().Canvas();
}

void TImage::SetStretch(bool value)
{
    if (value == FStretch) return;
    FStretch = value;
    Invalidate();
}

void TImage::SetCenter(bool value)
{
    if (value == FCenter) return;
    FCenter = value;
    Invalidate();
}

void TImage::SetProportional(bool value)
{
    if (value == FProportional) return;
    FProportional = value;
    Invalidate();
}

void TImage::SetAutoSize(bool value)
{
    FAutoSize = value;
    if (value) PictureChanged();
}

void TImage::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(value);
    Invalidate();
}

void TImage::PictureChanged()
{
    // The image's Transparent is its picture's: a picture put in later takes it too.
    if (TGraphic* g = FPicture->Graphic(); g && FTransparent) g->SetTransparent(true);
    // A new palette is taken in here: every screen shows true colour, so
    // there is nothing to realise, and the mark is cleared.
    if (TGraphic* g = FPicture->Graphic(); g && g->PaletteModified()) g->SetPaletteModified(false);
    if (FAutoSize && !FPicture->Empty() && !FStretch) SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    if (!FDrawing) Invalidate();
}

TRect TImage::DestRect() const
{
    const int pw = FPicture->Width();
    const int ph = FPicture->Height();
    int w = pw;
    int h = ph;
    if (FStretch || (FProportional && (pw > Width() || ph > Height()))) {
        if (FProportional && pw > 0 && ph > 0) {
            const double scale = std::min(static_cast<double>(Width()) / pw, static_cast<double>(Height()) / ph);
            w = static_cast<int>(pw * scale);
            h = static_cast<int>(ph * scale);
        } else {
            w = Width();
            h = Height();
        }
    }
    int x = 0;
    int y = 0;
    if (FCenter) {
        x = (Width() - w) / 2;
        y = (Height() - h) / 2;
    }
    return Bounds(x, y, w, h);
}

void TImage::Paint()
{
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    FDrawing = true;
    TCanvas& canvas = TGraphicControl::Canvas();
    const TRect dest = DestRect();
    if (dest.Width() == g->Width() && dest.Height() == g->Height()) canvas.Draw(dest.Left, dest.Top, *g);
    else canvas.StretchDraw(dest, *g);
    FDrawing = false;
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }

const TPropertyTable& TPaintBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.EventHandler<TPaintBox>("OnPaint", &TPaintBox::OnPaint);
        return t;
    }();
    return table;
}

void TPaintBox::Paint()
{
    Canvas().Font().Assign(Font());
    Canvas().Brush().SetColor(ColorToRGB(Color()));
    Fire(*this, OnPaint, this);
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 65); }

const TPropertyTable& TShape::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Enum<TShape, TShapeType>("Shape", &TShape::Shape, &TShape::SetShape,
                                   {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"});
        t.Color<TShape>("Pen.Color", &TShape::PenColor, &TShape::SetPenColor);
        t.Enum<TShape, TPenStyle>("Pen.Style", &TShape::PenStyle, &TShape::SetPenStyle,
                                  {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                   "psInsideFrame"});
        t.Int<TShape>("Pen.Width", &TShape::PenWidth, &TShape::SetPenWidth);
        t.Color<TShape>("Brush.Color", &TShape::BrushColor, &TShape::SetBrushColor);
        t.Enum<TShape, TBrushStyle>("Brush.Style", &TShape::BrushStyle, &TShape::SetBrushStyle,
                                    {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                     "bsBDiagonal", "bsCross", "bsDiagCross"});
        return t;
    }();
    return table;
}

void TShape::SetShape(TShapeType value)
{
    if (value == FShape) return;
    FShape = value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Pen().Assign(FPen);
    canvas.Pen().SetColor(ColorToRGB(FPen.Color()));
    canvas.Brush().Assign(FBrush);
    if (FBrush.Style() != bsClear) canvas.Brush().SetColor(ColorToRGB(FBrush.Color()));
    int x = FPen.Width() / 2;
    int y = x;
    int w = Width() - FPen.Width() + 1;
    int h = Height() - FPen.Width() + 1;
    if (FPen.Width() == 0) {
        --w;
        --h;
    }
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        const int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case stRectangle: case stSquare: canvas.Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: {
        const int corner = std::min(w, h) / 4;
        canvas.RoundRect(x, y, x + w, y + h, corner, corner);
        break;
    }
    case stEllipse: case stCircle: canvas.Ellipse(x, y, x + w, y + h); break;
    }
}
