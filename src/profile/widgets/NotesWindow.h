#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace tarnwick {

class HighlightButton;

// The profile's notes, edited in a window of their own. It keeps nothing: it starts from the
// text it is given and hands back every change as it is typed.
class NotesWindow : public QWidget {
    Q_OBJECT
public:
    explicit NotesWindow(const QString& notes, QWidget* parent = nullptr);

    QString text() const;
    // The profile's notes changed elsewhere (a New or a Load): shown without counting as an edit.
    void showNotes(const QString& notes);
    QPlainTextEdit* editor() const { return editor_; }
    HighlightButton* closeButton() const { return close_; }

Q_SIGNALS:
    // The window became active: the assistant, which stands above it, makes way for it.
    void activated();
    // The user changed the text.
    void edited(const QString& notes);
    // The window is closing, by its button or any other way.
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* editor_;
    HighlightButton* close_;
};

} // namespace tarnwick
