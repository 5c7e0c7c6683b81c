#include "platform/controls/TTrackBar.h"

#include <algorithm>

#include "platform/controls/Properties.h"

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
}

const TPropertyTable& TTrackBar::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Int<TTrackBar>("Max", &TTrackBar::Max, &TTrackBar::SetMax);
        t.Int<TTrackBar>("Min", &TTrackBar::Min, &TTrackBar::SetMin);
        t.Int<TTrackBar>("Position", &TTrackBar::Position, [](TTrackBar& b, int v) { b.SetPosition(v); });
        t.Int<TTrackBar>("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize);
        t.Int<TTrackBar>("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize);
        t.Int<TTrackBar>("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency);
        t.Enum<TTrackBar, TTrackBarOrientation>("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation,
                                                {"trHorizontal", "trVertical"});
        t.Enum<TTrackBar, TTickStyle>("TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle,
                                      {"tsNone", "tsAuto", "tsManual"});
        t.EventHandler<TTrackBar>("OnChange", &TTrackBar::OnChange);
        return t;
    }();
    return table;
}

void TTrackBar::SetMin(int value)
{
    if (value == FMin) return;
    FMin = value;
    if (FMax < FMin) FMax = FMin;
    SetPosition(FPosition);
    Invalidate();
}

void TTrackBar::SetMax(int value)
{
    if (value == FMax) return;
    FMax = value;
    if (FMin > FMax) FMin = FMax;
    SetPosition(FPosition);
    Invalidate();
}

void TTrackBar::SetPosition(int value, TChangeNotify notify)
{
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition) return;
    FPosition = value;
    Invalidate();
    NotifyPeer(TPeerChange::Value);
    if (notify == TChangeNotify::Fire && !Loading()) Fire(*this, OnChange, this);
}

bool TTrackBar::WantsKey(std::uint16_t key) const
{
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_PRIOR ||
           key == VK_NEXT || key == VK_HOME || key == VK_END;
}

void TTrackBar::KeyDown(std::uint16_t& key, TShiftState)
{
    switch (key) {
    case VK_RIGHT: case VK_DOWN: SetPosition(FPosition + FLineSize); break;
    case VK_LEFT: case VK_UP: SetPosition(FPosition - FLineSize); break;
    case VK_NEXT: SetPosition(FPosition + FPageSize); break;
    case VK_PRIOR: SetPosition(FPosition - FPageSize); break;
    case VK_HOME: SetPosition(FMin); break;
    case VK_END: SetPosition(FMax); break;
    default: break;
    }
}

// The thumb's travel is the control's length less 8 pixels at each end.
int TTrackBar::PositionAt(int x, int y) const
{
    const int length = (FOrientation == trHorizontal ? Width() : Height()) - 16;
    const int along = (FOrientation == trHorizontal ? x : y) - 8;
    if (length <= 0 || FMax == FMin) return FMin;
    const long long span = static_cast<long long>(FMax) - FMin;
    const long long offset = (static_cast<long long>(std::clamp(along, 0, length)) * span + length / 2) / length;
    return FMin + static_cast<int>(offset);
}

void TTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    if (button == mbLeft) SetPosition(PositionAt(x, y));
    if (watch.Alive()) TWinControl::MouseDown(button, shift, x, y);
}

void TTrackBar::MouseMove(TShiftState shift, int x, int y)
{
    TComponentWatch watch(this);
    if (MouseCapture()) SetPosition(PositionAt(x, y));
    if (watch.Alive()) TWinControl::MouseMove(shift, x, y);
}

void TTrackBar::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    const bool horizontal = FOrientation == trHorizontal;
    const int length = (horizontal ? Width() : Height()) - 16;
    const int at = FMax == FMin ? 0
                                : static_cast<int>(static_cast<long long>(FPosition - FMin) * length / (FMax - FMin));
    canvas.Brush().SetColor(ColorToRGB(clBtnShadow));
    if (horizontal) {
        canvas.FillRect(Rect(8, Height() / 2 - 2, Width() - 8, Height() / 2 + 2));
        canvas.Brush().SetColor(ColorToRGB(clBtnText));
        canvas.FillRect(Rect(8 + at - 4, 4, 8 + at + 4, Height() - 4));
    } else {
        canvas.FillRect(Rect(Width() / 2 - 2, 8, Width() / 2 + 2, Height() - 8));
        canvas.Brush().SetColor(ColorToRGB(clBtnText));
        canvas.FillRect(Rect(4, 8 + at - 4, Width() - 4, 8 + at + 4));
    }
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

const TPropertyTable& TProgressBar::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Int<TProgressBar>("Min", &TProgressBar::Min, &TProgressBar::SetMin);
        t.Int<TProgressBar>("Max", &TProgressBar::Max, &TProgressBar::SetMax);
        t.Int<TProgressBar>("Position", &TProgressBar::Position, &TProgressBar::SetPosition);
        t.Int<TProgressBar>("Step", &TProgressBar::Step, &TProgressBar::SetStep);
        return t;
    }();
    return table;
}

void TProgressBar::SetMin(int value)
{
    FMin = value;
    if (FMax < FMin) FMax = FMin;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetMax(int value)
{
    FMax = value;
    if (FMin > FMax) FMin = FMax;
    SetPosition(FPosition);
    Invalidate();
}

void TProgressBar::SetPosition(int value)
{
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition) return;
    FPosition = value;
    Invalidate();
    NotifyPeer(TPeerChange::Value);
}

void TProgressBar::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    if (FMax == FMin) return;
    const int filled = static_cast<int>(static_cast<long long>(FPosition - FMin) * Width() / (FMax - FMin));
    canvas.Brush().SetColor(ColorToRGB(clHighlight));
    canvas.FillRect(Rect(0, 0, filled, Height()));
}
