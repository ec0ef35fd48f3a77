#pragma once
// A peer on 127.0.0.1 that answers whatever request comes, on whatever connection, with the next of the
// answers it was given, byte for byte. A connection that asks nothing more for a moment after its answer
// (its transfer may be waiting for the rest of a broken one) or before its first is closed.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace http_answers_fuzz {

class AnswerPeer {
public:
    AnswerPeer();
    int Port() const { return port_; }
    // The answers for the requests to come, in turn; a request after the last is answered by a close.
    void Serve(std::vector<std::string> answers);
    // Closes every connection and forgets what was not answered; returns once the peer has done so.
    void Drop();

private:
    struct Connection {
        int fd;
        std::string request;
        long long quietUntilMs;
    };
    void Run();
    void Accept();
    // False when the connection is to be closed.
    bool Answer(Connection& c);

    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::vector<Connection> connections_;
    std::mutex lock_;
    std::condition_variable dropped_;
    std::deque<std::string> answers_;
    bool dropAsked_ = false;
    std::thread thread_;
};

} // namespace http_answers_fuzz
