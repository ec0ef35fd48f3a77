#include <gtest/gtest.h>

#include <vector>

#include "fetch/html/binary_filer.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/typed_handlers.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

using testsupport::ThrownMessage;

namespace {

std::u16string S(int i) {
    return u"key" + std::u16string(1, char16_t(u'A' + i % 26)) + char16_t(u'0' + i / 26);
}

} // namespace

TEST(Containers, GrowthAndShrinkRules) {
    const int32_t cap[][2] = {{0, 0},  {1, 1},   {2, 2},   {3, 4},   {5, 6},
                              {9, 10}, {17, 20}, {33, 40}, {16, 16}, {21, 24}};
    for (auto [n, c] : cap)
        EXPECT_EQ(TDIContainer::Capacity(n), c) << n;
    const int32_t shr[][2] = {{2, 2}, {4, 3}, {10, 9}, {20, 17}, {3, 3}};
    for (auto [n, s] : shr)
        EXPECT_EQ(TDIContainer::Shrink(n), s) << n;
}

TEST(Containers, HashBucketsSlotsAndOrder) {
    TDIWideStringHash h(DIWideStringCSKeyHandler());
    EXPECT_EQ(h.HashCount(), 3);
    h.SetHashCount(92);
    EXPECT_EQ(h.HashCount(), 95);
    h.SetHashCount(119);
    EXPECT_EQ(h.HashCount(), 119);
    h.SetHashCount(253);
    EXPECT_EQ(h.HashCount(), 255);
    h.SetHashCount(0);
    EXPECT_EQ(h.HashCount(), 3);

    std::vector<std::u16string> keys;
    for (int i = 0; i < 12; ++i)
        keys.push_back(S(i));
    auto insert = [&](int i) {
        void* item = h.Insert(&keys[i]);
        ASSERT_NE(item, nullptr);
        TDIWideStringHash::SetValue(item, u"v" + keys[i]);
    };
    insert(0);
    insert(1);
    EXPECT_EQ(h.HashCount(), 3);
    insert(2); // Count reaches 3: Capacity(3) = 4, raised to 7
    EXPECT_EQ(h.HashCount(), 7);
    for (int i = 3; i < 7; ++i)
        insert(i);
    EXPECT_EQ(h.HashCount(), 11); // Capacity(7) = 8, raised to 11
    EXPECT_EQ(h.Insert(&keys[0]), nullptr);
    EXPECT_EQ(h.Count(), 7);
    EXPECT_EQ(h.Locate(&keys[3]), h.Find(&keys[3]));
    EXPECT_EQ(TDIWideStringHash::Value(h.Find(&keys[3])), u"v" + keys[3]);
    EXPECT_EQ(h.FindBuf(keys[4].data(), keys[4].size()), h.Find(&keys[4]));
    std::u16string upper = u"KEYE0";
    EXPECT_EQ(h.Find(&upper), nullptr);
    for (int i = 7; i < 10; ++i)
        insert(i);
    ASSERT_EQ(h.Count(), 10);
    ASSERT_EQ(h.EntryCount(), 10);

    // Deleting one of ten keeps its slot (Shrink(10) = 9 is not above 9); the next insertion reuses it.
    h.Delete(&keys[4]);
    EXPECT_EQ(h.Count(), 9);
    EXPECT_EQ(h.EntryCount(), 10);
    EXPECT_TRUE(h.IsDeleted(4));
    EXPECT_EQ(ThrownMessage<Exception>([&] { h.KeyAt(4); }), "Class TDIWideStringHash: Item is deleted");
    EXPECT_EQ(ThrownMessage<Exception>([&] { h.KeyAt(10); }), "List index out of bounds (10)");
    insert(10);
    EXPECT_FALSE(h.IsDeleted(4));
    EXPECT_EQ(DISlotString(*static_cast<TDIStringSlot*>(h.KeyAt(4))), keys[10]);
    std::u16string absent = u"absent";
    h.Delete(&absent);
    EXPECT_EQ(h.Count(), 10);

    // Shrink(10) = 9 is above 8: the second deletion packs, keeping slot order.
    h.Delete(&keys[1]);
    h.Delete(&keys[2]);
    EXPECT_EQ(h.EntryCount(), 8);
    std::vector<std::u16string> order;
    for (int32_t i = 0; i < h.EntryCount(); ++i)
        order.push_back(DISlotString(*static_cast<TDIStringSlot*>(h.KeyAt(i))));
    EXPECT_EQ(order, (std::vector<std::u16string>{keys[0], keys[3], keys[10], keys[5], keys[6], keys[7],
                                                  keys[8], keys[9]}));
    for (const auto& k : order)
        EXPECT_NE(h.Find(&k), nullptr);

    h.Clear();
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(h.HashCount(), 3);
    insert(0);
    EXPECT_EQ(h.EntryCount(), 1);

    TDIWideStringHash small(DIWideStringCIKeyHandler());
    for (int i = 0; i < 3; ++i)
        small.Insert(&keys[i]);
    small.Delete(&keys[1]); // Shrink(3) = 3 is above 2: packs at once
    EXPECT_EQ(small.EntryCount(), 2);
    std::u16string folded = u"KEYA0";
    EXPECT_NE(small.Find(&folded), nullptr);
    EXPECT_NE(small.FindBuf(u"kEyC0", 5), nullptr);
}

