#pragma once

#include <optional>
#include <string>
#include <sys/socket.h>
#include <thread>

namespace tarnwick::relay {

// A numeric loopback address and port: 127.0.0.0/8 or [::1].
struct LoopbackEndpoint {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// Reads "HOST:PORT" ("[::1]:PORT" for IPv6). Only loopback addresses are accepted, so the relay
// can never carry anything off the machine; otherwise nothing and a message in problem.
std::optional<LoopbackEndpoint> parseLoopbackEndpoint(const std::string& text,
                                                      std::string& problem);

// A TCP relay on loopback that adds latency, not a bandwidth limit: every chunk read from one
// side is written to the other delayMs after it arrived, in the order it arrived, each direction
// on its own. When one side closes, the other is closed once what was read before has been
// delivered. Runs on a thread of its own from construction until destruction, so a test may
// block on a connection through it.
class LatencyRelay {
public:
    // Listens on listen (port 0: a free port) and connects each client to target. Throws
    // std::runtime_error with a message when it cannot listen.
    LatencyRelay(const LoopbackEndpoint& listen, const LoopbackEndpoint& target, int delayMs);
    ~LatencyRelay();
    LatencyRelay(const LatencyRelay&) = delete;
    LatencyRelay& operator=(const LatencyRelay&) = delete;

    // The port it listens on.
    int port() const { return port_; }

private:
    void run();

    LoopbackEndpoint target_;
    int delayMs_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::thread thread_;
};

} // namespace tarnwick::relay
