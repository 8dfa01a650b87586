#pragma once

#include <functional>

namespace tarnwick {

// Runs a long piece of work on a worker thread while the window goes on being painted, resized
// and hovered. What the user types or clicks meanwhile is dropped, so no command starts while
// another is half done; Escape calls onEscape instead, and whileWaiting is called every
// tickMs. Returns when the work has ended, rethrowing what it threw. Without a window (tests
// that need none, the command line) or off the window's thread the work just runs.
void runInBackground(const std::function<void()>& work, const std::function<void()>& onEscape,
                     const std::function<void()>& whileWaiting, int tickMs = 100);

} // namespace tarnwick