TEST(Containers, HandlersFreezeWhileInUseAndMessagesNameTheClass) {
    auto* items = new TDIItemHandler;
    items->SetItemSize(4);
    auto* keys = new TDIKeyHandler;
    keys->SetKeySize(4);
    {
        TDIHash h(items, keys);
        EXPECT_EQ(items->UseCount(), 1);
        EXPECT_EQ(ThrownMessage<Exception>([&] { items->SetItemSize(8); }),
                  "Class TDIItemHandler: ItemHandler in use while setting ItemSize");
        EXPECT_EQ(ThrownMessage<Exception>([&] { keys->SetOnFreeKey(nullptr); }),
                  "Class TDIKeyHandler: ItemHandler in use while assigning OnFreeKey");
        uint32_t k = 5;
        EXPECT_EQ(ThrownMessage<Exception>([&] { h.Find(&k); }), "Class TDIHash: OnHashKey not assigned");
        EXPECT_EQ(ThrownMessage<Exception>([&] { h.FindBuf(u"a", 1); }),
                  "Class TDIHash: OnHashKeyBuf not assigned");
        EXPECT_EQ(ThrownMessage<Exception>([&] { h.SetHashCount(-1); }),
                  "Class TDIHash: Invalid HashCount (-1)");
    }
    EXPECT_EQ(items->UseCount(), 0);
    keys->SetOnHashKey([](TDIContainer*, const void* key) { return *static_cast<const uint32_t*>(key); });
    keys->SetOnSameKeys([](TDIContainer*, const void* a, const void* b) {
        return *static_cast<const uint32_t*>(a) == *static_cast<const uint32_t*>(b);
    });
    {
        TDIHash h(items, keys);
        uint32_t k = 5;
        // Locating needs a way to store the key, and must fail before taking a slot.
        EXPECT_EQ(ThrownMessage<Exception>([&] { h.Locate(&k); }), "Class TDIHash: OnStoreKey not assigned");
        EXPECT_EQ(h.EntryCount(), 0);
    }
    EXPECT_EQ(ThrownMessage<Exception>([&] { TDIHash h(items, nullptr); }),
              "Class TDIHash: KeyHandler is nil");
    EXPECT_EQ(items->UseCount(), 0);
    EXPECT_EQ(ThrownMessage<Exception>([&] { TDIVector v(nullptr); }), "Class TDIVector: ItemHandler is nil");
    delete keys;
    delete items;
    EXPECT_EQ(DIWideStringItemHandler(), DIWideStringItemHandler());
    EXPECT_EQ(DIWideStringCIKeyHandler(), DIWideStringCIKeyHandler());
}

TEST(Containers, CardinalHashAnswersZeroForAbsentKeys) {
    TDICardinalHash h(DIWideStringCIKeyHandler());
    std::u16string stored0 = u"zero", stored7 = u"seven";
    *static_cast<uint32_t*>(h.Insert(&stored0)) = 0;
    *static_cast<uint32_t*>(h.Insert(&stored7)) = 7;
    EXPECT_EQ(h.FindBufValue(u"SEVEN", 5), 7u);
    EXPECT_EQ(h.FindBufValue(u"zero", 4), 0u);
    EXPECT_EQ(h.FindBufValue(u"none", 4), 0u);

    TDIHash chars(DICardinalItemHandler(), DIWideCharCSKeyHandler());
    for (char16_t c = u'a'; c <= u'z'; ++c)
        *static_cast<uint32_t*>(chars.Locate(&c)) = c;
    char16_t q = u'q';
    EXPECT_EQ(*static_cast<uint32_t*>(chars.Find(&q)), uint32_t(u'q'));
}

