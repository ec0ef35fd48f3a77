#include "stream_test_classes.h"

#include "platform/rtl/object_text.h"
#include "platform/rtl/string_stream.h"
#include "platform/rtl/strings.h"

#include <bit>
#include <cstring>

namespace stream_test {

const TPropertyTable& Profile::Table() {
    using P = Profile;
    static const TPropertyTable table(
        &TComponent::Table(),
        {
            BooleanProperty<P>("AddImages", &P::AddImages, &P::AddImages),
            BooleanProperty<P>("NoFolderImages", &P::NoFolderImages, &P::NoFolderImages),
            ColorProperty<P>("clrBackground", &P::clrBackground, &P::clrBackground),
            ColorProperty<P>("clrText", &P::clrText, &P::clrText),
            ColorProperty<P>("clrLink", &P::clrLink, &P::clrLink),
            ColorProperty<P>("clrVisited", &P::clrVisited, &P::clrVisited),
            ColorProperty<P>("clrActive", &P::clrActive, &P::clrActive),
            StringProperty<P>("FileName", &P::FileName, &P::FileName),
            StringProperty<P>("IgnoreFolders", &P::IgnoreFolders, &P::IgnoreFolders),
            EnumProperty<P>("OutputType", &P::Output, &P::Output,
                            {"moutClipboard", "moutFile", "moutInsert", "moutEditor"}),
            StringProperty<P>("OutputFileName", &P::OutputFileName, &P::OutputFileName),
            EnumProperty<P>("DefFreq", &P::DefFreq, &P::DefFreq,
                            {"cfNothing", "cfAlways", "cfHourly", "cfDaily", "cfWeekly", "cfMonthly",
                             "cfYearly", "cfNever"}),
            FloatProperty<P>("DefPri", &P::DefPri, &P::DefPri),
            ObjectProperty<P>("FollowQueryParts", &P::FollowQueryParts),
        });
    return table;
}

void SetProfile(Profile& p, const std::string& variant) {
    if (variant == "full") {
        p.AddImages = false;
        p.NoFolderImages = true;
        p.clrBackground = 0x123456;
        p.clrText = -1;
        p.clrLink = 200;
        p.clrVisited = clBtnFace;
        p.clrActive = clNone;
        p.FileName = "/tmp/My Site.qpw";
        p.IgnoreFolders = "http://example.com/private/\r\n" + std::string(290, 'b');
        p.Output = OutputType::moutEditor;
        p.OutputFileName = "/tmp/sitemap-\xC3\xA9t\xC3\xA9.html";
        p.DefFreq = ChangeFreq::cfNever;
        p.DefPri = 0.1;
        p.followQueryParts.Add("id=");
        p.followQueryParts.Add("sid=");
        p.followQueryParts.Add(std::string(260, 'q'));
    } else if (variant == "empty") {
        p.clrBackground = 127;
        p.clrText = -128;
        p.clrLink = 32767;
        p.clrVisited = -32769;
        p.clrActive = clDefault;
        p.FileName.clear();
        p.OutputFileName.clear();
        p.Output = OutputType::moutClipboard;
        p.DefFreq = ChangeFreq::cfNothing;
        p.DefPri = 0;
    }
}

std::string Dump(TComponent& component) {
    std::string out;
    auto hex = [](const std::string& text) {
        std::string digits;
        for (unsigned char c : text)
            digits += IntToHex(c, 2);
        return digits;
    };
    const auto& properties = component.PublishedProperties()->Properties();
    for (size_t i = TComponent::Table().Properties().size(); i < properties.size(); ++i) {
        const TPropInfo& p = properties[i];
        out += p.Name + "=";
        switch (p.Kind) {
        case TPropKind::Boolean:
            out += p.GetOrdinal(component) ? "True" : "False";
            break;
        case TPropKind::String:
            out += hex(p.GetString(component));
            break;
        case TPropKind::Float:
            out += IntToHex(std::bit_cast<uint64_t>(p.GetFloat(component)), 16);
            break;
        case TPropKind::Class: {
            auto* list = static_cast<TStringList*>(p.GetObject(component));
            out += IntToStr(list->Count());
            for (int n = 0; n < list->Count(); ++n)
                out += "\n  " + hex(list->Strings(n));
            break;
        }
        default:
            out += IntToStr(p.GetOrdinal(component));
        }
        out += "\n";
    }
    return out;
}

std::string HexDump(const Bytes& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i)
        out += IntToHex(bytes[i], 2) + ((i % 16 == 15) ? '\n' : ' ');
    return out;
}

void Append(Bytes& out, const char* text) {
    out.push_back(static_cast<uint8_t>(std::strlen(text)));
    out.insert(out.end(), text, text + std::strlen(text));
}

void Append(Bytes& out, const Bytes& raw) {
    out.insert(out.end(), raw.begin(), raw.end());
}

Bytes ToBinary(const std::string& text) {
    TStringStream in(text);
    TMemoryStream out;
    ObjectTextToBinary(in, out);
    return out.Bytes();
}

std::string ToText(const Bytes& bytes) {
    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    TStringStream out;
    ObjectBinaryToText(in, out);
    return out.DataString();
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

} // namespace stream_test
