#include "platform/rtl/component_stream.h"
#include "platform/rtl/fuzz/component_reader_input.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/writer.h"

#include "stream_test_classes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

using testsupport::ThrownMessage;

namespace {

using namespace stream_test;
using component_fuzz::Target;

const bool registered = (RegisterComponentClass<Target>("TFuzzTarget"), true);

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

Bytes Write(TComponent& component) {
    TMemoryStream stream;
    WriteComponent(stream, &component);
    return stream.Bytes();
}

void Read(const Bytes& bytes, TComponent& component) {
    TMemoryStream stream;
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    ReadComponent(stream, &component);
}

TEST(ComponentStream, WritesTheReferenceObjectByteForByteAndReadsItBack) {
    SmallProfile profile;
    profile.AddImages = true;
    profile.Background = 0xFFFFFF;
    profile.FileName = "Untitled.qpw";
    profile.IgnoreFolders = std::string(300, 'a');
    profile.Output = 1;
    profile.DefPri = 0.5;
    profile.parts.Add("id=");
    profile.parts.Add("sid=");
    const auto expected = Stream(
        "TP", Bytes{0}, "AddImages", Bytes{9}, "clrBackground", Bytes{4, 0xff, 0xff, 0xff, 0}, "FileName",
        Bytes{6}, "Untitled.qpw", "IgnoreFolders", Bytes{12, 0x2c, 0x01, 0, 0}, Bytes(300, 'a'), "OutputType",
        Bytes{7}, "moutFile", "DefPri", Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xfe, 0x3f},
        "FollowQueryParts.Strings", Bytes{1, 6}, "id=", Bytes{6}, "sid=", Bytes{0, 0, 0});
    EXPECT_EQ(HexDump(Write(profile)), HexDump(expected));

    // Reading it back into a blank object restores every value.
    SmallProfile back;
    Read(expected, back);
    EXPECT_EQ(HexDump(Write(back)), HexDump(expected));
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
    Recorder r;
    r.b = "kept";
    Read(ToBinary(Lines({"object TRecorder", "  C = 7", "  a = 10000", "end"})), r);
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
    Recorder partial;
    EXPECT_EQ(
        ThrownMessage<EReadError>([&] {
            Read(ToBinary(Lines({"object TRecorder", "  A = 1", "  Bogus = 1", "  C = 9", "end"})), partial);
        }),
        "Property Bogus does not exist");
    EXPECT_EQ(partial.a, 1);
    EXPECT_EQ(partial.c, 0);
    EXPECT_FALSE(partial.ComponentState().Contains(csLoading));
    EXPECT_FALSE(partial.ComponentState().Contains(csReading));
}

void Fill(Target& t, int seed) {
    t.Flag = true;
    t.Int = seed * 1000003;
    t.Big = int64_t{seed} << 40;
    t.Kind = 2;
    t.Style = 0b101;
    t.Ext = -1.0 / 3.0 * seed;
    t.Sgl = 1.5f;
    t.Money = 12345.6789;
    t.When = 45000.25;
    t.Text = std::string(seed % 2 ? 20 : 400, 'x') + "\xE2\x82\xAC";
    t.Color = seed % 2 ? 0x00ABCDEF : clHighlight;
    static_cast<component_fuzz::Entry*>(t.Entries.Add())->Value = -5;
    static_cast<component_fuzz::Entry*>(t.Entries.Add())->Caption = "two";
    t.FontObject.Size = 640;
    t.FontObject.Data = {0, 1, 2, 0xff};
    t.Lines.Add("first");
    t.Lines.Add("");
}

TEST(ComponentStream, EveryValueKindNestedObjectAndChildRoundTrips) {
    Target source;
    source.SetName("Root");
    Fill(source, 3);
    auto* child = new Target(&source);
    child->SetName("Child");
    Fill(*child, 4);
    (new Target(child))->SetName("GrandChild");

    const auto bytes = Write(source);
    Target target;
    Read(bytes, target);
    // Every value differs from its default, so the same bytes written again mean every value came back.
    EXPECT_EQ(Write(target), bytes);
    auto* readChild = dynamic_cast<Target*>(target.FindComponent("child"));
    ASSERT_NE(readChild, nullptr);
    EXPECT_EQ(readChild->Color, clHighlight);
    ASSERT_NE(readChild->FindComponent("GrandChild"), nullptr);
    EXPECT_FALSE(readChild->ComponentState().Contains(csLoading));
}