TEST(Containers, HashPersistsAndFailedReadsChangeNothing) {
    TDIWideStringHash h(DIWideStringCSKeyHandler());
    std::vector<std::u16string> keys = {u"a", u"bb", u"ccc", u"\u00E9"};
    for (const auto& k : keys)
        TDIWideStringHash::SetValue(h.Insert(&k), k + u"!");
    TMemoryStream m;
    {
        TDIBinaryWriter w(m, 4096);
        h.WriteData(w, 7, nullptr);
        w.FlushBuffer();
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), 4), "DIHC");

    TDIWideStringHash copy(DIWideStringCSKeyHandler());
    std::u16string old = u"old";
    copy.Insert(&old);
    m.SetPosition(0);
    {
        TDIBinaryReader r(m, 4096);
        copy.ReadData(r, 7, nullptr);
    }
    EXPECT_EQ(copy.Count(), 4);
    EXPECT_EQ(copy.Find(&old), nullptr);
    for (const auto& k : keys)
        EXPECT_EQ(TDIWideStringHash::Value(copy.Find(&k)), k + u"!");

    // A truncated stream, and one that claims a huge count, leave the table as it was.
    std::vector<uint8_t> bytes = m.Bytes();
    for (size_t cut : {bytes.size() - 1, size_t{9}}) {
        TMemoryStream t;
        t.WriteBuffer(bytes.data(), static_cast<int64_t>(cut));
        t.SetPosition(0);
        TDIBinaryReader r(t, 4096);
        EXPECT_THROW(copy.ReadData(r, 7, nullptr), EReadError);
        EXPECT_EQ(copy.Count(), 4);
        EXPECT_NE(copy.Find(&keys[2]), nullptr);
    }
    std::vector<uint8_t> huge = {'D', 'I', 'H', 'C', 0x02, 0x01, 0x02, 0x08, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF};
    TMemoryStream t;
    t.WriteBuffer(huge.data(), static_cast<int64_t>(huge.size()));
    t.SetPosition(0);
    TDIBinaryReader r(t, 4096);
    EXPECT_THROW(copy.ReadData(r, 7, nullptr), EReadError);
    EXPECT_EQ(copy.Count(), 4);
    // A wrong item header.
    std::vector<uint8_t> badHeader = {'D', 'I', 'H', 'C', 0x02, 0x01, 0x02, 0x03, 0x02, 0x00};
    TMemoryStream b;
    b.WriteBuffer(badHeader.data(), static_cast<int64_t>(badHeader.size()));
    b.SetPosition(0);
    TDIBinaryReader rb(b, 4096);
    EXPECT_EQ(ThrownMessage<Exception>([&] { copy.ReadData(rb, 7, nullptr); }),
              "Class TDIWideStringHash: Invalid ItemSize (3)");
}

TEST(Containers, VectorCountFindAndAssign) {
    // Strings freed last first on shrink.
    static std::vector<std::u16string> freed;
    auto* handler = new TDIItemHandler;
    handler->SetItemSize(sizeof(TDIStringSlot));
    handler->SetOnFreeItem([](TDIContainer*, void* item) {
        freed.push_back(DISlotString(*static_cast<TDIStringSlot*>(item)));
        DIFreeSlotString(*static_cast<TDIStringSlot*>(item));
    });
    {
        TDIVector v(handler);
        for (const char16_t* s : {u"a", u"b", u"c"})
            DISetSlotString(*static_cast<TDIStringSlot*>(v.Add()), s);
        v.SetCount(0);
        EXPECT_EQ(freed, (std::vector<std::u16string>{u"c", u"b", u"a"}));
        EXPECT_EQ(ThrownMessage<Exception>([&] { v.SetCount(-1); }), "List index out of bounds (-1)");
        auto same = [](TDIContainer*, const void*, const void*, void*) { return true; };
        EXPECT_EQ(v.FindItem(nullptr, same, 0, nullptr), nullptr);
        v.Add();
        EXPECT_EQ(ThrownMessage<Exception>([&] { v.FindItem(nullptr, same, 1, nullptr); }),
                  "List index out of bounds (1)");
        EXPECT_EQ(ThrownMessage<Exception>([&] { v.FindItem(nullptr, nullptr, 0, nullptr); }),
                  "Class TDIVector: SameItems not assigned");
        TDIWideStringVector other;
        other.AddStr(u"x");
        EXPECT_EQ(ThrownMessage<Exception>([&] { v.Assign(&other); }),
                  "Class TDIVector: Itemhandlers do not match");
        EXPECT_EQ(v.Count(), 1);
        TDIVector same2(handler);
        EXPECT_EQ(ThrownMessage<Exception>([&] { v.Assign(&same2); }),
                  "Class TDIVector: OnCopyItems not assigned");
    }
    delete handler;

    TDIWideStringVector v;
    v.AddStr(u"one");
    v.AddStr(u"two");
    v.AddStr(u"one");
    EXPECT_EQ(v.IndexOfStr(u"one", 1), 2);
    EXPECT_EQ(v.IndexOfStr(u"three"), -1);
    EXPECT_EQ(ThrownMessage<Exception>([&] { v.Str(3); }), "List index out of bounds (3)");
    v.Assign(&v);
    EXPECT_EQ(v.Count(), 3);
    TDIWideStringVector w;
    w.AddStr(u"old1");
    w.AddStr(u"old2");
    w.AddStr(u"old3");
    w.AddStr(u"old4");
    w.Assign(&v);
    ASSERT_EQ(w.Count(), 3);
    EXPECT_EQ(w.Str(1), u"two");

    TDIWideString2CardinalVector attrs;
    attrs.AddStr2Number(u"href", u"a.html", 40);
    attrs.AddStr2Number(u"rel", u"next", 90);
    EXPECT_EQ(attrs.Str2OfNumber(90), u"next");
    EXPECT_EQ(attrs.Str2OfNumber(7), u"");
    EXPECT_EQ(attrs.Str2(0), u"a.html");
    EXPECT_EQ(attrs.Number(1), 90u);
}

