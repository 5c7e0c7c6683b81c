#pragma once

// Labels (windowless) and static texts (windowed): a caption drawn in the
// control's font. A label is painted by its form; Transparent leaves the parent
// showing behind the text.

#include "platform/controls/TGraphicControl.h"
#include "platform/controls/TWinControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    const char* ClassName() const override { return "TLabel"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value) { FAutoSize = value; }

protected:
    void Paint() override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    bool FWordWrap = false;
    bool FAutoSize = true;
};

class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* AOwner);

    const char* ClassName() const override { return "TStaticText"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { FAlignment = value; Invalidate(); }
    void PaintWindow(TCanvas& canvas) override;

private:
    TAlignment FAlignment = taLeftJustify;
};

// Draws a caption into the client rectangle with the control's font.
void DrawCaption(TCanvas& canvas, const TControl& control, TAlignment alignment, bool wordWrap);
