#include "app/output/xml_sitemap.h"

#include "app/core/change_freq.h"
#include "app/core/data_rec.h"
#include "app/core/lm_strings.h"
#include "app/core/map_profile.h"
#include "app/output/html_escape.h"
#include "app/output/output_texts.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace {
// The protocol's limits on a loc: an absolute address of 12 to 2048 characters.
constexpr size_t kMinLoc = 12;
constexpr size_t kMaxLoc = 2048;

bool Digits(std::string_view s, size_t at, size_t count, int low, int high) {
    if (at + count > s.size()) return false;
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return value >= low && value <= high;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool XmlSitemapWanted(const TMapProfile& Profile) {
    return Profile.MakeGoogleSM() && Profile.Website().size() >= 8;
}

std::string PriorityText(double Priority) {
    if (std::isnan(Priority)) Priority = 0.5;
    Priority = std::fmin(1.0, std::fmax(0.0, Priority));
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, Priority, std::chars_format::fixed, 6);
    std::string text(buffer, result.ptr);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

bool IsW3CDateTime(std::string_view t) {
    if (!Digits(t, 0, 4, 0, 9999) || t.size() < 10 || t[4] != '-' || t[7] != '-' || !Digits(t, 5, 2, 1, 12) ||
        !Digits(t, 8, 2, 1, 31))
        return false;
    if (t.size() == 10) return true;
    if (t.size() < 20 || t[10] != 'T' || !Digits(t, 11, 2, 0, 23) || t[13] != ':' ||
        !Digits(t, 14, 2, 0, 59) || t[16] != ':' || !Digits(t, 17, 2, 0, 59))
        return false;
    size_t at = 19;
    if (t[at] == '.') {
        ++at;
        const size_t start = at;
        while (at < t.size() && t[at] >= '0' && t[at] <= '9')
            ++at;
        if (at == start) return false;
    }
    if (at == t.size()) return false;
    if (t[at] == 'Z') return at + 1 == t.size();
    if (t[at] != '+' && t[at] != '-') return false;
    return at + 6 == t.size() && Digits(t, at + 1, 2, 0, 14) && t[at + 3] == ':' &&
           Digits(t, at + 4, 2, 0, 59);
}

std::string SitemapAddressKey(std::string_view EncodedAddress) {
    std::string key(EncodedAddress);
    const size_t scheme = key.find("://");
    if (scheme == std::string::npos) return key;
    size_t end = key.find_first_of("/?#", scheme + 3);
    if (end == std::string::npos) end = key.size();
    for (size_t i = 0; i < end; ++i)
        key[i] = Lower(key[i]);
    return key;
}

namespace {

// Pieces of this size go to the sink as they fill.
constexpr size_t kPiece = 1 << 16;

// SitemapAddressKey into a buffer kept from one address to the next.
void KeyInto(std::string& key, std::string_view encoded) {
    key.assign(encoded);
    const size_t scheme = key.find("://");
    if (scheme == std::string::npos) return;
    const size_t end = std::min(FindFirstOfFew(key, "/?#", scheme + 3), key.size());
    for (size_t i = 0; i < end; ++i)
        key[i] = Lower(key[i]);
}

// The addresses written so far, known by a hash of their key and the node that wrote them: a hundred
// thousand addresses cost no copy of each. Keys with the same hash are compared whole, the earlier one
// made again from its node.
class WrittenKeys {
public:
    explicit WrittenKeys(size_t expected) {
        size_t size = 64;
        while (size < expected * 2)
            size *= 2;
        slots_.resize(size);
    }

    // True when key was not written before; it is then recorded as node's. KeyOf(i) makes node i's key.
    template <class KeyOf> bool Insert(std::string_view key, uint32_t node, KeyOf&& keyOf) {
        if (2 * (used_ + 1) > slots_.size()) Grow();
        // Zero marks an empty slot.
        const uint32_t hash = static_cast<uint32_t>(std::hash<std::string_view>()(key)) | 1;
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (slot.hash == 0) {
                slot = Slot{hash, node};
                ++used_;
                return true;
            }
            if (slot.hash == hash && keyOf(slot.node) == key) return false;
        }
    }

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t node = 0;
    };
    void Grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.hash == 0) continue;
            size_t i = slot.hash & mask;
            while (slots_[i].hash != 0)
                i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }
    std::vector<Slot> slots_;
    size_t used_ = 0;
};