TEST(Containers, TreeWalksPreOrderCopiesAndSurvivesDepth) {
    TDITree tree(DIWideStringItemHandler());
    auto add = [](void* item, const char16_t* s) {
        DISetSlotString(static_cast<TDIWideStringItem*>(item)->value, s);
        return item;
    };
    void* a = add(tree.AddTopNode(), u"A");
    add(tree.AddChildNode(a), u"A1");
    add(tree.AddChildNode(a), u"A2");
    add(tree.AddTopNode(), u"B");
    auto walk = [](const TDISequence& c) {
        std::u16string out;
        for (const void* item : c.ItemsInOrder())
            out += DISlotString(static_cast<const TDIWideStringItem*>(item)->value) + u",";
        return out;
    };
    EXPECT_EQ(walk(tree), u"A,A1,A2,B,");
    EXPECT_EQ(tree.ChildCount(a), 2);

    TDITree copy(DIWideStringItemHandler());
    copy.Assign(&tree);
    EXPECT_EQ(walk(copy), u"A,A1,A2,B,");
    EXPECT_EQ(copy.ChildCount(copy.FirstItem()), 2);
    tree.Assign(&tree);
    EXPECT_EQ(tree.Count(), 4);

    TDIList list(DIWideStringItemHandler());
    list.Assign(&tree);
    EXPECT_EQ(walk(list), u"A,A1,A2,B,");
    list.Assign(&list);
    EXPECT_EQ(list.Count(), 4);
    TDIWideStringVector flat;
    flat.Assign(&tree);
    EXPECT_EQ(flat.Str(2), u"A2");

    TMemoryStream m;
    {
        TDIBinaryWriter w(m, 4096);
        tree.WriteData(w, 7, nullptr);
    }
    m.SetPosition(0);
    TDITree back(DIWideStringItemHandler());
    {
        TDIBinaryReader r(m, 4096);
        back.ReadData(r, 7, nullptr);
    }
    EXPECT_EQ(walk(back), u"A,A1,A2,B,");
    EXPECT_EQ(back.ChildCount(back.FirstItem()), 2);

    // A chain deep enough to overflow a recursive walk.
    TDITree deep(DIWideStringItemHandler());
    void* node = nullptr;
    for (int i = 0; i < 200000; ++i)
        node = node ? deep.AddChildNode(node) : deep.AddTopNode();
    TDITree deepCopy(DIWideStringItemHandler());
    deepCopy.Assign(&deep);
    EXPECT_EQ(deepCopy.Count(), 200000);
    deep.Clear();
    EXPECT_EQ(deep.Count(), 0);
}

namespace {

// Calls back the defined binary property as a component stream would.
class CapturingFiler : public TFiler {
public:
    explicit CapturingFiler(TStream& s) : TFiler(s) {}
    std::string name;
    bool hasData = false;
    TStreamProc read, write;
    void DefineProperty(const std::string&, const TReaderProc&, const TWriterProc&, bool) override {}
    void DefineBinaryProperty(const std::string& n, const TStreamProc& r, const TStreamProc& w,
                              bool has) override {
        name = n;
        read = r;
        write = w;
        hasData = has;
    }
};

} // namespace

TEST(Containers, StoreThemselvesAsDefinedBinaryData) {
    TMemoryStream unused, data;
    TDIWideStringVector v;
    CapturingFiler empty(unused);
    v.DefineProperties(empty);
    EXPECT_EQ(empty.name, "TDIWideStringVector");
    EXPECT_FALSE(empty.hasData);
    v.AddStr(u"one");
    v.AddStr(u"two");
    CapturingFiler filer(unused);
    v.DefineProperties(filer);
    ASSERT_TRUE(filer.hasData);
    filer.write(data);
    data.SetPosition(0);
    TDIWideStringVector back;
    CapturingFiler reader(unused);
    back.DefineProperties(reader);
    reader.read(data);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Str(1), u"two");
}
