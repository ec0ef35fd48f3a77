#pragma once
// A component with the published properties of the site-map profile, and the byte helpers the stream
// tests share.
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

enum class OutputType { moutClipboard, moutFile, moutInsert, moutEditor };
enum class ChangeFreq { cfNothing, cfAlways, cfHourly, cfDaily, cfWeekly, cfMonthly, cfYearly, cfNever };

// A property of each kind, with the values that make each encoding.
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

std::string HexDump(const std::vector<uint8_t>& bytes);

using Bytes = std::vector<uint8_t>;
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
std::vector<uint8_t> ToBinary(const std::string& text);
std::string ToText(const std::vector<uint8_t>& bytes);
std::string Lines(std::initializer_list<const char*> lines);

} // namespace stream_test
