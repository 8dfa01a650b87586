#pragma once

#include <functional>
#include <optional>
#include <QString>

class QPagedPaintDevice;

namespace tarnwick {

enum class Answer { Yes, No };
enum class PrintOutcome { Printed, Cancelled, Failed };
// Draws a document on a printer set up in the print dialog; false when it could not.
using PrintPages = std::function<bool(QPagedPaintDevice& printer)>;
// What the user chose in the photo directory dialog.
enum class PhotoDirChoice { Retry, ManagePhotoSeries, SearchLocalOnly };

// Every modal question, message and file dialog goes through here, so commands run headless
// with scripted answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Message box with the critical icon and an OK button.
    virtual void critical(const QString& title, const QString& text) = 0;
    // Message box with the information icon and an OK button.
    virtual void message(const QString& title, const QString& text) = 0;
    // Message box with the exclamation icon and an OK button.
    virtual void warning(const QString& title, const QString& text) = 0;
    // Yes/No question box.
    virtual Answer question(const QString& title, const QString& text) = 0;
    // Yes/No question box with the exclamation icon: the answer may lose something.
    virtual Answer warningQuestion(const QString& title, const QString& text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& directory,
                                 const QString& filter) = 0;
    // The warning that the photo directory cannot be read, with its three answers; none when it
    // was closed without one.
    virtual std::optional<PhotoDirChoice> photoDirectoryWarning(const QString& message) = 0;
    // The platform's printer set-up dialog, opened on a printer (empty: the default one); the
    // printer chosen, or none when it was cancelled.
    virtual std::optional<QString> choosePrinter(const QString& printer) = 0;
    // The platform's print dialog for a document of pageCount pages, opened on a printer (empty:
    // the default one). When the user prints, paint draws the document on the printer as the
    // dialog set it up, the pages chosen included.
    virtual PrintOutcome print(const QString& title, const QString& printer, int pageCount,
                               const PrintPages& paint) = 0;
};

// The name a save dialog gives back: one typed without an extension gets the first one of the
// filter the user chose ("summary" under "WORD Richtext (*.rtf)" is "summary.rtf"); one with an
// extension keeps it whatever the filter, as the name decides what is written. A filter that
// names no extension adds none, and an empty name (cancelled) stays empty.
QString withChosenFilterExtension(const QString& fileName, const QString& chosenFilter);

// Passes every dialog on to another after running a step first: the splash, which stays on top
// of every window, goes before anything is asked, so no question hides behind it.
class DialogsAfterStep : public Dialogs {
public:
    DialogsAfterStep(Dialogs& dialogs, std::function<void()> step)
        : dialogs_(dialogs), step_(std::move(step)) {}

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
    Dialogs& before() {
        if (step_)
            step_();
        return dialogs_;
    }

    Dialogs& dialogs_;
    std::function<void()> step_;
};

// The title the runtime gives a message box when the caller names none.
inline const QString defaultDialogTitle = QStringLiteral("Tarnwick");

// Non-interactive answers for runs without a person: messages go to standard error, questions
// are answered No, file, printer and print dialogs cancelled and the photo directory warning
// closed unanswered.
class ConsoleDialogs : public Dialogs {
public:
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
};

} // namespace tarnwick
