#pragma once

// Where the running plug-in shows its controls, learnt from its own layout
// read headless into a plain form (its handlers left out): a control's centre
// in the coordinates of its X window. No coordinate is copied out of a layout.

#include <regex>
#include <stdexcept>
#include <string>

#include "platform/controls/LayoutReader.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TPageControl.h"
#include "platform/core/Files.h"
#include "shared/Tranbtn.h"

namespace stampeltest {

class TStampelPlaces {
public:
    TStampelPlaces(const std::string& resources, const std::string& layout) : FForm(nullptr)
    {
        RegisterTranBtn();
        SetLayoutDirectory(resources);
        const std::string text = ReadFileBytes(IncludeTrailingPathDelimiter(resources) + layout + ".layout");
        const std::string plain = std::regex_replace(text, std::regex("\n *On[A-Za-z]+ = [A-Za-z0-9]+"), "");
        THandlerTable none;
        FForm.ReadLayoutText(plain, none, layout);
    }

    TPoint Centre(const std::string& name) const
    {
        const TControl& control = Find(name);
        return InWindow(control, {control.Width() / 2, control.Height() / 2});
    }

    // A point of the control, from its top left corner.
    TPoint At(const std::string& name, TPoint client) const { return InWindow(Find(name), client); }

    TPoint Tab(const std::string& pages, const std::string& page) const
    {
        const auto& control = dynamic_cast<const TPageControl&>(Find(pages));
        const TRect tab = control.TabRect(dynamic_cast<TTabSheet*>(&Find(page)));
        if (tab.Width() <= 0)
            throw std::runtime_error("the page " + page + " shows no tab");
        return InWindow(control, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
    }

private:
    TControl& Find(const std::string& name) const
    {
        auto* control = dynamic_cast<TControl*>(FForm.FindComponent(name));
        if (!control)
            throw std::runtime_error("no control " + name);
        return *control;
    }
    TPoint InWindow(const TControl& control, TPoint client) const
    {
        const TPoint origin = FForm.ClientToScreen({0, 0});
        const TPoint at = control.ClientToScreen(client);
        return {at.X - origin.X, at.Y - origin.Y};
    }

    mutable TForm FForm;
};

}  // namespace stampeltest
