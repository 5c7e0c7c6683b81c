#pragma once

// Picture buttons: the bitmap button (a push button with a glyph, whose Kind
// sets a standard caption and modal result) and the windowless speed button
// (optionally in a group of which one stays down).

#include <memory>

#include "platform/controls/TButton.h"
#include "platform/controls/TGraphicControl.h"
#include "platform/graphics/TBitmap.h"

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);

    const char* ClassName() const override { return "TBitBtn"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // The glyph is the button's own copy; a glyph changed in place through
    // Glyph() shows after the next SetGlyph or caption change.
    TBitmap& Glyph() { return FGlyph; }
    void SetGlyph(const TBitmap& glyph);
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value)
    {
        FLayout = value;
        NotifyPeer(TPeerChange::Text);
        Invalidate();
    }
    int Margin() const { return FMargin; }
    void SetMargin(int value) { FMargin = value; Invalidate(); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value) { FSpacing = value; Invalidate(); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value) { FNumGlyphs = value < 1 ? 1 : value; Invalidate(); }

    void PaintWindow(TCanvas& canvas) override;

private:
    TBitmap FGlyph;
    TBitBtnKind FKind = bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    int FNumGlyphs = 1;
};

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);

    const char* ClassName() const override { return "TSpeedButton"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TBitmap& Glyph() { return FGlyph; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool value) { FFlat = value; Invalidate(); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    // Setting Down in a group raises the others of the group; it runs no handler.
    bool Down() const { return FDown; }
    void SetDown(bool value);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override;

private:
    TBitmap FGlyph;
    bool FFlat = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FPressed = false;
};

// Glyph bitmaps in layouts: "Glyph.Data" holds the bytes of a BMP file.
void AddGlyphProperty(TPropertyTable& table, TBitmap& (*glyph)(TComponent&));
