#include "platform/rtl/collection.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/writer.h"

#include "stream_test_classes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

using namespace stream_test;

// The object of the class-library check: a few published properties of each kind the profile uses.
class SmallProfile : public TComponent {
public:
    explicit SmallProfile(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TP"; }
    static const TPropertyTable& Table() {
        using P = SmallProfile;
        static const TPropertyTable table(
            &TComponent::Table(),
            {
                BooleanProperty<P>("AddImages", &P::AddImages, &P::AddImages),
                IntegerProperty<P>("clrBackground", &P::Background, &P::Background),
                StringProperty<P>("FileName", &P::FileName, &P::FileName),
                StringProperty<P>("IgnoreFolders", &P::IgnoreFolders, &P::IgnoreFolders),
                EnumProperty<P>("OutputType", &P::Output, &P::Output,
                                {"moutClipboard", "moutFile", "moutInsert", "moutEditor"}),
                FloatProperty<P>("DefPri", &P::DefPri, &P::DefPri),
                ObjectProperty<P>("FollowQueryParts", &P::FollowQueryParts),
            });
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    TStringList* FollowQueryParts() { return &parts; }

    bool AddImages = false;
    int32_t Background = 0;
    std::string FileName;
    std::string IgnoreFolders;
    int Output = 0;
    double DefPri = 0;
    TStringList parts;
};

std::vector<uint8_t> Write(TComponent& component) {
    TMemoryStream stream;
    WriteComponent(stream, &component);
    return stream.Bytes();
}

void Read(const std::vector<uint8_t>& bytes, TComponent& component) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    ReadComponent(stream, &component);
}

std::vector<uint8_t> ShortString(std::string_view s) {
    std::vector<uint8_t> out;
    out.reserve(s.size() + 1);
    out.push_back(static_cast<uint8_t>(s.size()));
    for (char c : s)
        out.push_back(static_cast<uint8_t>(c));
    return out;
}

void Append(std::vector<uint8_t>& out, std::initializer_list<std::vector<uint8_t>> parts) {
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
}

TEST(ComponentStream, WritesTheTwoReferenceObjectsByteForByte) {
    SmallProfile first;
    first.AddImages = true;
    first.Background = 0xFFFFFF;
    first.FileName = "Untitled.qpw";
    first.IgnoreFolders = std::string(300, 'a');
    first.Output = 1;
    first.DefPri = 0.5;
    first.parts.Add("id=");
    first.parts.Add("sid=");

    std::vector<uint8_t> expected = Bytes("TPF0");
    Append(expected, {ShortString("TP"),
                      {0},
                      ShortString("AddImages"),
                      {9},
                      ShortString("clrBackground"),
                      {4, 0xff, 0xff, 0xff, 0},
                      ShortString("FileName"),
                      {6},
                      ShortString("Untitled.qpw"),
                      ShortString("IgnoreFolders"),
                      {12, 0x2c, 0x01, 0, 0},
                      std::vector<uint8_t>(300, 'a'),
                      ShortString("OutputType"),
                      {7},
                      ShortString("moutFile"),
                      ShortString("DefPri"),
                      {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xfe, 0x3f},
                      ShortString("FollowQueryParts.Strings"),
                      {1, 6},
                      ShortString("id="),
                      {6},
                      ShortString("sid="),
                      {0, 0, 0}});
    EXPECT_EQ(HexDump(Write(first)), HexDump(expected));

    SmallProfile second;
    second.AddImages = true;
    second.Background = -1;
    second.FileName = "Untitled.qpw";
    second.Output = 1;
    const uint8_t secondBytes[] = {
        0x54, 0x50, 0x46, 0x30, 0x02, 0x54, 0x50, 0x00, 0x09, 0x41, 0x64, 0x64, 0x49, 0x6d, 0x61, 0x67, 0x65,
        0x73, 0x09, 0x0d, 0x63, 0x6c, 0x72, 0x42, 0x61, 0x63, 0x6b, 0x67, 0x72, 0x6f, 0x75, 0x6e, 0x64, 0x02,
        0xff, 0x08, 0x46, 0x69, 0x6c, 0x65, 0x4e, 0x61, 0x6d, 0x65, 0x06, 0x0c, 0x55, 0x6e, 0x74, 0x69, 0x74,
        0x6c, 0x65, 0x64, 0x2e, 0x71, 0x70, 0x77, 0x0a, 0x4f, 0x75, 0x74, 0x70, 0x75, 0x74, 0x54, 0x79, 0x70,
        0x65, 0x07, 0x08, 0x6d, 0x6f, 0x75, 0x74, 0x46, 0x69, 0x6c, 0x65, 0x00, 0x00};
    EXPECT_EQ(HexDump(Write(second)), HexDump({std::begin(secondBytes), std::end(secondBytes)}));

    // Reading the first object back into a blank one restores every value.
    SmallProfile back;
    Read(expected, back);
    EXPECT_EQ(HexDump(Write(back)), HexDump(expected));
}

TEST(ComponentStream, ProfileWritesColourNamesAndOmitsOnlyEmptyValues) {
    Profile profile;
    SetProfile(profile, "empty");
    const auto bytes = Write(profile);
    const std::string text(bytes.begin(), bytes.end());
    // Booleans and enumerations without a default are always there; empty strings and a zero float are not.
    EXPECT_NE(text.find("\x0eNoFolderImages\x08"), std::string::npos);
    EXPECT_NE(text.find("\x0aOutputType\x07\x0dmoutClipboard"), std::string::npos);
    EXPECT_EQ(text.find("FileName"), std::string::npos);
    EXPECT_EQ(text.find("DefPri"), std::string::npos);
    EXPECT_EQ(text.find("FollowQueryParts"), std::string::npos);
    EXPECT_EQ(text.find("Tag"), std::string::npos);
    EXPECT_NE(text.find(std::string("\x0d"
                                    "clrBackground\x02\x7f",
                                    16)),
              std::string::npos);
    EXPECT_NE(text.find(std::string("\x07"
                                    "clrText\x02\x80",
                                    10)),
              std::string::npos);
    EXPECT_NE(text.find(std::string("\x07"
                                    "clrLink\x03\xff\x7f",
                                    11)),
              std::string::npos);
    EXPECT_NE(text.find(std::string("\x0a"
                                    "clrVisited\x04\xff\x7f\xff\xff",
                                    16)),
              std::string::npos);
    EXPECT_NE(text.find("\x09"
                        "clrActive\x07\x09"
                        "clDefault"),
              std::string::npos);

    Profile defaults;
    const auto defaultBytes = Write(defaults);
    const std::string defaultText(defaultBytes.begin(), defaultBytes.end());
    for (const char* name : {"clWhite", "clBlack", "clBlue", "clPurple", "clRed"})
        EXPECT_NE(defaultText.find(std::string("\x07") + static_cast<char>(std::strlen(name)) + name),
                  std::string::npos)
            << name;
}

// A component whose setters record the order they were called in.
class Recorder : public TComponent {
public:
    explicit Recorder(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TRecorder"; }
    static const TPropertyTable& Table() {
        using R = Recorder;
        static const TPropertyTable table(&TComponent::Table(), {IntegerProperty<R>("A", &R::A, &R::SetA),
                                                                 StringProperty<R>("B", &R::B, &R::SetB),
                                                                 IntegerProperty<R>("C", &R::C, &R::SetC)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    int A() const { return a; }
    void SetA(int v) { a = v, log += "A"; }
    std::string B() const { return b; }
    void SetB(const std::string& v) { b = v, log += "B"; }
    int C() const { return c; }
    void SetC(int v) { c = v, log += "C"; }
    void Loaded() override {
        TComponent::Loaded();
        log += ComponentState().Contains(csReading) ? "L(reading)" : "L";
    }
    int a = 0, c = 0;
    std::string b, log;
};

TEST(ComponentStream, ReadingAppliesRecordsInFileOrderAndFillsOnlyWhatTheFileHolds) {
    std::vector<uint8_t> bytes = Bytes("TPF0");
    Append(
        bytes,
        {ShortString("TRecorder"), {0}, ShortString("C"), {2, 7}, ShortString("a"), {3, 0x10, 0x27}, {0, 0}});
    Recorder r;
    r.b = "kept";
    Read(bytes, r);
    EXPECT_EQ(r.log, "CAL");
    EXPECT_EQ(r.a, 10000);
    EXPECT_EQ(r.c, 7);
    EXPECT_EQ(r.b, "kept");
    EXPECT_FALSE(r.ComponentState().Contains(csLoading));

    // A read stops right after its component, so that streams can hold several.
    TMemoryStream two;
    WriteComponent(two, &r);
    const int64_t first = two.Position();
    WriteComponent(two, &r);
    two.SetPosition(0);
    Recorder again;
    ReadComponent(two, &again);
    EXPECT_EQ(two.Position(), first);
    ReadComponent(two, &again);
    EXPECT_EQ(two.Position(), two.Size());

    // An unknown property stops the read; what came before it stays.
    bytes = Bytes("TPF0");
    Append(bytes, {ShortString("TRecorder"),
                   {0},
                   ShortString("A"),
                   {2, 1},
                   ShortString("Bogus"),
                   {2, 1},
                   ShortString("C"),
                   {2, 9},
                   {0, 0}});
    Recorder partial;
    try {
        Read(bytes, partial);
        FAIL() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Property Bogus does not exist");
    }
    EXPECT_EQ(partial.a, 1);
    EXPECT_EQ(partial.c, 0);
    EXPECT_FALSE(partial.ComponentState().Contains(csLoading));
    EXPECT_FALSE(partial.ComponentState().Contains(csReading));
}

// Every kind of value the format has, nested objects, collections and child components.
class Item : public TCollectionItem {
public:
    explicit Item(TCollection* c) : TCollectionItem(c) {}
    std::string ClassName() const override { return "TItem"; }
    static const TPropertyTable& Table() {
        static const TPropertyTable table(nullptr,
                                          {IntegerProperty<Item>("Value", &Item::Value, &Item::Value, 0),
                                           StringProperty<Item>("Caption", &Item::Caption, &Item::Caption)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    int Value = 0;
    std::string Caption;
};

class Sub : public TPersistent {
public:
    std::string ClassName() const override { return "TSub"; }
    static const TPropertyTable& Table() {
        static const TPropertyTable table(nullptr,
                                          {IntegerProperty<Sub>("Width", &Sub::Width, &Sub::Width, 0)});
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void DefineProperties(TFiler& filer) override {
        filer.DefineBinaryProperty(
            "Data",
            [this](TStream& s) {
                Blob.resize(static_cast<size_t>(s.Size()));
                s.ReadBuffer(Blob.data(), s.Size());
            },
            [this](TStream& s) { s.WriteBuffer(Blob.data(), static_cast<int64_t>(Blob.size())); },
            !Blob.empty());
    }
    int Width = 0;
    std::vector<uint8_t> Blob;
};

class AllKinds : public TComponent {
public:
    explicit AllKinds(TComponent* owner = nullptr)
        : TComponent(owner), Items(CollectionItemClass<Item>(), this) {}
    std::string ClassName() const override { return "TAllKinds"; }
    static const TPropertyTable& Table() {
        using A = AllKinds;
        static const TPropertyTable table(
            &TComponent::Table(),
            {
                IntegerProperty<A>("Int", &A::Int, &A::Int, 0),
                Int64Property<A>("Big", &A::Big, &A::Big),
                SetProperty<A>("Style", &A::Style, &A::Style,
                               {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, 0),
                EnumProperty<A>("Align", &A::Align, &A::Align, {"alNone", "alTop", "alBottom"}, 0),
                BooleanProperty<A>("Flag", &A::Flag, &A::Flag, false),
                FloatProperty<A>("Ext", &A::Ext, &A::Ext),
                FloatProperty<A>("Sgl", &A::Sgl, &A::Sgl, TFloatKind::Single),
                FloatProperty<A>("Money", &A::Money, &A::Money, TFloatKind::Currency),
                FloatProperty<A>("When", &A::When, &A::When, TFloatKind::Date),
                StringProperty<A>("Text", &A::Text, &A::Text),
                ColorProperty<A>("Color", &A::Color, &A::Color, clWindow),
                ObjectProperty<A>("Items", &A::ItemsProp),
                ObjectProperty<A>("Sub", &A::SubProp),
                ObjectProperty<A>("Lines", &A::LinesProp),
                MethodProperty("OnChange"),
            });
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void GetChildren(const TGetChildProc& proc, TComponent*) override {
        for (int i = 0; i < ComponentCount(); ++i)
            proc(Components(i));
    }
    TComponent* GetChildOwner() override { return this; }
    TCollection* ItemsProp() { return &Items; }
    Sub* SubProp() { return &SubObject; }
    TStringList* LinesProp() { return &Lines; }

    int Int = 0;
    int64_t Big = 0;
    uint64_t Style = 0;
    int Align = 0;
    bool Flag = false;
    double Ext = 0, Sgl = 0, Money = 0, When = 0;
    std::string Text;
    TColor Color = clWindow;
    TCollection Items;
    Sub SubObject;
    TStringList Lines;
};

struct RegisterAllKinds {
    RegisterAllKinds() { RegisterComponentClass<AllKinds>("TAllKinds"); }
};
const RegisterAllKinds registerAllKinds;

void Fill(AllKinds& a, int seed) {
    a.Int = seed * 1000003;
    a.Big = int64_t{seed} << 40;
    a.Style = 0b1010;
    a.Align = 2;
    a.Flag = true;
    a.Ext = -1.0 / 3.0 * seed;
    a.Sgl = 1.5f;
    a.Money = 12345.6789;
    a.When = 45000.25;
    a.Text = std::string(seed % 2 ? 20 : 400, 'x') + "\xE2\x82\xAC";
    a.Color = seed % 2 ? 0x00ABCDEF : clHighlight;
    static_cast<Item*>(a.Items.Add())->Value = -5;
    auto* second = static_cast<Item*>(a.Items.Add());
    second->Caption = "two";
    a.SubObject.Width = 640;
    a.SubObject.Blob = {0, 1, 2, 0xff};
    a.Lines.Add("first");
    a.Lines.Add("");
}

TEST(ComponentStream, EveryValueKindNestedObjectAndChildRoundTrips) {
    AllKinds source;
    source.SetName("Root");
    Fill(source, 3);
    auto* child = new AllKinds(&source);
    child->SetName("Child");
    Fill(*child, 4);
    auto* grandChild = new AllKinds(child);
    grandChild->SetName("GrandChild");

    const auto bytes = Write(source);
    AllKinds target;
    Read(bytes, target);
    EXPECT_EQ(target.Name(), "Root");
    EXPECT_EQ(target.Int, source.Int);
    EXPECT_EQ(target.Big, source.Big);
    EXPECT_EQ(target.Style, source.Style);
    EXPECT_EQ(target.Align, 2);
    EXPECT_TRUE(target.Flag);
    EXPECT_EQ(target.Ext, source.Ext);
    EXPECT_EQ(target.Sgl, 1.5);
    EXPECT_EQ(target.Money, 12345.6789);
    EXPECT_EQ(target.When, 45000.25);
    EXPECT_EQ(target.Text, source.Text);
    EXPECT_EQ(target.Color, 0x00ABCDEF);
    ASSERT_EQ(target.Items.Count(), 2);
    EXPECT_EQ(static_cast<Item*>(target.Items.Items(0))->Value, -5);
    EXPECT_EQ(static_cast<Item*>(target.Items.Items(1))->Caption, "two");
    EXPECT_EQ(target.SubObject.Width, 640);
    EXPECT_EQ(target.SubObject.Blob, source.SubObject.Blob);
    EXPECT_EQ(target.Lines.Text(), source.Lines.Text());
    ASSERT_EQ(target.ComponentCount(), 1);
    auto* readChild = dynamic_cast<AllKinds*>(target.FindComponent("child"));
    ASSERT_NE(readChild, nullptr);
    EXPECT_EQ(readChild->Color, clHighlight);
    EXPECT_EQ(readChild->Text, child->Text);
    ASSERT_NE(readChild->FindComponent("GrandChild"), nullptr);
    EXPECT_FALSE(readChild->ComponentState().Contains(csLoading));
    // Writing what was read gives the same bytes.
    EXPECT_EQ(Write(target), bytes);
}

TEST(ComponentStream, IntegersTakeTheSmallestTypeAndStringsOfEveryTypeReadAsUtf8) {
    const std::pair<int64_t, std::vector<uint8_t>> cases[] = {
        {0, {2, 0}},
        {-128, {2, 0x80}},
        {127, {2, 0x7f}},
        {128, {3, 0x80, 0}},
        {-129, {3, 0x7f, 0xff}},
        {32767, {3, 0xff, 0x7f}},
        {32768, {4, 0, 0x80, 0, 0}},
        {-32769, {4, 0xff, 0x7f, 0xff, 0xff}},
        {std::numeric_limits<int32_t>::min(), {4, 0, 0, 0, 0x80}},
        {int64_t{1} << 31, {19, 0, 0, 0, 0x80, 0, 0, 0, 0}},
        {std::numeric_limits<int64_t>::min(), {19, 0, 0, 0, 0, 0, 0, 0, 0x80}},
    };
    for (const auto& [value, encoded] : cases) {
        TMemoryStream stream;
        TWriter writer(stream);
        writer.WriteInteger(value);
        EXPECT_EQ(stream.Bytes(), encoded) << value;
        stream.SetPosition(0);
        TReader reader(stream);
        EXPECT_EQ(reader.ReadInt64(), value);
    }

    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteString(std::string(255, 's'));
        writer.WriteString(std::string(256, 'l'));
        writer.WriteWideString("w\xC3\xA9\xF0\x9F\x98\x80");
        writer.WriteUTF8String("u\xC3\xA9");
        writer.WriteIdent("True");
        writer.WriteIdent("nil");
        writer.WriteIdent("clRed");
        writer.WriteSet(0b101, {"a", "b", "c"});
    }
    // The 255 limit counts bytes: 200 two-byte characters do not fit a short string's length byte.
    std::string accented;
    for (int i = 0; i < 200; ++i)
        accented += "\xC3\xA9";
    {
        TMemoryStream utf8;
        TWriter writer(utf8);
        writer.WriteString(accented);
        ASSERT_EQ(utf8.Size(), 1 + 4 + 400);
        EXPECT_EQ(utf8.Bytes()[0], vaLString);
        utf8.SetPosition(0);
        TReader reader(utf8);
        EXPECT_EQ(reader.ReadString(), accented);
    }

    const auto& b = stream.Bytes();
    EXPECT_EQ(b[0], vaString);
    EXPECT_EQ(b[1], 255);
    EXPECT_EQ(b[257], vaLString);
    stream.SetPosition(0);
    TReader reader(stream);
    EXPECT_EQ(reader.ReadString(), std::string(255, 's'));
    EXPECT_EQ(reader.ReadString(), std::string(256, 'l'));
    EXPECT_EQ(reader.ReadString(), "w\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(reader.ReadString(), "u\xC3\xA9");
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadIdent(), "nil");
    EXPECT_EQ(reader.ReadIdent(), "clRed");
    EXPECT_EQ(reader.ReadSet({"a", "b", "c"}), 0b101u);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(ComponentStream, FloatsAreKeptAsTheirPropertyTypeStoresThem) {
    // A value that its stored type holds as 0 is left out, as 0 itself is.
    AllKinds tiny;
    tiny.Money = 0.00004;
    tiny.Sgl = 1e-50;
    tiny.Ext = 1e-300;
    const auto bytes = Write(tiny);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("Money"), std::string::npos);
    EXPECT_EQ(text.find("Sgl"), std::string::npos);
    EXPECT_NE(text.find("Ext"), std::string::npos);

    // Any float type reads into any float property, converted to what that property can hold.
    std::vector<uint8_t> in = Bytes("TPF0");
    Append(in, {ShortString("TAllKinds"),
                {0},
                ShortString("Money"),
                {17, 0x39, 0x30, 0, 0, 0, 0, 0, 0},
                ShortString("Sgl"),
                {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xff, 0x3f},
                ShortString("When"),
                {2, 5},
                {0, 0}});
    AllKinds target;
    Read(in, target);
    EXPECT_EQ(target.Money, 0.0);
    EXPECT_EQ(target.Sgl, 1.0);
    EXPECT_EQ(target.When, 5.0);

    // Amounts a currency cannot hold are refused, on reading and on writing.
    std::vector<uint8_t> nan = Bytes("TPF0");
    Append(nan, {ShortString("TAllKinds"),
                 {0},
                 ShortString("Money"),
                 {5, 0, 0, 0, 0, 0, 0, 0, 0xc0, 0xff, 0x7f},
                 {0, 0}});
    EXPECT_THROW(Read(nan, target), EReadError);
    AllKinds huge;
    huge.Money = 1e300;
    EXPECT_THROW(Write(huge), EConvertError);
}

std::string ReadError(const std::vector<uint8_t>& bytes) {
    try {
        Profile profile;
        Read(bytes, profile);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "";
}

TEST(ComponentStream, DamagedStreamsRaiseReadErrors) {
    Profile full;
    SetProfile(full, "full");
    const auto good = Write(full);
    // Every truncation, whatever it cuts through.
    for (size_t length = 0; length < good.size(); ++length)
        ASSERT_EQ(ReadError({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)}),
                  "Invalid stream format")
            << length;

    auto bad = good;
    bad[3] = '1';
    EXPECT_EQ(ReadError(bad), "Invalid stream format");

    // A long string whose length runs past the end.
    std::vector<uint8_t> header = Bytes("TPF0");
    Append(header, {ShortString("TMapProfile"), {0}, ShortString("FileTypes")});
    auto longString = header;
    Append(longString, {{12, 0xff, 0xff, 0xff, 0x7f, 'a', 'b'}});
    EXPECT_EQ(ReadError(longString), "Invalid stream format");
    auto negative = header;
    Append(negative, {{12, 0xff, 0xff, 0xff, 0xff, 0, 0}});
    EXPECT_EQ(ReadError(negative), "Invalid stream format");
    auto wide = header;
    Append(wide, {{18, 3, 0, 0, 0, 'a', 0, 'b', 0, 0}});
    EXPECT_EQ(ReadError(wide), "Invalid stream format");
    auto unknownType = header;
    Append(unknownType, {{0x30, 0, 0}});
    EXPECT_EQ(ReadError(unknownType), "Invalid stream format");

    // Values of the wrong type or unknown names.
    auto wrongType = Bytes("TPF0");
    Append(wrongType, {ShortString("TMapProfile"), {0}, ShortString("AddImages"), {6, 1, 'x'}, {0, 0}});
    EXPECT_EQ(ReadError(wrongType), "Invalid property value");
    auto unknownEnum = Bytes("TPF0");
    Append(
        unknownEnum,
        {ShortString("TMapProfile"), {0}, ShortString("OutputType"), {7}, ShortString("moutNone"), {0, 0}});
    EXPECT_EQ(ReadError(unknownEnum), "Invalid property value");
    auto unknownColour = Bytes("TPF0");
    Append(unknownColour,
           {ShortString("TMapProfile"), {0}, ShortString("clrText"), {7}, ShortString("clMauve"), {0, 0}});
    EXPECT_EQ(ReadError(unknownColour), "Invalid property value");
    auto unknownPath = Bytes("TPF0");
    Append(unknownPath,
           {ShortString("TMapProfile"), {0}, ShortString("FollowQueryParts.Lines"), {1, 0}, {0, 0}});
    EXPECT_EQ(ReadError(unknownPath), "Property Lines does not exist");
    auto pathThroughString = Bytes("TPF0");
    Append(pathThroughString,
           {ShortString("TMapProfile"), {0}, ShortString("FileName.Strings"), {1, 0}, {0, 0}});
    EXPECT_EQ(ReadError(pathThroughString), "Property FileName does not exist");
    auto nestedList = Bytes("TPF0");
    Append(nestedList,
           {ShortString("TMapProfile"), {0}, ShortString("FollowQueryParts.Strings"), {1, 1, 0, 0}, {0, 0}});
    EXPECT_EQ(ReadError(nestedList), "Invalid property value");
}

TEST(ComponentStream, NoMutationOfAValidStreamEscapesAsAnythingButAnException) {
    AllKinds source;
    Fill(source, 1);
    new AllKinds(&source);
    const auto good = Write(source);
    for (size_t i = 0; i < good.size(); ++i)
        for (uint8_t value : {0x00, 0x01, 0x0e, 0x7f, 0xf2, 0xff}) {
            auto bytes = good;
            bytes[i] = value;
            AllKinds target;
            try {
                Read(bytes, target);
            } catch (const Exception&) {
            }
        }
}

TEST(ComponentStream, NestingDeeperThanTheLimitIsRefused) {
    auto chain = [](int depth) {
        std::vector<uint8_t> bytes = Bytes("TPF0");
        Append(bytes, {ShortString("TAllKinds"), {0, 0}});
        for (int i = 0; i < depth; ++i)
            Append(bytes, {ShortString("TAllKinds"), {0, 0}});
        bytes.insert(bytes.end(), static_cast<size_t>(depth) + 1, 0);
        return bytes;
    };
    AllKinds shallow;
    Read(chain(20), shallow);
    int depth = 0;
    for (TComponent* c = &shallow; c->ComponentCount() > 0; c = c->Components(0))
        ++depth;
    EXPECT_EQ(depth, 20);

    AllKinds deep;
    EXPECT_THROW(Read(chain(10000), deep), EReadError);
    EXPECT_EQ(deep.ComponentCount(), 0);

    // Lists inside a skipped value nest too.
    std::vector<uint8_t> lists = Bytes("TPF0");
    Append(lists, {ShortString("TAllKinds"), {0}, ShortString("OnChange")});
    lists.insert(lists.end(), 10000, vaList);
    lists.insert(lists.end(), 10002, 0);
    AllKinds target;
    EXPECT_THROW(Read(lists, target), EReadError);
}

TEST(ComponentStream, ChildOfAnUnregisteredClassIsRefusedAndLeavesNothingBehind) {
    std::vector<uint8_t> bytes = Bytes("TPF0");
    Append(bytes, {ShortString("TAllKinds"),
                   {0, 0},
                   ShortString("TAllKinds"),
                   ShortString("A"),
                   {0, 0},
                   ShortString("TNoSuchClass"),
                   ShortString("B"),
                   {0, 0},
                   {0}});
    AllKinds target;
    EXPECT_THROW(Read(bytes, target), EClassNotFound);
    // The child read before the fault stays; none is half made.
    EXPECT_EQ(target.ComponentCount(), 1);
    EXPECT_FALSE(target.ComponentState().Contains(csLoading));

    // A failure inside a child frees the child with the grandchildren already read, and nothing touches
    // them afterwards (the sanitizer build would see it).
    bytes = Bytes("TPF0");
    Append(bytes, {ShortString("TAllKinds"),
                   {0, 0},
                   ShortString("TAllKinds"),
                   ShortString("A"),
                   {0},
                   ShortString("TAllKinds"),
                   ShortString("G"),
                   {0, 0},
                   ShortString("TNoSuchClass"),
                   ShortString("H"),
                   {0, 0},
                   {0},
                   {0}});
    AllKinds second;
    EXPECT_THROW(Read(bytes, second), EClassNotFound);
    EXPECT_EQ(second.ComponentCount(), 0);
    EXPECT_FALSE(second.ComponentState().Contains(csLoading));

    // A root of a registered class is created from the stream.
    bytes = Bytes("TPF0");
    Append(bytes, {ShortString("TAllKinds"), ShortString("Made"), ShortString("Int"), {2, 42}, {0, 0}});
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    std::unique_ptr<TComponent> made(ReadComponent(stream, nullptr));
    auto* all = dynamic_cast<AllKinds*>(made.get());
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->Name(), "Made");
    EXPECT_EQ(all->Int, 42);
}

} // namespace
