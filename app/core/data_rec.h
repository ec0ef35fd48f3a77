#pragma once
// The record behind each node of the result tree, and one entry of the crawl queue.
#include "app/core/change_freq.h"
#include "app/core/short_text.h"

#include <string>

class TMapProfile;

struct TDataRec {
    // A folder's address is its URL, its Folder and its Loc alike, and a crawled page's its URL and Loc:
    // set from one another, they share one copy, which a deep path's thousands of folders notice.
    TSharedText URL;
    // A page's title or a file's name: short ones kept inside the record.
    TShortText Text;
    // Shared by the files of one folder.
    TSharedText Folder;
    TSharedText Loc;
    // A W3C date, kept inside the record.
    TShortText LastMod;
    // Set on a crawl's first page alone.
    TRareText Referrer;
    double Priority = 0.5;
    ChangeFreqType ChangeFreq = cfMonthly;
    bool IsFolder = false;
    bool Marked = false;
};
// A scan holds one per file: the small fields share the last word instead of padding three.
static_assert(sizeof(void*) != 8 || sizeof(TDataRec) <= 2 * sizeof(TShortText) + 4 * sizeof(void*) + 16);

// A new record with the profile's default frequency and priority, stamped with the current time.
TDataRec NewDataRec(const TMapProfile& Profile);

struct AURLItem {
    std::string URL;
    std::string Text;
    std::string Referrer;
};
