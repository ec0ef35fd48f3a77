// The output step as the wizard takes it: the run writes the site map, and the wizard goes on to the
// upload it offers or an unattended run asks for.
#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "app/req_files_form.h"
#include "app/site_map_run.h"
#include "controls/rz_edits.h"
#include "platform/rtl/files.h"
#include "platform/vcl/application.h"

void TfrmSiteMapMain::GenerateSiteMap() {
    const bool written = run_->WriteOutputs(Settings_.get());
    if (!written && autoRun_) FailAutoRun();
    if (CloseAfterRun() || !written) return;
    if (AutoMode_) {
        if (AutoUploadOutputFiles())
            Close();
        else
            FailAutoRun();
    } else if (!Application->Headless() &&
               ShowRequiredFiles(ExtractFilePath(Profile_->OutputFileName()), &run_->UploadList())) {
        // Without a screen nobody could answer the window; the upload command stays on the page.
        UploadOutputFiles();
    }
}

std::string TfrmSiteMapMain::GeneratedHtml() const {
    return memoGenerated->Text();
}
