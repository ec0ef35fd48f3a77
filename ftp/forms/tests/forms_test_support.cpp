#include "forms_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/gui/message_loop.h"
#include "platform/gui/screenshot.h"
#include "platform/rtl/registry.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"

namespace ftpforms_test {

pw::vcl::PromptAnswer Person::Ask(const pw::vcl::PromptRequest& Request) {
    Asked.push_back(Request);
    pw::vcl::PromptAnswer a;
    if (Request.kind == pw::vcl::PromptKind::Input) {
        a.result = Input.empty() ? IDCANCEL : IDOK;
        a.value = Input;
        return a;
    }
    a.result = Answer == 0 ? pw::vcl::DefaultAnswer(Request).result : Answer;
    if (After) After(Request);
    return a;
}

bool Person::Saw(const std::string& Part) const {
    for (const auto& r : Asked)
        if (r.text.find(Part) != std::string::npos) return true;
    return false;
}

OwnStore::OwnStore() {
    SetRegistryStoreFile(dir_.File("registry.dat"));
}

OwnStore::~OwnStore() {
    SetRegistryStoreFile("");
}

void Screenshot(void* Window, const std::string& Name) {
    auto* form = static_cast<TForm*>(Window);
    form->Repaint();
    Pump();
    const std::string path = ::testing::TempDir() + Name + ".png";
    ASSERT_TRUE(pw::gui::SaveWindowImage(form->Handle(), path));
    std::printf("screenshot: %s\n", path.c_str());
}

} // namespace ftpforms_test
