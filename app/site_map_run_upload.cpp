// The upload step of a run: the files the last output wrote, sent to the profile's server.
#include <iostream>

#include "app/console_message.h"
#include "app/core/map_profile.h"
#include "app/main_texts.h"
#include "app/site_map_run.h"
#include "ftp/forms/quill_ftp.h"
#include "platform/vcl/application.h"

bool TSiteMapRun::Upload() {
    return SendUploadList(false);
}

bool TSiteMapRun::UploadUnattended() {
    // Nobody could answer the server choice window; a profile that names no server asks for no upload.
    if (profile_.ServerName().empty()) {
        mainwin::PrintMessage(std::cerr, main_text::NoServerForAuto);
        return true;
    }
    return SendUploadList(true);
}

bool TSiteMapRun::SendUploadList(bool Unattended) {
    ftp_->Unattended = Unattended;
    ftp_->SelectedServerName = profile_.ServerName();
    bool uploaded = false;
    try {
        uploaded = ftp_->UploadFiles(uploadList_, profile_.ServerDir());
    } catch (...) {
        // Said as every error the program does not expect is, and the upload has failed: an exception
        // let past here would skip the end of the run, which an unattended one then waits for forever.
        Application->HandleException(nullptr);
    }
    view_->UploadEnded(uploaded);
    return uploaded;
}
