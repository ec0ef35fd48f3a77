// Component references in the stream, parent components, and data a string list stores beside its lines.
#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/published.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/string_stream.h"
#include "platform/rtl/writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class Node;

// A collection item that points at a component, as a toolbar's links point at items.
class Ref : public TCollectionItem {
public:
    explicit Ref(TCollection* c) : TCollectionItem(c) {}
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    Node* Target() const { return target; }
    void SetTarget(Node* value) {
        target = value;
        ++sets;
    }
    Node* target = nullptr;
    int sets = 0;
};

// A component that refers to another one directly and through the items of a collection, and lists
// the components it owns as its own children when it is the root.
class Node : public TComponent {
public:
    explicit Node(TComponent* owner) : TComponent(owner), refs(CollectionItemClass<Ref>(), this) {}
    std::string ClassName() const override { return "TRefNode"; }
    static const TPropertyTable& Table() {
        static const TPropertyTable table(&TComponent::Table(),
                                          {ComponentProperty<Node, Node>("Next", &Node::Next, &Node::SetNext),
                                           ObjectProperty<Node>("Refs", &Node::Refs)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void GetChildren(const TGetChildProc& proc, TComponent* root) override {
        if (root != this) return;
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent()) proc(Components(i));
    }
    Node* Next() const { return next; }
    void SetNext(Node* value) { next = value; }
    TCollection* Refs() { return &refs; }
    Node* next = nullptr;
    TCollection refs;
};

const TPropertyTable& Ref::Table() {
    static const TPropertyTable table(
        nullptr, {ComponentProperty<Ref, Node>("Target", &Ref::Target, &Ref::SetTarget)});
    return table;
}

const bool registered = (RegisterComponentClass<Node>("TRefNode"), true);

std::unique_ptr<Node> ReadText(const std::string& text) {
    TStringStream input(text);
    TMemoryStream binary;
    ObjectTextToBinary(input, binary);
    binary.SetPosition(0);
    auto root = std::make_unique<Node>(nullptr);
    ReadComponent(binary, root.get());
    return root;
}

std::string WriteText(Node& root) {
    TMemoryStream binary;
    WriteComponent(binary, &root);
    binary.SetPosition(0);
    TStringStream text("");
    ObjectBinaryToText(binary, text);
    return text.DataString();
}

TEST(ComponentReference, NamesAreWrittenAndResolvedOnceEverythingIsRead) {
    Node root(nullptr);
    root.SetName("Root");
    auto* a = new Node(&root);
    a->SetName("A");
    auto* b = new Node(&root);
    b->SetName("B");
    auto* inner = new Node(b);
    inner->SetName("Inner");
    auto* unnamed = new Node(&root);
    a->SetNext(b); // a component read later in the stream
    b->SetNext(inner);
    static_cast<Ref*>(root.refs.Add())->SetTarget(a);
    static_cast<Ref*>(root.refs.Add())->SetTarget(unnamed);
    root.SetNext(&root);
    const std::string text = WriteText(root);
    EXPECT_NE(text.find("Next = Root\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Next = B.Inner"), std::string::npos) << text;
    EXPECT_NE(text.find("Target = A"), std::string::npos) << text;
    // A component without a name cannot be referred to and is not stored.
    EXPECT_EQ(text.find("Target = \r\n"), std::string::npos) << text;

    // Reading creates A and B (B's own component is not stored under the root, so B.Inner is unresolved).
    auto copy = ReadText(text);
    auto* copyA = dynamic_cast<Node*>(copy->FindComponent("A"));
    auto* copyB = dynamic_cast<Node*>(copy->FindComponent("B"));
    ASSERT_NE(copyA, nullptr);
    ASSERT_NE(copyB, nullptr);
    EXPECT_EQ(copyA->next, copyB);
    EXPECT_EQ(copyB->next, nullptr);
    EXPECT_EQ(copy->next, copy.get());
    ASSERT_EQ(copy->refs.Count(), 2);
    EXPECT_EQ(static_cast<Ref*>(copy->refs.Items(0))->target, copyA);
    EXPECT_EQ(static_cast<Ref*>(copy->refs.Items(1))->target, nullptr);
}

TEST(ComponentReference, ItemsClearedByALaterRecordDropTheirPendingReferences) {
    // The second "Refs" record frees the items the first one made; their references must not be set.
    auto root = ReadText("object Root: TRefNode\r\n"
                         "  Refs = <\r\n    item\r\n      Target = A\r\n    end\r\n    item\r\n      Target "
                         "= A\r\n    end>\r\n"
                         "  Refs = <\r\n    item\r\n      Target = Missing\r\n    end\r\n    item\r\n      "
                         "Target = A\r\n    end>\r\n"
                         "  object A: TRefNode\r\n  end\r\nend\r\n");
    ASSERT_EQ(root->refs.Count(), 2);
    auto* first = static_cast<Ref*>(root->refs.Items(0));
    auto* second = static_cast<Ref*>(root->refs.Items(1));
    EXPECT_EQ(first->sets, 0);
    EXPECT_EQ(second->target, root->FindComponent("A"));
    EXPECT_EQ(second->sets, 1);
}

// A string list with data about its lines that needs the lines to be there when it is read.
class CountedList : public TStringList {
public:
    void DefineProperties(TFiler& filer) override {
        filer.DefineProperty(
            "LinesSeen", [this](TReader& r) { linesSeen = r.ReadInteger() == Count() ? Count() : -1; },
            [this](TWriter& w) { w.WriteInteger(Count()); }, true);
    }
    int linesSeen = 0;
};

class ListHolder : public TComponent {
public:
    explicit ListHolder(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TListHolder"; }
    static const TPropertyTable& Table() {
        static const TPropertyTable table(&TComponent::Table(),
                                          {ObjectProperty<ListHolder>("List", &ListHolder::ListProp)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    TPersistent* ListProp() { return &list; }
    CountedList list;
};

TEST(DefinedProperties, AStringListsLinesComeBeforeWhatItStoresAboutThem) {
    ListHolder holder(nullptr);
    holder.list.Add("one");
    holder.list.Add("two");
    TMemoryStream stream;
    WriteComponent(stream, &holder);
    stream.SetPosition(0);
    ListHolder copy(nullptr);
    ReadComponent(stream, &copy);
    EXPECT_EQ(copy.list.Count(), 2);
    EXPECT_EQ(copy.list.linesSeen, 2);
}

TEST(ComponentLoading, ACodeBuiltComponentLoadsUntilLoaded) {
    Node node(nullptr);
    EXPECT_FALSE(node.ComponentState().Contains(csLoading));
    node.Loading();
    EXPECT_TRUE(node.ComponentState().Contains(csLoading));
    EXPECT_FALSE(node.HasParent());
    EXPECT_EQ(node.GetParentComponent(), nullptr);
    node.Loaded();
    EXPECT_FALSE(node.ComponentState().Contains(csLoading));
}

} // namespace
