#include "base/Component.h"

#include <algorithm>

#include "base/SysUtils.h"

namespace zv {

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone who asked that we are going away. A peer may remove
    // itself from our list while being notified, so walk a copy.
    while (!m_freeNotifies.empty()) {
        TComponent* peer = m_freeNotifies.back();
        m_freeNotifies.pop_back();
        peer->RemoveNotification(this);
        peer->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (m_owner) m_owner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    m_state |= csDestroying;
    while (!m_components.empty()) {
        TComponent* c = m_components.back();
        RemoveComponent(c);
        delete c;
    }
}

void TComponent::Destroying() {
    m_state |= csDestroying;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : m_components)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->m_owner == this) return;
    if (component->m_owner) component->m_owner->RemoveComponent(component);
    m_components.push_back(component);
    component->SetOwnerField(this);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(m_components.begin(), m_components.end(), component);
    if (it == m_components.end()) return;
    Notification(component, TOperation::opRemove);
    // Notification may have changed the list; look again.
    it = std::find(m_components.begin(), m_components.end(), component);
    if (it != m_components.end()) m_components.erase(it);
    component->SetOwnerField(nullptr);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end())
        m_freeNotifies.push_back(component);
    if (std::find(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this) ==
        component->m_freeNotifies.end())
        component->m_freeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    RemoveNotification(component);
    component->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* component) {
    std::erase(m_freeNotifies, component);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
    // Owned components hear about every insertion and removal among their
    // siblings, so that references held between them are cleared.
    const std::vector<TComponent*> owned = m_components;
    for (TComponent* c : owned)
        if (c != component) c->Notification(component, operation);
}

void TComponent::BeginLoading() {
    m_state |= csLoading;
    for (TComponent* c : m_components) c->BeginLoading();
}

void TComponent::EndLoading() {
    for (TComponent* c : m_components) c->EndLoading();
    if (IsLoading()) {
        m_state &= ~static_cast<unsigned>(csLoading);
        Loaded();
    }
}

}  // namespace zv
