// The output step of a run: the site map written from the result tree, and the profile saved after it.
#include <iostream>

#include "app/console_message.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/profile_texts.h"
#include "app/core/work_pace.h"
#include "app/main_texts.h"
#include "app/output/site_map_output.h"
#include "app/output/site_map_walk.h"
#include "app/site_map_run.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

bool TSiteMapRun::WriteOutputs(TSiteMapSettings* Settings) {
    ProcessMessages();
    std::vector<TSiteMapNode> nodes = SiteMapNodesOf(treeView_.Items());
    const int parts = nodes.empty() ? 0 : static_cast<int>(nodes.size()) - 1;
    view_->OutputStarting(parts);
    ProcessMessages();

    TSiteMapOutputContext context;
    context.ProgramFolder = ProgramFolder();
    // The loop runs at the window's pace, not once per node.
    pace_->Restart();
    context.OnProgress = [this](int index, const TSiteMapNode& node) {
        if (!pace_->Due()) return;
        view_->OutputProgress(index, node);
        pace_->Turn();
    };
    TSiteMapResult result = GenerateSiteMapOutput(profile_, nodes, context);
    // Written: the walk's list goes before the view takes the page over.
    std::vector<TSiteMapNode>().swap(nodes);
    view_->OutputWritten(parts);

    xmlFileName_ = result.XmlFileName;
    uploadList_ = result.UploadList;
    if (!result.Success) {
        // The files on disk are not what this run meant to write: no upload of them.
        outputFailed_ = true;
        if (unattended_) mainwin::PrintMessage(std::cerr, main_text::SiteMapFailed + result.Message);
        view_->OutputFailed(result.Message);
        return false;
    }
    // The page lists them; the sitemap cannot, and nobody would know.
    if (result.XmlTooLong > 0) {
        const std::string note =
            Format(main_text::XmlTooLong, IntToStr(static_cast<int64_t>(result.XmlTooLong)));
        if (unattended_)
            mainwin::PrintMessage(std::cerr, note);
        else
            MessageBox(nullptr, note, main_text::AppTitle, MB_OK | MB_ICONINFORMATION);
    }
    view_->OutputSucceeded(result);
    outputFailed_ = false;
    try {
        SaveProfileAfterOutput(profile_, Settings, [](const std::string& FileName) {
            // Unattended, the default (No) leaves the other profile as it is.
            return MessageBox(nullptr, Format(main_text::ReplaceProfileQuestion, FileName),
                              profile_text::SaveCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        });
        view_->ProfileSaved();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    view_->OutputCompleted();
    return true;
}
