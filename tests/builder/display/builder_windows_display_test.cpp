// Every window of the builder as the program makes it, shown as a real window
// in English and in German and photographed into <build>/screenshots/: the
// start screen, each wizard page with the tabs of each kind, and each dialog.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/program/BuilderWindows.h"
#include "builder/language/Language.h"
#include "builder/dialogs/PdfPageHolderForm.h"
#include "builder/wizard/StartScreen.h"
#include "builder/wizard/WizardForm.h"
#include "tests/builder/display/builder_display.h"
#include "platform/display/DisplayBackend.h"
#include "tests/platform/display/display_loop.h"
#include "tests/platform/display/x_server.h"

namespace {

using DisplayLoop::Shot;

const auto* const ServerEnvironment = ::testing::AddGlobalTestEnvironment(new DisplayLoop::TServerEnvironment);

class BuilderWindowsDisplay : public TBuilderDisplay<::testing::TestWithParam<const char*>> {
protected:
    void SetUp() override
    {
        StartApplication();
        if (IsSkipped())
            return;
        CreateBuilderWindows(*App);
        Language = GetParam();
        WizardForm->SetLang(Language);
        LanguageApplied = true;
    }
    std::string Name(const std::string& what) const { return what + "-" + Language; }

    std::string Language;
};

TEST_P(BuilderWindowsDisplay, TheStartScreen)
{
    StartScreen->Show();
    EXPECT_FALSE(Shot(Name("window-StartScreen"), *StartScreen).empty());
}

TEST_P(BuilderWindowsDisplay, EveryWizardPageWithTheTabsOfEachKind)
{
    struct Kind {
        const char* name;
        std::vector<TTabSheet*> pages;
    };
    TForm1& w = *WizardForm;
    const Kind kinds[] = {{"web", {w.TabSheet2, w.TabSheet4, w.TabSheet9}},
                          {"email", {w.TabSheet4, w.TabSheet5}},
                          {"thumbnails", {w.TabSheet6}},
                          {"exe", {w.TabSheet7}},
                          {"pdf", {w.TabSheet8}}};
    w.Show();
    TPageControl& pages = *w.PageControl1;
    for (const Kind& kind : kinds) {
        for (int i = 0; i < pages.PageCount(); ++i)
            pages.Pages(i)->SetTabVisible(i == 0);
        for (TTabSheet* page : kind.pages)
            page->SetTabVisible(true);
        for (TTabSheet* page : pages.VisibleTabs()) {
            SCOPED_TRACE(std::string(kind.name) + " " + page->Name());
            pages.SetActivePage(page);
            EXPECT_FALSE(Shot(Name(std::string("wizard-") + kind.name + "-" + page->Name()), w).empty());
        }
    }
}

TEST_P(BuilderWindowsDisplay, EveryDialog)
{
    for (int i = 0; i < App->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(App->Components(i));
        // The start screen and the wizard have their own shots; the PDF page
        // holder is never shown.
        if (!form || form == StartScreen || form == WizardForm || form == PdfPageHolderForm)
            continue;
        SCOPED_TRACE(form->Name());
        form->Show();
        EXPECT_FALSE(Shot(Name("dialog-" + form->Name()), *form).empty());
        form->Hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, BuilderWindowsDisplay, ::testing::Values("eng", "ger"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
