// Containers: the form's surface shows through them (their own look and their
// windowless children are painted there by the model), their children's
// widgets sit on top. Page controls draw their tabs at the model's tab places.

#include <algorithm>

#include "platform/controls/TPageControl.h"
#include "platform/core/AnsiString.h"
#include "platform/display/Peers.h"
#include "platform/display/SurfaceGroup.h"
#include "platform/display/TFormPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace {

class TContainerPeer : public TWidgetPeer {
public:
    using TWidgetPeer::TWidgetPeer;
    Fl_Group* ChildGroup() override { return static_cast<Fl_Group*>(FWidget.get()); }

protected:
    void SyncText() override {}
};

class TTabsWidget : public TPeeredGroup<Fl_Group> {
public:
    TTabsWidget(TWidgetPeer& peer, TPageControl& pages) : TPeeredGroup<Fl_Group>(peer, 0, 0, 1, 1), FPages(pages)
    {
        resizable(nullptr);
        box(FL_FLAT_BOX);
        clip_children(1);
    }

    void draw() override
    {
        if (damage() & ~FL_DAMAGE_CHILD) DrawFrame();
        draw_children();
    }

private:
    void DrawFrame()
    {
        const Fl_Color face = Toolkit::Color(FPages.Color());
        const Fl_Color light = FL_WHITE;
        const Fl_Color dark = fl_rgb_color(160, 160, 160);
        fl_rectf(x(), y(), w(), h(), face);
        const int top = y() + TPageControl::TabHeight;
        // The body.
        fl_color(dark);
        fl_rect(x(), top, w(), h() - TPageControl::TabHeight);
        fl_font(Toolkit::Font(FPages.Font()), Toolkit::FontSize(FPages.Font()));
        TTabSheet* active = FPages.ActivePage();
        for (TTabSheet* sheet : FPages.VisibleTabs()) {
            const TRect r = FPages.TabRect(sheet);
            const bool on = sheet == active;
            const int tx = x() + r.Left - (on ? 2 : 0);
            const int tw = r.Width() + (on ? 4 : 0);
            const int ty = y() + r.Top - (on ? 2 : 0);
            const int th = top - ty + (on ? 1 : 0);
            fl_rectf(tx, ty, tw, th, on ? light : face);
            fl_color(dark);
            fl_line(tx, ty + th - 1, tx, ty, tx + tw - 1, ty);
            fl_line(tx + tw - 1, ty, tx + tw - 1, ty + th - 1);
            if (on) {
                fl_color(light);
                fl_line(tx + 1, top, tx + tw - 2, top);
            }
            fl_color(Toolkit::Color(FPages.Font().Color()));
            // Tabs show their caption as a button does: "&&" is one "&".
            int marked = -1;
            const std::string caption = Toolkit::Label(StripAccelerator(sheet->Caption(), marked));
            fl_draw(caption.c_str(), tx, ty, tw, th, FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP, nullptr, 0);
            if (on && Fl::focus() == this) {
                fl_color(FL_DARK2);
                fl_line_style(FL_DOT);
                fl_rect(tx + 3, ty + 3, tw - 6, th - 6);
                fl_line_style(0);
            }
        }
    }

    TPageControl& FPages;
};

class TPageControlPeer : public TContainerPeer {
public:
    using TContainerPeer::TContainerPeer;

protected:
    void SyncValue() override { Redraw(); }
};

}  // namespace

std::unique_ptr<TControlPeer> MakeContainerPeer(TWinControl& control)
{
    auto peer = std::make_unique<TContainerPeer>(control);
    peer->Start(Toolkit::Make<TSurfaceGroup>(*peer));
    return peer;
}

std::unique_ptr<TControlPeer> MakePageControlPeer(TPageControl& pages)
{
    auto peer = std::make_unique<TPageControlPeer>(pages);
    peer->Start(Toolkit::Make<TTabsWidget>(*peer, pages));
    return peer;
}
