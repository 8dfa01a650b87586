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
                      // "save", "photoDirWarning"
        QString title;
        QString text;
    };

    void answerNext(Answer answer) { answers_.push_back(answer); }
    void fileNext(const QString& fileName) { files_.push_back(fileName); }
    // The photo directory warning's answer; none stands for closing it without a button.
    void photoDirChoiceNext(std::optional<PhotoDirChoice> choice) {
        photoDirChoices_.push_back(choice);
    }

    const std::vector<Shown>& shown() const { return shown_; }
    bool allAnswersUsed() const {
        return answers_.empty() && files_.empty() && photoDirChoices_.empty();
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

private:
    QString nextFile(const QString& caption);
    Answer nextAnswer(const QString& kind, const QString& title, const QString& text);

    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<std::optional<PhotoDirChoice>> photoDirChoices_;
    std::vector<Shown> shown_;
};

} // namespace tarnwick::test
