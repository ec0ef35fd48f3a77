#pragma once
// A list of the files of one folder that match a filter of names or masks (name, size, date), with
// what a file manager offers for them: a right click's menu (open, open the folder, copy, move to the
// trash, properties), the list following the folder as files appear, change or go, files dragged out
// to other programs and files dropped in copied into the folder.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/graphics_types.h"
#include "platform/stdctrls/list_view.h"

struct TWMContextMenu;
struct TWMDropFiles;
struct TWMMouse;
class TRzShellChangeThread;

enum TRzShellListOption { sloAutoFill, sloContextMenus, sloDynamicRefresh, sloDragDropFiles };
using TRzShellListOptions = TSet<TRzShellListOption>;

class TRzShellList : public TListView {
public:
    explicit TRzShellList(TComponent* AOwner);
    ~TRzShellList() override;
    std::string ClassName() const override { return "TRzShellList"; }

    // Names or masks separated by ";" (empty parts are passed over); only matching files are listed.
    const std::string& FileFilter() const { return fileFilter_; }
    void SetFileFilter(const std::string& Value);
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& Value);
    // Hidden files (names beginning with ".") are listed too.
    bool ShowHidden() const { return showHidden_; }
    void SetShowHidden(bool Value);
    // Auto fill: the list reads the folder whenever the folder or the filter changes (else only on
    // Refresh). Dynamic refresh: a thread watches the folder while the list has a window and the list
    // reads it again on each change.
    TRzShellListOptions Options() const { return options_; }
    void SetOptions(TRzShellListOptions Value);
    // With drag and drop, files dropped on the list are copied into its folder. A list that stands for a
    // set of files it did not choose takes none: the drop is refused where it would be made, and the
    // list's own files can still be dragged out.
    bool TakesDrops() const { return takesDrops_; }
    void SetTakesDrops(bool Value);
    // Reads the folder again, keeping the selection of the files still there.
    void Refresh();
    // The names listed, in the list's order.
    std::vector<std::string> FileNames() const;
    // The paths of the selected files.
    std::vector<std::string> SelectedPaths();
    // Copies the files into the folder. A file of the same name is replaced only when the person says
    // so; Cancel stops there. Answers the number of files copied.
    int CopyFilesIn(const std::vector<std::string>& Files);
    // A thread watches the folder now.
    bool Watching() const { return changeThread_ != nullptr; }
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void FolderChanged();
    void WMContextMenu(TWMContextMenu Message);
    void WMDropFiles(TWMDropFiles Message);
    void WMLButtonDown(TWMMouse Message);
    void StartWatch();
    void StopWatch();
    void AutoFill();
    void AcceptDrops();

    std::string fileFilter_;
    std::string folder_;
    bool showHidden_ = true;
    bool takesDrops_ = true;
    TRzShellListOptions options_{sloAutoFill};
    TRzShellChangeThread* changeThread_ = nullptr;
};
