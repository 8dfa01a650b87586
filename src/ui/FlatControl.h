#pragma once

#include <QColor>
#include <QPalette>

namespace tarnwick {

// The four looks of a flat text box or combo box.
enum class FlatLook {
    Normal,  // no border to be seen: the control lies flat on the window
    Hot,     // the pointer is over it: a thin sunken edge
    Focused, // it has the keyboard focus: the same sunken edge, kept while the pointer passes
    Dropped, // a combo box whose list is shown: pressed
};

// Which look a flat control shows, from what happens to it. A control with the focus or an open
// list ignores the pointer, so the edge a user is typing in never flickers as the mouse passes.
class FlatControlState {
public:
    // The pointer entered the control or moved inside it.
    void pointerMoved();
    void pointerLeft();
    void focusGained();
    void focusLost();
    void listShown();
    void listHidden();

    FlatLook look() const;
    bool hasFocus() const { return focused_; }

private:
    bool hot_ = false;
    bool focused_ = false;
    bool dropped_ = false;
};

// The colours of a flat control's two rings of border, outermost first. The outer ring carries
// the look; the inner one separates the field from the window, and turns light when the control
// is disabled. An invalid colour paints nothing: whatever lies behind the control shows through,
// so a control at rest has no edge against any background.
struct FlatEdges {
    QColor topLeft;
    QColor bottomRight;
    QColor inner;
    bool pressed = false;
};

// The colours of a sunken edge, taken from the control's palette so that the look holds in
// light and dark colour schemes alike.
struct FlatColours {
    QColor shadow;
    QColor highlight;

    static FlatColours of(const QPalette& palette);
};

FlatEdges flatEdges(FlatLook look, bool enabled, const FlatColours& colours);

} // namespace tarnwick
