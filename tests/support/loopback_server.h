// A tiny HTTP server on 127.0.0.1 for the update-check tests: one thread accepts on a free
// port and answers each request with the bytes a test gives. It stops when destroyed, and
// by itself once its lifetime is over, so a failing test never leaves it running.
#pragma once
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ztest {

struct HttpReply {
    std::string bytes;
    bool hang = false;  // accept and read the request, then say nothing
};

// An answer with the given status line and headers and a body; Content-Length is added
// unless the headers already say how the body ends.
inline HttpReply httpAnswer(const std::string& body, const std::string& status = "200 OK",
                            const std::string& headers = "Content-Length: auto\r\n") {
    std::string head = headers;
    size_t at = head.find("Content-Length: auto");
    if (at != std::string::npos) head.replace(at + 16, 4, std::to_string(body.size()));
    return {"HTTP/1.1 " + status + "\r\n" + head + "Connection: close\r\n\r\n" + body};
}

inline int loopbackSocket(int& port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    port = ntohs(addr.sin_port);
    return fd;
}

// A loopback port where nothing listens: connecting to it is refused.
inline int refusedPort() {
    int port = 0;
    int fd = loopbackSocket(port);
    if (fd >= 0) close(fd);
    return port;
}

class LoopbackServer {
  public:
    using Handler = std::function<HttpReply(const std::string& request)>;

    explicit LoopbackServer(Handler handler, int lifetimeMs = 15000)
        : handler_(std::move(handler)),
          deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(lifetimeMs)) {
        fd_ = loopbackSocket(port_);
        if (fd_ >= 0 && listen(fd_, 8) == 0) thread_ = std::thread([this] { serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) close(fd_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& host = "127.0.0.1") const {
        return "http://" + host + ":" + std::to_string(port_) + "/downloads/update.inf";
    }
    std::vector<std::string> requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

  private:
    bool alive() const { return !stop_ && std::chrono::steady_clock::now() < deadline_; }

    bool waitReadable(int fd) const {
        pollfd p{fd, POLLIN, 0};
        while (alive())
            if (poll(&p, 1, 20) > 0) return true;
        return false;
    }

    std::string readRequest(int fd) const {
        std::string request;
        char chunk[1024];
        while (request.find("\r\n\r\n") == std::string::npos && waitReadable(fd)) {
            ssize_t got = recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            request.append(chunk, static_cast<size_t>(got));
        }
        return request;
    }

    void serve() {
        std::vector<int> held;  // connections left unanswered on purpose
        while (waitReadable(fd_)) {
            int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            std::string request = readRequest(client);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            HttpReply reply = handler_(request);
            if (reply.hang) {
                held.push_back(client);
                continue;
            }
            size_t sent = 0;
            while (sent < reply.bytes.size()) {
                ssize_t n = send(client, reply.bytes.data() + sent, reply.bytes.size() - sent,
                                 MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            shutdown(client, SHUT_WR);
            close(client);
        }
        for (int fd : held) close(fd);
    }

    Handler handler_;
    std::chrono::steady_clock::time_point deadline_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

}  // namespace ztest
