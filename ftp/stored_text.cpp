#include "ftp/stored_text.h"

#include "platform/rtl/format.h"
#include "platform/rtl/registry.h"

namespace ftpprofile {

bool HoldsText(TRegistry& Reg, const std::string& Name) {
    const TRegDataType type = Reg.GetDataType(Name);
    return type == rdString || type == rdExpandString || type == rdUnknown;
}

void WarnNotText(TRegistry& Reg, const std::string& Name, const std::string& Owner,
                 const std::string& Instead, std::vector<std::string>* Warnings) {
    if (!Warnings) return;
    const TRegDataType type = Reg.GetDataType(Name);
    const char* stored = type == rdInteger ? "a number" : type == rdBinary ? "binary data" : "another type";
    Warnings->push_back(
        Format("%s: the value %s is stored as %s, not as text; %s.", Owner, Name, stored, Instead));
}

std::string ReadText(TRegistry& Reg, const std::string& Name, const std::string& Owner,
                     const std::string& Instead, std::vector<std::string>* Warnings) {
    if (HoldsText(Reg, Name)) return Reg.ReadString(Name);
    WarnNotText(Reg, Name, Owner, Instead, Warnings);
    return {};
}

std::string WarningsText(const std::vector<std::string>& Warnings) {
    std::string text;
    for (const std::string& warning : Warnings)
        text += (text.empty() ? "" : " ") + warning;
    return text;
}

} // namespace ftpprofile
