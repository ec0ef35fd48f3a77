#pragma once
// The main window as the view of its run: the status and output pages' labels, memos, buttons and
// progress bar follow what the run reports.
#include <chrono>

#include "app/site_map_run_view.h"

class TfrmSiteMapMain;

namespace mainwin {

class WizardRunView : public TSiteMapRunView {
public:
    explicit WizardRunView(TfrmSiteMapMain& Form) : form_(Form) {}

    void GatheringStarting() override;
    void ClearLog() override;
    void GatheringBegins(bool Local) override;
    void ShowLookingIn(const std::string& S) override;
    void ShowFileFound(const std::string& S) override;
    void ShowFileCount(const std::string& S) override;
    void ShowTotalFiles(const std::string& S) override;
    void AppendLog(const std::string& Lines) override;
    int LogLineCount() const override;
    void CrawlCancelled() override;
    void GatheringEnded(int FileCount) override;

    void OutputStarting(int Parts) override;
    void OutputProgress(int Index, const TSiteMapNode& Node) override;
    void OutputWritten(int Parts) override;
    void OutputSucceeded(TSiteMapResult& Result) override;
    void ProfileSaved() override;
    void OutputCompleted() override;
    void OutputFailed(const std::string& Reason) override;
    void UploadEnded(bool Uploaded) override;

private:
    TfrmSiteMapMain& form_;
    // When the output labels last named an entry.
    std::chrono::steady_clock::time_point named_{};
};

} // namespace mainwin
