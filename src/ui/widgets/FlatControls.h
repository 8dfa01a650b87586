#pragma once

#include "ui/FlatControl.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace tarnwick {

// Watches one text box or combo box and keeps its flat look up to date from the focus, hover and
// list events that reach it; the flat style paints the border for that look. It lives as long as
// its control.
class FlatControl : public QObject {
    Q_OBJECT
public:
    // Attaches to a combo box or a text box (line edit, plain or rich text edit) and gives it the
    // flat style. Anything else, and a control that already has one, gets nothing: null.
    static FlatControl* attach(QWidget* control);
    // The flat control attached to a widget, if any.
    static FlatControl* of(const QWidget* control);

    FlatLook look() const { return state_.look(); }
    QWidget* control() const { return control_; }
    // True only for a combo box whose list is shown.
    bool droppedDown() const;

Q_SIGNALS:
    void lookChanged(tarnwick::FlatLook look);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FlatControl(QWidget* control, QWidget* inner, QWidget* list);
    void update(FlatLook before);

    QWidget* control_;
    // The part of the control the pointer and keys actually reach: a combo box's line edit, a
    // text edit's viewport.
    QPointer<QWidget> inner_;
    // The popup of a combo box.
    QPointer<QWidget> list_;
    FlatControlState state_;
};

// Flattens every combo box and text box of a window, in the window's order; labels and other
// controls are passed over. Controls of other windows (tool windows owned by this one) are left
// to their own window. Returns how many controls were attached.
int makeFlat(QWidget* window);

} // namespace tarnwick
