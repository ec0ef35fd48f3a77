#include "app/open_address.h"

#include "app/core/shell_errors.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/shell.h"

namespace {

constexpr size_t kLongestAddress = 255;

void ReportOpenFailure(const std::string& Target, int Code) {
    MessageBox(nullptr, ShellErrorMessage(Code, Target), ShellErrorCaption, MB_OK | MB_ICONEXCLAMATION);
}

int Open(const std::string& Target) {
    // Returns at once: a handler that fails later is reported then, with what it was to open.
    const int code = ShellOpenDocument(Target, "", ReportOpenFailure);
    if (code < 33) ReportOpenFailure(Target, code);
    return code;
}

} // namespace

void OpenDocument(const std::string& FileOrAddress) {
    Open(FileOrAddress);
}

int OpenAddress(const std::string& Address) {
    if (Address.size() > kLongestAddress) {
        MessageBox(nullptr, PathTooLongText, ShellErrorCaption, MB_OK | MB_ICONERROR);
        return 2;
    }
    return Open(Address);
}
