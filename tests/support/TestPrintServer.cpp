#include "support/TestPrintServer.h"

#include <QFile>
#include <QProcess>

namespace tarnwick::test {

namespace {

// A job owner the machine has no account for: the PDF printer then writes into its folder for
// anonymous jobs, never into a home folder (root's, when the tests run as root).
constexpr char jobOwner[] = "tarnwick-print-test";

} // namespace

TestPrintServer::TestPrintServer() : dir_(QStringLiteral("/tmp/tarnwick-cups.XXXXXX")) {
    if (!dir_.isValid()) {
        unavailable_ = QStringLiteral("no temporary folder: ") + dir_.errorString();
        return;
    }
    // The scheduler's filters run as lp and must reach its spool inside.
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFile::ReadOther |
                                           QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    folder_ = dir_.filePath(QStringLiteral("cups"));
    if (!run(QStringLiteral("start"))) {
        unavailable_ = QStringLiteral("print-server did not run");
        return;
    }
    QFile conf(folder_ + QStringLiteral("/server.conf"));
    if (!conf.open(QIODevice::ReadOnly)) {
        unavailable_ = QStringLiteral("print-server wrote no server.conf");
        return;
    }
    QString socket;
    for (const QByteArray& line : conf.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString key = text.section(u'=', 0, 0);
        const QString value = text.section(u'=', 1);
        if (key == QLatin1String("unavailable"))
            unavailable_ = value;
        else if (key == QLatin1String("socket"))
            socket = value;
        else if (key == QLatin1String("printer"))
            printer_ = value;
        else if (key == QLatin1String("outbox"))
            outbox_ = value;
    }
    if (unavailable_.isEmpty() && socket.isEmpty())
        unavailable_ = QStringLiteral("print-server named no socket");
    if (!unavailable_.isEmpty())
        return;
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    qputenv("CUPS_USER", jobOwner);
}

TestPrintServer::~TestPrintServer() {
    if (folder_.isEmpty())
        return;
    qunsetenv("CUPS_SERVER");
    qunsetenv("CUPS_USER");
    run(QStringLiteral("stop"));
}

bool TestPrintServer::addPrinter() {
    return unavailable_.isEmpty() && run(QStringLiteral("add"));
}

bool TestPrintServer::removePrinter() {
    return unavailable_.isEmpty() && run(QStringLiteral("remove"));
}

bool TestPrintServer::run(const QString& action) {
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    script.start(QStringLiteral(TARNWICK_PRINT_SERVER_SCRIPT), {action, folder_});
    return script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit &&
           script.exitCode() == 0;
}

} // namespace tarnwick::test
