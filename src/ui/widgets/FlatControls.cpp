#include "ui/widgets/FlatControls.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTextEdit>

namespace tarnwick {

namespace {

// Two rings of border inside the control: the outer one shows the look, the inner one keeps the
// field apart from it.
constexpr int flatFrameWidth = 2;

void paintEdges(QPainter* painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
    // Left edge upwards and top edge rightwards first; the right and bottom edges then lie on
    // the last pixel inside the rectangle.
    if (topLeft.isValid()) {
        painter->setPen(QPen(topLeft, 0));
        painter->drawLine(r.bottomLeft(), r.topLeft());
        painter->drawLine(r.topLeft(), r.topRight());
    }
    if (bottomRight.isValid()) {
        painter->setPen(QPen(bottomRight, 0));
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomRight(), r.bottomLeft());
    }
}

void paintBorder(QPainter* painter, const QRect& r, const QStyleOption* option, FlatLook look) {
    const FlatEdges edges =
        flatEdges(look, option->state & QStyle::State_Enabled, FlatColours::of(option->palette));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    paintEdges(painter, r, edges.topLeft, edges.bottomRight);
    paintEdges(painter, r.adjusted(1, 1, -1, -1), edges.inner, edges.inner);
    painter->restore();
}

// A plain downward triangle in the middle of the drop-down button, as wide as half the button.
void paintArrow(QPainter* painter, const QRect& button, const QColor& colour) {
    const qreal width = std::max(5, (button.width() / 2) | 1);
    const qreal height = width / 2;
    const QPointF centre = QRectF(button).center();
    QPainterPath path;
    path.moveTo(centre.x() - width / 2, centre.y() - height / 2);
    path.lineTo(centre.x() + width / 2, centre.y() - height / 2);
    path.lineTo(centre.x(), centre.y() + height / 2);
    path.closeSubpath();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->fillPath(path, colour);
    painter->restore();
}

// Draws the border of the flattened controls and leaves every other widget, and every other
// part of these controls, to the application's style.
class FlatStyle : public QProxyStyle {
public:
    static FlatStyle* instance() {
        static QPointer<FlatStyle> style;
        if (!style) {
            style = new FlatStyle;
            style->setParent(qApp);
        }
        return style;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const FlatControl* flat = FlatControl::of(widget);
        if (flat && element == PE_PanelLineEdit) {
            if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
                frame && frame->lineWidth > 0) {
                painter->fillRect(option->rect.adjusted(flatFrameWidth, flatFrameWidth,
                                                        -flatFrameWidth, -flatFrameWidth),
                                  option->palette.brush(QPalette::Base));
                paintBorder(painter, option->rect, option, flat->look());
                return;
            }
        }
        if (flat && (element == PE_FrameLineEdit || element == PE_Frame)) {
            paintBorder(painter, option->rect, option, flat->look());
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (const FlatControl* flat = FlatControl::of(widget); flat && element == CE_ShapedFrame) {
            paintBorder(painter, option->rect, option, flat->look());
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const FlatControl* flat = FlatControl::of(widget);
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (!flat || control != CC_ComboBox || !combo) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const FlatLook look = flat->look();
        const QRect r = option->rect;
        const QRect inside =
            r.adjusted(flatFrameWidth, flatFrameWidth, -flatFrameWidth, -flatFrameWidth);
        painter->fillRect(inside, option->palette.brush(QPalette::Base));

        // The drop-down button: a plain face with its arrow, no raised edge; sunk while the list
        // is shown.
        QRect button = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget) & inside;
        if (button.isValid()) {
            const bool pressed = look == FlatLook::Dropped;
            if (pressed) {
                const QColor dark = option->palette.color(QPalette::Dark);
                painter->fillRect(button, dark);
                painter->save();
                painter->setRenderHint(QPainter::Antialiasing, false);
                paintEdges(painter, button, dark.darker(150),
                           option->palette.color(QPalette::Light));
                painter->restore();
            } else {
                painter->fillRect(button, option->palette.brush(QPalette::Button));
            }
            paintArrow(painter, button.translated(pressed ? QPoint(1, 1) : QPoint()),
                       option->palette.color(QPalette::ButtonText));
        }
        paintBorder(painter, r, option, look);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        // The list drops down below the box, never over it, so the pressed box stays in sight.
        if (hint == SH_ComboBox_Popup && FlatControl::of(widget))
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_DefaultFrameWidth && FlatControl::of(widget))
            return flatFrameWidth;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    FlatStyle() = default;
};

bool isTextBox(const QWidget* widget) {
    if (qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget))
        return true;
    if (!qobject_cast<const QLineEdit*>(widget))
        return false;
    // The line edit of a combo box or a spin box is part of that control.
    const QWidget* parent = widget->parentWidget();
    return !qobject_cast<const QComboBox*>(parent) &&
           !qobject_cast<const QAbstractSpinBox*>(parent);
}

} // namespace