TEST(ComponentStream, IntegersTakeTheSmallestTypeAndStringsOfEveryTypeReadAsUtf8) {
    const std::pair<int64_t, Bytes> cases[] = {
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
        {std::numeric_limits<int64_t>::min(), {19, 0, 0, 0, 0, 0, 0, 0, 0x80}}};
    for (const auto& [value, encoded] : cases) {
        TMemoryStream stream;
        TWriter writer(stream);
        writer.WriteInteger(value);
        EXPECT_EQ(stream.Bytes(), encoded) << value;
        stream.SetPosition(0);
        TReader reader(stream);
        EXPECT_EQ(reader.ReadInt64(), value);
    }

    // The 255 limit of a short string counts bytes: 200 two-byte characters take a long one.
    std::string accented;
    for (int i = 0; i < 200; ++i)
        accented += "\xC3\xA9";
    const std::string strings[] = {std::string(255, 's'), std::string(256, 'l'), accented,
                                   "w\xC3\xA9\xF0\x9F\x98\x80", "u\xC3\xA9"};
    TMemoryStream stream;
    {
        TWriter writer(stream);
        for (int i = 0; i < 3; ++i)
            writer.WriteString(strings[i]);
        writer.WriteWideString(strings[3]);
        writer.WriteUTF8String(strings[4]);
    }
    const auto& b = stream.Bytes();
    EXPECT_EQ((Bytes{b[0], b[1], b[257], b[518]}), (Bytes{vaString, 255, vaLString, vaLString}));
    // Every type reads back as UTF-8.
    stream.SetPosition(0);
    TReader reader(stream);
    for (const std::string& expected : strings)
        EXPECT_EQ(reader.ReadString(), expected);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(ComponentStream, FloatsAreKeptAsTheirPropertyTypeStoresThem) {
    // A value that its stored type holds as 0 is left out, as 0 itself is.
    Target tiny;
    tiny.Money = 0.00004;
    tiny.Sgl = 1e-50;
    tiny.Ext = 1e-300;
    const auto bytes = Write(tiny);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("Money"), std::string::npos);
    EXPECT_EQ(text.find("Sgl"), std::string::npos);
    EXPECT_NE(text.find("Ext"), std::string::npos);

    // Any float type reads into any float property, converted to what that property can hold.
    Target target;
    Read(Stream("TFuzzTarget", Bytes{0}, "Money", Bytes{17, 0x39, 0x30, 0, 0, 0, 0, 0, 0}, "Sgl",
                Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xff, 0x3f}, "When", Bytes{2, 5}, Bytes{0, 0}),
         target);
    EXPECT_EQ(target.Money, 0.0);
    EXPECT_EQ(target.Sgl, 1.0);
    EXPECT_EQ(target.When, 5.0);

    // Amounts a currency cannot hold are refused, on reading and on writing.
    EXPECT_THROW(Read(Stream("TFuzzTarget", Bytes{0}, "Money",
                             Bytes{5, 0, 0, 0, 0, 0, 0, 0, 0xc0, 0xff, 0x7f}, Bytes{0, 0}),
                      target),
                 EReadError);
    Target huge;
    huge.Money = 1e300;
    EXPECT_THROW(Write(huge), EConvertError);
}

std::string ReadError(const Bytes& bytes) {
    Profile profile;
    return ThrownMessage<EReadError>([&] { Read(bytes, profile); });
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

    // A long string running past the end or of negative length, a wide string cut short, an unknown type.
    const Bytes values[] = {{12, 0xff, 0xff, 0xff, 0x7f, 'a', 'b'},
                            {12, 0xff, 0xff, 0xff, 0xff, 0, 0},
                            {18, 3, 0, 0, 0, 'a', 0, 'b', 0, 0},
                            {0x30, 0, 0}};
    for (const Bytes& value : values)
        EXPECT_EQ(ReadError(Stream("TMapProfile", Bytes{0}, "FileName", value)), "Invalid stream format");

    // Values of the wrong type or unknown names.
    const std::pair<const char*, const char*> wrong[] = {
        {"AddImages = 'x'", "Invalid property value"},
        {"OutputType = moutNone", "Invalid property value"},
        {"clrText = clMauve", "Invalid property value"},
        {"FollowQueryParts.Strings = (())", "Invalid property value"},
        {"FollowQueryParts.Lines = ()", "Property Lines does not exist"},
        {"FileName.Strings = ()", "Property FileName does not exist"},
    };
    for (const auto& [line, message] : wrong)
        EXPECT_EQ(ReadError(ToBinary(Lines({"object TMapProfile", line, "end"}))), message) << line;
}

