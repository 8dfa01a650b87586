#pragma once

#include "platform/Dialogs.h"

#include <QPointer>
#include <QWidget>

namespace tarnwick {

// The dialogs a person answers.
class QtDialogs : public Dialogs {
public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }

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
    QPointer<QWidget> parent_;
};

} // namespace tarnwick
