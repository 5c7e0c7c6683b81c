#pragma once

// Menus as windows of our own, driven without a nested toolkit loop: the menu
// bar of a form and pop-up menus, with cascading submenus.
//
// While a menu is open it grabs the pointer and the keyboard: the pointer and
// the arrow keys move through it, Return or a release on an item chooses,
// Escape or a click elsewhere dismisses. The end calls `done` with the chosen
// item (nullptr when dismissed) inside the toolkit's event handling, so `done`
// only queues work for the model.

#include <functional>
#include <string>
#include <vector>

#include <FL/Fl_Widget.H>

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TMenu.h"

class TMenuBarWidget : public Fl_Widget {
public:
    TMenuBarWidget(TCustomForm& form, int x, int y, int w, int h);

    void draw() override;
    int handle(int event) override;
    // Redraws when the items' captions or states have changed.
    void Follow();
    // The top item under a screen point; -1 when none.
    int ItemAt(int rootX, int rootY) const;
    int ItemCount() const;
    // Opens the menu of a top item (or clicks an item without children).
    void OpenItem(int index);
    void SetHighlight(int index);

private:
    struct TTop {
        TMenuItem* Item;
        int X;
        int W;
    };
    std::vector<TTop> Layout() const;
    std::string Signature() const;

    TCustomForm& FForm;
    TComponentWatch FWatch;
    int FHighlight = -1;
    std::string FSignature;
};

// Opens the children of `parent` as a menu at (x, y) on the screen.
void OpenMenu(TMenuItem& parent, int x, int y, std::function<void(TMenuItem*)> done);
bool MenuOpen();
// Dismisses an open menu.
void CloseMenus();
// The text a shortcut value shows ("Ctrl+O").
std::string ShortCutText(int shortCut);
