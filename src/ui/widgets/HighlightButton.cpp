#include "ui/widgets/HighlightButton.h"

namespace tarnwick {

HighlightButton::HighlightButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setColours(restFace, restEdge);
}

void HighlightButton::enterEvent(QEnterEvent* event) {
    setColours(hoverFace, hoverEdge);
    QPushButton::enterEvent(event);
}

void HighlightButton::leaveEvent(QEvent* event) {
    setColours(restFace, restEdge);
    QPushButton::leaveEvent(event);
}

void HighlightButton::setColours(const QColor& face, const QColor& edge) {
    face_ = face;
    edge_ = edge;
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 2px solid %2; "
                                 "padding: 4px 12px; color: black; }")
                      .arg(face.name(), edge.name()));
}

} // namespace tarnwick
