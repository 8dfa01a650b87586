#include "app/InstanceChannel.h"
#include "support/TestInstallation.h"

#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

// The second start blocks while it waits; the running copy answers from its event loop, which
// runs here meanwhile.
bool handOverWhileRunning(const QString& applicationDir, const QString& argument, int timeoutMs) {
    std::future<bool> handed = std::async(std::launch::async, [&] {
        return InstanceChannel::handOver(applicationDir, argument, timeoutMs);
    });
    while (handed.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return handed.get();
}

// What a run that crashed leaves: a socket file nobody listens on.
void leaveDeadSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(size_t(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) { QDir::setCurrent(folder); }
    ~CurrentFolder() { QDir::setCurrent(before_); }

private:
    QString before_ = QDir::currentPath();
};

} // namespace

TEST(InstanceChannel, ASecondStartHandsItsArgumentToTheRunningCopyOfItsOwnInstallation) {
    TestInstallation installation;
    InstanceChannel running(installation.appDir());
    ASSERT_EQ(running.listen(), std::nullopt);
    QStringList received;
    QObject::connect(&running, &InstanceChannel::argumentHanded,
                     [&](const QString& argument) { received << argument; });

    // The second start was in a folder of its own: the running copy gets the whole path.
    QTemporaryDir work;
    {
        CurrentFolder inWork(work.path());
        EXPECT_TRUE(handOverWhileRunning(installation.appDir(), QStringLiteral("site.pr3"), 5000));
    }
    EXPECT_TRUE(handOverWhileRunning(installation.appDir(), QStringLiteral("#NEW#"), 5000));
    EXPECT_EQ(received,
              (QStringList{work.path() + QStringLiteral("/site.pr3"), QStringLiteral("#NEW#")}));

    // Another installation has no copy running: nobody takes it, and this copy hears nothing.
    TestInstallation other;
    EXPECT_NE(InstanceChannel::socketPath(other.appDir()),
              InstanceChannel::socketPath(installation.appDir()));
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(handOverWhileRunning(other.appDir(), QStringLiteral("site.pr3"), 300));
    EXPECT_LT(waited.elapsed(), 3000);
    EXPECT_EQ(received.size(), 2);
}

TEST(InstanceChannel, ASocketLeftByACrashedRunDoesNotBlockTheNextStart) {
    TestInstallation installation;
    const QString path = InstanceChannel::socketPath(installation.appDir());
    leaveDeadSocket(path);
    EXPECT_FALSE(handOverWhileRunning(installation.appDir(), QStringLiteral("#NEW#"), 300));

    InstanceChannel running(installation.appDir());
    ASSERT_EQ(running.listen(), std::nullopt);
    QStringList received;
    QObject::connect(&running, &InstanceChannel::argumentHanded,
                     [&](const QString& argument) { received << argument; });
    EXPECT_TRUE(handOverWhileRunning(installation.appDir(), QStringLiteral("#NEW#"), 5000));
    EXPECT_EQ(received, QStringList{QStringLiteral("#NEW#")});

    // A temporary folder too deep for a socket path: the socket goes where one fits.
    QTemporaryDir base;
    const QString deepFolder = base.path() + QLatin1Char('/') + QString(100, QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(deepFolder));
    const QByteArray before = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(deepFolder));
    const QString deep = InstanceChannel::socketPath(installation.appDir());
    if (before.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", before);
    EXPECT_LE(QFile::encodeName(deep).size(), 107) << deep.toStdString();
    EXPECT_TRUE(deep.startsWith(QStringLiteral("/tmp/tarnwick-"))) << deep.toStdString();
}