// Returns the count of nodes left out for an address too long.
size_t ComposeXmlSitemap(std::span<const TSiteMapNode> Nodes,
                         const std::function<void(std::string&)>& Flush) {
    const std::string ns = output_text::SitemapNamespace;
    std::string xml;
    xml.reserve(kPiece + 4096);
    xml += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    xml += "<urlset xmlns=\"" + ns + "\"\r\n";
    xml += std::string("xmlns:xsi=\"") + output_text::SchemaInstanceNamespace + "\"\r\n";
    xml += "xsi:schemaLocation=\"" + ns + "\r\n";
    xml += ns + "/sitemap.xsd\">\r\n\r\n";

    WrittenKeys written(Nodes.size());
    std::string loc, key, earlierKey;
    const auto keyOf = [&Nodes, &earlierKey](uint32_t index) -> std::string_view {
        std::string encoded;
        AppendPercentEncodedUrl(encoded, Nodes[index].Data->Loc);
        KeyInto(earlierKey, encoded);
        return earlierKey;
    };
    // Most nodes share their priority: its text is made when it changes.
    double priority = std::nan("");
    size_t tooLong = 0;
    std::string priorityText;
    for (size_t n = 0; n < Nodes.size(); ++n) {
        const TSiteMapNode& node = Nodes[n];
        if (!node.Data) continue;
        const TDataRec& rec = *node.Data;
        loc.clear();
        AppendPercentEncodedUrl(loc, rec.Loc);
        tooLong += loc.size() > kMaxLoc;
        if (loc.size() < kMinLoc || loc.size() > kMaxLoc) continue;
        KeyInto(key, loc);
        if (!written.Insert(key, static_cast<uint32_t>(n), keyOf)) continue;
        xml += "  <url>\r\n    <loc>";
        // Percent-encoding leaves only these two of the characters XML escapes.
        if (FindFirstOfFew(loc, "&'") == std::string::npos)
            xml += loc;
        else
            xml += XmlEscape(loc);
        xml += "</loc>\r\n";
        if (IsW3CDateTime(rec.LastMod)) {
            xml += "    <lastmod>";
            xml += rec.LastMod;
            xml += "</lastmod>\r\n";
        }
        const std::string freq = ChangeFreqText(rec.ChangeFreq);
        if (!freq.empty()) {
            xml += "    <changefreq>";
            xml += freq;
            xml += "</changefreq>\r\n";
        }
        if (!(rec.Priority == priority)) {
            priority = rec.Priority;
            priorityText = PriorityText(priority);
        }
        xml += "    <priority>";
        xml += priorityText;
        xml += "</priority>\r\n  </url>\r\n";
        if (xml.size() >= kPiece) Flush(xml);
    }
    xml += "</urlset>\r\n";
    Flush(xml);
    return tooLong;
}

} // namespace

std::string BuildXmlSitemap(std::span<const TSiteMapNode> Nodes) {
    std::string whole;
    ComposeXmlSitemap(Nodes, [&whole](std::string& piece) {
        whole += piece;
        piece.clear();
    });
    return whole;
}

size_t WriteXmlSitemap(std::span<const TSiteMapNode> Nodes, TStream& Out) {
    return ComposeXmlSitemap(Nodes, [&Out](std::string& piece) {
        Out.WriteBuffer(piece.data(), static_cast<int64_t>(piece.size()));
        piece.clear();
    });
}
