// Opening, showing and saving profiles from the main window, with the file dialogs and questions.
#include <optional>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/profile_texts.h"
#include "app/core/site_map_settings.h"
#include "app/main_form.h"
#include "controls/frame_controller.h"
#include "controls/rz_animator.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "controls/rz_progress_bar.h"
#include "controls/rz_status_bar.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"

namespace {

std::optional<std::string> AskProfileName(const TProfileDialogStart& start) {
    TSaveDialog dialog(nullptr);
    dialog.SetFilter(profile_text::DialogFilter);
    dialog.SetDefaultExt(profile_text::DefaultExt);
    dialog.SetInitialDir(start.InitialDir);
    dialog.SetFileName(start.FileName);
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofOverwritePrompt, ofPathMustExist, ofEnableSizing});
    if (!dialog.Execute()) return std::nullopt;
    return dialog.FileName();
}

} // namespace

bool TfrmSiteMapMain::LoadProfile(const std::string& FileName) {
    try {
        LoadProfileFile(*Profile_, FileName, Settings_.get());
    } catch (const Exception& e) {
        Application->ShowException(e);
        return false;
    }
    ShowProfile();
    SetCaptionFromProfile();
    if (AutoMode_) Next();
    return true;
}

void TfrmSiteMapMain::ShowProfile() {
    ShowingProfile_ = true;
    ApplyShownProfile(*Profile_);
    const TMapSpiderType spider = Profile_->SpiderType();
    if (spider == mstLocal)
        optLocal->SetChecked(true);
    else
        optWebsite->SetChecked(true);
    const bool local = spider == mstLocal;
    lblIndexPage->SetEnabled(local);
    editIndex->SetEnabled(local);
    btnBrowseIndex->SetEnabled(local);
    const std::string website = Profile_->Website();
    const bool google = Profile_->MakeGoogleSM();
    // The index page's handler proposes an output name when the profile has none.
    editIndex->SetText(Profile_->IndexPage());
    editWebsite->SetText(website);
    editOutputFile->SetText(Profile_->OutputFileName());
    rbOutputFile->SetChecked(true);
    chkGoogle->SetChecked(google);
    IgnoreFolderList_->SetText(Profile_->IgnoreFolders());
    IgnoreFileList_->SetText(Profile_->IgnoreFiles());
    ApplyShownProfile(*Profile_);
    ShowingProfile_ = false;
}

bool TfrmSiteMapMain::SaveCurrentProfile() {
    bool saved = false;
    try {
        saved = ::SaveCurrentProfile(*Profile_, Settings_.get(), AskProfileName);
    } catch (const Exception& e) {
        Application->ShowException(e);
        return false;
    }
    SetCaptionFromProfile();
    return saved;
}

bool TfrmSiteMapMain::SaveProfileAs() {
    bool saved = false;
    try {
        saved = ::SaveProfileAs(*Profile_, Settings_.get(), AskProfileName(SaveAsDialogStart(*Profile_)));
    } catch (const Exception& e) {
        Application->ShowException(e);
        return false;
    }
    SetCaptionFromProfile();
    return saved;
}

bool TfrmSiteMapMain::AskSaveProfile() {
    return ResolveModifiedProfile(
        *Profile_,
        [] {
            const int answer = MessageBox(nullptr, profile_text::SaveQuestion, profile_text::SaveCaption,
                                          MB_YESNOCANCEL | MB_ICONQUESTION);
            return answer == IDYES  ? TSaveAnswer::Yes
                   : answer == IDNO ? TSaveAnswer::No
                                    : TSaveAnswer::Cancel;
        },
        [this] { return SaveCurrentProfile(); });
}

void TfrmSiteMapMain::OpenProfile() {
    if (!AskSaveProfile()) return;
    const TProfileDialogStart start = OpenDialogStart(*Profile_);
    TOpenDialog dialog(nullptr);
    dialog.SetFilter(profile_text::DialogFilter);
    dialog.SetDefaultExt(profile_text::DefaultExt);
    dialog.SetInitialDir(start.InitialDir);
    dialog.SetFileName(start.FileName);
    dialog.SetOptions(TOpenOptions{ofHideReadOnly, ofFileMustExist, ofPathMustExist, ofEnableSizing});
    if (!dialog.Execute()) return;
    if (PageIndex_ != wpInformation) {
        // The profile is shown on the first page, where its gathering starts again.
        PageIndex_ = wpInformation;
        ShowPage();
        ProcessMessages();
    }
    LoadProfile(dialog.FileName());
}
