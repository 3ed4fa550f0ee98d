// Components: objects with an owner that frees what it owns, a name, and
// removal notification between components that refer to each other.
//
// Ownership: a component created with an owner is freed by that owner's
// destructor (last inserted first) unless it was freed before, in which case
// it removes itself from the owner. A component that holds a reference to a
// component it does not own calls FreeNotification on it and clears the
// reference in Notification(..., opRemove).
#pragma once

#include <string>
#include <vector>

#include "base/Object.h"

namespace zv {

enum class TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csDestroying = 1u << 1,
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    [[nodiscard]] TComponent* Owner() const { return m_owner; }
    [[nodiscard]] const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    [[nodiscard]] unsigned ComponentState() const { return m_state; }
    [[nodiscard]] bool IsDestroying() const { return (m_state & csDestroying) != 0; }
    [[nodiscard]] bool IsLoading() const { return (m_state & csLoading) != 0; }

    [[nodiscard]] int ComponentCount() const { return static_cast<int>(m_components.size()); }
    [[nodiscard]] TComponent* Components(int index) const {
        return m_components.at(static_cast<size_t>(index));
    }
    [[nodiscard]] TComponent* FindComponent(const std::string& name) const;

    void InsertComponent(TComponent* component);
    // Frees every owned component, last inserted first. Descendants whose
    // owned components need them fully alive call this in their destructor.
    void DestroyComponents();
    void RemoveComponent(TComponent* component);

    // Ask `component` to tell us (Notification opRemove) when it is freed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Template loading: between BeginLoading and EndLoading the component is
    // marked csLoading; EndLoading calls Loaded on it and its owned components.
    void BeginLoading();
    void EndLoading();

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    virtual void Loaded() {}
    // Called first thing in the destructor chain's base part; descendants that
    // need to run code while still fully alive call Destroying() themselves.
    void Destroying();

private:
    void SetOwnerField(TComponent* owner) { m_owner = owner; }
    void RemoveNotification(TComponent* component);

    TComponent* m_owner = nullptr;
    std::string m_name;
    unsigned m_state = 0;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
};

}  // namespace zv