TEST(ComponentStream, NoMutationOfAValidStreamEscapesAsAnythingButAnException) {
    Target source;
    Fill(source, 1);
    new Target(&source);
    const auto good = Write(source);
    for (size_t i = 0; i < good.size(); ++i)
        for (uint8_t value : {0x00, 0x01, 0x0e, 0x7f, 0xf2, 0xff}) {
            auto bytes = good;
            bytes[i] = value;
            Target target;
            try {
                Read(bytes, target);
            } catch (const Exception&) {
            }
        }
}

TEST(ComponentStream, NestingDeeperThanTheLimitIsRefused) {
    auto chain = [](int depth) {
        Bytes bytes = Stream();
        for (int i = 0; i <= depth; ++i)
            Append(bytes, "TFuzzTarget"), Append(bytes, Bytes{0, 0});
        bytes.insert(bytes.end(), static_cast<size_t>(depth) + 1, 0);
        return bytes;
    };
    Target shallow;
    Read(chain(20), shallow);
    int depth = 0;
    for (TComponent* c = &shallow; c->ComponentCount() > 0; c = c->Components(0))
        ++depth;
    EXPECT_EQ(depth, 20);

    Target deep;
    EXPECT_THROW(Read(chain(10000), deep), EReadError);
    EXPECT_EQ(deep.ComponentCount(), 0);

    // Lists inside a skipped value nest too.
    auto lists = Stream("TFuzzTarget", Bytes{0}, "OnClick");
    lists.insert(lists.end(), 10000, vaList);
    lists.insert(lists.end(), 10002, 0);
    EXPECT_THROW(Read(lists, deep), EReadError);
}

TEST(ComponentStream, ChildOfAnUnregisteredClassIsRefusedAndLeavesNothingBehind) {
    Target target;
    EXPECT_THROW(Read(ToBinary(Lines({"object TFuzzTarget", "  object A: TFuzzTarget", "  end",
                                      "  object B: TNoSuchClass", "  end", "end"})),
                      target),
                 EClassNotFound);
    // The child read before the fault stays; none is half made.
    EXPECT_EQ(target.ComponentCount(), 1);
    EXPECT_FALSE(target.ComponentState().Contains(csLoading));

    // A failure inside a child frees the child with the grandchildren already read, and nothing touches
    // them afterwards (the sanitizer build would see it).
    Target second;
    EXPECT_THROW(
        Read(ToBinary(Lines({"object TFuzzTarget", "  object A: TFuzzTarget", "    object G: TFuzzTarget",
                             "    end", "    object H: TNoSuchClass", "    end", "  end", "end"})),
             second),
        EClassNotFound);
    EXPECT_EQ(second.ComponentCount(), 0);
    EXPECT_FALSE(second.ComponentState().Contains(csLoading));

    // A root of a registered class is created from the stream.
    TMemoryStream stream;
    const auto bytes = ToBinary(Lines({"object Made: TFuzzTarget", "  Int = 42", "end"}));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    std::unique_ptr<TComponent> made(ReadComponent(stream, nullptr));
    auto* all = dynamic_cast<Target*>(made.get());
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->Name(), "Made");
    EXPECT_EQ(all->Int, 42);
}

// Inputs kept from fuzzing go through the fuzzing entry.
TEST(ComponentReaderFuzzReplay, KeptInputsReadOrFailCleanlyAndWriteBackStably) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PW_SOURCE_DIR) + "/platform/rtl/fuzz/corpus")) {
        SCOPED_TRACE(entry.path().string());
        const std::string input = testsupport::ReadFile(entry.path());
        const auto* bytes = reinterpret_cast<const uint8_t*>(input.data());
        for (size_t n = 0; n < input.size(); n += 3)
            EXPECT_TRUE(component_fuzz::ReadComponentInput(bytes, n));
        EXPECT_TRUE(component_fuzz::ReadComponentInput(bytes, input.size()));
        ++files;
    }
    EXPECT_GE(files, 5);
}

} // namespace
