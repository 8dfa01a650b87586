// slidekeep3: keeps the photo catalogue's active books and photos and the photo image directory
// of the Corbell 3 suite. Tarnwick starts it from Manage Photo Series and waits for it. With
// arguments it runs headless for scripts; without, it opens its window.

#include "catalogue/DatabaseError.h"
#include "platform/AppPaths.h"
#include "slidekeep/SlidekeepCatalogue.h"
#include "slidekeep/SlidekeepCommands.h"
#include "slidekeep/SlidekeepWindow.h"

#include <cstdio>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", qUtf8Printable(text));
    std::fflush(stream);
}

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int runHeadless(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    const tarnwick::slidekeep::CommandResult result = tarnwick::slidekeep::runCommands(
        QCoreApplication::arguments().mid(1), tarnwick::AppPaths::fromEnvironment());
    if (!result.message.isEmpty())
        print(result.exitCode == tarnwick::slidekeep::exitSuccess ? stdout : stderr,
              result.message);
    return result.exitCode;
}

int runWindow(int argc, char* argv[]) {
    if (!hasDisplay()) {
        print(stderr, QStringLiteral("slidekeep3: no graphical display was found; use the "
                                     "command-line options instead.\n") +
                          tarnwick::slidekeep::usageText());
        return tarnwick::slidekeep::exitFailure;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Slidekeep"));
    const tarnwick::AppPaths paths = tarnwick::AppPaths::fromEnvironment();
    std::unique_ptr<tarnwick::slidekeep::SlidekeepCatalogue> catalogue;
    try {
        catalogue =
            tarnwick::slidekeep::SlidekeepCatalogue::open(tarnwick::configuredCatalogue(paths));
    } catch (const tarnwick::DatabaseError& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Slidekeep"), error.message());
        return tarnwick::slidekeep::exitNoCatalogue;
    }
    tarnwick::slidekeep::SlidekeepWindow window(std::move(catalogue));
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    return argc > 1 ? runHeadless(argc, argv) : runWindow(argc, argv);
}
