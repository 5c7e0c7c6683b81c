#pragma once

// A container's widget that shows the form's surface under its children
// (internal to this folder). DrawOver paints on the surface, below the children.

#include "platform/display/TFormPeer.h"
#include "platform/display/TWidgetPeer.h"

#include <FL/fl_draw.H>

class TSurfaceGroup : public TPeeredGroup<Fl_Group> {
public:
    explicit TSurfaceGroup(TWidgetPeer& peer) : TPeeredGroup<Fl_Group>(peer, 0, 0, 1, 1)
    {
        resizable(nullptr);
        box(FL_FLAT_BOX);
        clip_children(1);
    }
    void draw() override
    {
        if (damage() & ~FL_DAMAGE_CHILD) {
            if (TFormPeer* form = Peer().FormPeer()) form->DrawSurface(x(), y(), w(), h());
            else fl_rectf(x(), y(), w(), h(), color());
            DrawOver();
        }
        draw_children();
    }

protected:
    virtual void DrawOver() {}
};
