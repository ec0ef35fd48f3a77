// Asynchronous name lookups: each runs getaddrinfo or getnameinfo on a worker of its own, keeps its
// result in a process-wide table and posts the outcome to the asking window.
#include "platform/net/winsock.h"

#include "platform/gui/message_loop.h"

#include <arpa/inet.h>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <thread>
#include <unordered_map>

namespace winsock {
namespace {

struct Task {
    bool done = false;
    int error = 0;
    HostEntry entry;
};

// Never destroyed: a worker may still finish while the program ends.
struct Tasks {
    std::mutex mutex;
    std::unordered_map<TaskHandle, Task> tasks;
    TaskHandle next = 1;
    size_t running = 0; // workers not ended yet, cancelled ones too
};

Tasks& State() {
    static Tasks* tasks = new Tasks;
    return *tasks;
}

int LookupError(int eai) {
    switch (eai) {
    case 0:
        return 0;
    case EAI_NONAME:
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
        return WSATRY_AGAIN;
#ifdef EAI_NODATA
    case EAI_NODATA:
        return WSANO_DATA;
#endif
    default:
        return WSANO_RECOVERY;
    }
}

void ForwardLookup(const std::string& name, int& error, HostEntry& entry) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* list = nullptr;
    error = LookupError(::getaddrinfo(name.c_str(), nullptr, &hints, &list));
    if (error) return;
    entry.name = list && list->ai_canonname ? list->ai_canonname : name;
    for (addrinfo* a = list; a; a = a->ai_next) {
        const in_addr address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr;
        bool seen = false;
        for (const in_addr& known : entry.addresses)
            seen = seen || known.s_addr == address.s_addr;
        if (!seen) entry.addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    if (entry.addresses.empty()) error = WSANO_DATA;
}

void ReverseLookup(in_addr address, int& error, HostEntry& entry) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr = address;
    char host[NI_MAXHOST];
    error = LookupError(::getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, host, sizeof host,
                                      nullptr, 0, NI_NAMEREQD));
    if (error) return;
    entry.name = host;
    entry.addresses.push_back(address);
}

template <class Work> TaskHandle Start(HWND hwnd, UINT msg, Work work) {
    Tasks& state = State();
    TaskHandle task;
    {
        std::lock_guard g(state.mutex);
        task = state.next++;
        state.tasks.emplace(task, Task{});
        ++state.running;
    }
    try {
        std::thread([=, &state] {
            int error = 0;
            HostEntry entry;
            work(error, entry);
            bool cancelled = false;
            {
                std::lock_guard g(state.mutex);
                auto it = state.tasks.find(task);
                // Cancelled meanwhile: nobody waits for it.
                cancelled = it == state.tasks.end();
                if (!cancelled) {
                    it->second.done = true;
                    it->second.error = error;
                    it->second.entry = std::move(entry);
                }
            }
            if (!cancelled)
                ::PostMessage(hwnd, msg, static_cast<WPARAM>(task), MAKELPARAM(0, static_cast<WORD>(error)));
            std::lock_guard g(state.mutex);
            --state.running;
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard g(state.mutex);
        state.tasks.erase(task);
        --state.running;
        WSASetLastError(WSAENOBUFS);
        return 0;
    }
    return task;
}

} // namespace

TaskHandle WSAAsyncGetHostByName(HWND hwnd, UINT msg, const std::string& name) {
    return Start(hwnd, msg, [name](int& error, HostEntry& entry) { ForwardLookup(name, error, entry); });
}

TaskHandle WSAAsyncGetHostByAddr(HWND hwnd, UINT msg, in_addr address) {
    return Start(hwnd, msg,
                 [address](int& error, HostEntry& entry) { ReverseLookup(address, error, entry); });
}

int WSACancelAsyncRequest(TaskHandle task) {
    Tasks& state = State();
    std::lock_guard g(state.mutex);
    auto it = state.tasks.find(task);
    if (it == state.tasks.end()) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    // A finished lookup has posted (or is posting) its message: too late to take it back.
    if (it->second.done) {
        WSASetLastError(WSAEALREADY);
        return SOCKET_ERROR;
    }
    state.tasks.erase(it);
    return 0;
}

bool WSATakeHostEntry(TaskHandle task, HostEntry& entry) {
    Tasks& state = State();
    std::lock_guard g(state.mutex);
    auto it = state.tasks.find(task);
    if (it == state.tasks.end() || !it->second.done) return false;
    entry = std::move(it->second.entry);
    state.tasks.erase(it);
    return true;
}

size_t RunningLookupCount() {
    Tasks& state = State();
    std::lock_guard g(state.mutex);
    return state.running;
}

} // namespace winsock
