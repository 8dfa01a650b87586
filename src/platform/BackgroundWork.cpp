#include "platform/BackgroundWork.h"

#include <exception>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>
#include <thread>

namespace tarnwick {

namespace {

// Drops the user's input to every window while work runs, and turns Escape into a stop.
class InputHold : public QObject {
public:
    explicit InputHold(std::function<void()> onEscape) : onEscape_(std::move(onEscape)) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && onEscape_)
                onEscape_();
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            return event->spontaneous();
        default:
            return false;
        }
    }

private:
    std::function<void()> onEscape_;
};

bool hasWindowThread() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

void runInBackground(const std::function<void()>& work, const std::function<void()>& onEscape,
                     const std::function<void()>& whileWaiting, int tickMs) {
    if (!hasWindowThread()) {
        work();
        return;
    }
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so a loop not yet running quits as soon as it starts.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    {
        InputHold hold(onEscape);
        QTimer ticks;
        if (whileWaiting)
            QObject::connect(&ticks, &QTimer::timeout, whileWaiting);
        ticks.start(tickMs);
        loop.exec();
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace tarnwick
