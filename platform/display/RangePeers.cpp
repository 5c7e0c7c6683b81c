// Track bars, up-downs and progress bars. Track bars and up-downs are drawn at
// the model's geometry (the thumb where the model puts the position, the arrow
// halves the model tells apart), so the model's hit testing agrees with what
// the person sees.

#include <algorithm>

#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"
#include "platform/display/Peers.h"
#include "platform/display/TWidgetPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Progress.H>
#include <FL/fl_draw.H>

namespace {

class TTrackWidget : public TPeered<Fl_Widget> {
public:
    TTrackWidget(TWidgetPeer& peer, TTrackBar& bar) : TPeered<Fl_Widget>(peer, 0, 0, 1, 1), FBar(bar) {}

    void draw() override
    {
        fl_rectf(x(), y(), w(), h(), Toolkit::Color(FBar.Color()));
        const bool horizontal = FBar.Orientation() == trHorizontal;
        const int length = (horizontal ? w() : h()) - 16;
        const int span = FBar.Max() - FBar.Min();
        auto at = [&](int value) {
            return span == 0 ? 0 : static_cast<int>(static_cast<long long>(value - FBar.Min()) * length / span);
        };
        const int thumb = at(FBar.Position());
        const Fl_Color dark = fl_rgb_color(160, 160, 160);
        if (horizontal) {
            const int cy = y() + 10;
            draw_box(FL_DOWN_BOX, x() + 8, cy - 2, w() - 16, 5, FL_WHITE);
            if (FBar.TickStyle() != tsNone && span != 0) {
                fl_color(dark);
                const int step = std::max(1, FBar.Frequency());
                for (int v = FBar.Min(); v <= FBar.Max(); v += step) fl_line(x() + 8 + at(v), y() + 21, x() + 8 + at(v), y() + 24);
            }
            draw_box(FL_UP_BOX, x() + 8 + thumb - 5, y() + 2, 11, 16, active_r() ? FL_BACKGROUND_COLOR : FL_DARK1);
        } else {
            const int cx = x() + 10;
            draw_box(FL_DOWN_BOX, cx - 2, y() + 8, 5, h() - 16, FL_WHITE);
            if (FBar.TickStyle() != tsNone && span != 0) {
                fl_color(dark);
                const int step = std::max(1, FBar.Frequency());
                for (int v = FBar.Min(); v <= FBar.Max(); v += step) fl_line(x() + 21, y() + 8 + at(v), x() + 24, y() + 8 + at(v));
            }
            draw_box(FL_UP_BOX, x() + 2, y() + 8 + thumb - 5, 16, 11, active_r() ? FL_BACKGROUND_COLOR : FL_DARK1);
        }
        if (Fl::focus() == this) {
            fl_color(FL_DARK2);
            fl_line_style(FL_DOT);
            fl_rect(x(), y(), w(), h());
            fl_line_style(0);
        }
    }

private:
    TTrackBar& FBar;
};

class TArrowsWidget : public TPeered<Fl_Widget> {
public:
    TArrowsWidget(TWidgetPeer& peer, TUpDown& upDown) : TPeered<Fl_Widget>(peer, 0, 0, 1, 1), FUpDown(upDown) {}

    void SetPressed(int half)
    {
        if (half == FPressed) return;
        FPressed = half;
        redraw();
    }
    // 1 for the "next" half (top or right), -1 for the other, as the model splits it.
    int HalfAt(int ex, int ey) const
    {
        if (FUpDown.Orientation() == udVertical) return ey - y() < h() / 2 ? 1 : -1;
        return ex - x() >= w() / 2 ? 1 : -1;
    }

