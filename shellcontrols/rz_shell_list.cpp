#include "shellcontrols/rz_shell_list.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/commctrl/common_controls.h"
#include "platform/gui/drag_detect.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/atomic_file.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/files.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/shell_menu.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_shell_change_thread.h"

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

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Copies through a temporary file renamed over the target, so a failed copy leaves the file that was
// there as it was; the copy gets the source's permission bits.
void CopyFileOver(const std::string& source, const std::string& target) {
    struct stat st {};
    const unsigned mode = stat(source.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0666;
    TFileStream in(source, fmOpenRead | fmShareDenyNone);
    TAtomicFileStream out(target, mode);
    std::vector<char> buffer(1 << 16);
    for (int64_t n; (n = in.Read(buffer.data(), static_cast<int64_t>(buffer.size()))) > 0;)
        out.Write(buffer.data(), n);
    out.Commit();
}

} // namespace

TRzShellList::TRzShellList(TComponent* AOwner) : TListView(AOwner) {
    SetReadOnly(true);
    SetMultiSelect(true);
    for (auto [caption, width] : {std::pair{"Name", 180}, {"Size", 80}, {"Modified", 130}}) {
        TListColumn* column = AddColumn();
        column->SetCaption(caption);
        column->SetWidth(width);
    }
}

TRzShellList::~TRzShellList() {
    StopWatch();
}

void TRzShellList::SetFileFilter(const std::string& Value) {
    fileFilter_ = Value;
    AutoFill();
}

void TRzShellList::SetFolder(const std::string& Value) {
    folder_ = Value;
    // The watch starts before the folder is read, so that no change falls between the two.
    StopWatch();
    StartWatch();
    AutoFill();
}

void TRzShellList::SetShowHidden(bool Value) {
    showHidden_ = Value;
    AutoFill();
}

void TRzShellList::SetOptions(TRzShellListOptions Value) {
    options_ = Value;
    StopWatch();
    StartWatch();
    AcceptDrops();
    AutoFill();
}

void TRzShellList::SetTakesDrops(bool Value) {
    takesDrops_ = Value;
    AcceptDrops();
}

void TRzShellList::AcceptDrops() {
    if (HandleAllocated())
        DragAcceptFiles(Handle(), options_.Contains(sloDragDropFiles) && takesDrops_ ? TRUE_ : FALSE_);
}

void TRzShellList::AutoFill() {
    if (options_.Contains(sloAutoFill)) Refresh();
}

void TRzShellList::Refresh() {
    std::set<std::string> selected;
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i)->Selected()) selected.insert(Item(i)->Caption());
    ClearItems();
    if (folder_.empty()) return;
    const std::vector<std::string> masks = SplitFilter(fileFilter_);
    const std::string dir = IncludeTrailingPathDelimiter(folder_);
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
        if (selected.count(rec.Name)) item->SetSelected(true);
    }
    FindClose(rec);
}

std::vector<std::string> TRzShellList::FileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(); ++i)
        names.push_back(Item(i)->Caption());
    return names;
}

std::vector<std::string> TRzShellList::SelectedPaths() {
    std::vector<std::string> paths;
    const std::string dir = IncludeTrailingPathDelimiter(folder_);
    for (int i = 0; i < ItemCount(); ++i)
        if (Item(i)->Selected()) paths.push_back(dir + Item(i)->Caption());
    return paths;
}

