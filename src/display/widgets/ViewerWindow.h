#pragma once

#include "display/widgets/PhotoImageView.h"

#include <QMainWindow>

class QLabel;
class QScrollArea;
class QTabWidget;

namespace tarnwick {

// The full-size viewer: the photo and its scanned data sheet on two tabs, each at its natural
// size or fitted to the window.
class ViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    // Sets the two files and the text shown for a missing one, then looks for both and loads
    // what is there.
    void open(const QString& photoPath, const QString& dataPath, const QString& noPictureText);
    // Looks for both files again and loads those found.
    void refresh();

    void actualSize();
    void fitWindow();

    const QString& photoPath() const { return photoPath_; }
    const QString& dataPath() const { return dataPath_; }
    QTabWidget* tabs() const { return tabs_; }
    PhotoImageView* photoView() const { return photo_.view; }
    PhotoImageView* dataView() const { return data_.view; }
    QLabel* noPictureLabel() const { return photo_.missing; }
    QLabel* noDataLabel() const { return data_.missing; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Page {
        QWidget* page = nullptr;
        QScrollArea* area = nullptr;
        PhotoImageView* view = nullptr;
        QLabel* missing = nullptr;
    };

    Page makePage(const QString& areaName, const QString& labelName);
    void load(Page& page, const QString& path);
    void setFit(PhotoImageView::Fit fit);

    QTabWidget* tabs_;
    Page photo_;
    Page data_;
    QString photoPath_;
    QString dataPath_;
    QString noPictureText_;
};

} // namespace tarnwick
