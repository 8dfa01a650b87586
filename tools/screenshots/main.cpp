// Takes the manual's screenshots from a demo installation, driving the program through the same
// windows and commands a planner uses:
//   TARNWICK_HOME=DEMO tarnwick-screenshots OUTDIR
// ./dev screenshots lays out a fresh demo installation and runs it into resources/help/images.
#include "app/AppState.h"
#include "app/commands/PhotoDirectoryCheck.h"
#include "app/widgets/ApplicationShell.h"
#include "app/widgets/AssistantController.h"
#include "app/widgets/DefaultWarnDialog.h"
#include "app/widgets/MainFrame.h"
#include "app/widgets/MainWindow.h"
#include "display/widgets/PhotoImageView.h"
#include "display/widgets/PhotoPane.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "profile/widgets/AssistantWindow.h"
#include "profile/widgets/NotesWindow.h"
#include "query/QueryControls.h"
#include "query/widgets/QueryPane.h"
#include "reports/widgets/ReportPreview.h"
#include "resultslist/widgets/ResultsView.h"
#include "suite/widgets/AboutWindow.h"

#include <array>
#include <cstdio>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>

using namespace tarnwick;
using namespace tarnwick::commands;

namespace {

QString outDir;
int failures = 0;

// Lets the windows lay themselves out and the pictures decode.
void settle(const QList<PhotoImageView*>& views = {}, int maxMs = 8000, int minMs = 300) {
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        bool busy = false;
        for (PhotoImageView* view : views)
            busy = busy || (view && view->isDecoding());
        if (!busy && timer.elapsed() > minMs)
            return;
        QThread::msleep(20);
    } while (timer.elapsed() < maxMs);
}

void save(QWidget* widget, const QString& name) {
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!widget || !widget->grab().save(path)) {
        std::fprintf(stderr, "tarnwick-screenshots: could not write %s\n", qPrintable(path));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A window with another one that stands beside or over it, as they lie on the desktop.
void saveWithWindow(QWidget* window, QWidget* beside, const QString& name) {
    if (!window || !beside || !beside->isVisible()) {
        save(window, name);
        return;
    }
    const QRect main = window->frameGeometry();
    const QRect other(beside->mapToGlobal(QPoint(0, 0)), beside->size());
    const QRect both = main.united(other);
    QPixmap picture(both.size());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(window->mapToGlobal(QPoint(0, 0)) - both.topLeft(), window->grab());
    painter.drawPixmap(other.topLeft() - both.topLeft(), beside->grab());
    painter.end();
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) {
        std::fprintf(stderr, "tarnwick-screenshots: could not write %s\n", qPrintable(path));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

template <typename T> T* child(QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "tarnwick-screenshots: no %s in %s\n", name,
                     qPrintable(parent->objectName()));
        ++failures;
    }
    return found;
}

