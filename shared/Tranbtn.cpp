#include "shared/Tranbtn.h"

#include "platform/controls/LayoutReader.h"
#include "platform/controls/Properties.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/TStream.h"

namespace {

// The frame on the client rectangle, one pixel wide.
void DrawFrame(TCanvas& canvas, const TRect& client, bool sunken)
{
    TRect r = client;
    Frame3D(canvas, r, sunken ? clBtnShadow : clBtnHighlight, sunken ? clBtnHighlight : clBtnShadow, 1);
}

// Releases what the mask method made, however it ends.
class TDcScope {
public:
    explicit TDcScope(HDC reference) : FDc(CreateCompatibleDC(reference)) {}
    ~TDcScope()
    {
        if (FDc && FPrevious) SelectObject(FDc, FPrevious);
        if (FDc) DeleteDC(FDc);
        if (FBitmap) DeleteObject(FBitmap);
    }
    TDcScope(const TDcScope&) = delete;
    TDcScope& operator=(const TDcScope&) = delete;
    void Select(HBITMAP bitmap)
    {
        FBitmap = bitmap;
        FPrevious = SelectObject(FDc, bitmap);
    }
    HDC Dc() const { return FDc; }

private:
    HDC FDc;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FPrevious = nullptr;
};

}  // namespace

TMTranBtn::TMTranBtn(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(Left(), Top(), 30, 30);
    Font().SetName("Arial");
    Font().SetSize(9);
    SetParentFont(false);
}

TMTranBtn::~TMTranBtn() = default;

const TPropertyTable& TMTranBtn::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Add("BitMap.Data",
              [](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                  if (v.Kind != TLayoutValue::vkBinary) ctx.Fail("BitMap.Data holds binary data");
                  TBitmap picture;
                  TMemoryStream stream(v.Text);
                  picture.LoadFromStream(stream);
                  static_cast<TMTranBtn&>(c).SetBitMap(picture);
              },
              [](const TComponent& c) -> std::optional<TLayoutValue> {
                  const TBitmap& picture = static_cast<const TMTranBtn&>(c).BitMap();
                  if (picture.Empty()) return std::nullopt;
                  TMemoryStream stream;
                  const_cast<TBitmap&>(picture).SaveToStream(stream);
                  return TLayoutValue::MakeBinary(stream.Bytes());
              });
        t.Add("BitMap.FileName",
              [](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                  TBitmap picture;
                  picture.LoadFromFile(LayoutFileName(TPropertyTable::StringValue(v, ctx)));
                  static_cast<TMTranBtn&>(c).SetBitMap(picture);
              },
              [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
        t.Enum<TMTranBtn, BStyle>("Border", &TMTranBtn::Border, &TMTranBtn::SetBorder, {"BSnone", "BsNormal", "BsIe"});
        t.AlwaysStored();
        return t;
    }();
    return table;
}

void TMTranBtn::SetBitMap(const TBitmap& value)
{
    FPicture.Assign(value);
    Repaint();
}

void TMTranBtn::SetBorder(BStyle value)
{
    if (value == FBorder) return;
    FBorder = value;
    Repaint();
}

void TMTranBtn::DrawTransparentBitmap(HDC DC, TBitmap& bitmap, std::int16_t xStart, std::int16_t yStart,
                                      TColor transparentColor)
{
    if (!DC || bitmap.Empty()) return;
    const TColor key = transparentColor | PaletteRelativeFlag;

    TDcScope temp(DC);
    temp.Select(CreateBitmapHandle(bitmap));
    POINT size{bitmap.Width(), bitmap.Height()};
    DPtoLP(temp.Dc(), &size, 1);

    TDcScope back(DC);
    TDcScope object(DC);
    TDcScope mem(DC);
    TDcScope save(DC);
    back.Select(CreateBitmap(size.X, size.Y, 1, 1, nullptr));
    object.Select(CreateBitmap(size.X, size.Y, 1, 1, nullptr));
    mem.Select(CreateCompatibleBitmap(DC, size.X, size.Y));
    save.Select(CreateCompatibleBitmap(DC, size.X, size.Y));
    SetMapMode(temp.Dc(), GetMapMode(DC));

    // Keep the caller's bitmap; the mask is white where the picture has the key.
    BitBlt(save.Dc(), 0, 0, size.X, size.Y, temp.Dc(), 0, 0, SRCCOPY);
    const COLORREF oldBack = SetBkColor(temp.Dc(), key);
    BitBlt(object.Dc(), 0, 0, size.X, size.Y, temp.Dc(), 0, 0, SRCCOPY);
    SetBkColor(temp.Dc(), oldBack);
    BitBlt(back.Dc(), 0, 0, size.X, size.Y, object.Dc(), 0, 0, NOTSRCCOPY);

    BitBlt(mem.Dc(), 0, 0, size.X, size.Y, DC, xStart, yStart, SRCCOPY);
    BitBlt(mem.Dc(), 0, 0, size.X, size.Y, object.Dc(), 0, 0, SRCAND);
    BitBlt(temp.Dc(), 0, 0, size.X, size.Y, back.Dc(), 0, 0, SRCAND);
    BitBlt(mem.Dc(), 0, 0, size.X, size.Y, temp.Dc(), 0, 0, SRCPAINT);
    BitBlt(DC, xStart, yStart, size.X, size.Y, mem.Dc(), 0, 0, SRCCOPY);

    BitBlt(temp.Dc(), 0, 0, size.X, size.Y, save.Dc(), 0, 0, SRCCOPY);
}

