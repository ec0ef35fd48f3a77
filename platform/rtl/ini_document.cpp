#include "platform/rtl/ini_document.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <utility>

namespace ini_detail {

namespace {

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool IsBlank(const IniLine& line) {
    return !line.isEntry && Trim(line.raw).empty();
}

} // namespace

void IniDocument::Clear() {
    preamble_.clear();
    sections_.clear();
}

void IniDocument::Parse(std::string_view text) {
    Clear();
    // Every byte-order mark in front: editors that add one to each save stack them up.
    while (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(pos, end - pos);
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);

        const std::string line = Trim(raw);
        if (!line.empty() && line[0] == '[') {
            const size_t close = line.rfind(']');
            const size_t nameEnd = close == std::string::npos || close == 0 ? line.size() : close;
            sections_.push_back({Trim(std::string_view(line).substr(1, nameEnd - 1)), {}});
            continue;
        }
        IniLine parsed;
        parsed.raw = std::string(raw);
        const size_t eq = line.find('=');
        if (!line.empty() && line[0] != ';' && line[0] != '#' && eq != std::string::npos) {
            parsed.isEntry = true;
            parsed.key = Trim(std::string_view(line).substr(0, eq));
            parsed.value = Trim(std::string_view(line).substr(eq + 1));
        }
        if (sections_.empty())
            preamble_.push_back(parsed.raw);
        else
            sections_.back().lines.push_back(std::move(parsed));
    }
}

std::string IniDocument::Text() const {
    std::string out;
    for (const std::string& line : preamble_)
        out.append(line).append("\n");
    for (const IniSection& section : sections_) {
        out.append("[").append(section.name).append("]\n");
        for (const IniLine& line : section.lines) {
            if (line.isEntry && line.raw.empty())
                out.append(line.key).append("=").append(line.value);
            else
                out.append(line.raw);
            out.append("\n");
        }
    }
    return out;
}

const IniSection* IniDocument::FindSection(std::string_view section) const {
    const std::string name = Trim(section);
    for (const IniSection& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

IniSection* IniDocument::FindSection(std::string_view section) {
    return const_cast<IniSection*>(std::as_const(*this).FindSection(section));
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const IniSection& s : sections_)
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::string& n) { return SameText(n, s.name); }))
            names.push_back(s.name);
    return names;
}

bool IniDocument::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const IniSection* s = FindSection(section))
        for (const IniLine& line : s->lines)
            if (line.isEntry) keys.push_back(line.key);
    return keys;
}

std::vector<std::string> IniDocument::NameValues(std::string_view section) const {
    std::vector<std::string> lines;
    if (const IniSection* s = FindSection(section))
        for (const IniLine& line : s->lines)
            if (line.isEntry) lines.push_back(line.key + "=" + line.value);
    return lines;
}

const std::string* IniDocument::Find(std::string_view section, std::string_view key) const {
    const IniSection* s = FindSection(section);
    if (!s) return nullptr;
    const std::string name = Trim(key);
    for (const IniLine& line : s->lines)
        if (line.isEntry && SameText(line.key, name)) return &line.value;
    return nullptr;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = Trim(section);
    const std::string keyName = Trim(key);
    // A line break, or an "=" in a key, would change what the file says when it is read back (another
    // key, another section), so such text is refused rather than written.
    if (HasLineBreak(sectionName))
        throw EIniFileException(Format("Invalid INI section name \"%s\"", std::string(section)));
    if (keyName.empty() || HasLineBreak(keyName) || keyName.find('=') != std::string::npos ||
        keyName[0] == '[' || keyName[0] == ';' || keyName[0] == '#')
        throw EIniFileException(Format("Invalid INI key name \"%s\"", std::string(key)));
    if (HasLineBreak(value))
        throw EIniFileException(
            Format("Invalid INI value for \"%s\": line breaks cannot be stored", keyName));

    IniSection* s = FindSection(sectionName);
    if (!s) {
        if (!sections_.empty() && (sections_.back().lines.empty() || !IsBlank(sections_.back().lines.back())))
            sections_.back().lines.push_back({false, {}, {}, ""});
        else if (sections_.empty() && !preamble_.empty() && !Trim(preamble_.back()).empty())
            preamble_.push_back("");
        sections_.push_back({sectionName, {}});
        s = &sections_.back();
    }
    for (IniLine& line : s->lines)
        if (line.isEntry && SameText(line.key, keyName)) {
            if (line.value != Trim(value)) {
                line.value = Trim(value);
                line.raw.clear();
            }
            return;
        }
    // After the last line that is not blank, so the blank line before the next section stays there.
    auto at = s->lines.end();
    while (at != s->lines.begin() && IsBlank(*(at - 1)))
        --at;
    s->lines.insert(at, {true, keyName, Trim(value), ""});
}

void IniDocument::EraseSection(std::string_view section) {
    const std::string name = Trim(section);
    std::erase_if(sections_, [&](const IniSection& s) { return SameText(s.name, name); });
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    IniSection* s = FindSection(section);
    if (!s) return;
    const std::string name = Trim(key);
    const auto it = std::find_if(s->lines.begin(), s->lines.end(), [&](const IniLine& line) {
        return line.isEntry && SameText(line.key, name);
    });
    if (it != s->lines.end()) s->lines.erase(it);
}

} // namespace ini_detail
