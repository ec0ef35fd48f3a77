// The run's parts and how it lets the message loop run.
#include "app/site_map_run.h"

#include "app/core/work_pace.h"
#include "app/results/result_tree.h"
#include "fetch/file_fetcher.h"
#include "ftp/forms/quill_ftp.h"
#include "platform/vcl/application.h"

TSiteMapRun::TSiteMapRun(TRzTreeView& TreeView, TMapProfile& Profile, TStringList& IgnoreFolderList,
                         TStringList& IgnoreFileList, TComponent* Owner)
    : treeView_(TreeView), profile_(Profile), ignoreFolders_(IgnoreFolderList), ignoreFiles_(IgnoreFileList) {
    if (Owner) {
        fetcher_ = new TFileFetcher(Owner);
    } else {
        ownFetcher_ = std::make_unique<TFileFetcher>(nullptr);
        fetcher_ = ownFetcher_.get();
    }
    fetcher_->OnProgress = nullptr;
    if (Owner) {
        ftp_ = new TQuillFTP(Owner);
    } else {
        ownFtp_ = std::make_unique<TQuillFTP>(nullptr);
        ftp_ = ownFtp_.get();
    }
    // The crawl follows links of A, AREA, FRAME and IFRAME elements only.
    fetcher_->SetLinkTypes(LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) |
                           LinkBit(ltIFRAME_src));
    tree_ = std::make_unique<results::TResultTree>(TreeView, Profile, IgnoreFolderList, IgnoreFileList);
    pace_ = std::make_unique<TWorkPace>([this] { ProcessMessages(); },
                                        [] { Application->ProcessMessagesUnpainted(); });
    pace_->OnTurn = [this] { FlushLog(); };
    tree_->OnProcessMessages = [this] { pace_->Turn(); };
}

TSiteMapRun::~TSiteMapRun() = default;

void TSiteMapRun::ProcessMessages() {
    Application->ProcessMessages();
}
