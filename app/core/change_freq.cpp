#include "app/core/change_freq.h"

#include <array>

namespace {
constexpr std::array<const char*, 8> kTexts = {"",       "always",  "hourly", "daily",
                                               "weekly", "monthly", "yearly", "never"};
constexpr std::array<const char*, 8> kNames = {"Nothing", "Always",  "Hourly", "Daily",
                                               "Weekly",  "Monthly", "Yearly", "Never"};
} // namespace

std::string ChangeFreqText(ChangeFreqType Freq) {
    return Freq < kTexts.size() ? kTexts[Freq] : "";
}

std::string ChangeFreqName(ChangeFreqType Freq) {
    return Freq < kNames.size() ? kNames[Freq] : "";
}
