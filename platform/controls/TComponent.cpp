#include "platform/controls/TComponent.h"

#include <algorithm>

#include "platform/controls/Properties.h"

namespace {

bool IsIdentifier(const std::string& name)
{
    if (name.empty()) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(name[0])) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    FComponentState |= csDestroying;
    FLife.reset();
    // Watchers hear of the end while this object is still a component.
    const std::vector<TComponent*> watchers = std::move(FFreeNotifies);
    for (TComponent* watcher : watchers) {
        auto& back = watcher->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        watcher->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name)
{
    if (name == FName) return;
    if (!name.empty()) {
        if (!IsIdentifier(name)) throw EComponentError("Component name \"" + name + "\" is not a valid identifier");
        if (FOwner) {
            TComponent* other = FOwner->FindComponent(name);
            if (other && other != this)
                throw EComponentError("A component named " + name + " already exists");
        }
    }
    FName = name;
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError("Component index out of bounds (" + std::to_string(index) + ")");
    return FComponents[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameName(c->FName, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component || component->FOwner == this) return;
    if (!component->FName.empty() && FindComponent(component->FName))
        throw EComponentError("A component named " + component->FName + " already exists");
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it == FComponents.end()) return;
    FComponents.erase(it);
    component->FOwner = nullptr;
    Notification(component, opRemove);
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        FComponents.pop_back();
        last->FOwner = nullptr;
        Notification(last, opRemove);
        delete last;
    }
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    auto& back = component->FFreeNotifies;
    if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
    auto& back = component->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    // An owner passes removals on to what it owns, so references between
    // siblings (an up-down's edit, a form's menu) are cleared.
    if (operation == opRemove && component) {
        for (TComponent* c : FComponents)
            if (c != component) c->Notification(component, operation);
    }
}

void TComponent::SetBoundHandler(const std::string& event, const std::string& handler)
{
    for (auto& [e, h] : FBoundHandlers) {
        if (e == event) {
            h = handler;
            return;
        }
    }
    FBoundHandlers.emplace_back(event, handler);
}