int TRzShellList::CopyFilesIn(const std::vector<std::string>& Files) {
    if (folder_.empty()) return 0;
    int copied = 0;
    for (const std::string& file : Files) {
        const std::string target = IncludeTrailingPathDelimiter(folder_) + ExtractFileName(file);
        // A file dropped on its own folder is there already; copying it onto itself would empty it.
        if (!FileExists(file) || SameFile(file, target)) continue;
        if (FileExists(target) || DirectoryExists(target)) {
            if (DirectoryExists(target)) continue;
            const int answer = MessageDlg("The folder already holds a file named \"" + ExtractFileName(file) +
                                              "\".\nDo you want to replace it with the one you dropped?",
                                          mtConfirmation, mbYesNoCancel);
            if (answer == mrCancel) break;
            if (answer != mrYes) continue;
        }
        try {
            CopyFileOver(file, target);
            ++copied;
        } catch (const Exception& e) {
            MessageDlg("\"" + ExtractFileName(file) + "\" could not be copied: " + e.Message(), mtError,
                       {mbOK});
        }
    }
    if (copied > 0) Refresh();
    return copied;
}

void TRzShellList::CreateWnd() {
    TListView::CreateWnd();
    AcceptDrops();
    StartWatch();
    // Changes before the watch began are read now.
    AutoFill();
}

void TRzShellList::DestroyWnd() {
    StopWatch();
    TListView::DestroyWnd();
}

void TRzShellList::StartWatch() {
    if (changeThread_ || !HandleAllocated() || folder_.empty() || !options_.Contains(sloDynamicRefresh))
        return;
    changeThread_ = NewThread<TRzShellChangeThread>(folder_, Handle());
    changeThread_->Start();
}

void TRzShellList::StopWatch() {
    if (!changeThread_) return;
    changeThread_->Stop();
    changeThread_->WaitFor();
    delete changeThread_;
    changeThread_ = nullptr;
}

void TRzShellList::FolderChanged() {
    if (changeThread_) changeThread_->Acknowledge();
    Refresh();
}

void TRzShellList::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case RZSL_FOLDERCHANGED:
        return FolderChanged();
    case WM_CONTEXTMENU:
        if (options_.Contains(sloContextMenus)) return WMContextMenu(TWMContextMenu(Message));
        break;
    case WM_DROPFILES:
        return WMDropFiles(TWMDropFiles(Message));
    case WM_LBUTTONDOWN:
        return WMLButtonDown(TWMMouse(Message));
    default:
        break;
    }
    TListView::WndProc(Message);
}

void TRzShellList::WMContextMenu(TWMContextMenu Message) {
    POINT at = Message.Pos();
    if (Message.FromKeyboard()) {
        TListItem* focus = Selected();
        if (!focus) return;
        RECT r{};
        SendMessage(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(focus->Index()),
                    reinterpret_cast<LPARAM>(&r));
        at = POINT{r.left + 24, (r.top + r.bottom) / 2};
        ::ClientToScreen(Handle(), at);
    } else {
        POINT client = at;
        ::ScreenToClient(Handle(), client);
        if (!GetItemAt(client.x, client.y)) return;
    }
    const std::vector<std::string> files = SelectedPaths();
    if (files.empty()) return;
    Message.Result = 1;
    pw::stdctrls::ShowShellContextMenu(Handle(), files, at);
    // The menu may have moved a file to the trash: the list shows it gone at once.
    Refresh();
}

void TRzShellList::WMDropFiles(TWMDropFiles Message) {
    HDROP drop = Message.Drop();
    std::vector<std::string> files;
    const UINT count = DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFile(drop, i, nullptr, 0), '\0');
        DragQueryFile(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        files.push_back(path);
    }
    DragFinish(drop);
    if (options_.Contains(sloDragDropFiles) && takesDrops_) CopyFilesIn(files);
}

void TRzShellList::WMLButtonDown(TWMMouse Message) {
    TListView::WndProc(Message);
    const POINT client = Message.Pos();
    if (!options_.Contains(sloDragDropFiles) || !HandleAllocated() || !GetItemAt(client.x, client.y)) return;
    POINT screen = client;
    ::ClientToScreen(Handle(), screen);
    if (!DragDetect(Handle(), screen)) return;
    const std::vector<std::string> files = SelectedPaths();
    if (!files.empty()) DoDragDropFiles(Handle(), files, DROPEFFECT_COPY);
}
