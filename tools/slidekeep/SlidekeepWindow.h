#pragma once

#include "slidekeep/SlidekeepCatalogue.h"

#include <memory>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace tarnwick::slidekeep {

// Books and their photos, each with an "active" check box that is written at once, and the
// photo image directory Tarnwick reads.
class SlidekeepWindow : public QWidget {
    Q_OBJECT
public:
    explicit SlidekeepWindow(std::unique_ptr<SlidekeepCatalogue> catalogue,
                             QWidget* parent = nullptr);

private:
    void fillBooks();
    void fillPhotos();
    void bookChanged(QListWidgetItem* item);
    void photoChanged(QListWidgetItem* item);
    void choosePhotoDirectory();
    // Shows why a change failed and puts the check box back.
    void reportFailure(QListWidgetItem* item, const QString& message);

    std::unique_ptr<SlidekeepCatalogue> catalogue_;
    QListWidget* books_;
    QListWidget* photos_;
    QLineEdit* photoDir_;
};

} // namespace tarnwick::slidekeep
