#pragma once

#include <QColor>
#include <QPushButton>

namespace tarnwick {

// The suite's push button: a pale yellow face with orange edges while the pointer is over it,
// a pale blue face with black edges otherwise.
class HighlightButton : public QPushButton {
    Q_OBJECT
public:
    static constexpr QColor hoverFace{255, 255, 192};
    static constexpr QColor hoverEdge{255, 128, 0};
    static constexpr QColor restFace{192, 192, 255};
    static constexpr QColor restEdge{0, 0, 0};

    explicit HighlightButton(const QString& text, QWidget* parent = nullptr);

    const QColor& faceColour() const { return face_; }
    const QColor& edgeColour() const { return edge_; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setColours(const QColor& face, const QColor& edge);

    QColor face_;
    QColor edge_;
};

} // namespace tarnwick
