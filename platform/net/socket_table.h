#pragma once
// The process-wide table of open sockets and the one poll loop that watches them. The loop runs on
// its own thread and posts each event as a window message to the window the socket selected; an
// event is raised once and must be armed again by the call that consumes it, so a socket that
// nobody reads never makes the loop spin.
#include "platform/net/winsock.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace winsock::detail {

enum class Phase {
    Fresh,      // made, neither connecting nor listening: nothing to watch
    Connecting, // waiting for the outcome of connect
    Connected,  // a stream with a peer, or a datagram socket
    Listening,
    Finished, // FD_CLOSE (or a failed connect) was reported: nothing more to watch
};

class SocketTable {
public:
    static SocketTable& Get();
    ~SocketTable();

    SOCKET Add(int fd, int type, Phase phase);
    // The descriptor, or -1 for an unknown socket.
    int Fd(SOCKET s);
    int Type(SOCKET s);
    // Forgets the socket and answers its descriptor (-1 when unknown); the caller closes it.
    int Remove(SOCKET s);
    size_t Count();

    void Select(SOCKET s, HWND hwnd, UINT msg, long mask);
    void SetPhase(SOCKET s, Phase phase);
    void ArmRead(SOCKET s);
    void ArmWrite(SOCKET s);
    void ArmAccept(SOCKET s);

private:
    struct Entry {
        int fd = -1;
        int type = SOCK_STREAM;
        Phase phase = Phase::Fresh;
        HWND hwnd = nullptr;
        UINT msg = 0;
        long mask = 0;
        bool readArmed = false;
        bool writeArmed = false;
        bool acceptArmed = false;
        // Skipped by poll after a hang-up or error that nothing armed could report, until the next
        // arming call: poll would otherwise report it again at once, for ever.
        bool parked = false;
    };
    struct Post {
        HWND hwnd;
        UINT msg;
        SOCKET s;
        long event;
        int error;
    };

    SocketTable() = default;
    void StartLocked();
    void WakeLocked();
    void Run();
    short Interest(const Entry& e) const;
    void Examine(SOCKET s, Entry& e, short revents, std::vector<Post>& posts);
    template <class F> void Change(SOCKET s, F&& f);

    std::mutex mutex_;
    std::unordered_map<SOCKET, Entry> entries_;
    SOCKET next_ = 1;
    std::thread thread_;
    int wakeFd_ = -1;
    bool stop_ = false;
};

} // namespace winsock::detail
