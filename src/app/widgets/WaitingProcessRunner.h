#pragma once

#include "platform/ProcessRunner.h"

#include <functional>

namespace tarnwick {

// Runs another program through a runner and tells the user while it waits: the program's
// windows take no input then, and without a word that would look like a hang.
class WaitingProcessRunner : public ProcessRunner {
public:
    WaitingProcessRunner(ProcessRunner& runner, std::function<void(const QString&)> waitStarts,
                         std::function<void()> waitEnds)
        : runner_(runner), waitStarts_(std::move(waitStarts)), waitEnds_(std::move(waitEnds)) {}

    bool runAndWait(const QString& program) override;

private:
    ProcessRunner& runner_;
    std::function<void(const QString&)> waitStarts_;
    std::function<void()> waitEnds_;
};

} // namespace tarnwick
