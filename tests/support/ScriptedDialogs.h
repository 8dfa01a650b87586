#pragma once

#include "app/AppState.h"
#include "platform/Dialogs.h"

#include <deque>
#include <QStringList>
#include <vector>

namespace tarnwick::test {

// Answers dialogs from a script and records every dialog asked for. A question with no
// scripted answer fails the test (and is answered No) rather than waiting for a person.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "critical", "message", "warning", "question", "warningQuestion", "open",
                      // "save", "photoDirWarning", "printerSetup", "print"
        QString title;
        QString text;
        QString directory = {}; // file dialogs: the folder they open in; print dialogs: printer
        QString filter = {};
    };

    void answerNext(Answer answer) { answers_.push_back(answer); }
    void fileNext(const QString& fileName) { files_.push_back(fileName); }
    // The photo directory warning's answer; none stands for closing it without a button.
    void photoDirChoiceNext(std::optional<PhotoDirChoice> choice) {
        photoDirChoices_.push_back(choice);
    }

    // The printer set-up dialog's choice; none stands for cancelling it.
    void printerNext(std::optional<QString> printer) {
        printers_.push_back({printer.has_value(), printer.value_or(QString())});
    }
    // What the print dialog does; Printed draws the document into a PDF kept in printed().
    void printNext(PrintOutcome outcome) { prints_.push_back(outcome); }
    const QByteArray& printed() const { return printed_; }

    const std::vector<Shown>& shown() const { return shown_; }
    bool allAnswersUsed() const {
        return answers_.empty() && files_.empty() && photoDirChoices_.empty() &&
               printers_.empty() && prints_.empty();
    }

    void critical(const QString& title, const QString& text) override;
    void message(const QString& title, const QString& text) override;
    void warning(const QString& title, const QString& text) override;
    Answer question(const QString& title, const QString& text) override;
    Answer warningQuestion(const QString& title, const QString& text) override;
    QString openFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    std::optional<PhotoDirChoice> photoDirectoryWarning(const QString& message) override;
    std::optional<QString> choosePrinter(const QString& printer) override;
    PrintOutcome print(const QString& title, const QString& printer, int pageCount,
                       const PrintPages& paint) override;

private:
    QString nextFile(const QString& caption);
    Answer nextAnswer(const QString& kind, const QString& title, const QString& text);

    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<std::optional<PhotoDirChoice>> photoDirChoices_;
    struct PrinterChoice {
        bool chosen;
        QString name;
    };
    std::deque<PrinterChoice> printers_;
    std::deque<PrintOutcome> prints_;
    QByteArray printed_;
    std::vector<Shown> shown_;
};

} // namespace tarnwick::test
