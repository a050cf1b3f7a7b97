#include "platform/windows/Component.h"

#include <algorithm>

#include "platform/runtime/Exception.h"

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Everyone that asked to hear about this component's end hears it now; a notified component
    // may remove itself from the list, so take one at a time.
    while (!FFreeNotifies.empty()) {
        TComponent* c = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        // Drop our entry from its list too, so it will not call back into us.
        auto& theirs = c->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        c->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& Value) {
    if (Value == FName) return;
    if (FOwner && !Value.empty()) {
        for (TComponent* c : FOwner->FComponents) {
            if (c != this && c->FName.size() == Value.size() &&
                std::equal(Value.begin(), Value.end(), c->FName.begin(), [](char a, char b) {
                    return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b));
                }))
                throw EComponentError("A component named " + Value + " already exists");
        }
    }
    FName = Value;
}

TComponent* TComponent::GetComponent(int Index) const {
    if (Index < 0 || Index >= GetComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[size_t(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents) {
        if (c->FName.size() == AName.size() &&
            std::equal(AName.begin(), AName.end(), c->FName.begin(),
                       [](char a, char b) { return std::tolower(uint8_t(a)) == std::tolower(uint8_t(b)); }))
            return c;
    }
    return nullptr;
}

int TComponent::GetComponentIndex() const {
    if (!FOwner) return -1;
    auto it = std::find(FOwner->FComponents.begin(), FOwner->FComponents.end(), this);
    return it == FOwner->FComponents.end() ? -1 : int(it - FOwner->FComponents.begin());
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    // A component made while its owner reads its description is read with it: it waits for Loaded.
    if (FComponentState.Contains(csLoading)) AComponent->BeginLoading();
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& theirs = AComponent->FFreeNotifies;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // An owned component going away is already being removed by the owner; pass the news on to
    // the owned components so references between siblings are cleared.
    if (Operation == TOperation::opRemove && AComponent) RemoveFreeNotification(AComponent);
    for (size_t i = 0; i < FComponents.size(); ++i)
        if (FComponents[i] != AComponent) FComponents[i]->Notification(AComponent, Operation);
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

void TComponent::BeginLoading() {
    FComponentState.Include(csLoading).Include(csReading);
    for (TComponent* c : FComponents)
        c->BeginLoading();
}

void TComponent::EndLoading() {
    std::vector<TComponent*> all;
    std::function<void(TComponent*)> collect = [&](TComponent* c) {
        all.push_back(c);
        for (TComponent* o : c->FComponents)
            collect(o);
    };
    collect(this);
    for (TComponent* c : all)
        c->FComponentState.Exclude(csReading);
    for (TComponent* c : all) {
        c->FComponentState.Exclude(csLoading);
        c->Loaded();
    }
}

void TComponent::Loaded() {}
