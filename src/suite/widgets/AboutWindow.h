#pragma once

#include <QDialog>

class QLabel;

namespace tarnwick {

class HighlightButton;

// The about box: the program's logo, title, version and notice, closed by OK. Not modal: the
// program goes on working behind it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* titleLabel() const { return title_; }
    QLabel* versionLabel() const { return version_; }
    QLabel* noticeLabel() const { return notice_; }
    QLabel* logo() const { return logo_; }
    HighlightButton* okButton() const { return ok_; }

private:
    QLabel* logo_;
    QLabel* title_;
    QLabel* version_;
    QLabel* notice_;
    HighlightButton* ok_;
};

} // namespace tarnwick
