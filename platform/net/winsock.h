#pragma once
// Winsock-like calls over non-blocking POSIX sockets. A SOCKET is a serial number that is never
// reused, unlike a descriptor, so an event posted for a connection that has since been closed can
// never be taken for the next one. WSAAsyncSelect delivers select-style events as posted window
// messages from one poll loop; each event is raised once and armed again by the call that consumes
// it (recv, accept, a send that would block), as Winsock does. Name lookups run on a worker and post
// their outcome. Option levels and names (setsockopt, getsockopt, ioctlsocket) are the POSIX ones.
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace winsock {

using SOCKET = uintptr_t;
inline constexpr SOCKET INVALID_SOCKET = ~SOCKET(0);
inline constexpr int SOCKET_ERROR = -1;

inline constexpr int WSAEINTR = 10004;
inline constexpr int WSAEBADF = 10009;
inline constexpr int WSAEACCES = 10013;
inline constexpr int WSAEFAULT = 10014;
inline constexpr int WSAEINVAL = 10022;
inline constexpr int WSAEMFILE = 10024;
inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAEINPROGRESS = 10036;
inline constexpr int WSAEALREADY = 10037;
inline constexpr int WSAENOTSOCK = 10038;
inline constexpr int WSAEDESTADDRREQ = 10039;
inline constexpr int WSAEMSGSIZE = 10040;
inline constexpr int WSAEPROTOTYPE = 10041;
inline constexpr int WSAENOPROTOOPT = 10042;
inline constexpr int WSAEPROTONOSUPPORT = 10043;
inline constexpr int WSAESOCKTNOSUPPORT = 10044;
inline constexpr int WSAEOPNOTSUPP = 10045;
inline constexpr int WSAEPFNOSUPPORT = 10046;
inline constexpr int WSAEAFNOSUPPORT = 10047;
inline constexpr int WSAEADDRINUSE = 10048;
inline constexpr int WSAEADDRNOTAVAIL = 10049;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAENETRESET = 10052;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOBUFS = 10055;
inline constexpr int WSAEISCONN = 10056;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAESHUTDOWN = 10058;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTDOWN = 10064;
inline constexpr int WSAEHOSTUNREACH = 10065;
inline constexpr int WSANOTINITIALISED = 10093;
inline constexpr int WSAHOST_NOT_FOUND = 11001;
inline constexpr int WSATRY_AGAIN = 11002;
inline constexpr int WSANO_RECOVERY = 11003;
inline constexpr int WSANO_DATA = 11004;

inline constexpr long FD_READ = 0x01;
inline constexpr long FD_WRITE = 0x02;
inline constexpr long FD_OOB = 0x04;
inline constexpr long FD_ACCEPT = 0x08;
inline constexpr long FD_CONNECT = 0x10;
inline constexpr long FD_CLOSE = 0x20;

inline LPARAM WSAMAKESELECTREPLY(WORD event, WORD error) {
    return MAKELPARAM(event, error);
}
inline WORD WSAGETSELECTEVENT(LPARAM lParam) {
    return LOWORD(static_cast<uintptr_t>(lParam));
}
inline WORD WSAGETSELECTERROR(LPARAM lParam) {
    return HIWORD(static_cast<uintptr_t>(lParam));
}
inline WORD WSAGETASYNCERROR(LPARAM lParam) {
    return HIWORD(static_cast<uintptr_t>(lParam));
}

struct WSADATA {
    WORD wVersion = 0;
    WORD wHighVersion = 0;
    std::string szDescription;
};

// The library is nothing to load here: start and clean-up only keep count, so that "started" can
// be observed.
int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
bool WSAStarted();

int WSAGetLastError();
void WSASetLastError(int error);
// The Winsock code of an errno value (10000 + the nearest meaning; unknown values stay as they are).
int WSAErrorFromErrno(int errnoValue);

// The Winsock calls keep their own spelling, as everywhere in the design.
// NOLINTBEGIN(readability-identifier-naming)
SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const sockaddr* name, socklen_t nameLen);
int listen(SOCKET s, int backlog);
// The accepted socket is non-blocking; accepting arms FD_ACCEPT again.
SOCKET accept(SOCKET s, sockaddr* addr, socklen_t* addrLen);
// A connection in progress answers SOCKET_ERROR with WSAEWOULDBLOCK; the outcome is FD_CONNECT.
int connect(SOCKET s, const sockaddr* name, socklen_t nameLen);
// Never raises SIGPIPE. A send that would block arms FD_WRITE.
int send(SOCKET s, const void* buf, int len, int flags);
int sendto(SOCKET s, const void* buf, int len, int flags, const sockaddr* to, socklen_t toLen);
// Every call arms FD_READ again, whatever it answers.
int recv(SOCKET s, void* buf, int len, int flags);
int recvfrom(SOCKET s, void* buf, int len, int flags, sockaddr* from, socklen_t* fromLen);
int shutdown(SOCKET s, int how);
// Releases the descriptor once, whatever close reports; the SOCKET is unknown afterwards.
int closesocket(SOCKET s);
int setsockopt(SOCKET s, int level, int name, const void* value, socklen_t len);
int getsockopt(SOCKET s, int level, int name, void* value, socklen_t* len);
int getsockname(SOCKET s, sockaddr* name, socklen_t* len);
int getpeername(SOCKET s, sockaddr* name, socklen_t* len);
// FIONREAD (bytes waiting) only.
int ioctlsocket(SOCKET s, unsigned long cmd, unsigned long* arg);
// NOLINTEND(readability-identifier-naming)

// Events of mask are posted to hwnd as msg (wParam the socket, lParam WSAMAKESELECTREPLY); mask 0
// stops them. Events already true are posted at once (FD_WRITE on a connected socket, FD_READ with
// data waiting).
int WSAAsyncSelect(SOCKET s, HWND hwnd, UINT msg, long mask);

// The outcome of an asynchronous lookup.
struct HostEntry {
    std::string name;
    std::vector<in_addr> addresses;
};
using TaskHandle = uintptr_t;
// Looks the name up (IPv4) on a worker and posts msg to hwnd with wParam the task and the error in
// the high word of lParam; 0 when the lookup cannot start.
TaskHandle WSAAsyncGetHostByName(HWND hwnd, UINT msg, const std::string& name);
// The host name of an IPv4 address, the same way.
TaskHandle WSAAsyncGetHostByAddr(HWND hwnd, UINT msg, in_addr address);
// A cancelled task posts nothing (or its posted message finds no result).
int WSACancelAsyncRequest(TaskHandle task);
// Takes the result of a finished task once; false when there is none.
bool WSATakeHostEntry(TaskHandle task, HostEntry& entry);

// Counts kept for tests: sockets open now, and lookups whose workers have not ended (cancelled ones
// too; a lookup that has ended has posted its outcome, if it posts one).
size_t OpenSocketCount();
size_t RunningLookupCount();

} // namespace winsock
