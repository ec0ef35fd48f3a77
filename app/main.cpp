// The program entry: the command line, the application object, the main window and the message loop.
#include <iostream>
#include <string>
#include <vector>

#include "app/auto_prompter.h"
#include "app/command_line.h"
#include "app/console_message.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "bars/core/bar_unit.h"
#include "bars/customizing/customizing_form.h"
#include "bars/windows/dock_control.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/message_form.h"
#include "platform/vcl/application.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const mainwin::TCommandLine line = mainwin::ParseCommandLine(args);
    // Answered before any window system is started, so that they work on a server too.
    if (line.Help) {
        std::cout << mainwin::UsageText();
        return 0;
    }
    if (line.Version) {
        std::cout << main_text::VersionText << '\n';
        return 0;
    }
    if (!line.UnknownSwitch.empty()) {
        mainwin::PrintMessage(std::cerr, "unknown option " + line.UnknownSwitch);
        std::cerr << '\n' << mainwin::UsageText();
        return 2;
    }

    Application->Initialize();
    if (!line.Auto && Application->Headless()) {
        // Nobody could ever see or close the window.
        std::cerr << main_text::NoDisplay;
        return 1;
    }
    Application->SetTitle(main_text::AppTitle);
    StartBarUnit();
    bars::RegisterBarWindows();
    bars::InstallCustomizingForm();
    pw::stdctrls::InstallMessageForm();
    bool failed = false;
    mainwin::AutoPrompter prompter(std::cerr);
    if (line.Auto) {
        pw::vcl::SetPrompter(&prompter);
        // An error nothing handled ends the run: it could be waiting for what that error stopped.
        Application->OnException = [&failed](TObject*, const Exception& e) {
            mainwin::PrintMessage(std::cerr, e.Message());
            failed = true;
            Application->Terminate();
        };
    }
    // Without a display nobody could see the window: an unattended run does without showing it.
    const bool unseen = line.Auto && Application->Headless();
    if (unseen) {
        Application->SetShowMainForm(false);
        Application->MeasureNoText();
    }
    Application->CreateForm(frmSiteMapMain);
    frmSiteMapMain->SetCommandLine(args);
    frmSiteMapMain->OnAutoRunFailed = [&failed] { failed = true; };
    if (unseen) frmSiteMapMain->RunUnseen();
    Application->Run();
    ShutdownBarUnit();
    pw::vcl::SetPrompter(nullptr);
    return line.Auto && failed ? 1 : 0;
}
