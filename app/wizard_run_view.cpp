// What the main window shows of its run.
#include "app/wizard_run_view.h"

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "app/output/site_map_output.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_progress_bar.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/dialogs.h"

namespace mainwin {

void WizardRunView::GatheringStarting() {
    form_.ClearRunTexts();
    form_.lblStatusTitle->SetCaption(main_text::Searching);
    form_.EnterBusy();
}

void WizardRunView::ClearLog() {
    form_.memoFiles->Lines().Clear();
}

void WizardRunView::GatheringBegins(bool Local) {
    form_.aniSearch->SetAnimate(true);
    form_.lblCurrentURL->SetCaption(Local ? main_text::FileLabel : main_text::UrlLabel);
    form_.lblUrlsFound->SetCaption(Local ? main_text::FilesFoundLabel : main_text::UrlsFoundLabel);
}

void WizardRunView::ShowLookingIn(const std::string& S) {
    form_.lblLookingIn->SetCaption(S);
}

void WizardRunView::ShowFileFound(const std::string& S) {
    form_.lblFileFound->SetCaption(S);
}

void WizardRunView::ShowFileCount(const std::string& S) {
    form_.lblFileCount->SetCaption(S);
}

void WizardRunView::ShowTotalFiles(const std::string& S) {
    form_.lblTotalFiles->SetCaption(S);
}

void WizardRunView::AppendLog(const std::string& Lines) {
    form_.memoFiles->Lines().Add(Lines);
}

int WizardRunView::LogLineCount() const {
    return form_.memoFiles->Lines().Count();
}

void WizardRunView::CrawlCancelled() {
    form_.aniSearch->SetAnimate(false);
}

void WizardRunView::GatheringEnded(int FileCount) {
    form_.aniSearch->SetAnimate(false);
    form_.memoFiles->Lines().Add(main_text::TotalFiles + IntToStr(FileCount));
    form_.ShowResultTree();
    form_.lblLookingIn->SetCaption("");
    form_.lblFileFound->SetCaption("");
    form_.lblStatusTitle->SetCaption(main_text::SearchComplete);
    form_.lblTotalFiles->SetCaption(main_text::TotalFilesFound + IntToStr(FileCount));
    form_.LeaveBusy();
}

void WizardRunView::OutputStarting(int Parts) {
    form_.lblOutputStatus->SetCaption(main_text::CreatingSiteMap);
    form_.pbOutput->SetTotalParts(Parts);
    form_.pbOutput->SetPartsComplete(0);
    for (TRzBitBtn* button : {form_.btnViewOutputFile, form_.btnCopyToClipboard, form_.btnFTPFiles})
        button->SetEnabled(false);
    form_.lblGenerationFile->Font().SetStyle(TFontStyles{});
    form_.lblGenerationStatus->Font().SetStyle(TFontStyles{});
    form_.lblGeneratingType->SetCaption(main_text::GeneratingToFile);
    // A file named by an earlier run is not this run's result.
    form_.lblGenerationFile->SetCaption("");
    form_.EnterBusy();
    named_ = {};
}

void WizardRunView::OutputProgress(int Index, const TSiteMapNode& Node) {
    form_.pbOutput->SetPartsComplete(Index);
    // Named at a pace a person can read: drawing both labels for every one of thousands of entries
    // would cost more than writing them.
    const auto now = std::chrono::steady_clock::now();
    if (now - named_ < std::chrono::milliseconds(100)) return;
    named_ = now;
    form_.lblGenerationStatus->SetCaption(main_text::Generating + std::string(LinkText(Node)));
    form_.lblGenerationFile->SetCaption(main_text::GeneratingFile +
                                        (Node.Data ? std::string(Node.Data->URL) : std::string()));
}

void WizardRunView::OutputWritten(int Parts) {
    form_.pbOutput->SetPartsComplete(Parts);
    form_.LeaveBusy();
    form_.btnBack->SetEnabled(true);
    form_.lblGenerationFile->Font().SetStyle(TFontStyles{fsBold});
    form_.lblGenerationStatus->Font().SetStyle(TFontStyles{fsBold});
}

void WizardRunView::OutputSucceeded(TSiteMapResult& Result) {
    form_.lblGenerationFile->SetCaption(std::string(main_text::SavedToFile) + "\n" +
                                        form_.Profile().OutputFileName());
    for (TRzBitBtn* button : {form_.btnViewOutputFile, form_.btnCopyToClipboard, form_.btnFTPFiles})
        button->SetEnabled(true);
    // The memo takes the page over: it is never held twice.
    form_.memoGenerated->TakeText(Result.GeneratedHtml);
}

void WizardRunView::ProfileSaved() {
    form_.SetCaptionFromProfile();
}

void WizardRunView::OutputCompleted() {
    form_.lblGenerationStatus->SetCaption(main_text::SiteMapComplete);
    form_.btnNext->SetCaption(main_text::Done);
    form_.btnNext->SetEnabled(false);
    form_.SetFtpEnabled(true);
    form_.btnCancel->SetCaption(main_text::Close);
    form_.lblOutputStatus->SetCaption(main_text::GoogleCreated);
}

void WizardRunView::OutputFailed(const std::string& Reason) {
    // No "Done", and no upload of files that are not what the run meant to write.
    form_.lblGenerationStatus->SetCaption(main_text::SiteMapFailed + Reason);
    form_.btnNext->SetCaption(main_text::Save);
    form_.btnNext->SetEnabled(true);
    form_.SetFtpEnabled(false);
    form_.btnFTPFiles->SetEnabled(false);
    form_.btnCancel->SetCaption(main_text::Close);
    // Unattended, nobody could answer the box: the run said it on the terminal.
    if (form_.autoRun_) return;
    MessageBox(nullptr, main_text::SiteMapFailed + Reason, main_text::AppTitle, MB_OK | MB_ICONERROR);
}

void WizardRunView::UploadEnded(bool Uploaded) {
    form_.lblGenerationStatus->SetCaption(Uploaded ? main_text::Uploaded : main_text::UploadFailed);
}

} // namespace mainwin
