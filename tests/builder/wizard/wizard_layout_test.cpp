// The layouts of the builder's windows stay tidy: on every wizard page, in
// every dialog and in every panel the visible controls lie inside their
// parent and apart from each other, and each frame holds whole controls only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/dialogs/PdfPageHolderForm.h"
#include "builder/wizard/StartScreen.h"
#include "platform/controls/TImage.h"
#include "tests/builder/program_fixture.h"
#include "tests/builder/wizard_fixture.h"

using namespace buildertest;

namespace {

bool Overlap(const TRect& a, const TRect& b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

bool Inside(const TRect& inner, const TRect& outer)
{
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

std::string Describe(const TControl& c)
{
    const TRect r = c.BoundsRect();
    return c.Name() + " (" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " to " +
           std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

// Every fault of one container and of the containers inside it.
void CollectFaults(const TWinControl& parent, std::vector<std::string>& faults)
{
    std::vector<const TControl*> controls, frames;
    const TRect client = parent.ClientRect();
    for (int i = 0; i < parent.ControlCount(); ++i) {
        const TControl* c = parent.Controls(i);
        // A control parked wholly outside its window (the start screen's
        // long texts) is a store, not part of the view.
        if (!c->Visible() || !Overlap(c->BoundsRect(), client))
            continue;
        // A picture under the whole window is its background.
        if (dynamic_cast<const TImage*>(c) && Inside(client, c->BoundsRect()))
            continue;
        (dynamic_cast<const TShape*>(c) ? frames : controls).push_back(c);
    }
    const std::string where = parent.Name() + ": ";
    for (const TControl* c : controls) {
        if (!Inside(c->BoundsRect(), client))
            faults.push_back(where + Describe(*c) + " leaves its parent");
        for (const TControl* f : frames)
            if (Overlap(c->BoundsRect(), f->BoundsRect()) && !Inside(c->BoundsRect(), f->BoundsRect()))
                faults.push_back(where + Describe(*c) + " crosses the frame " + Describe(*f));
        if (const auto* inner = dynamic_cast<const TWinControl*>(c))
            CollectFaults(*inner, faults);
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (Overlap(controls[i]->BoundsRect(), controls[j]->BoundsRect()))
                faults.push_back(where + Describe(*controls[i]) + " overlaps " + Describe(*controls[j]));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!Inside(frames[i]->BoundsRect(), client))
            faults.push_back(where + Describe(*frames[i]) + " leaves its parent");
        for (std::size_t j = i + 1; j < frames.size(); ++j)
            if (Overlap(frames[i]->BoundsRect(), frames[j]->BoundsRect()))
                faults.push_back(where + Describe(*frames[i]) + " overlaps " + Describe(*frames[j]));
    }
}

class WizardLayoutTest : public WizardTest {};
class BuilderLayoutTest : public BuilderProgramTest {};

TEST_F(BuilderLayoutTest, NoVisibleControlsOverlapInAnyWindow)
{
    for (int i = 0; i < App.ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(App.Components(i));
        // The wizard is checked page by page below; the PDF page holder is never shown.
        if (!form || form == Wizard || form == PdfPageHolderForm)
            continue;
        SCOPED_TRACE(form->Name());
        std::vector<std::string> faults;
        CollectFaults(*form, faults);
        for (const std::string& fault : faults)
            ADD_FAILURE() << fault;
    }
}

TEST_F(WizardLayoutTest, NoVisibleControlsOverlapOnAnyPageOrDialog)
{
    std::vector<TWinControl*> containers;
    for (int i = 0; i < Wizard->PageControl1->PageCount(); ++i)
        containers.push_back(Wizard->PageControl1->Pages(i));
    for (TWinControl* form :
         std::initializer_list<TWinControl*>{FolderChooserDialog, NewFolderDialog, BuildCancelWindow, MetaTagsEditor})
        containers.push_back(form);
    for (TWinControl* container : containers) {
        SCOPED_TRACE(container->Name());
        std::vector<std::string> faults;
        CollectFaults(*container, faults);
        for (const std::string& fault : faults)
            ADD_FAILURE() << fault;
    }
}

TEST_F(WizardLayoutTest, EveryPageButThePicturesPageHasItsStartAndEveryPictureShows)
{
    struct Case {
        TTabSheet* page;
        TImage* start;
    };
    const Case cases[] = {{Wizard->TabSheet2, Wizard->Image31}, {Wizard->TabSheet4, Wizard->Image6},
                          {Wizard->TabSheet5, Wizard->Image16}, {Wizard->TabSheet6, Wizard->Image17},
                          {Wizard->TabSheet7, Wizard->Image19}, {Wizard->TabSheet8, Wizard->Image56}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page->Name());
        EXPECT_EQ(c.start->Parent(), c.page);
        EXPECT_EQ(c.start->Hint(), "Start");
        ASSERT_TRUE(c.start->OnClick);
    }
    for (TImage* image : {Wizard->Image1, Wizard->Image2, Wizard->Image5, Wizard->Image8, Wizard->Image18,
                          Wizard->Image20, Wizard->Image57, Wizard->Image58, Wizard->Image21, Wizard->Image22,
                          Wizard->Image23, Wizard->Image25, Wizard->Image26, Wizard->Image27, Wizard->Image28,
                          Wizard->Image29, Wizard->Image30, Wizard->Image15, Wizard->Image31, Wizard->Image51,
                          Wizard->Image53}) {
        SCOPED_TRACE(image->Name());
        EXPECT_FALSE(image->Picture().Empty());
    }
    EXPECT_EQ(Wizard->Image53->Hint(), "Gallery To Internet / Galerie ver\xF6" "ffentlichen ");
}

}  // namespace
