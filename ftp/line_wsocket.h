#pragma once
// The line layer (incoming bytes handed out one terminated line at a time, with optional echo and
// simple editing for terminal-like peers), the waiting layer (pump messages until a flag is set or
// a deadline passes) and TWSocket, the socket the FTP client and its users create.
#include "ftp/socks_wsocket.h"

#include <functional>
#include <string>

class TCustomLineWSocket : public TCustomSocksWSocket {
public:
    explicit TCustomLineWSocket(TComponent* AOwner) : TCustomSocksWSocket(AOwner) {}
    std::string ClassName() const override { return "TCustomLineWSocket"; }

    int RcvdCount() override;

    bool LineMode() const { return lineMode_; }
    void SetLineMode(bool Value);
    // The bytes of a line that the handler has not read yet, terminator included.
    int LineLength() const { return static_cast<int>(lineLength_); }
    bool LineReceived() const { return lineReceived_; }

    std::string LineEnd = "\r\n";
    bool LineEcho = false;
    bool LineEdit = false;
    // A peer that sends this many bytes without a terminator fires OnLineTooLong; the line is then
    // dropped up to its terminator.
    size_t LineLimit = 65536;

protected:
    void WndProc(TMessage& Msg) override;
    bool FireDataAvailable(WORD Error) override;
    void FireSessionClosed(WORD Error) override;
    int RawReceive(void* Buffer, int BufferSize, int Flags) override;
    // Applies backspace and tab editing (and echo) to the bytes from Start on; answers the lowest
    // position the editing changed.
    size_t EditReceivedLine(size_t Start);

private:
    void WMTriggerDataAvailable(TMessage& Msg);
    void DeliverLine();
    bool SkipOverLongLine(size_t& SearchFrom);

    std::string buffer_;
    size_t lineLength_ = 0;
    bool lineMode_ = false;
    bool lineReceived_ = false;
    bool skipping_ = false;
};

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    explicit TCustomSyncWSocket(TComponent* AOwner) : TCustomLineWSocket(AOwner) {}
    std::string ClassName() const override { return "TCustomSyncWSocket"; }

    // 0 once Flag is set; 12001 when the timeout passes first or the program is ending.
    int WaitForFlag(const bool& Flag);
    int RunAndWait(const std::function<void()>& Operation, bool& Flag);

    // Milliseconds; 0 waits without limit.
    uint32_t Timeout = 0;
};

class TWSocket : public TCustomSyncWSocket {
public:
    explicit TWSocket(TComponent* AOwner) : TCustomSyncWSocket(AOwner) {}
    std::string ClassName() const override { return "TWSocket"; }
};
