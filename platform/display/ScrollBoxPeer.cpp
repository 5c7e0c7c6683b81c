// Scroll boxes: the form's surface shows through the client area (the viewport,
// which holds and clips the children's widgets), the toolkit's scroll bars sit
// in the strips the model leaves for them. A bar moved by the person sets the
// model's position; the model's scrolling moves the children and comes back
// here as a value change. Wheel turns over the box or its children go to the
// model, which picks the box to scroll.

#include <memory>

#include "platform/controls/TPanel.h"
#include "platform/display/Peers.h"
#include "platform/display/SurfaceGroup.h"
#include "platform/display/TDisplay.h"
#include "platform/display/TFormPeer.h"
#include "platform/display/TWidgetPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>

namespace {

class TBoxGroup : public TSurfaceGroup {
public:
    TBoxGroup(TWidgetPeer& peer, bool frame) : TSurfaceGroup(peer), FFrame(frame) {}

protected:
    void DrawOver() override
    {
        const auto& box = static_cast<const TScrollBox&>(Peer().Control());
        if (!FFrame || box.BorderStyle() != bsSingleBorder) return;
        // The model paints no frame for a scroll box.
        fl_color(fl_rgb_color(160, 160, 160));
        fl_line(x(), y() + h() - 1, x(), y(), x() + w() - 1, y());
        fl_color(FL_WHITE);
        fl_line(x() + w() - 1, y() + 1, x() + w() - 1, y() + h() - 1, x() + 1, y() + h() - 1);
    }

private:
    bool FFrame;
};

class TScrollBoxPeer : public TWidgetPeer {
public:
    explicit TScrollBoxPeer(TScrollBox& box) : TWidgetPeer(box), FBox(box) {}
    ~TScrollBoxPeer() override
    {
        // The children's widgets go back to their own peers before the viewport goes.
        if (FViewport) {
            for (int i = FViewport->children() - 1; i >= 0; --i)
                if (dynamic_cast<TPeerWidget*>(FViewport->child(i))) FViewport->remove(i);
            // A peer widget itself, so the outer group would only give it back.
            delete FViewport;
            FViewport = nullptr;
        }
        DestroyWidget();
    }

    void Build(std::unique_ptr<Fl_Widget> outer)
    {
        auto* group = static_cast<Fl_Group*>(outer.get());
        FViewport = new TBoxGroup(*this, false);
        group->add(FViewport);
        FHorz = MakeBar(*group, FL_HORIZONTAL);
        FVert = MakeBar(*group, FL_VERTICAL);
        Start(std::move(outer));
    }

    Fl_Group* ChildGroup() override { return FViewport; }

    int Handle(int event) override
    {
        if (event != FL_MOUSEWHEEL) return TWidgetPeer::Handle(event);
        TCustomForm* form = FBox.ParentForm();
        TFormPeer* formPeer = FormPeer();
        TDisplay* display = TDisplay::Current();
        if (!form || !formPeer || !display) return 1;
        const int x = Fl::event_x();
        const int y = Fl::event_y() - formPeer->ClientTop();
        // The toolkit counts notches towards the person; the model away from them.
        const int dx = Fl::event_dx();
        const int dy = Fl::event_dy();
        TShiftState shift = Toolkit::Shift(Fl::event_state());
        int notches = -dy;
        if (dy == 0 && dx != 0) {
            notches = -dx;
            shift |= ssShift;
        }
        TComponentWatch watch(form);
        display->Post([=] {
            if (watch.Alive()) form->MouseWheelInput(notches * 120, shift, x, y);
        });
        return 1;
    }

protected:
    void SyncText() override {}
    void SyncBounds() override
    {
        TWidgetPeer::SyncBounds();
        PlaceParts();
    }
    void SyncValue() override { PlaceParts(); }

private:
    Fl_Scrollbar* MakeBar(Fl_Group& group, unsigned char type)
    {
        auto* bar = new Fl_Scrollbar(0, 0, 1, 1);
        bar->type(type);
        bar->visible_focus(0);
        bar->hide();
        bar->callback(
            [](Fl_Widget* w, void* data) {
                auto* self = static_cast<TScrollBoxPeer*>(data);
                const bool horizontal = w == self->FHorz;
                const int position = static_cast<Fl_Scrollbar*>(w)->value();
                TScrollBox* box = &self->FBox;
                TDisplay* display = TDisplay::Current();
                if (!display) return;
                TComponentWatch watch(box);
                display->Post([=] {
                    if (!watch.Alive()) return;
                    (horizontal ? box->HorzScrollBar() : box->VertScrollBar()).SetPosition(position);
                });
            },
            this);
        group.add(bar);
        return bar;
    }

    void PlaceBar(Fl_Scrollbar& bar, const TControlScrollBar& model, int x, int y, int w, int h)
    {
        if (!model.IsScrollBarVisible()) {
            bar.hide();
            return;
        }
        bar.resize(x, y, w, h);
        bar.value(model.Position(), model.PageSize(), 0, model.Range());
        bar.linesize(model.Increment());
        bar.show();
        bar.redraw();
    }

    void PlaceParts()
    {
        if (!FWidget || !FViewport) return;
        const int x = FWidget->x();
        const int y = FWidget->y();
        const TRect client = FBox.ClientRect();
        const int size = TScrollBox::ScrollBarSize;
        FViewport->resize(x, y, client.Width(), client.Height());
        PlaceBar(*FVert, FBox.VertScrollBar(), x + client.Width(), y, size, client.Height());
        PlaceBar(*FHorz, FBox.HorzScrollBar(), x, y + client.Height(), client.Width(), size);
        FWidget->redraw();
    }

    TScrollBox& FBox;
    Fl_Group* FViewport = nullptr;  // owned by the outer group
    Fl_Scrollbar* FHorz = nullptr;
    Fl_Scrollbar* FVert = nullptr;
};

}  // namespace

std::unique_ptr<TControlPeer> MakeScrollBoxPeer(TScrollBox& box)
{
    auto peer = std::make_unique<TScrollBoxPeer>(box);
    peer->Build(Toolkit::Make<TBoxGroup>(*peer, true));
    return peer;
}
