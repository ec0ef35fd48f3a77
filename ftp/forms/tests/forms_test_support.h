#pragma once
// The shared pump, a store of its own and a person at the screen for the FTP windows' tests.
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/prompt.h"
#include "tests/support/gui/pump.h"
#include "tests/support/temp_dir.h"

namespace ftpforms_test {

using testsupport::Pump;
using testsupport::PumpUntil;

// Answers every message box with Answer (a button's result; -1 is closing the box) and keeps the
// texts asked.
class Person : public pw::vcl::Prompter {
public:
    Person() { pw::vcl::SetPrompter(this); }
    ~Person() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override;
    bool Saw(const std::string& Part) const;
    int Answer = 0;
    // Runs after each question is answered, as the person goes on to act on the window.
    std::function<void(const pw::vcl::PromptRequest&)> After;
    std::string Input;
    std::vector<pw::vcl::PromptRequest> Asked;
};

// Points the registry at a store of the test's own.
class OwnStore {
public:
    OwnStore();
    ~OwnStore();
    const testsupport::TempDir& Dir() const { return dir_; }

private:
    testsupport::TempDir dir_{"pw-ftpforms"};
};

// Saves what the window shows as a PNG beside the test's other outputs and says where.
void Screenshot(void* Window, const std::string& Name);

} // namespace ftpforms_test