void click(QObject* parent, const char* name) {
    if (auto* button = child<QAbstractButton>(parent, name))
        button->click();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs("Usage: TARNWICK_HOME=DEMO tarnwick-screenshots OUTDIR\n"
                   "Writes the manual's screenshots of the installation DEMO into OUTDIR.\n",
                   argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tarnwick.svg")));
    outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "tarnwick-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }

    ConsoleDialogs dialogs;
    ApplicationShell shell(AppPaths::fromEnvironment(), dialogs);
    if (!shell.start())
        return 1;
    MainFrame* frame = shell.frame();
    MainWindow* window = frame->mainWindow();
    frame->showNormal();
    frame->resize(1280, 800);
    const QList<PhotoImageView*> images{window->imageView(0), window->imageView(1)};
    window->showListRow(4);
    settle(images);
    save(frame, QStringLiteral("browse"));

    // The five criteria pages (the site values page has its own picture further on), and an open
    // code list.
    auto* pages = child<QTabWidget>(window, "tabQuery");
    for (int page = 0; pages && page < int(QueryPage::BySiteValues); ++page) {
        pages->setCurrentIndex(page);
        settle();
        save(window->queryArea(), QStringLiteral("query-%1").arg(page));
    }
    if (pages) {
        pages->setCurrentIndex(1);
        settle();
        click(window, "cmdVegType");
        settle();
        save(frame, QStringLiteral("query-code-list"));
        window->closeList();
        // A search by site values: three numbers, the nearest photos first.
        pages->setCurrentIndex(5);
        const std::array<const char*, 3> fields{"txtSite0", "txtSite2", "txtSite3"};
        const std::array<const char*, 3> values{"5", "1.5", "8"};
        for (size_t i = 0; i < fields.size(); ++i)
            if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(fields[i])))
                edit->setText(QString::fromLatin1(values[i]));
        click(window, "cmdSearch5");
        window->showListRow(0);
        settle(images);
        save(frame, QStringLiteral("site-values"));
        window->displayAllCommand();
        for (const char* name : fields)
            if (auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
                edit->clear();
        pages->setCurrentIndex(0);
    }

    // Icon view.
    window->listViewCommand(ListViewKind::Icon);
    // The thumbnails come from worker threads.
    settle({}, 8000, 2500);
    save(window->listArea(), QStringLiteral("icon-view"));
    window->listViewCommand(ListViewKind::List);

    // Compare mode with the comparison assistant.
    window->compareCommand();
    window->showListRow(12);
    settle(images);
    AssistantWindow* assistant = window->assistantWindow();
    saveWithWindow(frame, assistant, QStringLiteral("compare"));
    save(assistant, QStringLiteral("assistant-compare"));
    window->compareCommand();
    settle(images);

    // The profile builder, with values taken from two photos and a note.
    window->assistant()->builderCommand();
    settle();
    if (auto* name = child<QLineEdit>(assistant, "txtName")) {
        name->setText(QStringLiteral("Ridge unit 4"));
        Q_EMIT name->textEdited(name->text());
    }
    for (const char* add : {"cmdSelect0to3", "cmdSelect3Plus", "cmdSelectDuff"})
        click(assistant, add);
    window->showListRow(20);
    settle(images);
    for (const char* add : {"cmdSelectFuelBed", "cmdSelectHerb", "cmdSelectWoody"})
        click(assistant, add);
    settle();
    save(assistant, QStringLiteral("builder"));
    window->assistant()->openNotes();
    if (NotesWindow* notes = window->assistant()->notesWindow()) {
        notes->editor()->setPlainText(
            QStringLiteral("North aspect above the road; cured grass under the pine.\n"
                           "Checked against two plots on 12 June."));
        notes->resize(480, 240);
        settle();
        save(notes, QStringLiteral("notes"));
        notes->close();
    }
    window->assistant()->builderCommand();
    settle();

    // The photo report in its preview.
    window->showListRow(4);
    settle(images);
    window->action(QStringLiteral("mnuPrintPhoto"))->trigger();
    settle({}, 8000, 1500);
    if (QWidget* preview = window->reportPreview()) {
        QWidget* shown = preview->parentWidget() ? preview->parentWidget() : preview;
        shown->resize(900, 700);
        settle({}, 8000, 1000);
        save(shown, QStringLiteral("report-preview"));
        shown->close();
        settle();
    } else {
        std::fprintf(stderr, "tarnwick-screenshots: the report preview did not open\n");
        ++failures;
    }

    // The photo directory warning and the about box.
    DefaultWarnDialog warning(
        photoDirectoryWarningMessage(QStringLiteral("/media/cdrom/photoimages/")));
    warning.show();
    settle();
    save(&warning, QStringLiteral("photo-directory"));
    warning.close();
    window->aboutCommand();
    settle();
    save(window->aboutWindow(), QStringLiteral("about"));

    // Nothing of the run is kept: the profile is not offered for saving.
    shell.state().profileChanged = false;
    return failures == 0 ? 0 : 1;
}
