#pragma once
// One fuzzing input for the INI reader of the settings files (forminfo.ini), shared by the fuzz target
// and the test that replays the kept inputs. False when the reader breaks a promise: the text written
// back parses to other text, a key found does not read back, or a value set is not found again.
#include "platform/rtl/exception.h"
#include "platform/rtl/ini_document.h"
#include "platform/rtl/strings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ini_fuzz {

inline bool ReadIniInput(const uint8_t* data, size_t size) {
    ini_detail::IniDocument doc;
    doc.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = doc.Text();
    ini_detail::IniDocument again;
    again.Parse(written);
    if (again.Text() != written) return false;
    for (const std::string& section : doc.SectionNames())
        for (const std::string& key : doc.Keys(section)) {
            const std::string* value = doc.Find(section, key);
            if (!value) return false;
            double number = 0;
            StrToIntDef(*value, -1);
            TryStrToFloat(*value, number);
        }
    try {
        doc.Set("frmSiteMapMainPosition", "Left", "-2147483648");
    } catch (const Exception&) {
        return true; // a section or key name that no line can hold
    }
    const std::string* left = doc.Find("FRMSITEMAPMAINPOSITION", "left");
    return left && *left == "-2147483648";
}

} // namespace ini_fuzz
