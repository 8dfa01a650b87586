#pragma once

#include <atomic>

namespace tarnwick {

// Lets the thread that waits for a long statement follow it and stop it: the reader counts the
// rows it has read and gives up soon after a stop is asked for.
struct RunControl {
    std::atomic<long long> rowsRead{0};
    std::atomic<bool> stopRequested{false};
};

} // namespace tarnwick
