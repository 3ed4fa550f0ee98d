#include "base/Component.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zv;

namespace {

std::vector<std::string> g_freed;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    ~Probe() override { g_freed.push_back(Name()); }
    void Watch(TComponent* c) {
        peer = c;
        c->FreeNotification(this);
    }
    TComponent* peer = nullptr;
    int loaded = 0;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == peer) peer = nullptr;
    }
    void Loaded() override { ++loaded; }
};

}  // namespace

TEST(TComponent, OwnerFreesOwnedLastFirst) {
    g_freed.clear();
    auto* owner = new Probe(nullptr, "owner");
    new Probe(owner, "a");
    new Probe(owner, "b");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B")->Name(), "b");
    delete owner;
    EXPECT_EQ(g_freed, (std::vector<std::string>{"owner", "b", "a"}));
}

TEST(TComponent, FreedComponentLeavesItsOwner) {
    g_freed.clear();
    Probe owner(nullptr, "owner");
    auto* a = new Probe(&owner, "a");
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(TComponent, FreeNotificationClearsReferences) {
    Probe watcher(nullptr, "w");
    auto* target = new Probe(nullptr, "t");
    watcher.Watch(target);
    delete target;
    EXPECT_EQ(watcher.peer, nullptr);
}

TEST(TComponent, SiblingsHearOfRemoval) {
    Probe owner(nullptr, "owner");
    auto* a = new Probe(&owner, "a");
    auto* b = new Probe(&owner, "b");
    a->peer = b;  // a refers to its sibling without asking for notification
    delete b;
    EXPECT_EQ(a->peer, nullptr);
}

TEST(TComponent, WatcherFreedFirstIsForgotten) {
    auto* target = new Probe(nullptr, "t");
    {
        Probe watcher(nullptr, "w");
        watcher.Watch(target);
    }
    delete target;  // must not notify the freed watcher (ASan would tell)
    SUCCEED();
}

TEST(TComponent, LoadingCallsLoadedOnce) {
    Probe owner(nullptr, "owner");
    auto* a = new Probe(&owner, "a");
    owner.BeginLoading();
    EXPECT_TRUE(a->IsLoading());
    owner.EndLoading();
    EXPECT_FALSE(a->IsLoading());
    EXPECT_EQ(a->loaded, 1);
    EXPECT_EQ(owner.loaded, 1);
}