FlatControl::FlatControl(QWidget* control, QWidget* inner, QWidget* list)
    : QObject(control), control_(control), inner_(inner), list_(list) {
    setObjectName(QStringLiteral("flatControl"));
    control_->setAttribute(Qt::WA_Hover);
    control_->installEventFilter(this);
    if (inner_)
        inner_->installEventFilter(this);
    if (list_)
        list_->installEventFilter(this);
    if (control_->hasFocus())
        state_.focusGained();
    control_->setStyle(FlatStyle::instance());
}

FlatControl* FlatControl::attach(QWidget* control) {
    if (!control || of(control))
        return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        // The list's container exists from here on; its showing and hiding is the combo box's
        // drop-down.
        QWidget* list = combo->view() ? combo->view()->window() : nullptr;
        return new FlatControl(control, combo->lineEdit(),
                               list == combo->window() ? nullptr : list);
    }
    if (!isTextBox(control))
        return nullptr;
    QWidget* inner = nullptr;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        inner = area->viewport();
    return new FlatControl(control, inner, nullptr);
}

FlatControl* FlatControl::of(const QWidget* control) {
    if (!control)
        return nullptr;
    return control->findChild<FlatControl*>(QStringLiteral("flatControl"),
                                            Qt::FindDirectChildrenOnly);
}

bool FlatControl::droppedDown() const {
    return list_ && list_->isVisible();
}

bool FlatControl::eventFilter(QObject* watched, QEvent* event) {
    const FlatLook before = state_.look();
    const QEvent::Type type = event->type();
    if (watched == list_) {
        if (type == QEvent::Show)
            state_.listShown();
        else if (type == QEvent::Hide)
            state_.listHidden();
    } else if (watched == control_) {
        switch (type) {
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::Enter:
            state_.pointerMoved();
            break;
        case QEvent::HoverLeave:
        case QEvent::Leave:
            state_.pointerLeft();
            break;
        case QEvent::FocusIn:
            state_.focusGained();
            break;
        case QEvent::FocusOut:
            // The control's own menu or list takes the focus for a moment only.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                state_.focusLost();
            break;
        case QEvent::EnabledChange:
            control_->update();
            break;
        default:
            break;
        }
    } else if (watched == inner_ && (type == QEvent::Enter || type == QEvent::MouseMove)) {
        state_.pointerMoved();
    }
    update(before);
    return QObject::eventFilter(watched, event);
}

void FlatControl::update(FlatLook before) {
    if (state_.look() == before)
        return;
    control_->update();
    Q_EMIT lookChanged(state_.look());
}

int makeFlat(QWidget* window) {
    if (!window)
        return 0;
    int attached = 0;
    const QWidget* top = window->window();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->window() != top)
            continue;
        if (FlatControl::attach(child))
            ++attached;
    }
    return attached;
}

} // namespace tarnwick
