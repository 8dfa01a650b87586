#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

namespace tarnwick::test {

class TestInstallation;

struct ProgramOutput {
    int exitCode = -1; // -1 when the program crashed or hung
    QByteArray output;
    QString errors;

    QStringList lines() const;
};

// The environment for running a program on a test installation: its application directory and
// settings, and no display.
QProcessEnvironment installationEnvironment(const TestInstallation& installation);

// Runs one of the programs this project builds and waits for it to end.
ProgramOutput
runBuiltProgram(const QString& name, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace tarnwick::test
