#include "ftp/line_wsocket.h"

#include "platform/gui/message_loop.h"

#include <algorithm>
#include <chrono>
#include <cstring>

void TCustomLineWSocket::WndProc(TMessage& Msg) {
    if (Msg.Msg != WM_TRIGGER_DATA_AVAILABLE) return TCustomSocksWSocket::WndProc(Msg);
    try {
        WMTriggerDataAvailable(Msg);
    } catch (const std::exception& E) {
        HandleBgException(E);
    }
}

void TCustomLineWSocket::SetLineMode(bool Value) {
    if (Value == lineMode_) return;
    lineMode_ = Value;
    if (!buffer_.empty() || lineLength_ > 0) PostMessage(Handle(), WM_TRIGGER_DATA_AVAILABLE, 0, 0);
}

// Hands out what the buffer collected before the mode changed.
void TCustomLineWSocket::WMTriggerDataAvailable(TMessage&) {
    while (!buffer_.empty()) {
        const size_t before = buffer_.size();
        const int64_t consumed = Consumed();
        FireDataAvailable(0);
        if (buffer_.size() >= before && Consumed() == consumed) return;
    }
}

int TCustomLineWSocket::RcvdCount() {
    if (lineMode_) return static_cast<int>(lineLength_);
    if (!buffer_.empty()) return static_cast<int>(buffer_.size());
    return TCustomSocksWSocket::RcvdCount();
}

int TCustomLineWSocket::RawReceive(void* Buffer, int BufferSize, int Flags) {
    size_t available = 0;
    if (lineMode_ && lineLength_ > 0)
        available = lineLength_;
    else if (!lineMode_ && !buffer_.empty())
        available = buffer_.size();
    else
        return TCustomSocksWSocket::RawReceive(Buffer, BufferSize, Flags);
    const size_t n = std::min(available, static_cast<size_t>(std::max(BufferSize, 0)));
    std::memcpy(Buffer, buffer_.data(), n);
    buffer_.erase(0, n);
    if (lineMode_) lineLength_ -= n;
    return static_cast<int>(n);
}

size_t TCustomLineWSocket::EditReceivedLine(size_t Start) {
    std::string out = buffer_.substr(0, Start);
    std::string echo;
    size_t lowest = Start;
    bool edited = false;
    for (size_t i = Start; i < buffer_.size(); ++i) {
        const char c = buffer_[i];
        if (c == '\b') {
            edited = true;
            if (!out.empty()) {
                if (LineEcho) echo += "\b \b";
                out.pop_back();
                lowest = std::min(lowest, out.size());
            }
        } else if (c == '\t') {
            edited = true;
            do {
                out += ' ';
                if (LineEcho) echo += ' ';
            } while (out.size() % 8 != 0);
        } else {
            out += c;
            if (LineEcho) echo += c;
        }
    }
    if (!echo.empty()) SendStr(echo);
    if (edited) buffer_ = std::move(out);
    return lowest;
}

// Drops the rest of a line that grew past LineLimit, up to and with its terminator; false while
// the terminator has not come yet.
bool TCustomLineWSocket::SkipOverLongLine(size_t& SearchFrom) {
    const size_t end = buffer_.find(LineEnd);
    if (end == std::string::npos) {
        // Keeps what could be the start of a terminator split across two reads.
        const size_t keep = std::min(buffer_.size(), LineEnd.size() - 1);
        buffer_.erase(0, buffer_.size() - keep);
        return false;
    }
    buffer_.erase(0, end + LineEnd.size());
    skipping_ = false;
    SearchFrom = 0;
    return true;
}

void TCustomLineWSocket::DeliverLine() {
    while (lineMode_ && lineLength_ > 0) {
        const int64_t consumed = Consumed();
        // Without a handler, or with one that reads nothing, the line is dropped.
        if (!TCustomSocksWSocket::FireDataAvailable(0) || Consumed() == consumed) {
            buffer_.erase(0, std::min(lineLength_, buffer_.size()));
            lineLength_ = 0;
        }
    }
}

bool TCustomLineWSocket::FireDataAvailable(WORD Error) {
    if (!lineMode_ || LineEnd.empty()) return TCustomSocksWSocket::FireDataAvailable(Error);
    const size_t before = buffer_.size();
    size_t searchFrom = 0;
    const int count = TCustomSocksWSocket::RcvdCount();
    if (count >= 1) {
        buffer_.resize(before + static_cast<size_t>(count));
        const int n = Receive(buffer_.data() + before, count);
        buffer_.resize(before + static_cast<size_t>(std::max(n, 0)));
        if (n < 1) return true;
        size_t from = before;
        if (LineEdit)
            from = EditReceivedLine(before);
        else if (LineEcho)
            SendStr(buffer_.substr(before));
        // From just before the new bytes: a terminator may have been split between two reads.
        searchFrom = from > LineEnd.size() ? from - LineEnd.size() : 0;
    }
    while (lineMode_) {
        if (skipping_ && !SkipOverLongLine(searchFrom)) return true;
        const size_t p = buffer_.find(LineEnd, searchFrom);
        if (p == std::string::npos) {
            if (buffer_.size() > LineLimit) {
                if (OnLineTooLong) OnLineTooLong(this);
                skipping_ = true;
                continue;
            }
            return true;
        }
        lineLength_ = p + LineEnd.size();
        lineReceived_ = true;
        DeliverLine();
        searchFrom = 0;
    }
    return true;
}

void TCustomLineWSocket::FireSessionClosed(WORD Error) {
    lineReceived_ = true;
    if (lineMode_ && !buffer_.empty() && !skipping_) {
        // An unterminated remainder is the last line.
        lineLength_ = buffer_.size();
        DeliverLine();
    }
    buffer_.clear();
    buffer_.shrink_to_fit();
    lineLength_ = 0;
    skipping_ = false;
    TCustomSocksWSocket::FireSessionClosed(Error);
}

int TCustomSyncWSocket::WaitForFlag(const bool& Flag) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(Timeout);
    while (!Flag) {
        if (Timeout > 0 && clock::now() >= deadline) return 12001;
        if (Terminated()) return 12001;
        PumpMessages();
        if (Flag) break;
        if (Terminated()) return 12001;
        // Sleeps until a message arrives (the flag is set by a socket message's handler), no longer than
        // the deadline allows.
        DWORD wait = INFINITE;
        if (Timeout > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now());
            wait = static_cast<DWORD>(std::max<int64_t>(0, left.count()));
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE_, wait, QS_ALLINPUT);
    }
    return 0;
}

int TCustomSyncWSocket::RunAndWait(const std::function<void()>& Operation, bool& Flag) {
    Flag = false;
    if (Operation) Operation();
    return WaitForFlag(Flag);
}
