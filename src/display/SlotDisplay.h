#pragma once

#include <QString>

namespace tarnwick {

// The widgets of one display slot as the photo display command drives them: the caption strip
// above the slot and its image pane.
class SlotDisplay {
public:
    virtual ~SlotDisplay() = default;

    // The caption strip's text: the shown photo's label.
    virtual void setCaption(const QString& text) = 0;
    // Clears the picture and says that one is on its way.
    virtual void showRetrieving() = 0;
    // Shows the picture of a file that has been found readable.
    virtual void showImage(const QString& path) = 0;
    // Clears the picture and shows where it was looked for.
    virtual void showNoPicture(const QString& text) = 0;
    // Clears the picture after it could not be read.
    virtual void showCantLoad(const QString& text) = 0;
};

} // namespace tarnwick
