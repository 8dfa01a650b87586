#pragma once

#include <QWidget>

class QLabel;
class QSvgRenderer;

namespace tarnwick {

// The window shown while the catalogue opens. A click or a key closes it early.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    static QString releaseText();
    // A line on what start-up is doing that takes a while; empty hides it.
    void showProgress(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Parsed once: the splash repaints while the catalogue opens under it.
    QSvgRenderer* logo_;
    QLabel* progress_ = nullptr;
};

} // namespace tarnwick
