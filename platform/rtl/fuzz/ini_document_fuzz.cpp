// Settings files (forminfo.ini) are anybody's bytes: any text parses, the text written back parses to
// the same text, every key found reads back, and a value set is found again.
#include "platform/rtl/exception.h"
#include "platform/rtl/ini_document.h"
#include "platform/rtl/strings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ini_detail::IniDocument doc;
    doc.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = doc.Text();
    ini_detail::IniDocument again;
    again.Parse(written);
    if (again.Text() != written) std::abort();
    for (const std::string& section : doc.SectionNames())
        for (const std::string& key : doc.Keys(section)) {
            const std::string* value = doc.Find(section, key);
            if (!value) std::abort();
            double number = 0;
            StrToIntDef(*value, -1);
            TryStrToFloat(*value, number);
        }
    try {
        doc.Set("frmSiteMapMainPosition", "Left", "-2147483648");
    } catch (const Exception&) {
        return 0; // a name or value that no line can hold
    }
    const std::string* left = doc.Find("FRMSITEMAPMAINPOSITION", "left");
    if (!left || *left != "-2147483648") std::abort();
    return 0;
}
