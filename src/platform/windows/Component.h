#pragma once
// TComponent: ownership, names, free notification and the component state flags.
// An owner frees the components it owns when it is destroyed; components that asked for a free
// notification of another one hear about its destruction through Notification(opRemove).

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/Exception.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Types.h"

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem>;

// Scoped, because the grid's column operations also have an opInsert.
enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* GetOwner() const override { return FOwner; }
    const std::string& GetName() const { return FName; }
    // Raises EComponentError for a duplicate name among the owner's components.
    virtual void SetName(const std::string& Value);
    int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError for an index out of range.
    TComponent* GetComponent(int Index) const;
    TComponent* FindComponent(const std::string& AName) const;
    int GetComponentIndex() const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component (last first).
    void DestroyComponents();
    // Marks this component and its owned components as being destroyed.
    void Destroying();

    // Asks to be told (Notification with opRemove) when AComponent is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponentState GetComponentState() const { return FComponentState; }
    bool IsLoading() const { return FComponentState.Contains(csLoading); }
    bool IsDesigning() const { return FComponentState.Contains(csDesigning); }
    bool IsDestroying() const { return FComponentState.Contains(csDestroying); }
    void SetDesigning(bool Value, bool SetChildren = true);

    // Reading a form description: BeginLoading sets csLoading and csReading on this component
    // and everything it owns; EndLoading clears them and then calls Loaded on each, owner first.
    void BeginLoading();
    void EndLoading();

    // Optional free-form data, as the platform's Tag.
    intptr_t GetTag() const { return FTag; }
    void SetTag(intptr_t v) { FTag = v; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded();
    // Used by controls whose state flags mirror their owner's.
    void IncludeState(TComponentStateItem s) { FComponentState.Include(s); }
    void ExcludeState(TComponentStateItem s) { FComponentState.Exclude(s); }

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    intptr_t FTag = 0;
};

class EComponentError : public Exception {
    using Exception::Exception;
};
