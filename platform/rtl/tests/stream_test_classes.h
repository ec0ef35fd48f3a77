#pragma once
// A component with the kinds of published property the site-map profile has, and the byte helpers the
// stream tests share.
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/published.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace stream_test {

using Bytes = std::vector<uint8_t>;

enum class OutputType { moutClipboard, moutFile, moutInsert, moutEditor };
enum class ChangeFreq { cfNothing, cfAlways, cfHourly, cfDaily, cfWeekly, cfMonthly, cfYearly, cfNever };

// A property of each kind, and as many of a kind as the test states need for each of its encodings.
class Profile : public TComponent {
public:
    explicit Profile(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TMapProfile"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    TStringList* FollowQueryParts() { return &followQueryParts; }

    bool AddImages = true;
    bool NoFolderImages = false;
    TColor clrBackground = clWhite;
    TColor clrText = clBlack;
    TColor clrLink = clBlue;
    TColor clrVisited = clPurple;
    TColor clrActive = clRed;
    std::string FileName = "Untitled.qpw";
    std::string IgnoreFolders;
    OutputType Output = OutputType::moutFile;
    std::string OutputFileName = "/home/user/Desktop/sitemap.html";
    ChangeFreq DefFreq = ChangeFreq::cfMonthly;
    double DefPri = 0.5;
    TStringList followQueryParts;
};

// The states the peer program also knows by name: "defaults", "full", "empty".
void SetProfile(Profile& profile, const std::string& variant);
// The same text the peer program prints for a profile: its own properties in order.
std::string Dump(TComponent& component);

std::string HexDump(const Bytes& bytes);

// Pieces of a binary stream: text as a short string (length byte first), bytes as they are.
void Append(Bytes& out, const char* text);
void Append(Bytes& out, const Bytes& raw);
// The signature, then the pieces.
template <class... Pieces> Bytes Stream(const Pieces&... pieces) {
    Bytes out = {'T', 'P', 'F', '0'};
    (Append(out, pieces), ...);
    return out;
}

// Conversions between the binary and the text form, each line of the text ending in CR LF.
Bytes ToBinary(const std::string& text);
std::string ToText(const Bytes& bytes);
std::string Lines(std::initializer_list<const char*> lines);

} // namespace stream_test
