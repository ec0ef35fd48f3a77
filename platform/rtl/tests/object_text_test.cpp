#include "platform/rtl/object_text.h"

#include "platform/rtl/fuzz/component_reader_input.h"

#include "stream_test_classes.h"

#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

using testsupport::ThrownMessage;

namespace {

using namespace stream_test;
using component_fuzz::Target;

TEST(ObjectText, BinaryBecomesTheFamiliarTextAndConvertsBackToTheSameBytes) {
    Target root;
    root.SetName("Form1");
    root.Flag = true;
    root.Int = -70000;
    root.Big = int64_t{1} << 40;
    root.Kind = 2;
    root.Style = 0b101;
    root.Ext = 0.1;
    root.Sgl = 2.5;
    root.Money = -12.3456;
    root.When = 45000.5;
    root.Text = "it's\r\nfine";
    root.Color = 0x123456;
    static_cast<component_fuzz::Entry*>(root.Entries.Add())->Value = 3;
    static_cast<component_fuzz::Entry*>(root.Entries.Add())->Caption = "second";
    root.FontObject.Size = 12;
    root.FontObject.Data = {0x01, 0xAB, 0xFF};
    root.Lines.Add("one");
    root.Lines.Add("");
    auto* child = new Target(&root);
    child->SetName("Panel1");
    child->Color = clNone;
    const Bytes bytes = component_fuzz::WriteBytes(root);

    const std::string expected = Lines({
        "object Form1: TFuzzTarget",
        "  Flag = True",
        "  Int = -70000",
        "  Big = 1099511627776",
        "  Kind = kThree",
        "  Style = [fsBold, fsUnderline]",
        "  Ext = 0.1",
        "  Sgl = 2.5s",
        "  Money = -12.3456c",
        "  When = 45000.5d",
        "  Text = 'it''s'#13#10'fine'",
        "  Color = 1193046",
        "  Entries = <",
        "    item",
        "      Value = 3",
        "    end",
        "    item",
        "      Caption = 'second'",
        "    end>",
        "  Font.Size = 12",
        "  Font.Color = clWindowText",
        "  Font.Data = {",
        "    01ABFF}",
        "  Lines.Strings = (",
        "    'one'",
        "    '')",
        "  object Panel1: TFuzzTarget",
        "    Flag = False",
        "    Kind = kOne",
        "    Color = clNone",
        "    Entries = <>",
        "    Font.Color = clWindowText",
        "  end",
        "end",
    });
    EXPECT_EQ(ToText(bytes), expected);
    EXPECT_EQ(ToBinary(expected), bytes);
}

TEST(ObjectText, TextFromElsewhereComesBackInTheUsualForm) {
    // Blank lines, other letter case, split strings, item order numbers, flags and an empty collection.
    const std::string text = Lines({
        "OBJECT Form1: TFuzzTarget",
        "  Text = 'Hello' +",
        "    ' world'#$21",
        "",
        "  Ext = -1.5E3",
        "  Entries = <",
        "    item [0]",
        "      Caption = #233't'",
        "    END>",
        "  inherited Panel1: TFuzzTarget [1]",
        "    Int = 5",
        "  end",
        "  object Panel2: TFuzzTarget",
        "    Entries = <>",
        "  end",
        "end",
    });
    // The inherited child's flags and position survive the conversion both ways; the rest comes back in the
    // usual form.
    const std::string back = ToText(ToBinary(text));
    for (const char* line : {"  Text = 'Hello world!'\r\n", "  Ext = -1500.0\r\n", "    item [0]\r\n",
                             "      Caption = '\xC3\xA9t'\r\n", "  inherited Panel1: TFuzzTarget [1]\r\n",
                             "    Int = 5\r\n", "  object Panel2: TFuzzTarget\r\n", "    Entries = <>\r\n"})
        EXPECT_NE(back.find(line), std::string::npos) << line;
}

TEST(ObjectText, BadTextNamesTheLineAndDamagedBinaryIsRefused) {
    auto parseError = [](const std::string& text) {
        return ThrownMessage<EParserError>([&] { ToBinary(text); });
    };
    EXPECT_EQ(parseError("object A: TX\r\n  Width 5\r\nend\r\n"), "'=' expected on line 2");
    EXPECT_EQ(parseError("object A: TX\r\n  S = 'open\r\nend\r\n"), "Unterminated string on line 2");
    EXPECT_EQ(parseError("object A: TX\r\n  B = {0A1}\r\nend\r\n"), "Invalid binary value on line 2");
    EXPECT_EQ(parseError("object A: TX\r\n  N = 99999999999999999999\r\nend\r\n"),
              "Invalid integer 99999999999999999999 on line 2");
    EXPECT_EQ(parseError("object A: TX\r\n  L = (1 2\r\n"), "Value expected on line 3");
    EXPECT_EQ(parseError("thing A: TX\r\nend\r\n"), "'object' expected on line 1");
    EXPECT_EQ(parseError("object A: TX\r\nend\r\nextra"), "End of text expected on line 3");
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += "object A: TX\r\n";
    EXPECT_EQ(parseError(deep), "Nesting too deep on line 65");

    // Names the text form could not give back the same are refused rather than written.
    auto binary = [](const char* className, const char* property, const char* ident) {
        return Stream(className, Bytes{0}, property, Bytes{vaIdent}, ident, Bytes{0, 0});
    };
    EXPECT_EQ(ToText(binary("TX", "Align", "alTop")), "object TX\r\n  Align = alTop\r\nend\r\n");
    EXPECT_THROW(ToText(binary("T:X", "Align", "alTop")), EReadError);
    EXPECT_THROW(ToText(binary("TX", "Al ign", "alTop")), EReadError);
    EXPECT_THROW(ToText(binary("TX", "end", "alTop")), EReadError);
    EXPECT_THROW(ToText(binary("TX", "Align", "al'Top")), EReadError);
    EXPECT_THROW(ToText(binary("TX", "Align", "true")), EReadError);

    Target root;
    root.Text = "abc";
    auto bytes = component_fuzz::WriteBytes(root);
    for (size_t length = 0; length < bytes.size(); ++length)
        EXPECT_THROW(ToText({bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)}), EReadError)
            << length;
}

} // namespace
