#include "LatencyRelay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace tarnwick::relay {

namespace {

using Clock = std::chrono::steady_clock;

bool isLoopback(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        return (ntohl(v4.sin_addr.s_addr) >> 24) == 127;
    }
    if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        return IN6_IS_ADDR_LOOPBACK(&v6.sin6_addr);
    }
    return false;
}

std::string errorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

void setNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Small writes go out at once: a held-back packet would add delay of its own.
void setNoDelay(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Bytes read from one side, due on the other side at a time; empty with end set for the close.
struct Chunk {
    Clock::time_point due;
    std::vector<char> bytes;
    size_t written = 0;
    bool end = false;
};

// A client and its connection to the target; queue[s] holds what side s sent.
struct Pair {
    int fd[2] = {-1, -1};
    bool readEnded[2] = {false, false};
    std::deque<Chunk> queue[2];
    bool closed = false;

    void close() {
        for (int& f : fd) {
            if (f >= 0)
                ::close(f);
            f = -1;
        }
        closed = true;
    }
};

int connectTo(const LoopbackEndpoint& target) {
    const int fd = socket(target.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&target.address), target.length) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads what side s has sent into its queue, due delayMs from now. Each chunk keeps only its
// own bytes: a large transfer may queue thousands of them.
void readSide(Pair& pair, int s, std::chrono::milliseconds delay, std::vector<char>& buffer) {
    const ssize_t n = ::read(pair.fd[s], buffer.data(), buffer.size());
    if (n < 0) {
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            pair.close();
        return;
    }
    Chunk chunk;
    chunk.due = Clock::now() + delay;
    if (n == 0) {
        pair.readEnded[s] = true;
        chunk.end = true;
    } else {
        chunk.bytes.assign(buffer.begin(), buffer.begin() + n);
    }
    pair.queue[s].push_back(std::move(chunk));
}

// Writes what side s sent and is due now to the other side, as far as it takes it.
void deliverDue(Pair& pair, int s) {
    const Clock::time_point now = Clock::now();
    std::deque<Chunk>& queue = pair.queue[s];
    while (!pair.closed && !queue.empty() && queue.front().due <= now) {
        Chunk& chunk = queue.front();
        if (chunk.end) {
            pair.close();
            return;
        }
        const ssize_t n = ::send(pair.fd[1 - s], chunk.bytes.data() + chunk.written,
                                 chunk.bytes.size() - chunk.written, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                pair.close();
            return;
        }
        chunk.written += size_t(n);
        if (chunk.written < chunk.bytes.size())
            return;
        queue.pop_front();
    }
}

bool dueNow(const std::deque<Chunk>& queue, Clock::time_point now) {
    return !queue.empty() && queue.front().due <= now;
}

} // namespace

std::optional<LoopbackEndpoint> parseLoopbackEndpoint(const std::string& text,
                                                      std::string& problem) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        problem = "'" + text + "' is not HOST:PORT";
        return std::nullopt;
    }
    std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (port.find_first_not_of("0123456789") != std::string::npos || port.size() > 5 ||
        std::stoi(port) > 65535) {
        problem = "'" + port + "' is not a port number";
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        problem = "'" + host + "' is not a numeric address (127.0.0.1 or [::1])";
        return std::nullopt;
    }
    LoopbackEndpoint endpoint;
    std::memcpy(&endpoint.address, found->ai_addr, found->ai_addrlen);
    endpoint.length = found->ai_addrlen;
    freeaddrinfo(found);
    if (!isLoopback(endpoint.address)) {
        problem = "'" + host + "' is not a loopback address: the relay only works between " +
                  "addresses of this machine (127.0.0.0/8 or [::1])";
        return std::nullopt;
    }
    return endpoint;
}

LatencyRelay::LatencyRelay(const LoopbackEndpoint& listen, const LoopbackEndpoint& target,
                           int delayMs)
    : target_(target), delayMs_(delayMs) {
    if (!isLoopback(listen.address) || !isLoopback(target.address))
        throw std::runtime_error("the relay only works between loopback addresses");
    listener_ = socket(listen.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (listener_ < 0 || setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(listener_, reinterpret_cast<const sockaddr*>(&listen.address), listen.length) != 0 ||
        ::listen(listener_, 64) != 0) {
        const std::string message = errorText("cannot listen");
        if (listener_ >= 0)
            ::close(listener_);
        throw std::runtime_error(message);
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ =
        ntohs(bound.ss_family == AF_INET ? reinterpret_cast<const sockaddr_in&>(bound).sin_port
                                         : reinterpret_cast<const sockaddr_in6&>(bound).sin6_port);
    if (pipe2(wake_, O_CLOEXEC) != 0) {
        const std::string message = errorText("cannot make the relay's pipe");
        ::close(listener_);
        throw std::runtime_error(message);
    }
    setNonBlocking(listener_);
    thread_ = std::thread([this] { run(); });
}

LatencyRelay::~LatencyRelay() {
    const char stop = 0;
    while (::write(wake_[1], &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::close(listener_);
}

void LatencyRelay::run() {
    const std::chrono::milliseconds delay(delayMs_);
    std::list<Pair> pairs;
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const Clock::time_point now = Clock::now();
        std::vector<pollfd> polled{{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        int timeoutMs = -1;
        for (const Pair& pair : pairs) {
            for (int s = 0; s < 2; ++s) {
                const short events = short((pair.readEnded[s] ? 0 : POLLIN) |
                                           (dueNow(pair.queue[1 - s], now) ? POLLOUT : 0));
                // A side with nothing to wait for is left out: its hang-up would wake the loop
                // without end until its close is delivered.
                polled.push_back({events ? pair.fd[s] : -1, events, 0});
                const std::deque<Chunk>& queue = pair.queue[s];
                if (!queue.empty() && queue.front().due > now) {
                    const auto wait =
                        std::chrono::ceil<std::chrono::milliseconds>(queue.front().due - now);
                    timeoutMs =
                        timeoutMs < 0 ? int(wait.count()) : std::min(timeoutMs, int(wait.count()));
                }
            }
        }
        if (poll(polled.data(), polled.size(), timeoutMs) < 0 && errno != EINTR)
            break;
        if (polled[0].revents)
            break;
        size_t next = 2;
        for (Pair& pair : pairs) {
            for (int s = 0; s < 2 && !pair.closed; ++s) {
                if (polled[next + size_t(s)].revents & (POLLIN | POLLHUP | POLLERR) &&
                    !pair.readEnded[s])
                    readSide(pair, s, delay, buffer);
            }
            next += 2;
            for (int s = 0; s < 2 && !pair.closed; ++s)
                deliverDue(pair, s);
        }
        pairs.remove_if([](const Pair& pair) { return pair.closed; });
        if (polled[1].revents & POLLIN) {
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                const int server = connectTo(target_);
                if (server < 0) {
                    ::close(client);
                } else {
                    Pair& pair = pairs.emplace_back();
                    pair.fd[0] = client;
                    pair.fd[1] = server;
                    for (int fd : pair.fd) {
                        setNonBlocking(fd);
                        setNoDelay(fd);
                    }
                }
            }
        }
    }
    for (Pair& pair : pairs)
        pair.close();
}

} // namespace tarnwick::relay