bool TMTranBtn::IsOpaquePixel(int X, int Y) const
{
    if (!FImageRect.Contains({X, Y})) return false;
    return FPicture.Pixel(X - FImageRect.Left, Y - FImageRect.Top) != FPicture.TransparentColor();
}

void TMTranBtn::Paint()
{
    TCanvas& canvas = Canvas();
    const TRect client = ClientRect();
    canvas.Font().Assign(Font());
    const int th = canvas.TextHeight("W");
    const bool hasPicture = !FPicture.Empty();

    if (hasPicture) {
        const int bw = FPicture.Width();
        const int bh = FPicture.Height();
        const int x0 = (Width() - bw) / 2;
        const int y0 = Caption().empty() ? (Height() - bh) / 2 : (Height() - bh - th) / 2;
        FImageRect = Rect(x0, y0, x0 + bw, y0 + bh);
        // Only the part of the picture inside the client rectangle is copied;
        // the rest of the temporary bitmap is the transparent colour, so it
        // stays unpainted.
        const TColor key = FPicture.TransparentColor();
        TBitmap temp(bw, bh, pf24bit);
        temp.Fill(key);
        const TRect part = IntersectRect(client, Rect(0, 0, bw, bh));
        for (int y = part.Top; y < part.Bottom; ++y)
            for (int x = part.Left; x < part.Right; ++x) temp.SetPixel(x, y, FPicture.Pixel(x, y));
        const int shift = FPressed ? 1 : 0;
        DrawTransparentBitmap(canvas.Handle(), temp, static_cast<std::int16_t>(x0 + shift),
                              static_cast<std::int16_t>(y0 + shift), key);
    }

    if (!Caption().empty()) {
        canvas.Brush().SetStyle(bsClear);
        TRect text = client;
        text.Top = hasPicture ? FImageRect.Bottom : (client.Bottom + client.Top - th) / 2;
        text.Bottom = text.Top + th;
        if (FPressed) {
            text.Top += 1;
            text.Left = 2;
        }
        FCaptionRect = text;
        canvas.DrawText(Caption(), text, DT_CENTER | DT_EXPANDTABS);
    } else {
        FCaptionRect = {};
    }

    if (FBorder == BsNormal) DrawFrame(canvas, client, FPressed);
    else if (FBorder == BsIe && (FPressed || FHot)) DrawFrame(canvas, client, FPressed);
}

void TMTranBtn::MouseMove(TShiftState shift, int x, int y)
{
    FHot = FBorder == BsNormal || FBorder == BsIe || IsOpaquePixel(x, y);
    TGraphicControl::MouseMove(shift, x, y);
}

void TMTranBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!watch.Alive() || button != mbLeft) return;
    FPressed = FBorder == BsNormal || FBorder == BsIe || FHot;
    if (FPressed) Repaint();
}

void TMTranBtn::MouseReleased(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft) return;
    if (FBorder == BsNormal || FBorder == BsIe || FHot) FPressed = false;
    if (!FPressed) Repaint();
}

void TMTranBtn::MouseEnter()
{
    FHot = true;
    if (FBorder == BsIe && ParentForm()) DrawFrame(Canvas(), ClientRect(), false);
}

void TMTranBtn::MouseLeave()
{
    FHot = false;
    if (FBorder == BsIe) Repaint();
}

void RegisterTranBtn() { RegisterComponentClass<TMTranBtn>("TMTranBtn"); }
