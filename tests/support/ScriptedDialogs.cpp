#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QPdfWriter>

namespace tarnwick::test {

void ScriptedDialogs::critical(const QString& title, const QString& text) {
    shown_.push_back({QStringLiteral("critical"), title, text});
}

void ScriptedDialogs::message(const QString& title, const QString& text) {
    shown_.push_back({QStringLiteral("message"), title, text});
}

void ScriptedDialogs::warning(const QString& title, const QString& text) {
    shown_.push_back({QStringLiteral("warning"), title, text});
}

Answer ScriptedDialogs::nextAnswer(const QString& kind, const QString& title, const QString& text) {
    shown_.push_back({kind, title, text});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return Answer::No;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

Answer ScriptedDialogs::question(const QString& title, const QString& text) {
    return nextAnswer(QStringLiteral("question"), title, text);
}

Answer ScriptedDialogs::warningQuestion(const QString& title, const QString& text) {
    return nextAnswer(QStringLiteral("warningQuestion"), title, text);
}

QString ScriptedDialogs::nextFile(const QString& caption) {
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << caption.toStdString();
        return {};
    }
    const QString file = files_.front();
    files_.pop_front();
    return file;
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString& directory,
                                      const QString& filter) {
    shown_.push_back({QStringLiteral("open"), caption, QString(), directory, filter});
    return nextFile(caption);
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString& directory,
                                      const QString& filter) {
    shown_.push_back({QStringLiteral("save"), caption, QString(), directory, filter});
    return nextFile(caption);
}

std::optional<PhotoDirChoice> ScriptedDialogs::photoDirectoryWarning(const QString& message) {
    shown_.push_back({QStringLiteral("photoDirWarning"), QString(), message});
    if (photoDirChoices_.empty()) {
        ADD_FAILURE() << "unexpected photo directory warning: " << message.toStdString();
        return std::nullopt;
    }
    const std::optional<PhotoDirChoice> choice = photoDirChoices_.front();
    photoDirChoices_.pop_front();
    return choice;
}

std::optional<QString> ScriptedDialogs::choosePrinter(const QString& printer) {
    shown_.push_back({QStringLiteral("printerSetup"), QString(), QString(), printer});
    if (printers_.empty()) {
        ADD_FAILURE() << "unexpected printer set-up dialog";
        return std::nullopt;
    }
    const PrinterChoice choice = printers_.front();
    printers_.pop_front();
    if (!choice.chosen)
        return std::nullopt;
    return choice.name;
}

PrintOutcome ScriptedDialogs::print(const QString& title, const QString& printer, int pageCount,
                                    const PrintPages& paint) {
    shown_.push_back({QStringLiteral("print"), title, QString::number(pageCount), printer});
    if (prints_.empty()) {
        ADD_FAILURE() << "unexpected print dialog: " << title.toStdString();
        return PrintOutcome::Cancelled;
    }
    const PrintOutcome outcome = prints_.front();
    prints_.pop_front();
    if (outcome != PrintOutcome::Printed)
        return outcome;
    printed_.clear();
    QBuffer buffer(&printed_);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter printerStandIn(&buffer);
    return paint(printerStandIn) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

} // namespace tarnwick::test
