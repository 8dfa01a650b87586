#include "app/widgets/ApplicationShell.h"
#include "app/widgets/QtDialogs.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/ProcessClock.h"
#include "reports/ReportFonts.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <QApplication>
#include <QTimer>

namespace {

bool environmentIsSet(const char* name) {
    return !qEnvironmentVariableIsEmpty(name);
}

// Without a display the window system plug-in aborts with a cryptic message: say it plainly.
bool hasDisplay() {
    if (environmentIsSet("QT_QPA_PLATFORM"))
        return true;
    return environmentIsSet("DISPLAY") || environmentIsSet("WAYLAND_DISPLAY");
}

const char* const usage =
    "Usage: tarnwick [#NEW# | PROFILE]\n"
    "Browse, query and compare the photo series of the installation in the program's folder, or\n"
    "in the folder named by the environment variable TARNWICK_HOME. #NEW# opens the profile\n"
    "builder with a new fuel profile; a profile file (.pr3 or .pro) opens it in the builder.\n";

bool asksForHelp(const char* arg) {
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

std::unique_ptr<tarnwick::Dialogs> makeDialogs() {
    // Scripts and end-to-end tests run the program without a person to answer.
    if (qEnvironmentVariable("TARNWICK_NONINTERACTIVE") == QLatin1String("1"))
        return std::make_unique<tarnwick::ConsoleDialogs>();
    return std::make_unique<tarnwick::QtDialogs>();
}

} // namespace

int main(int argc, char* argv[]) {
    // Help needs no display.
    if (std::any_of(argv + 1, argv + argc, asksForHelp)) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "Tarnwick needs a graphical display, and none was found (DISPLAY "
                             "and WAYLAND_DISPLAY are not set).\nStart it from a desktop "
                             "session, or under Xvfb: xvfb-run ./build/tarnwick\n");
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarnwick.svg")));
    tarnwick::registerReportFonts();
    // Qt has taken its own options out by now; whatever option is left is a mistake, refused
    // before the run touches the installation.
    for (const QString& arg : QApplication::arguments().mid(1)) {
        if (arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "tarnwick: unknown option '%s'\n%s", qPrintable(arg), usage);
            return 2;
        }
    }

    std::unique_ptr<tarnwick::Dialogs> dialogs = makeDialogs();
    tarnwick::ApplicationShell shell(tarnwick::AppPaths::fromEnvironment(), *dialogs,
                                     QApplication::arguments().mid(1));
    if (!shell.start())
        return 1;

    if (qEnvironmentVariable("TARNWICK_EXIT_AFTER_STARTUP") == QLatin1String("1")) {
        // Start-up ends when the first photo is on screen, its picture included.
        shell.waitForFirstPicture(10000);
        std::fprintf(stderr, "startup-ms: %lld\n",
                     static_cast<long long>(tarnwick::millisecondsSinceProcessStart()));
        std::fflush(stderr);
        return 0;
    }
    return QApplication::exec();
}
