#pragma once

#include "display/SlotDisplay.h"
#include "display/widgets/PhotoImageView.h"
#include "display/widgets/PhotoPane.h"

namespace tarnwick {

// A display slot on screen: the pane's caption strip and the picture on its "Image" tab.
class PaneSlotDisplay : public SlotDisplay {
public:
    PaneSlotDisplay(PhotoPane* pane, PhotoImageView* view) : pane_(pane), view_(view) {}

    void setCaption(const QString& text) override { pane_->setCaption(text); }
    void showRetrieving() override { view_->showRetrieving(); }
    void showImage(const QString& path) override { view_->showImage(path); }
    void showNoPicture(const QString& text) override { view_->showCaption(text); }
    void showCantLoad(const QString& text) override { view_->showCaption(text); }

private:
    PhotoPane* pane_;
    PhotoImageView* view_;
};

} // namespace tarnwick
