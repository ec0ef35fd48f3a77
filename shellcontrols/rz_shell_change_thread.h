#pragma once
// The thread of a shell list that watches its folder: it posts the list one message for each burst of
// changes and posts no other until the list has taken it.
#include <atomic>
#include <string>

#include "platform/gui/window_defs.h"
#include "platform/rtl/folder_watch.h"
#include "platform/rtl/thread.h"

// Posted to the list's window when its folder changed.
inline constexpr UINT RZSL_FOLDERCHANGED = 0x0400 + 0x100;

class TRzShellChangeThread : public TThread {
public:
    TRzShellChangeThread(const std::string& Folder, HWND Target);
    std::string ClassName() const override { return "TRzShellChangeThread"; }
    // The list took the message: the next change posts another.
    void Acknowledge() { posted_ = false; }
    // Ends the wait at once; WaitFor then returns promptly. Any thread.
    void Stop();

protected:
    void Execute() override;

private:
    pw::rtl::FolderWatch watch_;
    HWND target_;
    std::atomic<bool> posted_{false};
};
