#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace tarnwick {

class HighlightButton;

// The profile's notes, edited in a window of their own. It keeps nothing: it starts from the
// text it is given, and however it closes, its text is handed back.
class NotesWindow : public QWidget {
    Q_OBJECT
public:
    explicit NotesWindow(const QString& notes, QWidget* parent = nullptr);

    QString text() const;
    QPlainTextEdit* editor() const { return editor_; }
    HighlightButton* closeButton() const { return close_; }

Q_SIGNALS:
    // The window became active: the assistant, which stays on top, makes way for it.
    void activated();
    // The window is closing, by its button or any other way, with the notes as they stand.
    void closing(const QString& notes);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* editor_;
    HighlightButton* close_;
};

} // namespace tarnwick
