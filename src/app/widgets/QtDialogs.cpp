#include "app/widgets/QtDialogs.h"

#include "app/widgets/DefaultWarnDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tarnwick {

void QtDialogs::critical(const QString& title, const QString& text) {
    QMessageBox::critical(parent_, title, text);
}

void QtDialogs::message(const QString& title, const QString& text) {
    QMessageBox::information(parent_, title, text);
}

Answer QtDialogs::question(const QString& title, const QString& text) {
    const auto button = QMessageBox::question(parent_, title, text,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::openFileName(const QString& caption, const QString& directory,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, directory, filter);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& directory,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, caption, directory, filter);
}

std::optional<PhotoDirChoice> QtDialogs::photoDirectoryWarning(const QString& message) {
    DefaultWarnDialog dialog(message, parent_);
    dialog.exec();
    QApplication::processEvents();
    return dialog.choice();
}

} // namespace tarnwick
