#pragma once
// How often a page changes, as the XML sitemap states it.
#include <cstdint>
#include <string>

enum ChangeFreqType : uint8_t {
    cfNothing,
    cfAlways,
    cfHourly,
    cfDaily,
    cfWeekly,
    cfMonthly,
    cfYearly,
    cfNever
};

// The sitemap's word: "always" .. "never"; empty for cfNothing.
std::string ChangeFreqText(ChangeFreqType Freq);
// The name the status line shows: "Nothing" .. "Never".
std::string ChangeFreqName(ChangeFreqType Freq);
