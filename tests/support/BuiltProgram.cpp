#include "support/BuiltProgram.h"

#include "support/TestInstallation.h"

#include <grp.h>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>

namespace tarnwick::test {

QStringList ProgramOutput::lines() const {
    return QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
}

QProcessEnvironment installationEnvironment(const TestInstallation& installation) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNWICK_HOME"), installation.appDir());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), installation.configDir());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

void openToOrdinaryUser(const TestInstallation& installation) {
    constexpr auto everyone =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    for (const QString& folder :
         {QFileInfo(installation.appDir()).path(), installation.appDir(), installation.configDir()})
        QFile::setPermissions(folder, everyone);
}

ProgramOutput runBuiltProgram(const QString& name, const QStringList& arguments,
                              const QProcessEnvironment& environment, const RunOptions& options) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (options.asOrdinaryUser && ::geteuid() == 0) {
        process.setChildProcessModifier([] {
            constexpr gid_t nogroup = 65534;
            constexpr uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)
                ::_exit(126);
        });
    }
    process.start(QStringLiteral(TARNWICK_BINARY_DIR "/") + name, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

ProgramOutput runCli(const TestInstallation& installation, const QStringList& arguments,
                     const RunOptions& options) {
    return runBuiltProgram(QStringLiteral("tarnwick-cli"), arguments,
                           installationEnvironment(installation), options);
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace tarnwick::test
