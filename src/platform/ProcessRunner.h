#pragma once

#include <QString>

namespace tarnwick {

// The suite's photo management tool, started and waited for when the user wants to change the
// active photos or the photo directory.
inline const QString slidekeepProgram = QStringLiteral("slidekeep3");
// The command-line tool, which reads old catalogues for the window in a process of their own.
inline const QString cliProgram = QStringLiteral("tarnwick-cli");

// The program's full path in the folder of this program's own executable (where the build and
// the package put the sibling tools), else on the search path; empty when neither holds it.
QString programBesideThisOne(const QString& program);

// Starts another program and waits for it. Commands take this seam so tests can stand in for
// the real program.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    // Starts the program and returns once it has ended. Nothing is reported when it cannot be
    // started: the result is false and the caller simply goes on.
    virtual bool runAndWait(const QString& program) = 0;
};

// Runs a real process on the same installation (its TARNWICK_HOME is the application
// directory). While it waits, the program's windows keep painting but take no input: the user
// works in the other program, and coming back to a half-changed catalogue must not be possible
// before it has ended.
class QtProcessRunner : public ProcessRunner {
public:
    explicit QtProcessRunner(QString applicationDir);

    bool runAndWait(const QString& program) override;

    // The program's full path: the application directory first, then the folder of this
    // program's own executable (where the build puts its sibling tools when the installation
    // lies elsewhere), then the search path; empty when none holds it. A path with a directory
    // part is taken as it is.
    QString resolve(const QString& program) const;

private:
    QString applicationDir_;
};

} // namespace tarnwick
