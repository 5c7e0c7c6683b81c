#pragma once

// TMTranBtn: a windowless button that shows a picture with one transparent
// colour, an optional caption under it, and a frame in one of three styles.
//
// - BSnone: no frame; the button counts as under the pointer (hot) only over
//   the picture's opaque pixels, so it looks pressed only when the left button
//   went down over one, and comes back only when released over one.
// - BsNormal: raised frame, sunken while pressed.
// - BsIe: a raised frame while the pointer is over it, sunken while pressed,
//   none at rest.
// The picture is centred and drawn one pixel down and right while pressed.
// BitMap copies the given picture; setting Border to its current value does
// not repaint. A caption is drawn whole, whatever its length.

#include <cstdint>

#include "platform/controls/TGraphicControl.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/graphics/TBitmap.h"

enum BStyle { BSnone = 0, BsNormal = 1, BsIe = 2 };

class TMTranBtn : public TGraphicControl {
public:
    explicit TMTranBtn(TComponent* AOwner);
    ~TMTranBtn() override;

    const char* ClassName() const override { return "TMTranBtn"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    const TBitmap& BitMap() const { return FPicture; }
    TBitmap& BitMap() { return FPicture; }
    void SetBitMap(const TBitmap& value);
    BStyle Border() const { return FBorder; }
    void SetBorder(BStyle value);

    // Draws `bitmap` on `DC` with its top-left corner at (xStart, yStart),
    // leaving every pixel of `transparentColor` unpainted (monochrome masks).
    void DrawTransparentBitmap(HDC DC, TBitmap& bitmap, std::int16_t xStart, std::int16_t yStart,
                               TColor transparentColor);

    // Does (X, Y) hit an opaque pixel of the picture where it was last drawn?
    bool IsOpaquePixel(int X, int Y) const;

    bool Hot() const { return FHot; }
    bool Pressed() const { return FPressed; }
    // Where the last paint put the picture and the caption.
    TRect ImageRect() const { return FImageRect; }
    TRect CaptionRect() const { return FCaptionRect; }

protected:
    void Paint() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseReleased(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TBitmap FPicture;
    bool FHot = false;
    bool FPressed = false;
    BStyle FBorder = BsNormal;
    TRect FImageRect;
    TRect FCaptionRect;
};

// Makes TMTranBtn known to the layout reader.
void RegisterTranBtn();
