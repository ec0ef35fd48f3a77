// The output step of the wizard: the site map written from the result tree, and what the window shows
// of it afterwards.
#include <chrono>
#include <iostream>

#include "app/console_message.h"
#include "app/core/data_rec.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/profile_texts.h"
#include "app/core/work_pace.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "app/output/site_map_output.h"
#include "app/output/site_map_walk.h"
#include "app/req_files_form.h"
#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_status_bar.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/stdctrls/bars.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

void TfrmSiteMapMain::GenerateSiteMap() {
    ProcessMessages();
    lblOutputStatus->SetCaption(main_text::CreatingSiteMap);
    std::vector<TSiteMapNode> nodes = SiteMapNodesOf(tvMap->Items());
    pbOutput->SetTotalParts(nodes.empty() ? 0 : static_cast<int>(nodes.size()) - 1);
    pbOutput->SetPartsComplete(0);
    for (TRzBitBtn* button : {btnViewOutputFile, btnCopyToClipboard, btnFTPFiles})
        button->SetEnabled(false);
    lblGenerationFile->Font().SetStyle(TFontStyles{});
    lblGenerationStatus->Font().SetStyle(TFontStyles{});
    lblGeneratingType->SetCaption(main_text::GeneratingToFile);
    // A file named by an earlier run is not this run's result.
    lblGenerationFile->SetCaption("");
    EnterBusy();
    ProcessMessages();

    TSiteMapOutputContext context;
    context.ProgramFolder = ProgramFolder();
    // Named at a pace a person can read: drawing both labels for every one of thousands of entries
    // would cost more than writing them. The loop runs at the window's pace, not once per node.
    auto shown = std::chrono::steady_clock::time_point{};
    pace_->Restart();
    context.OnProgress = [this, &shown](int index, const TSiteMapNode& node) {
        if (!pace_->Due()) return;
        pbOutput->SetPartsComplete(index);
        const auto now = std::chrono::steady_clock::now();
        if (now - shown >= std::chrono::milliseconds(100)) {
            shown = now;
            lblGenerationStatus->SetCaption(main_text::Generating + std::string(LinkText(node)));
            lblGenerationFile->SetCaption(main_text::GeneratingFile +
                                          (node.Data ? node.Data->URL : std::string()));
        }
        pace_->Turn();
    };
    TSiteMapResult result = GenerateSiteMapOutput(*Profile_, nodes, context);
    pbOutput->SetPartsComplete(nodes.empty() ? 0 : static_cast<int>(nodes.size()) - 1);
    // Written: the walk's list goes before the memo takes its copy of the page.
    std::vector<TSiteMapNode>().swap(nodes);
    LeaveBusy();
    btnBack->SetEnabled(true);

    lblGenerationFile->Font().SetStyle(TFontStyles{fsBold});
    lblGenerationStatus->Font().SetStyle(TFontStyles{fsBold});
    XmlFileName_ = result.XmlFileName;
    UploadList_ = result.UploadList;
    if (!result.Success) {
        ReportOutputFailure(result.Message);
    } else {
        lblGenerationFile->SetCaption(std::string(main_text::SavedToFile) + "\n" +
                                      Profile_->OutputFileName());
        for (TRzBitBtn* button : {btnViewOutputFile, btnCopyToClipboard, btnFTPFiles})
            button->SetEnabled(true);
        // The memo takes the page over: it is never held twice.
        memoGenerated->TakeText(result.GeneratedHtml);
        outputFailed_ = false;
        try {
            SaveProfileAfterOutput(*Profile_, Settings_.get(), [](const std::string& FileName) {
                // Unattended, the default (No) leaves the other profile as it is.
                return MessageBox(nullptr, Format(main_text::ReplaceProfileQuestion, FileName),
                                  profile_text::SaveCaption,
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
            });
            SetCaptionFromProfile();
        } catch (const Exception& e) {
            Application->ShowException(e);
        }
        lblGenerationStatus->SetCaption(main_text::SiteMapComplete);
        btnNext->SetCaption(main_text::Done);
        btnNext->SetEnabled(false);
        SetFtpEnabled(true);
        btnCancel->SetCaption(main_text::Close);
        lblOutputStatus->SetCaption(main_text::GoogleCreated);
    }
    if (CloseAfterRun() || !result.Success) return;
    if (AutoMode_) {
        if (AutoUploadOutputFiles())
            Close();
        else
            FailAutoRun();
    } else if (!Application->Headless() &&
               ShowRequiredFiles(ExtractFilePath(Profile_->OutputFileName()), &UploadList_)) {
        // Without a screen nobody could answer the window; the upload command stays on the page.
        UploadOutputFiles();
    }
}

std::string TfrmSiteMapMain::GeneratedHtml() const {
    return memoGenerated->Text();
}

void TfrmSiteMapMain::ReportOutputFailure(const std::string& Reason) {
    // The files on disk are not what this run meant to write: no "Done", no upload of them.
    outputFailed_ = true;
    lblGenerationStatus->SetCaption(main_text::SiteMapFailed + Reason);
    btnNext->SetCaption(main_text::Save);
    btnNext->SetEnabled(true);
    SetFtpEnabled(false);
    btnFTPFiles->SetEnabled(false);
    btnCancel->SetCaption(main_text::Close);
    if (autoRun_) {
        mainwin::PrintMessage(std::cerr, main_text::SiteMapFailed + Reason);
        FailAutoRun();
        return;
    }
    MessageBox(nullptr, main_text::SiteMapFailed + Reason, main_text::AppTitle, MB_OK | MB_ICONERROR);
}
