#pragma once

// Components: named objects with an owner.
//
// Owner and parent are separate links. The owner decides lifetime: a component
// created with an owner is owned by it (the one place a raw `new` is the rule:
// `new TButton(form)`), and the owner's destructor deletes its components,
// last-created first. A component without an owner belongs in a unique_ptr.
// The parent (TControl::Parent) decides only display and geometry.
//
// A component's destructor removes it from its owner and tells every component
// that asked through FreeNotification (Notification with opRemove), and every
// TComponentWatch on it sees it gone. Fire() uses a watch so that a handler may
// free its own sender: after Fire returns false the caller touches nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls/Events.h"
#include "platform/controls/Forward.h"
#include "platform/core/Exceptions.h"

enum TOperation { opInsert, opRemove };

using TComponentState = std::uint8_t;
enum : TComponentState { csLoading = 1, csReading = 2, csDestroying = 4, csDesigning = 8 };

// A name that breaks the component name rules, or is taken by a sibling.
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A control operation that cannot be done in the control's state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    virtual const char* ClassName() const { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier (letters,
    // digits, "_", not starting with a digit) or that the owner already holds
    // (case-insensitive). The empty name is always allowed.
    void SetName(const std::string& name);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t tag) { FTag = tag; }
    TComponentState ComponentState() const { return FComponentState; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError outside 0..ComponentCount-1.
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    // An owned component by name, case-insensitive; nullptr when none.
    TComponent* FindComponent(const std::string& name) const;

    // Moves a component into this owner's list (taking ownership).
    void InsertComponent(TComponent* component);
    // Takes a component out of this owner's list; the caller then owns it.
    void RemoveComponent(TComponent* component);
    // Deletes every owned component, last-created first.
    void DestroyComponents();

    // `component` hears (Notification, opRemove) when this one is destroyed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // The property table of this component's class (built once per class),
    // used by the layout reader and writer.
    static const TPropertyTable& PropertyTable();
    virtual const TPropertyTable& Properties() const { return PropertyTable(); }

    // Handler names bound by the layout reader, kept so that a layout writes
    // them back: (event property, handler name).
    const std::vector<std::pair<std::string, std::string>>& BoundHandlers() const { return FBoundHandlers; }
    void SetBoundHandler(const std::string& event, const std::string& handler);

    // The layout reader hands each nested object to its enclosing one. The
    // default adopts nothing: the child stays owned by the root only.
    virtual void AddLayoutChild(TComponent& child) {}
    // The object a layout writes this one nested in; nullptr: the root.
    virtual TComponent* LayoutParent() const { return nullptr; }
    // Where the children a layout nests in this component go: the reader
    // hands them to it and the writer lists them from it. The component
    // itself, unless it keeps its children on an inner one (a grid panel's
    // cell).
    virtual TComponent& ChildParent() { return *this; }
    const TComponent& ChildParent() const { return const_cast<TComponent*>(this)->ChildParent(); }

    // Called by the layout reader before and after it streams properties in.
    void BeginLoading() { FComponentState |= csLoading; }
    virtual void Loaded() { FComponentState &= static_cast<TComponentState>(~csLoading); }

protected:
    // An owned component or a component this one watches goes or comes.
    virtual void Notification(TComponent* component, TOperation operation);
    bool Destroying() const { return (FComponentState & csDestroying) != 0; }
    void SetDestroying() { FComponentState |= csDestroying; }

private:
    friend class TComponentWatch;

    TComponent* FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState = 0;
    std::vector<TComponent*> FComponents;         // owned, in creation order
    std::vector<TComponent*> FFreeNotifies;       // both directions, as on the platform
    std::vector<std::pair<std::string, std::string>> FBoundHandlers;
    std::shared_ptr<int> FLife = std::make_shared<int>(0);
};

// Sees whether a component still exists.
class TComponentWatch {
public:
    explicit TComponentWatch(const TComponent* component)
        : FLife(component ? std::weak_ptr<int>(component->FLife) : std::weak_ptr<int>())
    {
    }
    bool Alive() const { return !FLife.expired(); }

private:
    std::weak_ptr<int> FLife;
};

// Runs a handler when one is assigned. The handler is copied first, so it may
// reassign itself or free `sender` (and with it the member it lives in).
// Returns false when `sender` is gone afterwards.
template <class Handler, class... Args>
bool Fire(const TComponent& sender, const Handler& handler, Args&&... args)
{
    if (!handler) return true;
    TComponentWatch watch(&sender);
    Handler copy = handler;
    copy(std::forward<Args>(args)...);
    return watch.Alive();
}

// Case-insensitive identifier comparison for component names.
bool SameName(const std::string& a, const std::string& b);
