#pragma once
// The record behind each node of the result tree, and one entry of the crawl queue.
#include "app/core/change_freq.h"

#include <string>

class TMapProfile;

struct TDataRec {
    std::string URL;
    std::string Text;
    std::string Folder;
    bool IsFolder = false;
    std::string Loc;
    std::string LastMod;
    ChangeFreqType ChangeFreq = cfMonthly;
    double Priority = 0.5;
    bool Marked = false;
    std::string Referrer;
};

// A new record with the profile's default frequency and priority, stamped with the current time.
TDataRec NewDataRec(const TMapProfile& Profile);

struct AURLItem {
    std::string URL;
    std::string Text;
    std::string Referrer;
};
