#include "slidekeep/SlidekeepWindow.h"

#include "catalogue/DatabaseError.h"
#include "platform/SuiteSettings.h"
#include "slidekeep/SlidekeepCommands.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace tarnwick::slidekeep {

namespace {

constexpr int keyRole = Qt::UserRole;

QListWidgetItem* checkItem(const QString& text, bool checked, const QVariant& key) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setData(keyRole, key);
    return item;
}

} // namespace

SlidekeepWindow::SlidekeepWindow(std::unique_ptr<SlidekeepCatalogue> catalogue, QWidget* parent)
    : QWidget(parent), catalogue_(std::move(catalogue)), books_(new QListWidget(this)),
      photos_(new QListWidget(this)), photoDir_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Slidekeep"));

    photoDir_->setReadOnly(true);
    photoDir_->setText(SuiteSettings().photoDir(QString()));
    photoDir_->setPlaceholderText(QStringLiteral("(Tarnwick's own PhotoImages folder)"));
    auto* choose = new QPushButton(QStringLiteral("Choose..."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Books (checked = active)"), this), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Photos of the selected book"), this), 0, 1);
    layout->addWidget(books_, 1, 0);
    layout->addWidget(photos_, 1, 1);
    auto* directoryRow = new QHBoxLayout;
    directoryRow->addWidget(new QLabel(QStringLiteral("Photo image directory:"), this));
    directoryRow->addWidget(photoDir_, 1);
    directoryRow->addWidget(choose);
    layout->addLayout(directoryRow, 2, 0, 1, 2);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(close);
    layout->addLayout(closeRow, 3, 0, 1, 2);

    connect(books_, &QListWidget::currentItemChanged, this, &SlidekeepWindow::fillPhotos);
    connect(books_, &QListWidget::itemChanged, this, &SlidekeepWindow::bookChanged);
    connect(photos_, &QListWidget::itemChanged, this, &SlidekeepWindow::photoChanged);
    connect(choose, &QPushButton::clicked, this, &SlidekeepWindow::choosePhotoDirectory);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    fillBooks();
    if (books_->count() > 0)
        books_->setCurrentRow(0);
    resize(720, 480);
}

void SlidekeepWindow::fillBooks() {
    const QSignalBlocker blocker(books_);
    books_->clear();
    try {
        for (const BookEntry& book : catalogue_->books()) {
            const QString text = book.description.isEmpty()
                                     ? book.label
                                     : book.label + QStringLiteral(" - ") + book.description;
            books_->addItem(checkItem(text, book.active, book.label));
        }
    } catch (const DatabaseError& error) {
        QMessageBox::warning(this, windowTitle(), error.message());
    }
}

void SlidekeepWindow::fillPhotos() {
    const QSignalBlocker blocker(photos_);
    photos_->clear();
    const QListWidgetItem* book = books_->currentItem();
    if (!book)
        return;
    try {
        for (const PhotoEntry& photo : catalogue_->photos(book->data(keyRole).toString())) {
            const QString text = photo.group.isEmpty()
                                     ? photo.label
                                     : photo.label + QStringLiteral(" - ") + photo.group;
            photos_->addItem(checkItem(text, photo.active, photo.id));
        }
    } catch (const DatabaseError& error) {
        QMessageBox::warning(this, windowTitle(), error.message());
    }
}

void SlidekeepWindow::bookChanged(QListWidgetItem* item) {
    try {
        if (!catalogue_->setBookActive(item->data(keyRole).toString(),
                                       item->checkState() == Qt::Checked))
            reportFailure(item, QStringLiteral("The book is no longer in the catalogue."));
    } catch (const DatabaseError& error) {
        reportFailure(item, error.message());
    }
}

void SlidekeepWindow::photoChanged(QListWidgetItem* item) {
    try {
        if (!catalogue_->setPhotoActive(item->data(keyRole).toLongLong(),
                                        item->checkState() == Qt::Checked))
            reportFailure(item, QStringLiteral("The photo is no longer in the catalogue."));
    } catch (const DatabaseError& error) {
        reportFailure(item, error.message());
    }
}

void SlidekeepWindow::reportFailure(QListWidgetItem* item, const QString& message) {
    {
        const QSignalBlocker blocker(item->listWidget());
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
    QMessageBox::warning(this, windowTitle(), message);
}

void SlidekeepWindow::choosePhotoDirectory() {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Photo image directory"), photoDir_->text());
    if (chosen.isEmpty())
        return;
    const QString value = photoDirSettingValue(chosen);
    SuiteSettings().setPhotoDir(value);
    photoDir_->setText(value);
}

} // namespace tarnwick::slidekeep
