#include "profile/widgets/NotesWindow.h"

#include "ui/widgets/FlatControls.h"
#include "ui/widgets/HighlightButton.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarnwick {

NotesWindow::NotesWindow(const QString& notes, QWidget* parent)
    : QWidget(parent, Qt::Window), editor_(new QPlainTextEdit(this)),
      close_(new HighlightButton(QStringLiteral("&Close"), this)) {
    setObjectName(QStringLiteral("frmnotes"));
    setWindowTitle(QStringLiteral("Notes"));
    setAttribute(Qt::WA_DeleteOnClose);
    editor_->setObjectName(QStringLiteral("txtnotes"));
    editor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    editor_->setPlainText(notes);
    close_->setObjectName(QStringLiteral("cmdClose"));
    close_->setAutoDefault(false);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] { Q_EMIT edited(text()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_, 1);
    layout->addLayout(buttons);
    resize(480, 320);
    makeFlat(this);
}

QString NotesWindow::text() const {
    return editor_->toPlainText();
}

void NotesWindow::showNotes(const QString& notes) {
    if (notes == text())
        return;
    const QSignalBlocker quiet(editor_);
    editor_->setPlainText(notes);
}

bool NotesWindow::event(QEvent* event) {
    // Shown or brought forward: the notes are about to be worked on.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        Q_EMIT activated();
    return QWidget::event(event);
}

void NotesWindow::closeEvent(QCloseEvent* event) {
    Q_EMIT closing();
    QWidget::closeEvent(event);
}

} // namespace tarnwick
