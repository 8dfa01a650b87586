#include "app/widgets/ApplicationShell.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/QtDialogs.h"
#include "app/widgets/TimedSession.h"
#include "document/ReportFonts.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/MemoryPolicy.h"
#include "platform/ProcessClock.h"
#include "Version.h"

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
    "       tarnwick --help | --version\n"
    "Browse, query and compare photo series of natural fuels, and build fuel profiles.\n"
    "\n"
    "  #NEW#      open the profile builder with a new fuel profile\n"
    "  PROFILE    open a fuel profile file (.pr3 or .pro) in the profile builder\n"
    "  --help     show this text and end\n"
    "  --version  show the program's version and end\n"
    "While Tarnwick runs, #NEW# or PROFILE goes to the running copy, which opens it.\n"
    "\n"
    "The installation (catalogue Photo3.db, code lists, photo images, data, Reports) is the\n"
    "folder of the program, or for a program installed under a prefix the user's folder\n"
    "~/.local/share/Tarnwick (under XDG_DATA_HOME when set), laid out at the first start from\n"
    "the catalogue installed with the program.\n"
    "\n"
    "Environment:\n"
    "  TARNWICK_HOME                  the installation folder to use instead\n"
    "  TARNWICK_NONINTERACTIVE=1      answer no message box; messages go to standard error\n"
    "  TARNWICK_EXIT_AFTER_STARTUP=1  end once the first photo is shown, printing startup-ms\n"
    "  TARNWICK_BENCH_SESSION=1       then also sort, search and display all, printing the times\n"
    "  QT_SCALE_FACTOR                scale the windows, e.g. 2 on a high-resolution screen\n"
    "Settings: ~/.config/Corbell 3/Corbell 3.conf (the suite's group General, Tarnwick's own\n"
    "group Tarnwick).\n";

bool asksForVersion(const char* arg) {
    return std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0;
}

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
    if (std::any_of(argv + 1, argv + argc, asksForVersion)) {
        std::printf("Tarnwick %d.%d.%d\n", tarnwick::version::major, tarnwick::version::minor,
                    tarnwick::version::revision);
        return 0;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "Tarnwick needs a graphical display, and none was found (DISPLAY "
                             "and WAYLAND_DISPLAY are not set).\nStart it from a desktop "
                             "session, or under Xvfb: xvfb-run ./build/tarnwick\n");
        return 1;
    }
    tarnwick::returnLargeBlocksToSystem();
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
    const tarnwick::AppPaths paths = tarnwick::AppPaths::fromEnvironment();
    // An installed program's first start for this user: the user's folder is made first.
    if (const QString problem = tarnwick::layOutApplicationDir(paths); !problem.isEmpty()) {
        dialogs->critical(tarnwick::defaultDialogTitle, problem);
        return 1;
    }
    tarnwick::ApplicationShell shell(paths, *dialogs, QApplication::arguments().mid(1));
    if (!shell.start())
        return shell.handedOver() ? 0 : 1;

    if (qEnvironmentVariable("TARNWICK_EXIT_AFTER_STARTUP") == QLatin1String("1")) {
        // Start-up ends when the first photo is on screen, its picture included.
        shell.waitForFirstPicture(10000);
        std::fprintf(stderr, "startup-ms: %lld\n",
                     static_cast<long long>(tarnwick::millisecondsSinceProcessStart()));
        if (qEnvironmentVariable("TARNWICK_BENCH_SESSION") == QLatin1String("1"))
            std::fputs(qPrintable(tarnwick::timedSessionReport(
                           tarnwick::runTimedSession(*shell.frame()->mainWindow()))),
                       stderr);
        std::fflush(stderr);
        return 0;
    }
    return QApplication::exec();
}
