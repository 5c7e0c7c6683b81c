#pragma once

// Where the running builder shows its controls, learnt from the builder's own
// windows made headless from the same layouts: a control's centre in the
// coordinates of its X window (the menu bar above the client area counted).
// The test never copies a coordinate out of a layout, so moving a control
// does not break it.

#include <memory>
#include <string>

#include "platform/graphics/Types.h"

class TControl;
class TCustomForm;
class TApplication;
class THeadlessScript;

namespace thumbnailstest {

class TBuilderPlaces {
public:
    // `layouts`: the folder of the program's window layouts.
    explicit TBuilderPlaces(const std::string& layouts);
    ~TBuilderPlaces();
    TBuilderPlaces(const TBuilderPlaces&) = delete;
    TBuilderPlaces& operator=(const TBuilderPlaces&) = delete;

    // The wizard as the start screen's web (HTML) or thumbnails button sets
    // it up, with the texts of "eng" or "ger" (the tabs' widths follow them).
    enum class TKind { Web, Thumbnails };
    void SetUp(TKind kind, const std::string& language);

    // The centre of the control `name` of the window `form` (the layout's
    // object name, e.g. "WizardForm").
    TPoint Centre(const std::string& form, const std::string& name) const;
    // The centre of row `row` of the list box `name` of the window `form`.
    TPoint ListRow(const std::string& form, const std::string& name, int row) const;
    // The centre of a wizard page's tab.
    TPoint Tab(const std::string& page) const;
    // The centre of the folder chooser's row for `folder` when the list shows
    // the folder `current`.
    TPoint FolderRow(const std::string& current, const std::string& folder) const;

private:
    TControl& Find(const std::string& form, const std::string& name) const;
    TPoint InWindow(const TControl& control, TPoint client) const;

    std::unique_ptr<THeadlessScript> FScript;
    std::unique_ptr<TApplication> FApp;
};

}  // namespace thumbnailstest
