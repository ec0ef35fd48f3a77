#include "platform/net/socket_resolve.h"

#include "platform/net/socket_errors.h"
#include "platform/net/winsock.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

#include <arpa/inet.h>
#include <climits>
#include <netdb.h>

namespace {

// Used where the system's service and protocol files lack an entry.
struct Known {
    const char* name;
    int number;
};
constexpr Known kServices[] = {{"ftp", 21}, {"ftp-data", 20}, {"socks", 1080}};
constexpr Known kProtocols[] = {{"tcp", 6}, {"udp", 17}};

template <size_t N> int KnownNumber(const Known (&table)[N], const std::string& name) {
    for (const Known& k : table)
        if (SameText(name, k.name)) return k.number;
    return -1;
}

} // namespace

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DecimalValue(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), INT_MAX);
    return static_cast<int>(value);
}

bool IsDottedAddress(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && text[i] == '.') return false;
    int separators = 0;
    int part = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            // Kept just above 255 so that a long run of digits cannot overflow.
            part = std::min(part * 10 + (c - '0'), 256);
        } else if (c == '.') {
            if (++separators > 3 || part > 255 || i + 1 == text.size() || !IsDigit(text[i + 1])) return false;
            part = 0;
        } else {
            for (; i < text.size(); ++i)
                if (text[i] != ' ') return false;
            break;
        }
    }
    return separators == 3 && part <= 255;
}

uint32_t WSocketResolveHost(const std::string& host) {
    if (host.empty() || host.size() >= 257)
        throw ESocketException("WSocketResolveHost: '" + host + "' Invalid Hostname.");
    const std::string name = Trim(host);
    if (IsDottedAddress(name)) {
        const in_addr_t address = ::inet_addr(name.c_str());
        if (address == INADDR_NONE && name != "255.255.255.255")
            throw ESocketException("WSocketResolveHost: '" + host + "' Invalid IP address.");
        return address;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int eai = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (eai != 0 || !list) {
        const int error = eai == EAI_NONAME  ? winsock::WSAHOST_NOT_FOUND
                          : eai == EAI_AGAIN ? winsock::WSATRY_AGAIN
                                             : winsock::WSANO_RECOVERY;
        winsock::WSASetLastError(error);
        throw ESocketException(
            Format("WSocketResolveHost: Cannot convert host address '%s', Error #%d", host, error));
    }
    const uint32_t address = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(list);
    return address;
}

uint16_t WSocketResolvePort(const std::string& port, const std::string& proto) {
    if (port.empty() || port.size() >= 32) throw ESocketException("WSocketResolvePort: Invalid Port.");
    if (IsDigit(port[0])) {
        const int value = DecimalValue(port);
        if (value > 65535) throw ESocketException("WSocketResolvePort: Invalid Port.");
        return static_cast<uint16_t>(value);
    }
    const std::string name = Trim(port);
    const std::string protocol = Trim(proto);
    servent entry;
    servent* found = nullptr;
    char buffer[1024];
    ::getservbyname_r(name.c_str(), protocol.empty() ? nullptr : protocol.c_str(), &entry, buffer,
                      sizeof buffer, &found);
    if (found) return ntohs(static_cast<uint16_t>(found->s_port));
    const int known = KnownNumber(kServices, name);
    if (known >= 0) return static_cast<uint16_t>(known);
    winsock::WSASetLastError(winsock::WSANO_DATA);
    throw ESocketException(
        Format("WSocketResolvePort: Cannot convert port '%s', Error #%d", port, winsock::WSANO_DATA));
}

int WSocketResolveProto(const std::string& proto) {
    if (proto.empty() || proto.size() >= 32) throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    if (IsDigit(proto[0])) return DecimalValue(proto);
    const std::string name = Trim(proto);
    protoent entry;
    protoent* found = nullptr;
    char buffer[1024];
    ::getprotobyname_r(name.c_str(), &entry, buffer, sizeof buffer, &found);
    if (found) return found->p_proto;
    const int known = KnownNumber(kProtocols, name);
    if (known >= 0) return known;
    winsock::WSASetLastError(winsock::WSANO_DATA);
    throw ESocketException(
        Format("WSocketResolveProto: Cannot convert protocol '%s', Error #%d", proto, winsock::WSANO_DATA));
}
