#pragma once

#include <optional>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace tarnwick {

// Carries a file given to a second start over to the copy already running, through a local
// socket beside the single-instance lock (so two installations never share one). The running
// copy listens; the second start hands its argument over and ends once it has been taken.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const QString& applicationDir, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // The running copy's side; only the holder of the lock calls it, so a socket found there was
    // left by a run that crashed and is taken over. What went wrong, or none.
    std::optional<QString> listen();

    // The second start's side: "#NEW#" goes as it is, a file as an absolute path (the running
    // copy has a working folder of its own). Waits at most timeoutMs, the running copy may
    // still be starting, for it to take the argument; false when it did not.
    static bool handOver(const QString& applicationDir, const QString& argument, int timeoutMs);

    // Kept short: the system refuses a socket path longer than 107 bytes.
    static QString socketPath(const QString& applicationDir);

Q_SIGNALS:
    // An argument was handed over and acknowledged.
    void argumentHanded(const QString& argument);

private:
    void readFrom(QLocalSocket* socket);

    QString path_;
    QLocalServer* server_ = nullptr;
};

} // namespace tarnwick
