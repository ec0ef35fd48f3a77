#include "platform/net/winsock.h"

#include "platform/net/socket_table.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace winsock {
namespace {

using detail::Phase;
using detail::SocketTable;

thread_local int lastError = 0;
std::atomic<int> startCount{0};

int Fail(int error) {
    lastError = error;
    return SOCKET_ERROR;
}

int FailErrno() {
    return Fail(WSAErrorFromErrno(errno));
}

// The descriptor of s, or -1 with WSAENOTSOCK set.
int FdOf(SOCKET s) {
    const int fd = SocketTable::Get().Fd(s);
    if (fd < 0) lastError = WSAENOTSOCK;
    return fd;
}

} // namespace

int WSAStartup(WORD versionRequested, WSADATA* data) {
    if (data) {
        data->wVersion = versionRequested;
        data->wHighVersion = 0x0202;
        data->szDescription = "POSIX sockets";
    }
    ++startCount;
    return 0;
}

int WSACleanup() {
    if (startCount.load() <= 0) return Fail(WSANOTINITIALISED);
    --startCount;
    return 0;
}

bool WSAStarted() {
    return startCount.load() > 0;
}

int WSAGetLastError() {
    return lastError;
}

void WSASetLastError(int error) {
    lastError = error;
}

SOCKET socket(int af, int type, int protocol) {
    const int fd = ::socket(af, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        FailErrno();
        return INVALID_SOCKET;
    }
    return SocketTable::Get().Add(fd, type, type == SOCK_STREAM ? Phase::Fresh : Phase::Connected);
}

int bind(SOCKET s, const sockaddr* name, socklen_t nameLen) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::bind(fd, name, nameLen) == 0 ? 0 : FailErrno();
}

int listen(SOCKET s, int backlog) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    if (::listen(fd, backlog) != 0) return FailErrno();
    SocketTable::Get().SetPhase(s, Phase::Listening);
    return 0;
}

SOCKET accept(SOCKET s, sockaddr* addr, socklen_t* addrLen) {
    const int fd = FdOf(s);
    if (fd < 0) return INVALID_SOCKET;
    const int client = ::accept4(fd, addr, addrLen, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int e = errno;
    SocketTable::Get().ArmAccept(s);
    if (client < 0) {
        Fail(WSAErrorFromErrno(e));
        return INVALID_SOCKET;
    }
    return SocketTable::Get().Add(client, SOCK_STREAM, Phase::Connected);
}

int connect(SOCKET s, const sockaddr* name, socklen_t nameLen) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    if (SocketTable::Get().Type(s) != SOCK_STREAM) return ::connect(fd, name, nameLen) == 0 ? 0 : FailErrno();
    if (::connect(fd, name, nameLen) == 0) {
        // Done at once (it can happen on loopback): the outcome still arrives as FD_CONNECT.
        SocketTable::Get().SetPhase(s, Phase::Connecting);
        return 0;
    }
    if (errno != EINPROGRESS) return FailErrno();
    SocketTable::Get().SetPhase(s, Phase::Connecting);
    return Fail(WSAEWOULDBLOCK);
}

int send(SOCKET s, const void* buf, int len, int flags) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    const ssize_t n = ::send(fd, buf, static_cast<size_t>(len < 0 ? 0 : len), flags | MSG_NOSIGNAL);
    // A partial send means the buffer is full too: the rest waits for FD_WRITE.
    if (n >= 0 && n < len) SocketTable::Get().ArmWrite(s);
    if (n >= 0) return static_cast<int>(n);
    const int e = errno;
    if (e == EAGAIN || e == EWOULDBLOCK) SocketTable::Get().ArmWrite(s);
    return Fail(WSAErrorFromErrno(e));
}

int sendto(SOCKET s, const void* buf, int len, int flags, const sockaddr* to, socklen_t toLen) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    const ssize_t n =
        ::sendto(fd, buf, static_cast<size_t>(len < 0 ? 0 : len), flags | MSG_NOSIGNAL, to, toLen);
    if (n >= 0) return static_cast<int>(n);
    const int e = errno;
    if (e == EAGAIN || e == EWOULDBLOCK) SocketTable::Get().ArmWrite(s);
    return Fail(WSAErrorFromErrno(e));
}

int recv(SOCKET s, void* buf, int len, int flags) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    const ssize_t n = ::recv(fd, buf, static_cast<size_t>(len < 0 ? 0 : len), flags);
    const int e = errno;
    // Armed after the read: data that is still there, or comes meanwhile, raises one more event.
    SocketTable::Get().ArmRead(s);
    return n >= 0 ? static_cast<int>(n) : Fail(WSAErrorFromErrno(e));
}

int recvfrom(SOCKET s, void* buf, int len, int flags, sockaddr* from, socklen_t* fromLen) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    const ssize_t n = ::recvfrom(fd, buf, static_cast<size_t>(len < 0 ? 0 : len), flags, from, fromLen);
    const int e = errno;
    SocketTable::Get().ArmRead(s);
    return n >= 0 ? static_cast<int>(n) : Fail(WSAErrorFromErrno(e));
}

int shutdown(SOCKET s, int how) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::shutdown(fd, how) == 0 ? 0 : FailErrno();
}

int closesocket(SOCKET s) {
    const int fd = SocketTable::Get().Remove(s);
    if (fd < 0) return Fail(WSAENOTSOCK);
    // Linux releases the descriptor even when close reports an error: closing again could hit
    // another file that took the number meanwhile.
    return ::close(fd) == 0 ? 0 : FailErrno();
}

int setsockopt(SOCKET s, int level, int name, const void* value, socklen_t len) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::setsockopt(fd, level, name, value, len) == 0 ? 0 : FailErrno();
}

int getsockopt(SOCKET s, int level, int name, void* value, socklen_t* len) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::getsockopt(fd, level, name, value, len) == 0 ? 0 : FailErrno();
}

int getsockname(SOCKET s, sockaddr* name, socklen_t* len) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::getsockname(fd, name, len) == 0 ? 0 : FailErrno();
}

int getpeername(SOCKET s, sockaddr* name, socklen_t* len) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    return ::getpeername(fd, name, len) == 0 ? 0 : FailErrno();
}

int ioctlsocket(SOCKET s, unsigned long cmd, unsigned long* arg) {
    const int fd = FdOf(s);
    if (fd < 0) return SOCKET_ERROR;
    if (cmd != FIONREAD || !arg) return Fail(WSAEINVAL);
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) return FailErrno();
    *arg = static_cast<unsigned long>(waiting < 0 ? 0 : waiting);
    return 0;
}

int WSAAsyncSelect(SOCKET s, HWND hwnd, UINT msg, long mask) {
    if (FdOf(s) < 0) return SOCKET_ERROR;
    SocketTable::Get().Select(s, hwnd, msg, mask);
    return 0;
}

size_t OpenSocketCount() {
    return SocketTable::Get().Count();
}

} // namespace winsock
