#include "app/widgets/QtDialogs.h"

#include "app/widgets/DefaultWarnDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace tarnwick {

namespace {

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, parent);
    if (buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    return QMessageBox::StandardButton(box.exec());
}

Answer answerOf(QMessageBox::StandardButton button) {
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace

void QtDialogs::critical(const QString& title, const QString& text) {
    ask(parent_, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

void QtDialogs::message(const QString& title, const QString& text) {
    ask(parent_, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void QtDialogs::warning(const QString& title, const QString& text) {
    ask(parent_, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

Answer QtDialogs::question(const QString& title, const QString& text) {
    return answerOf(
        ask(parent_, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No));
}

Answer QtDialogs::warningQuestion(const QString& title, const QString& text) {
    return answerOf(
        ask(parent_, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No));
}

QString QtDialogs::openFileName(const QString& caption, const QString& directory,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, caption, directory, filter);
}

QString QtDialogs::saveFileName(const QString& caption, const QString& directory,
                                const QString& filter) {
    // The caller asks about replacing the file it will really write (the name may still gain
    // its extension); the dialog must not ask a second time.
    QString chosenFilter;
    const QString name = QFileDialog::getSaveFileName(
        parent_, caption, directory, filter, &chosenFilter, QFileDialog::DontConfirmOverwrite);
    return withChosenFilterExtension(name, chosenFilter);
}

std::optional<PhotoDirChoice> QtDialogs::photoDirectoryWarning(const QString& message) {
    DefaultWarnDialog dialog(message, parent_);
    dialog.exec();
    QApplication::processEvents();
    return dialog.choice();
}

std::optional<QString> QtDialogs::choosePrinter(const QString& printer) {
    QPrinter chosen;
    if (!printer.isEmpty())
        chosen.setPrinterName(printer);
    QPrintDialog dialog(&chosen, parent_);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    // It only chooses the printer: its button says so rather than "Print".
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text().remove(u'&') == QLatin1String("Print"))
            button->setText(QStringLiteral("OK"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen.printerName();
}

PrintOutcome QtDialogs::print(const QString& title, const QString& printer, int pageCount,
                              const PrintPages& paint) {
    QPrinter device(QPrinter::HighResolution);
    if (!printer.isEmpty())
        device.setPrinterName(printer);
    // The pages carry their own margins.
    device.setFullPage(true);
    device.setDocName(title);
    QPrintDialog dialog(&device, parent_);
    dialog.setMinMax(1, std::max(1, pageCount));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    return paint(device) ? PrintOutcome::Printed : PrintOutcome::Failed;
}

} // namespace tarnwick
