#include "platform/classes/component.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exception.h"

namespace {

// Records what it is told and who is freed, in order.
std::vector<std::string>* g_log = nullptr;

class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* owner, const std::string& label) : TComponent(nullptr) {
        SetName(label);
        if (owner != nullptr) owner->InsertComponent(this);
    }
    ~TProbe() override {
        if (g_log != nullptr) g_log->push_back("free " + Name());
    }
    std::string ClassName() const override { return "TProbe"; }
    TComponent* partner = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == partner) partner = nullptr;
        if (g_log != nullptr) g_log->push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    }

public:
    void Loaded() override {
        TComponent::Loaded();
        loaded_seen_loading = HasState(csLoading);
    }
    bool loaded_seen_loading = true;
};

void Free(TComponent* component) { std::unique_ptr<TComponent> owned(component); }

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override { g_log = nullptr; }
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ComponentTest, OwnerFreesWhatItOwnsLastFirst) {
    auto* form = new TProbe(nullptr, "form");
    auto* a = new TProbe(form, "a");
    new TProbe(form, "b");
    new TProbe(a, "a1");
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(a->Owner(), form);
    EXPECT_EQ(form->Components(1)->ClassName(), "TProbe");
    EXPECT_THROW(form->Components(2), EListError);
    log.clear();

    Free(form);
    EXPECT_EQ(log, (std::vector<std::string>{"free form", "free b", "free a", "free a1"}));
}

TEST_F(ComponentTest, InsertAndRemoveReachTheOwnerAndWhoKeepsReferences) {
    auto form = std::make_unique<TProbe>(nullptr, "form");
    auto* a = new TProbe(form.get(), "a");
    new TProbe(form.get(), "b");
    EXPECT_EQ(log, (std::vector<std::string>{"form +a", "form +b"}));
    // A reference to `a` kept further down in the owner, and one kept outside it.
    auto* panel = new TProbe(form.get(), "panel");
    auto* user = new TProbe(panel, "user");
    auto outside = std::make_unique<TProbe>(nullptr, "outside");
    user->partner = a;
    outside->partner = a;
    a->FreeNotification(user);
    a->FreeNotification(outside.get());
    log.clear();

    // Leaving the owner, `a` is announced to the owner and to the holder inside it only.
    form->RemoveComponent(a);
    EXPECT_EQ(log, (std::vector<std::string>{"form -a", "user -a"}));
    EXPECT_EQ(user->partner, nullptr);
    EXPECT_EQ(outside->partner, a);
    EXPECT_EQ(form->FindComponent("A"), nullptr);
    log.clear();
    // Freed, it tells who still holds it; an insert reaches the owner alone.
    Free(a);
    EXPECT_EQ(log, (std::vector<std::string>{"free a", "outside -a"}));
    EXPECT_EQ(outside->partner, nullptr);
    log.clear();
    new TProbe(form.get(), "c");
    EXPECT_EQ(log, (std::vector<std::string>{"form +c"}));
    EXPECT_EQ(form->FindComponent("c")->Name(), "c");
}

// Reads its partner while being freed, as a control reading its pop-up menu does.
class TUser : public TProbe {
public:
    using TProbe::TProbe;
    ~TUser() override {
        if (partner != nullptr) partner_name_at_free = partner->Name();
    }
    std::string partner_name_at_free;
};

TEST_F(ComponentTest, FreeNotificationBetweenSiblingsSurvivesTheOwnerFreeingThem) {
    // The owner frees its components without telling their siblings; a sibling that keeps a
    // reference must still hear about it, in either order of creation.
    for (bool source_first : {true, false}) {
        auto owner = std::make_unique<TProbe>(nullptr, "form");
        TProbe* source = nullptr;
        TUser* user = nullptr;
        if (source_first) source = new TProbe(owner.get(), "menu");
        user = new TUser(owner.get(), "edit");
        if (!source_first) source = new TProbe(owner.get(), "menu");
        user->partner = source;
        source->FreeNotification(user);
        owner.reset();  // ASan reports any touch of a freed sibling
    }
    SUCCEED();
}

TEST_F(ComponentTest, FreeNotificationAcrossOwnersClearsReferences) {
    auto owner1 = std::make_unique<TProbe>(nullptr, "o1");
    auto owner2 = std::make_unique<TProbe>(nullptr, "o2");
    auto* source = new TProbe(owner1.get(), "source");
    auto* user = new TProbe(owner2.get(), "user");
    user->partner = source;
    source->FreeNotification(user);
    EXPECT_TRUE(source->HasState(csFreeNotification));

    owner1.reset();
    EXPECT_EQ(user->partner, nullptr);

    // The registration is mutual and removable: freeing the listener leaves nothing dangling.
    auto other = std::make_unique<TProbe>(nullptr, "other");
    other->FreeNotification(user);
    other->RemoveFreeNotification(user);
    EXPECT_FALSE(other->HasState(csFreeNotification));
    other->FreeNotification(user);
    owner2.reset();
    log.clear();
    other.reset();
    EXPECT_EQ(log, (std::vector<std::string>{"free other"}));
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwner) {
    auto form = std::make_unique<TComponent>(nullptr);
    auto* a = new TComponent(form.get());
    auto* b = new TComponent(form.get());
    a->SetName("Button101");
    EXPECT_EQ(form->FindComponent("button101"), a);
    EXPECT_EQ(form->FindComponent(""), nullptr);
    EXPECT_EQ(form->FindComponent("Edit1"), nullptr);
    try {
        b->SetName("BUTTON101");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BUTTON101 already exists");
    }
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    a->SetName("BUTTON101");  // a new spelling of its own name is fine
    EXPECT_EQ(a->Name(), "BUTTON101");
    b->SetName("_Edit2");

    // Moving a component to an owner where its name is taken fails and leaves it in place.
    auto other = std::make_unique<TComponent>(nullptr);
    auto* clash = new TComponent(other.get());
    clash->SetName("_edit2");
    EXPECT_THROW(form->InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->Owner(), other.get());
    clash->SetName("Moved");
    form->InsertComponent(clash);
    EXPECT_EQ(clash->Owner(), form.get());
    EXPECT_EQ(other->ComponentCount(), 0);
    form->RemoveComponent(clash);
    EXPECT_EQ(clash->Owner(), nullptr);
    std::unique_ptr<TComponent> orphan(clash);
}

TEST_F(ComponentTest, LoadingBracketAndState) {
    auto form = std::make_unique<TProbe>(nullptr, "form");
    form->IncludeState(csLoading | csReading);
    EXPECT_TRUE(form->HasState(csLoading));
    form->ExcludeState(csReading);
    form->Loaded();
    EXPECT_FALSE(form->HasState(csLoading));
    EXPECT_FALSE(form->loaded_seen_loading);

    form->SetDesigning(true);
    auto* child = new TComponent(form.get());
    EXPECT_TRUE(child->HasState(csDesigning));  // inherits the owner's design state
    form->SetTag(42);
    EXPECT_EQ(form->Tag(), 42);
}

TEST(Persistent, AssignOfUnrelatedClassesNamesBoth) {
    TComponent a(nullptr);
    TComponent b(nullptr);
    try {
        a.Assign(&b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
    }
    try {
        a.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TComponent");
    }
}
