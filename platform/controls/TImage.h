#pragma once

// Windowless picture controls: images, paint boxes and shapes.
//
// An image shows its picture (Stretch scales it to the control, Center centres
// it, otherwise it sits at the top-left corner) and repaints whenever the
// picture changes. Its Canvas draws on the picture itself, which becomes a
// bitmap of the control's size when it holds none. AutoSize fits the control to
// the picture. In layouts Picture.Data holds the picture file's bytes (BMP or
// JPEG) and Picture.FileName names a file beside the layouts.

#include <memory>

#include "platform/controls/TGraphicControl.h"
#include "platform/graphics/TPicture.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    const char* ClassName() const override { return "TImage"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TPicture& Picture() { return *FPicture; }
    const TPicture& Picture() const { return *FPicture; }
    void SetPicture(const TPicture& picture) { FPicture->Assign(picture); }
    TCanvas& Canvas();

    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // On: the picture draws without its transparent colour (set on the
    // picture, also on one put in later).
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    // Where the picture lands in client coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FAutoSize = false;
    bool FTransparent = false;
    bool FDrawing = false;
};

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);

    const char* ClassName() const override { return "TPaintBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);

    const char* ClassName() const override { return "TShape"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType value);
    // Change them in place, then call StyleChanged (the setters below do).
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    void StyleChanged() { Invalidate(); }

    TColor PenColor() const { return FPen.Color(); }
    void SetPenColor(TColor c) { FPen.SetColor(c); StyleChanged(); }
    TPenStyle PenStyle() const { return FPen.Style(); }
    void SetPenStyle(TPenStyle s) { FPen.SetStyle(s); StyleChanged(); }
    int PenWidth() const { return FPen.Width(); }
    void SetPenWidth(int w) { FPen.SetWidth(w); StyleChanged(); }
    TColor BrushColor() const { return FBrush.Color(); }
    void SetBrushColor(TColor c) { FBrush.SetColor(c); StyleChanged(); }
    TBrushStyle BrushStyle() const { return FBrush.Style(); }
    void SetBrushStyle(TBrushStyle s) { FBrush.SetStyle(s); StyleChanged(); }

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    TPen FPen;
    TBrush FBrush;
};
