#pragma once

#include "platform/DesktopServices.h"
#include "platform/PathProbe.h"
#include "platform/ProcessRunner.h"

#include <functional>
#include <QStringList>
#include <vector>

namespace tarnwick::test {

// Stands in for the programs a command starts: records each one and runs what the test says the
// program would have done (write a setting, change the catalogue) in its place.
class ScriptedProcessRunner : public ProcessRunner {
public:
    std::function<void(const QString& program)> whileRunning;
    bool startable = true;

    const QStringList& started() const { return started_; }

    bool runAndWait(const QString& program) override {
        started_ << program;
        if (startable && whileRunning)
            whileRunning(program);
        return startable;
    }

private:
    QStringList started_;
};

// Answers every probe with the next scripted result, then with the last one, and records the
// paths probed.
class ScriptedPathProbe : public PathProbe {
public:
    explicit ScriptedPathProbe(std::vector<ProbeResult> results) : results_(std::move(results)) {}

    const QStringList& probedFiles() const { return probedFiles_; }

    ProbeResult probe(const QString&, const QString& filePath) override {
        probedFiles_ << filePath;
        const size_t index = std::min(size_t(probedFiles_.size()) - 1, results_.size() - 1);
        return results_[index];
    }

private:
    std::vector<ProbeResult> results_;
    QStringList probedFiles_;
};

// Stands in for the desktop's browser and viewers: records what it was asked to open and starts
// nothing.
class ScriptedDesktop : public DesktopServices {
public:
    bool opens = true;

    const QList<QUrl>& opened() const { return opened_; }

    bool open(const QUrl& url) override {
        opened_ << url;
        return opens;
    }

private:
    QList<QUrl> opened_;
};

} // namespace tarnwick::test
