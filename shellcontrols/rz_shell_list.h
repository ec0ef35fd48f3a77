#pragma once
// A list of the files of one folder that match a filter of names or masks: name, size and date.
#include <string>
#include <vector>

#include "platform/stdctrls/list_view.h"

class TRzShellList : public TListView {
public:
    explicit TRzShellList(TComponent* AOwner);
    std::string ClassName() const override { return "TRzShellList"; }

    // Names or masks separated by ";" (empty parts are passed over); only matching files are listed.
    const std::string& FileFilter() const { return fileFilter_; }
    void SetFileFilter(const std::string& Value);
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& Value);
    // Hidden files (names beginning with ".") are listed too.
    bool ShowHidden() const { return showHidden_; }
    void SetShowHidden(bool Value);
    // Reads the folder again.
    void Refresh();
    // The names listed, in the list's order.
    std::vector<std::string> FileNames() const;

private:
    std::string fileFilter_;
    std::string folder_;
    bool showHidden_ = true;
};
