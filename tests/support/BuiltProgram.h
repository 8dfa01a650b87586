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

struct RunOptions {
    QString workingDirectory; // the test's own when empty
    // Permissions mean nothing to root, and CI runs as root: then the program runs as the
    // ordinary user "nobody" instead, so that a write-protected file or a folder without search
    // permission stops it as it stops a user.
    bool asOrdinaryUser = false;
};

// Runs one of the programs this project builds and waits for it to end.
ProgramOutput
runBuiltProgram(const QString& name, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                const RunOptions& options = {});

// Runs tarnwick-cli in the installation's environment (installationEnvironment).
ProgramOutput runCli(const TestInstallation& installation, const QStringList& arguments,
                     const RunOptions& options = {});

// The whole file, or nothing when it cannot be read: what a program left behind.
QByteArray fileContents(const QString& path);

// Lets the ordinary user of RunOptions::asOrdinaryUser into the installation's folders and
// settings, as its owner would be. Files keep their own permissions.
void openToOrdinaryUser(const TestInstallation& installation);

} // namespace tarnwick::test
