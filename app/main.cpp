// The program entry: the application object, the main window and the message loop.
#include <iostream>
#include <string>
#include <vector>

#include "app/auto_prompter.h"
#include "app/command_line.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "platform/rtl/exception.h"
#include "platform/vcl/application.h"

int main() {
    Application->Initialize();
    Application->SetTitle(main_text::AppTitle);
    std::vector<std::string> args;
    for (int i = 1; i <= ParamCount(); ++i)
        args.push_back(ParamStr(i));

    const bool autoRun = mainwin::HasAutoSwitch(args);
    bool failed = false;
    mainwin::AutoPrompter prompter(std::cerr);
    if (autoRun) {
        pw::vcl::SetPrompter(&prompter);
        Application->OnException = [&failed](TObject*, const Exception& e) {
            std::cerr << "pathweaver: " << e.Message() << std::endl;
            failed = true;
        };
    }
    Application->CreateForm(frmSiteMapMain);
    frmSiteMapMain->SetCommandLine(args);
    frmSiteMapMain->OnAutoRunFailed = [&failed] { failed = true; };
    Application->Run();
    pw::vcl::SetPrompter(nullptr);
    return autoRun && failed ? 1 : 0;
}
