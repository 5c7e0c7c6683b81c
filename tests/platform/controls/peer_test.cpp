// The display seam: headless makes no peer; an installed backend gets one per
// windowed control once the form shows, and hears of changes.

#include "platform/controls/ControlPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls/TApplication.h"
#include "platform/controls/TButton.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/loop/TThread.h"

namespace {

class TRecordingFactory : public TPeerFactory {
public:
    struct TPeer : TControlPeer {
        TPeer(TRecordingFactory& f, TWinControl& c) : Factory(f), Control(c) {}
        void Changed(TPeerChange change) override { Factory.Changes.push_back({Control.Name(), change}); }
        void SurfacePainted(const TRect&) override { ++Factory.Paints; }
        TRecordingFactory& Factory;
        TWinControl& Control;
    };
    std::unique_ptr<TControlPeer> CreatePeer(TWinControl& control) override
    {
        Made.push_back(control.Name());
        return std::make_unique<TPeer>(*this, control);
    }
    std::vector<std::string> Made;
    std::vector<std::pair<std::string, TPeerChange>> Changes;
    int Paints = 0;
};

struct TFormWithControls {
    explicit TFormWithControls(TComponent* owner)
    {
        Form = new TForm(owner);
        Form->SetName("Form");
        Panel = new TPanel(Form);
        Panel->SetName("Panel");
        Panel->SetParent(Form);
        Button = new TButton(Form);
        Button->SetName("Button");
        Button->SetParent(Panel);
        Label = new TLabel(Form);
        Label->SetName("Label");
        Label->SetParent(Form);
    }
    TForm* Form;
    TPanel* Panel;
    TButton* Button;
    TLabel* Label;
};

TEST(Peers, HeadlessMakesNone)
{
    TApplication app;
    TFormWithControls f(&app);
    f.Form->Show();
    app.ProcessMessages();
    EXPECT_EQ(PeerFactory(), nullptr);
    EXPECT_EQ(f.Form->Peer(), nullptr);
    EXPECT_EQ(f.Button->Peer(), nullptr);
    EXPECT_GE(f.Form->PaintCount(), 1);  // the surface is painted all the same
}

TEST(Peers, ABackendGetsOnePerWindowedControlWhenTheFormShows)
{
    TRecordingFactory factory;
    SetPeerFactory(&factory);
    {
        TApplication app;
        TFormWithControls f(&app);
        EXPECT_TRUE(factory.Made.empty());
        f.Form->Show();
        EXPECT_EQ(factory.Made, (std::vector<std::string>{"Form", "Panel", "Button"}));
        auto* late = new TButton(f.Form);
        late->SetName("Late");
        late->SetParent(f.Form);
        EXPECT_EQ(factory.Made.back(), "Late");
        factory.Changes.clear();
        f.Button->SetCaption("Go");
        f.Button->SetCaption("Go");
        f.Button->SetEnabled(false);
        f.Label->SetCaption("windowless");  // shows through the form's surface
        using C = std::pair<std::string, TPeerChange>;
        EXPECT_EQ(factory.Changes, (std::vector<C>{{"Button", TPeerChange::Text}, {"Button", TPeerChange::Enabled}}));
        app.ProcessMessages();
        EXPECT_GE(factory.Paints, 1);
    }
    SetPeerFactory(nullptr);
}

TEST(Peers, ATabsCaptionOrVisibilityChangeReachesThePageControlThatDrawsIt)
{
    TRecordingFactory factory;
    SetPeerFactory(&factory);
    {
        TApplication app;
        auto* form = new TForm(&app);
        auto* pages = new TPageControl(form);
        pages->SetName("Pages");
        pages->SetParent(form);
        auto* sheet = new TTabSheet(form);
        sheet->SetName("Sheet");
        sheet->SetPageControl(pages);
        form->Show();
        using C = std::pair<std::string, TPeerChange>;
        for (const auto& change : {std::function<void()>([&] { sheet->SetCaption("Deutsch"); }),
                                   std::function<void()>([&] { sheet->SetTabVisible(false); })}) {
            factory.Changes.clear();
            change();
            EXPECT_NE(std::find(factory.Changes.begin(), factory.Changes.end(), C{"Pages", TPeerChange::Value}),
                      factory.Changes.end());
        }
    }
    SetPeerFactory(nullptr);
}

TEST(Threads, SynchronizeFromAWorkerRunsInsideProcessMessages)
{
    TApplication app;
    class TWorker : public TThread {
    public:
        int* Value = nullptr;

    protected:
        void Execute() override
        {
            Synchronize([this] { *Value = 42; });
        }
    };
    int value = 0;
    TWorker worker;
    worker.Value = &value;
    worker.Start();
    while (!worker.Finished()) {
        app.ProcessMessages();
        MsgWaitForMultipleObjects({}, 10);  // the worker may end between the test and the wait
    }
    EXPECT_EQ(value, 42);
}

}  // namespace
