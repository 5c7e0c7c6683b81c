#pragma once

// The common part of every control's peer: one toolkit widget per windowed
// control, placed at the control's place on its form's window, following its
// bounds, caption, font, colour, visibility, enabled state and z-order.
//
// Widget coordinates are those of the form's window (the toolkit's rule), so a
// control sits at its FormOrigin, below the form's menu bar. A peer owns its
// widget; a container's widget holds its children's widgets without owning
// them, and gives them back when it goes (they keep their own peers).
//
// Input: the widgets hand mouse and key events to Handle, which queues them
// for the model (TDisplay::Post) in the form's client coordinates; the model's
// hit testing, capture, focus and event order then decide, exactly as for the
// headless input driver. What the model changes comes back as notices
// (Changed), and the widget shows it.

#include <cstdint>
#include <memory>
#include <utility>

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

#include "platform/controls/ControlPeer.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TWinControl.h"

class TFormPeer;
class TWidgetPeer;

// Marks the widgets that belong to peers.
class TPeerWidget {
public:
    explicit TPeerWidget(TWidgetPeer& peer) : FPeer(peer) {}
    virtual ~TPeerWidget() = default;
    TWidgetPeer& Peer() const { return FPeer; }

private:
    TWidgetPeer& FPeer;
};

// A toolkit widget whose events go to its peer first.
template <class Base>
class TPeered : public Base, public TPeerWidget {
public:
    template <class... Args>
    explicit TPeered(TWidgetPeer& peer, Args&&... args) : Base(std::forward<Args>(args)...), TPeerWidget(peer)
    {
    }
    int handle(int event) override;
    int BaseHandle(int event) { return Base::handle(event); }
};

class TWidgetPeer : public TControlPeer {
public:
    explicit TWidgetPeer(TWinControl& control);
    ~TWidgetPeer() override;
    TWidgetPeer(const TWidgetPeer&) = delete;
    TWidgetPeer& operator=(const TWidgetPeer&) = delete;

    TWinControl& Control() const { return FControl; }
    Fl_Widget* Widget() const { return FWidget.get(); }
    // Where the children's widgets go; nullptr for controls that hold none.
    virtual Fl_Group* ChildGroup() { return nullptr; }
    // The peer of the control's form; nullptr while it has none.
    TFormPeer* FormPeer() const;
    static TWidgetPeer* Of(const TWinControl* control);

    void Changed(TPeerChange change) override;
    void SurfacePainted(const TRect&) override {}

    // Takes the widget and fills it from the model; called once by the factory.
    void Start(std::unique_ptr<Fl_Widget> widget);

    // An event of the widget: the answer to return, or -1 to let the widget
    // handle it itself.
    virtual int Handle(int event);
    // A key is about to go into the model while this control holds the focus,
    // and the model has had it.
    virtual void BeforeKey(std::uint16_t key, TShiftState shift) {}
    virtual void AfterKey(std::uint16_t key, TShiftState shift) {}
    // Can the widget hold the toolkit's focus (and show it)?
    virtual bool Focusable() const;

    // The window position of a point in the control's client coordinates.
    TPoint WindowPoint(int x, int y) const;
    // Queues the current mouse event for the model.
    void PostMouse(TMouseInputKind kind, int dx = 0, int dy = 0);
    // The current press as the model takes it: in a quick series every second
    // press is a double-click, and the one after it starts a new pair.
    static TMouseInputKind PressKind();

protected:
    virtual void SyncText();
    virtual void SyncValue() {}
    virtual void SyncItems() {}
    virtual void SyncStyle() {}
    virtual void SyncFont();
    virtual void SyncColor();
    virtual void SyncBounds();
    virtual void SyncVisible();
    void SyncEnabled();
    // Puts the widget into its parent's group, at its z-position.
    void Attach();
    void Detach();
    void Redraw();
    // Gives the children's widgets back and deletes the widget (the destructor
    // does it too; peers that own what the widget uses call it first).
    void DestroyWidget();

    TWinControl& FControl;
    std::unique_ptr<Fl_Widget> FWidget;
};

template <class Base>
int TPeered<Base>::handle(int event)
{
    const int answer = Peer().Handle(event);
    return answer >= 0 ? answer : Base::handle(event);
}

// A container widget: its children see mouse events first, then the peer.
template <class Base>
class TPeeredGroup : public TPeered<Base> {
public:
    using TPeered<Base>::TPeered;
    int handle(int event) override
    {
        if (event == FL_PUSH || event == FL_MOUSEWHEEL) {
            if (Base::handle(event)) return 1;
        } else if (event == FL_MOVE || event == FL_ENTER) {
            // The group claims every move; it is ours when no child is below the mouse.
            Base::handle(event);
            if (Fl::belowmouse() != this) return 1;
            this->Peer().Handle(FL_MOVE);
            return 1;
        }
        const int answer = this->Peer().Handle(event);
        return answer >= 0 ? answer : Base::handle(event);
    }
};
