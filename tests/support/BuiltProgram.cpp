#include "support/BuiltProgram.h"

#include "support/TestInstallation.h"

#include <QProcess>

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

ProgramOutput runBuiltProgram(const QString& name, const QStringList& arguments,
                              const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARNWICK_BINARY_DIR "/") + name, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace tarnwick::test