    void draw() override
    {
        const bool vertical = FUpDown.Orientation() == udVertical;
        const int hw = vertical ? w() : w() / 2;
        const int hh = vertical ? h() / 2 : h();
        const Fl_Color ink = active_r() ? FL_BLACK : FL_DARK2;
        // "Next" is the top half, or the right one.
        const int nx = vertical ? x() : x() + hw;
        const int ny = y();
        const int px = x();
        const int py = vertical ? y() + hh : y();
        draw_box(FPressed == 1 ? FL_DOWN_BOX : FL_UP_BOX, nx, ny, vertical ? w() : w() - hw, hh, FL_BACKGROUND_COLOR);
        draw_box(FPressed == -1 ? FL_DOWN_BOX : FL_UP_BOX, px, py, hw, vertical ? h() - hh : hh, FL_BACKGROUND_COLOR);
        fl_color(ink);
        if (vertical) {
            const int cx = x() + w() / 2;
            fl_polygon(cx - 3, ny + hh / 2 + 2, cx + 3, ny + hh / 2 + 2, cx, ny + hh / 2 - 1);
            fl_polygon(cx - 3, py + hh / 2 - 1, cx + 3, py + hh / 2 - 1, cx, py + hh / 2 + 2);
        } else {
            const int cy = y() + h() / 2;
            fl_polygon(nx + hw / 2 - 1, cy - 3, nx + hw / 2 - 1, cy + 3, nx + hw / 2 + 2, cy);
            fl_polygon(px + hw / 2 + 1, cy - 3, px + hw / 2 + 1, cy + 3, px + hw / 2 - 2, cy);
        }
    }

private:
    TUpDown& FUpDown;
    int FPressed = 0;
};

class TTrackBarPeer : public TWidgetPeer {
public:
    using TWidgetPeer::TWidgetPeer;

protected:
    void SyncText() override {}
    void SyncValue() override { FWidget->redraw(); }
};

class TUpDownPeer : public TWidgetPeer {
public:
    using TWidgetPeer::TWidgetPeer;

    int Handle(int event) override
    {
        auto& arrows = static_cast<TArrowsWidget&>(*FWidget);
        if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) arrows.SetPressed(arrows.HalfAt(Fl::event_x(), Fl::event_y()));
        else if (event == FL_RELEASE) arrows.SetPressed(0);
        return TWidgetPeer::Handle(event);
    }

protected:
    void SyncText() override {}
};

class TProgressBarPeer : public TWidgetPeer {
public:
    TProgressBarPeer(TProgressBar& bar) : TWidgetPeer(bar), FBar(bar) {}

protected:
    void SyncText() override {}
    void SyncColor() override {}
    void SyncValue() override
    {
        auto& progress = static_cast<Fl_Progress&>(*FWidget);
        progress.minimum(static_cast<float>(FBar.Min()));
        progress.maximum(static_cast<float>(FBar.Max() > FBar.Min() ? FBar.Max() : FBar.Min() + 1));
        progress.value(static_cast<float>(FBar.Position()));
    }

private:
    TProgressBar& FBar;
};

}  // namespace

std::unique_ptr<TControlPeer> MakeTrackBarPeer(TTrackBar& bar)
{
    auto peer = std::make_unique<TTrackBarPeer>(bar);
    peer->Start(Toolkit::Make<TTrackWidget>(*peer, bar));
    return peer;
}

std::unique_ptr<TControlPeer> MakeUpDownPeer(TUpDown& upDown)
{
    auto peer = std::make_unique<TUpDownPeer>(upDown);
    peer->Start(Toolkit::Make<TArrowsWidget>(*peer, upDown));
    return peer;
}

std::unique_ptr<TControlPeer> MakeProgressBarPeer(TProgressBar& bar)
{
    auto peer = std::make_unique<TProgressBarPeer>(bar);
    auto widget = Toolkit::Make<TPeered<Fl_Progress>>(*peer, 0, 0, 1, 1);
    widget->box(FL_DOWN_BOX);
    widget->color(FL_WHITE);
    widget->selection_color(fl_rgb_color(6, 176, 37));
    peer->Start(std::move(widget));
    return peer;
}
