#include "builder_places.h"

#include <stdexcept>

#include "builder/program/BuilderWindows.h"
#include "builder/dialogs/FolderChooserDialog.h"
#include "builder/language/Language.h"
#include "builder/wizard/StartScreen.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/HeadlessInteraction.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TPageControl.h"
#include "platform/display/DisplayBackend.h"
#include "platform/shell/ShellExecute.h"

namespace thumbnailstest {

TBuilderPlaces::TBuilderPlaces(const std::string& layouts)
    : FScript(std::make_unique<THeadlessScript>()), FApp(std::make_unique<TApplication>())
{
    SetLayoutDirectory(layouts);
    // Nothing of the map may reach the desktop.
    SetShellRecordOnly(true);
    CreateBuilderWindows(*FApp);
}

TBuilderPlaces::~TBuilderPlaces() = default;

void TBuilderPlaces::SetUp(TKind kind, const std::string& language)
{
    WizardForm->SetLang(language);
    if (kind == TKind::Web) {
        FScript->AnswerModal("GalleryKindDialog", mrOk);
        StartScreen->MTranBtn2Click(nullptr);
    } else {
        StartScreen->MTranBtn4Click(nullptr);
    }
}

TControl& TBuilderPlaces::Find(const std::string& form, const std::string& name) const
{
    auto* window = dynamic_cast<TCustomForm*>(FApp->FindComponent(form));
    if (!window)
        throw std::runtime_error("no window " + form);
    auto* control = dynamic_cast<TControl*>(name.empty() ? window : window->FindComponent(name));
    if (!control)
        throw std::runtime_error("no control " + name + " on " + form);
    return *control;
}

TPoint TBuilderPlaces::InWindow(const TControl& control, TPoint client) const
{
    const TCustomForm* form = control.ParentForm();
    const TPoint origin = form->ClientToScreen({0, 0});
    const TPoint at = control.ClientToScreen(client);
    return {at.X - origin.X, at.Y - origin.Y + (form->Menu() ? DisplayMenuBarHeight : 0)};
}

TPoint TBuilderPlaces::Centre(const std::string& form, const std::string& name) const
{
    const TControl& control = Find(form, name);
    return InWindow(control, {control.Width() / 2, control.Height() / 2});
}

TPoint TBuilderPlaces::ListRow(const std::string& form, const std::string& name, int row) const
{
    const auto* list = dynamic_cast<const TListBox*>(&Find(form, name));
    if (!list)
        throw std::runtime_error(name + " is no list box");
    constexpr int Border = 2;
    return InWindow(*list, {list->Width() / 3, Border + (row - list->TopIndex()) * list->ItemHeight() +
                                                   list->ItemHeight() / 2});
}

TPoint TBuilderPlaces::Tab(const std::string& page) const
{
    const TPageControl& pages = *WizardForm->PageControl1;
    const TRect tab = pages.TabRect(dynamic_cast<TTabSheet*>(&Find("WizardForm", page)));
    if (tab.Width() <= 0)
        throw std::runtime_error("the page " + page + " shows no tab");
    return InWindow(pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
}

TPoint TBuilderPlaces::FolderRow(const std::string& current, const std::string& folder) const
{
    TDirectoryListBox& list = *FolderChooserDialog->DirectoryListBox1;
    list.SetDirectory(current);
    for (int i = 0; i < list.Count(); ++i)
        if (list.GetItemPath(i) == folder) {
            // Rows start inside the list's two-pixel border.
            constexpr int Border = 2;
            return InWindow(list, {list.Width() / 3, Border + (i - list.TopIndex()) * list.ItemHeight() +
                                                         list.ItemHeight() / 2});
        }
    throw std::runtime_error("the folder list shows no " + folder);
}

}  // namespace thumbnailstest
