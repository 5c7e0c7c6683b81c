#include "platform/controls/TComponent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its own destruction and the removals it hears of.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::string tag, std::vector<std::string>& log)
        : TComponent(owner), FTag(std::move(tag)), FLog(log) {}
    ~TProbe() override { FLog.push_back("~" + FTag); }
    TComponent* Heard = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove) Heard = component;
    }

private:
    std::string FTag;
    std::vector<std::string>& FLog;
};

TEST(Component, OwnerDeletesItsComponentsLastCreatedFirst)
{
    std::vector<std::string> log;
    {
        auto owner = std::make_unique<TProbe>(nullptr, "owner", log);
        new TProbe(owner.get(), "a", log);
        auto* b = new TProbe(owner.get(), "b", log);
        new TProbe(b, "b1", log);
        new TProbe(owner.get(), "c", log);
        EXPECT_EQ(owner->ComponentCount(), 3);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"~owner", "~c", "~b", "~b1", "~a"}));
}

TEST(Component, DeletedComponentLeavesItsOwner)
{
    std::vector<std::string> log;
    TProbe owner(nullptr, "owner", log);
    auto* a = new TProbe(&owner, "a", log);
    auto* b = new TProbe(&owner, "b", log);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
    EXPECT_THROW(owner.Components(1), EListError);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Button1");
    EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
    EXPECT_EQ(owner.FindComponent("Button2"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_THROW(b->SetName("button1"), EComponentError);
    for (const char* bad : {"1abc", "a b", "a-b", "\xE4"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(b->SetName(bad), EComponentError);
    }
    b->SetName("_x9");
    b->SetName("");
    EXPECT_EQ(b->Name(), "");
}

TEST(Component, FreeNotificationTellsWatchersOfTheEnd)
{
    std::vector<std::string> log;
    TProbe watcher(nullptr, "watcher", log);
    auto* watched = new TProbe(nullptr, "watched", log);
    watched->FreeNotification(&watcher);
    TComponent* address = watched;
    delete watched;
    EXPECT_EQ(watcher.Heard, address);
}

TEST(Component, OwnerPassesRemovalsToItsComponents)
{
    std::vector<std::string> log;
    TComponent owner(nullptr);
    auto* a = new TProbe(&owner, "a", log);
    auto* b = new TProbe(&owner, "b", log);
    delete b;
    EXPECT_EQ(a->Heard, b);
}

TEST(Component, FireGuardsAHandlerThatFreesItsSender)
{
    auto* sender = new TComponent(nullptr);
    TNotifyEvent handler = [sender](TObject*) { delete sender; };
    EXPECT_TRUE(Fire(*sender, TNotifyEvent{}, sender));  // unassigned: nothing runs
    EXPECT_FALSE(Fire(*sender, handler, sender));
}

// The handler lives in the component it frees: Fire copies it first.
class TSelfFreeing : public TComponent {
public:
    using TComponent::TComponent;
    TNotifyEvent OnPing;
    bool Ping() { return Fire(*this, OnPing, this); }
};

TEST(Component, FireSurvivesAHandlerStoredInTheFreedSender)
{
    auto* c = new TSelfFreeing(nullptr);
    int runs = 0;
    c->OnPing = [&runs, c](TObject*) {
        ++runs;
        delete c;
    };
    EXPECT_FALSE(c->Ping());
    EXPECT_EQ(runs, 1);
}

}  // namespace
