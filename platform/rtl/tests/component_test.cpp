#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/published.h"
#include "platform/rtl/string_list.h"

#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using testsupport::ThrownMessage;

namespace {

// Records the notifications it receives and forgets a watched component when it goes.
class Watcher : public TComponent {
public:
    explicit Watcher(TComponent* owner, std::vector<std::string>* log = nullptr)
        : TComponent(owner), log_(log) {}
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (log_ != nullptr)
            log_->push_back(Name() + (Operation == opInsert ? ":insert " : ":remove ") + AComponent->Name());
        if (Operation == opRemove && AComponent == watched) watched = nullptr;
    }
    TComponent* watched = nullptr;

private:
    std::vector<std::string>* log_;
};

TEST(Component, OwnerFreesItsComponentsAndTellsTheOthers) {
    std::vector<std::string> log;
    auto owner = std::make_unique<Watcher>(nullptr, &log);
    owner->SetName("Owner");
    auto* sibling = new Watcher(owner.get(), &log);
    sibling->SetName("Sibling");
    auto* doomed = new TComponent(owner.get());
    doomed->SetName("Doomed");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(doomed->ComponentIndex(), 1);
    EXPECT_EQ(owner->Components(0), sibling);
    EXPECT_THROW(owner->Components(2), EListError);

    log.clear();
    delete doomed;
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"Sibling:remove Doomed", "Owner:remove Doomed"}));

    // A component of another owner asks to be told; one that no longer asks is not told.
    Watcher outsider(nullptr), uninterested(nullptr);
    auto* target = new TComponent(owner.get());
    outsider.watched = uninterested.watched = target;
    outsider.FreeNotification(target);
    uninterested.FreeNotification(target);
    uninterested.RemoveFreeNotification(target);
    // Both directions are forgotten when a watcher goes first, so the target does not call a freed one.
    auto* early = new Watcher(nullptr);
    early->FreeNotification(target);
    delete early;
    owner.reset();
    EXPECT_EQ(outsider.watched, nullptr);
    EXPECT_NE(uninterested.watched, nullptr);
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    first->SetName("Button1");
    EXPECT_EQ(owner.FindComponent("BUTTON1"), first);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_EQ(ThrownMessage<EComponentError>([&] { second->SetName("button1"); }),
              "A component named button1 already exists");
    EXPECT_THROW(second->SetName("1st"), EComponentError);
    EXPECT_THROW(second->SetName("has space"), EComponentError);
    second->SetName("_ok2");
    first->SetName("BUTTON1"); // its own name in another case
    EXPECT_EQ(first->Name(), "BUTTON1");
    second->SetName("");
    first->SetName("");
    EXPECT_EQ(first->GetNamePath(), "");

    // Moving a component to another owner takes it out of the first.
    TComponent other(nullptr);
    other.InsertComponent(first);
    EXPECT_EQ(first->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Component, DesigningAndDestroyingReachOwnedComponents) {
    struct Probe : TComponent {
        using TComponent::TComponent;
        ~Probe() override { *destroyingSeen = ComponentState().Contains(csDestroying); }
        bool* destroyingSeen = nullptr;
    };
    bool seen = false;
    {
        TComponent owner(nullptr);
        owner.SetDesigning(true);
        auto* child = new Probe(&owner);
        child->destroyingSeen = &seen;
        EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
    }
    EXPECT_TRUE(seen);
}

class Point : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string ClassName() const override { return "TPoint"; }
    void AssignTo(TPersistent* Dest) override {
        if (auto* p = dynamic_cast<Point*>(Dest))
            p->X = X;
        else
            TCollectionItem::AssignTo(Dest);
    }
    int X = 0;
};

class Points : public TCollection {
public:
    explicit Points(TPersistent* owner) : TCollection(CollectionItemClass<Point>(), owner) {}
    int updates = 0;

protected:
    void Update(TCollectionItem*) override { ++updates; }
};

class Shape : public TComponent {
public:
    explicit Shape(TComponent* owner) : TComponent(owner), points(this) {}
    static const TPropertyTable& Table() {
        static const TPropertyTable table(&TComponent::Table(),
                                          {ObjectProperty<Shape>("Points", &Shape::PointsProp)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    TCollection* PointsProp() { return &points; }
    Points points;
};

TEST(Collection, ItemsKeepOrderIdsAndNotifyOncePerUpdate) {
    Shape shape(nullptr);
    shape.SetName("Shape1");
    Points& points = shape.points;
    auto* a = static_cast<Point*>(points.Add());
    auto* b = static_cast<Point*>(points.Add());
    auto* c = static_cast<Point*>(points.Insert(0));
    EXPECT_EQ(points.Count(), 3);
    EXPECT_EQ(points.Items(0), c);
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ(c->ID(), 2);
    EXPECT_EQ(points.FindItemID(1), b);
    EXPECT_EQ(b->GetNamePath(), "Shape1.Points[2]");
    EXPECT_THROW(points.Items(3), EListError);
    EXPECT_THROW(points.Insert(5), EListError);

    points.updates = 0;
    points.BeginUpdate();
    points.Delete(0);
    delete a;
    EXPECT_EQ(points.updates, 0);
    points.EndUpdate();
    EXPECT_EQ(points.updates, 1);
    ASSERT_EQ(points.Count(), 1);
    EXPECT_EQ(points.Items(0), b);

    b->X = 7;
    Points copy(nullptr);
    copy.Add();
    copy.Add();
    copy.Assign(&points);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(static_cast<Point*>(copy.Items(0))->X, 7);
    // An item may move to another collection.
    b->SetCollection(&copy);
    EXPECT_EQ(points.Count(), 0);
    EXPECT_EQ(copy.Count(), 2);
}

TEST(Persistent, AssignBetweenUnrelatedClassesNamesBoth) {
    TStringList list;
    Shape shape(nullptr);
    EXPECT_EQ(ThrownMessage<EConvertError>([&] { shape.Assign(&list); }),
              "Cannot assign a TStringList to a TComponent");
    EXPECT_EQ(ThrownMessage<EConvertError>([&] { shape.Assign(nullptr); }),
              "Cannot assign a nil to a TComponent");
}

TEST(ClassRegistry, FindsRegisteredClassesWithoutRegardToCase) {
    RegisterComponentClass<Shape>("TShapeForTest");
    TComponentClass create = FindClass("tshapefortest");
    std::unique_ptr<TComponent> made(create(nullptr));
    EXPECT_NE(dynamic_cast<Shape*>(made.get()), nullptr);
    UnRegisterClass("TShapeForTest");
    EXPECT_EQ(GetClass("TShapeForTest"), nullptr);
    EXPECT_EQ(ThrownMessage<EClassNotFound>([&] { FindClass("TShapeForTest"); }),
              "Class TShapeForTest not found");
}

} // namespace
