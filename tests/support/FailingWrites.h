#pragma once

#include <QIODevice>

#include <csignal>
#include <sys/resource.h>

namespace tarnwick::test {

// A device that takes the first bytes it is given and refuses every byte after them, as a disk
// that fills up part of the way through a file does.
class DeviceFailingAfter : public QIODevice {
public:
    explicit DeviceFailingAfter(qint64 capacity) : capacity_(capacity) { open(WriteOnly); }
    qint64 taken() const { return taken_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        const qint64 room = capacity_ - taken_;
        if (room <= 0)
            return -1;
        const qint64 written = std::min(room, length);
        taken_ += written;
        return written;
    }

private:
    qint64 capacity_;
    qint64 taken_ = 0;
};

// While it lives, no file this process writes may grow past the limit: a write beyond it fails
// (EFBIG) part of the way through, at a byte count the test chooses, as on a disk that fills.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace tarnwick::test
