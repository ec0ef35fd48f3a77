#include "platform/rtl/registry_ini_file.h"

#include "platform/rtl/registry.h"
#include "platform/rtl/strings.h"

TRegistryIniFile::TRegistryIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), base_("\\" + fileName), reg_(std::make_unique<TRegistry>()) {}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::Open(const std::string& section, bool create) {
    return reg_->OpenKey(section.empty() ? base_ : base_ + "\\" + section, create);
}

bool TRegistryIniFile::SectionExists(const std::string& section) {
    return Open(section, false);
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) {
    return Open(section, false) && reg_->ValueExists(ident);
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& defaultValue) {
    if (!Open(section, false) || !reg_->ValueExists(ident)) return defaultValue;
    if (reg_->GetDataType(ident) == rdInteger) return IntToStr(reg_->ReadInteger(ident));
    return reg_->ReadString(ident);
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value) {
    if (Open(section, true)) reg_->WriteString(ident, value);
}

int TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    if (!Open(section, false) || !reg_->ValueExists(ident)) return defaultValue;
    switch (reg_->GetDataType(ident)) {
    case rdInteger:
        return reg_->ReadInteger(ident);
    case rdString:
    case rdExpandString:
        return StrToIntDef(reg_->ReadString(ident), defaultValue);
    default:
        return defaultValue;
    }
}

void TRegistryIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    if (!Open(section, true)) return;
    if (reg_->GetDataType(ident) == rdString)
        reg_->WriteString(ident, IntToStr(value));
    else
        reg_->WriteInteger(ident, value);
}

bool TRegistryIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteInteger(section, ident, value ? 1 : 0);
}

void TRegistryIniFile::EraseSection(const std::string& section) {
    reg_->DeleteKey(base_ + "\\" + section);
}

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    if (Open(section, false)) reg_->DeleteValue(ident);
}

void TRegistryIniFile::UpdateFile() {
    reg_->CloseKey();
}

std::vector<std::string> TRegistryIniFile::SectionNames() {
    return Open("", false) ? reg_->KeyNames() : std::vector<std::string>{};
}

std::vector<std::string> TRegistryIniFile::SectionKeys(const std::string& section) {
    return Open(section, false) ? reg_->ValueNames() : std::vector<std::string>{};
}

std::vector<std::string> TRegistryIniFile::SectionNameValues(const std::string& section) {
    std::vector<std::string> lines;
    for (const std::string& name : SectionKeys(section))
        lines.push_back(name + "=" + ReadString(section, name, ""));
    return lines;
}
