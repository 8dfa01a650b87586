#include "platform/ProcessRunner.h"

#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace tarnwick {

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    // The window manager's close button would end the run under the other program's feet.
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// Swallows what the user sends to any window of the program while leaving painting, timers and
// the process notifications alone. Only events from the window system are dropped: the program's
// own calls go through.
class InputBlocker : public QObject {
public:
    InputBlocker() {
        QCoreApplication::instance()->installEventFilter(this);
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~InputBlocker() override {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
        QCoreApplication::instance()->removeEventFilter(this);
    }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->spontaneous() && isUserInput(event->type());
    }
};

} // namespace

QString programBesideThisOne(const QString& program) {
    const QString beside =
        QStandardPaths::findExecutable(program, {QCoreApplication::applicationDirPath()});
    return beside.isEmpty() ? QStandardPaths::findExecutable(program) : beside;
}

QtProcessRunner::QtProcessRunner(QString applicationDir)
    : applicationDir_(std::move(applicationDir)) {}

QString QtProcessRunner::resolve(const QString& program) const {
    if (program.contains(QLatin1Char('/')) || program.contains(QDir::separator())) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    const QString installed = QStandardPaths::findExecutable(program, {applicationDir_});
    return installed.isEmpty() ? programBesideThisOne(program) : installed;
}

bool QtProcessRunner::runAndWait(const QString& program) {
    const QString path = resolve(program);
    if (path.isEmpty())
        return false;

    QProcess process;
    process.setProgram(path);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_HOME"), applicationDir_);
    process.setProcessEnvironment(environment);
    // The other program talks to the same terminal, if there is one.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1))
        return false;

    QEventLoop loop;
    QObject::connect(&process, &QProcess::stateChanged, &loop,
                     [&loop](QProcess::ProcessState state) {
                         if (state == QProcess::NotRunning)
                             loop.quit();
                     });
    const InputBlocker blocker;
    while (process.state() != QProcess::NotRunning)
        loop.exec();
    return true;
}

} // namespace tarnwick
