#include "ui/FlatControl.h"

namespace tarnwick {

void FlatControlState::pointerMoved() {
    if (!focused_ && !dropped_)
        hot_ = true;
}

void FlatControlState::pointerLeft() {
    hot_ = false;
}

void FlatControlState::focusGained() {
    focused_ = true;
    hot_ = false;
}

void FlatControlState::focusLost() {
    // The pointer may still be inside; it lights the edge again once it moves.
    focused_ = false;
    hot_ = false;
}

void FlatControlState::listShown() {
    dropped_ = true;
}

void FlatControlState::listHidden() {
    dropped_ = false;
    hot_ = false;
}

FlatLook FlatControlState::look() const {
    if (dropped_)
        return FlatLook::Dropped;
    if (focused_)
        return FlatLook::Focused;
    return hot_ ? FlatLook::Hot : FlatLook::Normal;
}

FlatColours FlatColours::of(const QPalette& palette) {
    return FlatColours{palette.color(QPalette::Dark), palette.color(QPalette::Light)};
}

FlatEdges flatEdges(FlatLook look, bool enabled, const FlatColours& colours) {
    FlatEdges edges;
    if (look != FlatLook::Normal) {
        edges.topLeft = colours.shadow;
        edges.bottomRight = colours.highlight;
    }
    if (!enabled)
        edges.inner = colours.highlight;
    edges.pressed = look == FlatLook::Dropped;
    return edges;
}

} // namespace tarnwick
