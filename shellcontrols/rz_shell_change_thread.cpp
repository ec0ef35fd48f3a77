#include "shellcontrols/rz_shell_change_thread.h"

#include "platform/gui/message_loop.h"

TRzShellChangeThread::TRzShellChangeThread(const std::string& Folder, HWND Target)
    : TThread(true), watch_(Folder), target_(Target) {}

void TRzShellChangeThread::Stop() {
    Terminate();
    watch_.Stop();
}

void TRzShellChangeThread::Execute() {
    while (!Terminated()) {
        switch (watch_.Wait(-1)) {
        case pw::rtl::WatchResult::Changed:
            // A list still reading the last change reads this one with it.
            if (!posted_.exchange(true) && !PostMessage(target_, RZSL_FOLDERCHANGED, 0, 0)) posted_ = false;
            break;
        case pw::rtl::WatchResult::Stopped:
            return;
        case pw::rtl::WatchResult::Timeout:
            break;
        }
    }
}
