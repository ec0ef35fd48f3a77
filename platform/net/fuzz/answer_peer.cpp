#include "platform/net/fuzz/answer_peer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace http_answers_fuzz {
namespace {

// Far above what a transfer on this machine takes to send its next request after a whole answer.
constexpr long long kQuietMs = 20;

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

AnswerPeer::AnswerPeer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0)
        std::abort();
    port_ = ntohs(address.sin_port);
    // Lives as long as the process: libFuzzer ends it without unwinding.
    thread_ = std::thread([this] { Run(); });
    thread_.detach();
}

void AnswerPeer::Serve(std::vector<std::string> answers) {
    std::lock_guard guard(lock_);
    answers_.assign(answers.begin(), answers.end());
}

void AnswerPeer::Drop() {
    std::unique_lock guard(lock_);
    dropAsked_ = true;
    const char byte = 0;
    if (::write(wake_[1], &byte, 1) != 1) std::abort();
    dropped_.wait(guard, [this] { return !dropAsked_; });
}

void AnswerPeer::Accept() {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    // A transfer that stops reading must not hold the peer up.
    timeval limit{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    connections_.push_back(Connection{fd, {}, NowMs() + kQuietMs});
}

bool AnswerPeer::Answer(Connection& c) {
    char buffer[16384];
    const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    c.request.append(buffer, static_cast<size_t>(n));
    // A request's head answered; a form's body that came apart from it stays before the next head.
    const size_t end = c.request.find("\r\n\r\n");
    if (end == std::string::npos) return c.request.size() < (1u << 20);
    c.request.erase(0, end + 4);
    std::string answer;
    {
        std::lock_guard guard(lock_);
        if (answers_.empty()) return false;
        answer = std::move(answers_.front());
        answers_.pop_front();
    }
    for (size_t sent = 0; sent < answer.size();) {
        const ssize_t w = ::send(c.fd, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (w <= 0) return false;
        sent += static_cast<size_t>(w);
    }
    c.quietUntilMs = NowMs() + kQuietMs;
    return true;
}

void AnswerPeer::Run() {
    std::vector<pollfd> watched;
    for (;;) {
        watched.assign({pollfd{listener_, POLLIN, 0}, pollfd{wake_[0], POLLIN, 0}});
        long long due = -1;
        for (const Connection& c : connections_) {
            watched.push_back(pollfd{c.fd, POLLIN, 0});
            const long long left = std::max(0LL, c.quietUntilMs - NowMs());
            due = due < 0 ? left : std::min(due, left);
        }
        ::poll(watched.data(), watched.size(), static_cast<int>(due));
        std::vector<Connection> kept;
        const long long now = NowMs();
        for (size_t i = 0; i < connections_.size(); ++i) {
            Connection& c = connections_[i];
            const bool keep = (watched[i + 2].revents ? Answer(c) : true) && now < c.quietUntilMs;
            if (keep)
                kept.push_back(std::move(c));
            else
                ::close(c.fd);
        }
        connections_.swap(kept);
        if (watched[0].revents) Accept();
        if (watched[1].revents) {
            char byte;
            if (::read(wake_[0], &byte, 1) != 1) std::abort();
            for (const Connection& c : connections_)
                ::close(c.fd);
            connections_.clear();
            std::lock_guard guard(lock_);
            answers_.clear();
            dropAsked_ = false;
            dropped_.notify_all();
        }
    }
}

} // namespace http_answers_fuzz
