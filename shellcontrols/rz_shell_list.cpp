#include "shellcontrols/rz_shell_list.h"

#include "platform/rtl/date_time.h"
#include "platform/rtl/files.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"

namespace {

std::vector<std::string> SplitFilter(const std::string& Filter) {
    std::vector<std::string> masks;
    size_t start = 0;
    while (start <= Filter.size()) {
        const size_t end = std::min(Filter.find(';', start), Filter.size());
        if (end > start) masks.push_back(Filter.substr(start, end - start));
        start = end + 1;
    }
    return masks;
}

} // namespace

TRzShellList::TRzShellList(TComponent* AOwner) : TListView(AOwner) {
    SetReadOnly(true);
    for (auto [caption, width] : {std::pair{"Name", 180}, {"Size", 80}, {"Modified", 130}}) {
        TListColumn* column = AddColumn();
        column->SetCaption(caption);
        column->SetWidth(width);
    }
}

void TRzShellList::SetFileFilter(const std::string& Value) {
    fileFilter_ = Value;
    Refresh();
}

void TRzShellList::SetFolder(const std::string& Value) {
    folder_ = Value;
    Refresh();
}

void TRzShellList::SetShowHidden(bool Value) {
    showHidden_ = Value;
    Refresh();
}

void TRzShellList::Refresh() {
    ClearItems();
    if (folder_.empty()) return;
    const std::vector<std::string> masks = SplitFilter(fileFilter_);
    std::string dir = folder_;
    if (dir.back() != '/') dir += '/';
    TSearchRec rec;
    for (int found = FindFirst(dir + "*", showHidden_ ? faHidden : 0, rec); found == 0;
         found = FindNext(rec)) {
        bool match = masks.empty();
        for (const std::string& mask : masks)
            match = match || MatchesMask(rec.Name, mask);
        if (!match) continue;
        TListItem* item = AddItem();
        item->SetCaption(rec.Name);
        item->SubItems().Add(IntToStr(rec.Size));
        item->SubItems().Add(FormatDateTime("yyyy-mm-dd hh:nn", FileDateToDateTime(rec.Time)));
    }
    FindClose(rec);
}

std::vector<std::string> TRzShellList::FileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(); ++i)
        names.push_back(Item(i)->Caption());
    return names;
}
