#include "platform/Dialogs.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace tarnwick {

namespace {

void tell(const char* kind, const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s: %s\n", kind, qUtf8Printable(title), qUtf8Printable(text));
    std::fflush(stderr);
}

} // namespace

QString withChosenFilterExtension(const QString& fileName, const QString& chosenFilter) {
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    static const QRegularExpression firstExtension(QStringLiteral(R"(\*\.([^\s;()*?]+))"));
    const QRegularExpressionMatch match = firstExtension.match(chosenFilter);
    if (!match.hasMatch())
        return fileName;
    // "summary." has no extension yet: it gets the letters, not a second dot.
    return fileName + (fileName.endsWith(u'.') ? QString() : QStringLiteral(".")) +
           match.captured(1);
}

void ConsoleDialogs::critical(const QString& title, const QString& text) {
    tell("critical", title, text);
}

void ConsoleDialogs::message(const QString& title, const QString& text) {
    tell("message", title, text);
}

void ConsoleDialogs::warning(const QString& title, const QString& text) {
    tell("warning", title, text);
}

Answer ConsoleDialogs::warningQuestion(const QString& title, const QString& text) {
    tell("question (answered No)", title, text);
    return Answer::No;
}

Answer ConsoleDialogs::question(const QString& title, const QString& text) {
    tell("question (answered No)", title, text);
    return Answer::No;
}

QString ConsoleDialogs::openFileName(const QString& caption, const QString&, const QString&) {
    tell("open file (cancelled)", caption, QString());
    return {};
}

QString ConsoleDialogs::saveFileName(const QString& caption, const QString&, const QString&) {
    tell("save file (cancelled)", caption, QString());
    return {};
}

std::optional<PhotoDirChoice> ConsoleDialogs::photoDirectoryWarning(const QString& message) {
    tell("photo directory warning (closed)", QStringLiteral("WARNING"), message);
    return std::nullopt;
}

std::optional<QString> ConsoleDialogs::choosePrinter(const QString& printer) {
    tell("printer set-up (cancelled)", printer, QString());
    return std::nullopt;
}

PrintOutcome ConsoleDialogs::print(const QString& title, const QString& printer, int,
                                   const PrintPages&) {
    tell("print (cancelled)", title, printer);
    return PrintOutcome::Cancelled;
}

void DialogsAfterStep::critical(const QString& title, const QString& text) {
    before().critical(title, text);
}

void DialogsAfterStep::message(const QString& title, const QString& text) {
    before().message(title, text);
}

void DialogsAfterStep::warning(const QString& title, const QString& text) {
    before().warning(title, text);
}

Answer DialogsAfterStep::warningQuestion(const QString& title, const QString& text) {
    return before().warningQuestion(title, text);
}

Answer DialogsAfterStep::question(const QString& title, const QString& text) {
    return before().question(title, text);
}

QString DialogsAfterStep::openFileName(const QString& caption, const QString& directory,
                                       const QString& filter) {
    return before().openFileName(caption, directory, filter);
}

QString DialogsAfterStep::saveFileName(const QString& caption, const QString& directory,
                                       const QString& filter) {
    return before().saveFileName(caption, directory, filter);
}

std::optional<PhotoDirChoice> DialogsAfterStep::photoDirectoryWarning(const QString& message) {
    return before().photoDirectoryWarning(message);
}

std::optional<QString> DialogsAfterStep::choosePrinter(const QString& printer) {
    return before().choosePrinter(printer);
}

PrintOutcome DialogsAfterStep::print(const QString& title, const QString& printer, int pageCount,
                                     const PrintPages& paint) {
    return before().print(title, printer, pageCount, paint);
}

} // namespace tarnwick
