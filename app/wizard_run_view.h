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
