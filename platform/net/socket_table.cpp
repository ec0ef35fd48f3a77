#include "platform/net/socket_table.h"

#include "platform/gui/message_loop.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace winsock::detail {

SocketTable& SocketTable::Get() {
    static SocketTable table;
    return table;
}

SocketTable::~SocketTable() {
    {
        std::lock_guard g(mutex_);
        stop_ = true;
        if (wakeFd_ >= 0) WakeLocked();
    }
    if (thread_.joinable()) thread_.join();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void SocketTable::StartLocked() {
    if (thread_.joinable()) return;
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    thread_ = std::thread([this] { Run(); });
}

void SocketTable::WakeLocked() {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

SOCKET SocketTable::Add(int fd, int type, Phase phase) {
    std::lock_guard g(mutex_);
    StartLocked();
    const SOCKET s = next_++;
    Entry e;
    e.fd = fd;
    e.type = type;
    e.phase = phase;
    entries_.emplace(s, e);
    return s;
}

int SocketTable::Fd(SOCKET s) {
    std::lock_guard g(mutex_);
    auto it = entries_.find(s);
    return it == entries_.end() ? -1 : it->second.fd;
}

int SocketTable::Type(SOCKET s) {
    std::lock_guard g(mutex_);
    auto it = entries_.find(s);
    return it == entries_.end() ? 0 : it->second.type;
}

int SocketTable::Remove(SOCKET s) {
    std::lock_guard g(mutex_);
    auto it = entries_.find(s);
    if (it == entries_.end()) return -1;
    const int fd = it->second.fd;
    entries_.erase(it);
    // The loop may be polling this descriptor; it must drop it before the number is handed out again.
    WakeLocked();
    return fd;
}

size_t SocketTable::Count() {
    std::lock_guard g(mutex_);
    return entries_.size();
}

template <class F> void SocketTable::Change(SOCKET s, F&& f) {
    std::lock_guard g(mutex_);
    auto it = entries_.find(s);
    if (it == entries_.end()) return;
    const short before = Interest(it->second);
    f(it->second);
    if (Interest(it->second) != before) WakeLocked();
}

void SocketTable::Select(SOCKET s, HWND hwnd, UINT msg, long mask) {
    Change(s, [&](Entry& e) {
        e.hwnd = hwnd;
        e.msg = msg;
        e.mask = mask;
        e.readArmed = (mask & (FD_READ | FD_CLOSE)) != 0;
        e.writeArmed = (mask & FD_WRITE) != 0;
        e.acceptArmed = (mask & FD_ACCEPT) != 0;
        e.parked = false;
    });
}

void SocketTable::SetPhase(SOCKET s, Phase phase) {
    Change(s, [&](Entry& e) {
        e.phase = phase;
        e.parked = false;
    });
}

void SocketTable::ArmRead(SOCKET s) {
    Change(s, [](Entry& e) {
        e.readArmed = (e.mask & (FD_READ | FD_CLOSE)) != 0;
        e.parked = false;
    });
}

void SocketTable::ArmWrite(SOCKET s) {
    Change(s, [](Entry& e) {
        e.writeArmed = (e.mask & FD_WRITE) != 0;
        e.parked = false;
    });
}

void SocketTable::ArmAccept(SOCKET s) {
    Change(s, [](Entry& e) {
        e.acceptArmed = (e.mask & FD_ACCEPT) != 0;
        e.parked = false;
    });
}

short SocketTable::Interest(const Entry& e) const {
    if (!e.hwnd || e.mask == 0 || e.parked) return 0;
    switch (e.phase) {
    case Phase::Connecting:
        return POLLOUT;
    case Phase::Connected: {
        short ev = 0;
        if (e.readArmed) ev |= POLLIN | POLLRDHUP;
        if (e.writeArmed) ev |= POLLOUT;
        return ev;
    }
    case Phase::Listening:
        return e.acceptArmed ? POLLIN : 0;
    default:
        return 0;
    }
}

namespace {

int SocketError(int fd) {
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
    return error;
}

} // namespace

// Turns what poll saw into Winsock events, disarming each one it reports. Runs under the lock, so
// the descriptor cannot be closed meanwhile; all the calls made here return at once.
void SocketTable::Examine(SOCKET s, Entry& e, short revents, std::vector<Post>& posts) {
    auto post = [&](long event, int error) {
        if (e.mask & event) posts.push_back(Post{e.hwnd, e.msg, s, event, error});
    };
    bool reported = false;
    switch (e.phase) {
    case Phase::Connecting: {
        int error = SocketError(e.fd);
        if (error == 0 && !(revents & POLLOUT)) error = ECONNREFUSED;
        post(FD_CONNECT, error ? WSAErrorFromErrno(error) : 0);
        e.phase = error ? Phase::Finished : Phase::Connected;
        // Winsock follows a connection with FD_WRITE: the socket can take data now.
        e.readArmed = (e.mask & (FD_READ | FD_CLOSE)) != 0;
        e.writeArmed = (e.mask & FD_WRITE) != 0;
        reported = true;
        break;
    }
    case Phase::Listening:
        if (e.acceptArmed && (revents & POLLIN)) {
            post(FD_ACCEPT, 0);
            e.acceptArmed = false;
            reported = true;
        }
        break;
    case Phase::Connected:
        if (e.readArmed && (revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR))) {
            int waiting = 0;
            if (::ioctl(e.fd, FIONREAD, &waiting) != 0) waiting = 0;
            char probe;
            const ssize_t peek =
                waiting > 0 || e.type != SOCK_STREAM ? 1 : ::recv(e.fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
            if (peek > 0) {
                post(FD_READ, 0);
                e.readArmed = false;
                reported = true;
            } else if (peek == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                // The peer's end of the stream, or a reset: reported once, after the data.
                post(FD_CLOSE, peek == 0 ? 0 : WSAErrorFromErrno(errno));
                e.phase = Phase::Finished;
                reported = true;
            }
        }
        if (e.phase == Phase::Connected && e.writeArmed && (revents & (POLLOUT | POLLERR | POLLHUP))) {
            post(FD_WRITE, 0);
            e.writeArmed = false;
            reported = true;
        }
        break;
    default:
        break;
    }
    if (!reported && (revents & (POLLERR | POLLHUP | POLLNVAL))) e.parked = true;
}

void SocketTable::Run() {
    std::vector<pollfd> fds;
    std::vector<SOCKET> ids;
    std::vector<Post> posts;
    for (;;) {
        fds.clear();
        ids.clear();
        {
            std::lock_guard g(mutex_);
            if (stop_) return;
            fds.push_back(pollfd{wakeFd_, POLLIN, 0});
            ids.push_back(INVALID_SOCKET);
            for (auto& [s, e] : entries_) {
                const short ev = Interest(e);
                if (!ev) continue;
                fds.push_back(pollfd{e.fd, ev, 0});
                ids.push_back(s);
            }
        }
        const int n = ::poll(fds.data(), fds.size(), -1);
        if (n < 0) continue;
        if (fds[0].revents & POLLIN) {
            uint64_t count;
            [[maybe_unused]] ssize_t r = ::read(wakeFd_, &count, sizeof count);
        }
        posts.clear();
        {
            std::lock_guard g(mutex_);
            if (stop_) return;
            for (size_t i = 1; i < fds.size(); ++i) {
                if (!fds[i].revents) continue;
                auto it = entries_.find(ids[i]);
                // Closed meanwhile, perhaps with its number reused: the event is not this one's.
                if (it == entries_.end() || it->second.fd != fds[i].fd || !Interest(it->second)) continue;
                Examine(ids[i], it->second, fds[i].revents, posts);
            }
        }
        for (const Post& p : posts)
            ::PostMessage(p.hwnd, p.msg, static_cast<WPARAM>(p.s),
                          WSAMAKESELECTREPLY(static_cast<WORD>(p.event), static_cast<WORD>(p.error)));
    }
}

} // namespace winsock::detail
