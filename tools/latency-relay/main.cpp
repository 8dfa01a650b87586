// A TCP relay on loopback that holds every chunk a while each way, for trying the shared
// catalogue as a network with latency leaves it.
// Usage: tarnwick-latency-relay --listen 127.0.0.1:0 --to 127.0.0.1:PORT --delay-ms MS
#include "LatencyRelay.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <pthread.h>
#include <stdexcept>
#include <string>

using namespace tarnwick::relay;

namespace {

const char* const usage =
    "Usage: tarnwick-latency-relay --listen 127.0.0.1:PORT --to 127.0.0.1:PORT --delay-ms MS\n"
    "Forwards every connection made to --listen (port 0: a free port) to --to, holding each\n"
    "chunk MS milliseconds in each direction. Prints the port it listens on, then runs until\n"
    "interrupted. Only loopback addresses (127.0.0.0/8, [::1]) are accepted.\n";

int refuse(const std::string& problem) {
    std::fprintf(stderr, "tarnwick-latency-relay: %s\n%s", problem.c_str(), usage);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    std::optional<LoopbackEndpoint> listen;
    std::optional<LoopbackEndpoint> target;
    int delayMs = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg != "--listen" && arg != "--to" && arg != "--delay-ms")
            return refuse("unknown argument '" + arg + "'");
        if (i + 1 >= argc)
            return refuse(arg + " needs a value");
        const std::string value = argv[++i];
        std::string problem;
        if (arg == "--delay-ms") {
            if (value.empty() || value.size() > 6 ||
                value.find_first_not_of("0123456789") != std::string::npos)
                return refuse("--delay-ms must be a whole number of milliseconds, not '" + value +
                              "'");
            delayMs = std::stoi(value);
            continue;
        }
        std::optional<LoopbackEndpoint>& endpoint = arg == "--listen" ? listen : target;
        endpoint = parseLoopbackEndpoint(value, problem);
        if (!endpoint)
            return refuse(arg + ": " + problem);
    }
    if (!listen || !target || delayMs < 0)
        return refuse("--listen, --to and --delay-ms are all needed");

    // The relay's thread inherits the blocked signals, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        LatencyRelay relay(*listen, *target, delayMs);
        std::printf("%d\n", relay.port());
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stopSignals, &signal);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tarnwick-latency-relay: %s\n", error.what());
        return 1;
    }
    return 0;
}
